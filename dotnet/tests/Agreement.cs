// The binding against the C interface called directly: a C program makes random calls and writes
// what the library answered (korvan_dotnet_cases); the same calls through the binding must give
// the same bits, the same refusals, and leave refused arrays as they were.
using System;
using System.Globalization;
using System.Linq;

namespace Korvan.Tests
{
    internal static class Agreement
    {
        private const int MinimumCalls = 2000;

        [Test]
        private static void EveryCallGivesTheBitsOfTheCInterface(Options options)
        {
            var lines = Programs.Output(options["cases-program"])
                            .Split(new[] { '\n' }, StringSplitOptions.RemoveEmptyEntries);
            Check.True(lines.Length >= MinimumCalls, "only " + lines.Length + " calls");
            var counts = lines.GroupBy(line => line.Split(' ')[0])
                             .ToDictionary(kind => kind.Key, kind => kind.Count());
            for (var i = 0; i < lines.Length; ++i)
            {
                var call = new Tokens(lines[i]);
                var kind = call.Word();
                var what = "call " + (i + 1) + " (" + kind + ")";
                switch (kind)
                {
                    case "generate": Generate(call, what); break;
                    case "fill": Fill(call, what); break;
                    case "smallest": Smallest(call, what); break;
                    default: throw new CheckFailed("unknown call " + kind);
                }
            }
            Console.WriteLine("compared " + string.Join(", ", counts.Select(
                kind => kind.Value + " " + kind.Key)));
        }

        private static void Generate(Tokens call, string what)
        {
            var held = call.Entries("held");
            var types = call.Array("types", call.UInt32);
            var values = call.Array("values", call.Double);
            var tags = call.Optional("tags", call.UInt64);
            var before = Copies(held, types, values, tags);
            var expected = Answer.Read(call);
            Solution solution = null;
            var refused = Attempt(() => solution = Valves.Generate(types, values, held, tags));
            expected.Compare(refused, what);
            if (refused == null)
            {
                Check.SameEntries(call.Entries("entries"), solution.Entries, what + " entries");
                CompareTotals(call, solution, what);
            }
            Unchanged(before, new Array[] { held, types, values, tags }, what);
        }

        private static void Fill(Tokens call, string what)
        {
            var entries = call.Entries("entries");
            var asPassed = (SolutionEntry[])entries.Clone();
            var expected = Answer.Read(call);
            Solution solution = null;
            var refused = Attempt(() => solution = Valves.Fill(entries));
            expected.Compare(refused, what);
            if (refused == null)
            {
                Check.True(ReferenceEquals(entries, solution.Entries), what + ": in place");
                Check.SameEntries(call.Entries("entries"), entries, what + " entries");
                CompareTotals(call, solution, what);
            }
            else
            {
                Check.SameEntries(asPassed, entries, what + ": refused, entries");
            }
        }

        private static void Smallest(Tokens call, string what)
        {
            var sizes = call.Array("sizes", call.Double);
            var asPassed = (double[])sizes.Clone();
            var expected = Answer.Read(call);
            double[] sorted = null;
            double[] smallest = null;
            var refused = Attempt(() => smallest = Valves.SmallestPossibleValves(sizes,
                                                                                  out sorted));
            expected.Compare(refused, what);
            if (refused == null)
            {
                Check.SameBits(call.Array("sorted", call.Double), sorted, what + " sorted");
                Check.SameBits(call.Array("smallest", call.Double), smallest, what + " smallest");
            }
            Check.SameBits(asPassed, sizes, what + ": sizes as given");
        }

        private static void CompareTotals(Tokens call, Solution solution, string what)
        {
            call.Expect("totals");
            Check.SameBits(call.Double(), solution.DeviationMax, what + " DeviationMax");
            Check.SameBits(call.Double(), solution.DeviationMin, what + " DeviationMin");
            Check.SameBits(call.Double(), solution.ScaleFactor, what + " ScaleFactor");
            Check.SameBits(call.Double(), solution.ReducedScaleFactor,
                           what + " ReducedScaleFactor");
        }

