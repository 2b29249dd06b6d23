// A small test runner: each group is a static class of Korvan.Tests, each test a static method of
// it marked [Test], taking no argument or the run's Options. Prints one line a test and closes
// with "N passed, N failed"; exits 1 when a test failed.
//
// usage: mono KorvanTests.exe <group> [name=value...]
using System;
using System.Collections.Generic;
using System.Diagnostics;
using System.Linq;
using System.Reflection;

namespace Korvan.Tests
{
    [AttributeUsage(AttributeTargets.Method)]
    internal sealed class TestAttribute : Attribute
    {
    }

    /// <summary>The name=value arguments of a run.</summary>
    internal sealed class Options
    {
        private readonly Dictionary<string, string> values = new Dictionary<string, string>();

        internal Options(IEnumerable<string> arguments)
        {
            foreach (var argument in arguments)
            {
                var equals = argument.IndexOf('=');
                if (equals <= 0)
                {
                    throw new ArgumentException("not name=value: " + argument);
                }
                values[argument.Substring(0, equals)] = argument.Substring(equals + 1);
            }
        }

        internal string this[string name]
        {
            get
            {
                string value;
                if (!values.TryGetValue(name, out value))
                {
                    throw new InvalidOperationException("the run needs " + name + "=...");
                }
                return value;
            }
        }
    }

    internal sealed class CheckFailed : Exception
    {
        internal CheckFailed(string message) : base(message)
        {
        }
    }

    internal static class Check
    {
        internal static void True(bool condition, string what)
        {
            if (!condition)
            {
                throw new CheckFailed(what);
            }
        }

        internal static void Equal<T>(T expected, T actual, string what)
        {
            if (!EqualityComparer<T>.Default.Equals(expected, actual))
            {
                throw new CheckFailed(what + ": expected " + Show(expected) + ", got " +
                                      Show(actual));
            }
        }

        /// <summary>The same double to the bit (so 0.0 and -0.0 differ, and NaNs compare by
        /// payload).</summary>
        internal static void SameBits(double expected, double actual, string what)
        {
            if (BitConverter.DoubleToInt64Bits(expected) != BitConverter.DoubleToInt64Bits(actual))
            {
                throw new CheckFailed(what + ": expected " + expected.ToString("R") + ", got " +
                                      actual.ToString("R"));
            }
        }

        internal static void SameBits(double[] expected, double[] actual, string what)
        {
            Equal(expected.Length, actual.Length, what + ": length");
            for (var i = 0; i < expected.Length; ++i)
            {
                SameBits(expected[i], actual[i], what + "[" + i + "]");
            }
        }

        internal static void SameEntry(SolutionEntry expected, SolutionEntry actual, string what)
        {
            Equal(expected.Type, actual.Type, what + ".Type");
            SameBits(expected.InputValue, actual.InputValue, what + ".InputValue");
            SameBits(expected.Demand, actual.Demand, what + ".Demand");
            SameBits(expected.Ratio, actual.Ratio, what + ".Ratio");
            SameBits(expected.RatioMax, actual.RatioMax, what + ".RatioMax");
            SameBits(expected.RatioMin, actual.RatioMin, what + ".RatioMin");
            SameBits(expected.ValveSize, actual.ValveSize, what + ".ValveSize");
            SameBits(expected.Deviation, actual.Deviation, what + ".Deviation");
            Equal(expected.CallerData, actual.CallerData, what + ".CallerData");
        }

        internal static void SameEntries(SolutionEntry[] expected, SolutionEntry[] actual,
                                         string what)
        {
            Equal(expected.Length, actual.Length, what + ": length");
            for (var i = 0; i < expected.Length; ++i)
            {
                SameEntry(expected[i], actual[i], what + "[" + i + "]");
            }
        }

        internal static TException Throws<TException>(Action call, string what)
            where TException : Exception
        {
            try
            {
                call();
            }
            catch (TException expected)
            {
                return expected;
            }
            catch (Exception other)
            {
                throw new CheckFailed(what + ": expected " + typeof(TException).Name + ", got " +
                                      other.GetType().Name + ": " + other.Message);
            }
            throw new CheckFailed(what + ": expected " + typeof(TException).Name +
                                  ", nothing was thrown");
        }

        private static string Show<T>(T value)
        {
            if (value == null)
            {
                return "null";
            }
            var text = value is double ? ((double)(object)value).ToString("R") : value.ToString();
            return value is string ? "\"" + text + "\"" : text;
        }
    }

    /// <summary>The C programs the tests compare with.</summary>
    internal static class Programs
    {
        /// <summary>The standard output of <paramref name="program"/>, which must exit with
        /// 0.</summary>
        internal static string Output(string program)
        {
            var start = new ProcessStartInfo(program)
            {
                UseShellExecute = false,
                RedirectStandardOutput = true,
            };
            using (var process = Process.Start(start))
            {
                var output = process.StandardOutput.ReadToEnd();
                process.WaitForExit();
                Check.Equal(0, process.ExitCode, program + " exit code");
                return output;
            }
        }
    }

    internal static class Runner
    {
        private static int Main(string[] arguments)
        {
            if (arguments.Length < 1)
            {
                Console.Error.WriteLine("usage: KorvanTests.exe <group> [name=value...]");
                return 2;
            }
            var group = typeof(Runner).Assembly.GetType("Korvan.Tests." + arguments[0]);
            if (group == null)
            {
                Console.Error.WriteLine("no test group " + arguments[0]);
                return 2;
            }
            var options = new Options(arguments.Skip(1));
            var tests = group.GetMethods(BindingFlags.Static | BindingFlags.NonPublic |
                                         BindingFlags.Public)
                            .Where(method => method.IsDefined(typeof(TestAttribute), false))
                            .OrderBy(method => method.MetadataToken)
                            .ToList();
            var failed = tests.Count(test => !Run(group.Name, test, options));
            Console.WriteLine("{0} passed, {1} failed", tests.Count - failed, failed);
            return failed == 0 && tests.Count > 0 ? 0 : 1;
        }

        private static bool Run(string group, MethodInfo test, Options options)
        {
            var name = group + "." + test.Name;
            try
            {
                var arguments = test.GetParameters().Length == 0 ? null : new object[] { options };
                test.Invoke(null, arguments);
                Console.WriteLine("PASS " + name);
                return true;
            }
            catch (TargetInvocationException wrapped)
            {
                var failure = wrapped.InnerException;
                Console.WriteLine("FAIL " + name + ": " + (failure is CheckFailed
                                                               ? failure.Message
                                                               : failure.ToString()));
                return false;
            }
        }
    }
}
