// Arguments that cannot reach the library are refused before the call, naming the argument.
using System;

namespace Korvan.Tests
{
    internal static class Arguments
    {
        private static readonly uint[] Types = { 1, 0, 3 };
        private static readonly double[] Values = { 50, 100, 80 };

        [Test]
        private static void NullArraysAreNamed()
        {
            double[] sorted;
            var cases = new[]
            {
                new { Name = "types", Call = (Action)(() => Valves.Generate(null, Values)) },
                new { Name = "inputValues", Call = (Action)(() => Valves.Generate(Types, null)) },
                new { Name = "entries", Call = (Action)(() => Valves.Fill(null)) },
                new { Name = "sizes",
                      Call = (Action)(() => Valves.SmallestPossibleValves(null, out sorted)) },
            };
            foreach (var example in cases)
            {
                var refused = Check.Throws<ArgumentNullException>(example.Call, example.Name);
                Check.Equal(example.Name, refused.ParamName, "ParamName");
            }
        }

        [Test]
        private static void LengthsMustMatchTheTypes()
        {
            var cases = new[]
            {
                new { Name = "inputValues",
                      Call = (Action)(() => Valves.Generate(Types, new double[] { 50, 100 })) },
                new { Name = "inputValues",
                      Call = (Action)(() => Valves.Generate(new uint[0], Values)) },
                new { Name = "callerData",
                      Call = (Action)(() => Valves.Generate(Types, Values, null, new ulong[4])) },
                new { Name = "callerData",
                      Call = (Action)(() => Valves.Generate(Types, Values, null, new ulong[0])) },
            };
            foreach (var example in cases)
            {
                var refused = Check.Throws<ArgumentException>(example.Call, example.Name);
                Check.Equal(typeof(ArgumentException), refused.GetType(), "exception type");
                Check.Equal(example.Name, refused.ParamName, "ParamName");
            }
        }

        [Test]
        private static void EmptyHeldAndTagsAreAllowed()
        {
            var solution = Valves.Generate(Types, Values, new SolutionEntry[0], null);
            Check.Equal(3, solution.Entries.Length, "entries");
            var none = Valves.Generate(new uint[0], new double[0], solution.Entries, new ulong[0]);
            Check.SameEntries(solution.Entries, none.Entries, "held alone, re-solved");
        }
    }
}