        private static Array[] Copies(params Array[] arrays)
        {
            return arrays.Select(array => array == null ? null : (Array)array.Clone()).ToArray();
        }

        private static void Unchanged(Array[] before, Array[] after, string what)
        {
            for (var i = 0; i < before.Length; ++i)
            {
                if (before[i] != null)
                {
                    Refusals.SameContent(before[i], after[i], what + ": argument " + i);
                }
            }
        }

        private static KorvanException Attempt(Action call)
        {
            try
            {
                call();
                return null;
            }
            catch (KorvanException refused)
            {
                return refused;
            }
        }

        /// <summary>The result the library gave, with the rule and points it named.</summary>
        private sealed class Answer
        {
            private int result;
            private int rule;
            private long point;
            private long otherPoint;

            internal static Answer Read(Tokens call)
            {
                var answer = new Answer();
                call.Expect("result");
                answer.result = call.Int32();
                call.Expect("rule");
                answer.rule = call.Int32();
                call.Expect("point");
                answer.point = call.Int64();
                call.Expect("other");
                answer.otherPoint = call.Int64();
                return answer;
            }

            internal void Compare(KorvanException refused, string what)
            {
                if (refused == null)
                {
                    Check.Equal(0, result, what + ": succeeded");
                    return;
                }
                Check.Equal(result, (int)refused.Code, what + ": Code (" + refused.Message + ")");
                Check.Equal(rule, (int)refused.Rule, what + ": Rule");
                Check.Equal(point < 0 ? (long?)null : point, refused.Point, what + ": Point");
                Check.Equal(otherPoint < 0 ? (long?)null : otherPoint, refused.OtherPoint,
                            what + ": OtherPoint");
            }
        }

        /// <summary>The words of one line of the case file, read in order.</summary>
        private sealed class Tokens
        {
            private readonly string[] words;
            private int next;

            internal Tokens(string line)
            {
                words = line.Split(new[] { ' ' }, StringSplitOptions.RemoveEmptyEntries);
            }

            internal string Word()
            {
                if (next >= words.Length)
                {
                    throw new CheckFailed("the case line ends early");
                }
                return words[next++];
            }

            internal void Expect(string word)
            {
                Check.Equal(word, Word(), "case file");
            }

            internal int Int32() { return int.Parse(Word(), CultureInfo.InvariantCulture); }
            internal long Int64() { return long.Parse(Word(), CultureInfo.InvariantCulture); }
            internal uint UInt32() { return uint.Parse(Word(), CultureInfo.InvariantCulture); }
            internal ulong UInt64() { return ulong.Parse(Word(), CultureInfo.InvariantCulture); }

            internal double Double()
            {
                return BitConverter.Int64BitsToDouble(
                    long.Parse(Word(), NumberStyles.AllowHexSpecifier,
                               CultureInfo.InvariantCulture));
            }

            internal T[] Array<T>(string name, Func<T> read)
            {
                Expect(name);
                var values = new T[int.Parse(Word(), CultureInfo.InvariantCulture)];
                for (var i = 0; i < values.Length; ++i)
                {
                    values[i] = read();
                }
                return values;
            }

            // "name -" for null, or an array.
            internal T[] Optional<T>(string name, Func<T> read)
            {
                if (words[next + 1] == "-")
                {
                    Expect(name);
                    Word();
                    return null;
                }
                return Array(name, read);
            }

            internal SolutionEntry[] Entries(string name)
            {
                return Array(name, () => new SolutionEntry
                {
                    Type = Int32(),
                    InputValue = Double(),
                    Demand = Double(),
                    Ratio = Double(),
                    RatioMax = Double(),
                    RatioMin = Double(),
                    ValveSize = Double(),
                    Deviation = Double(),
                    CallerData = UInt64(),
                });
            }
        }
    }
}
