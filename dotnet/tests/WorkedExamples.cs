// The worked examples of the sizing rules through the binding, with doubles compared to the bit.
using System;
using System.Linq;

namespace Korvan.Tests
{
    internal static class WorkedExamples
    {
        [Test]
        private static void ThreePointsOfOneRequest()
        {
            var solution = Valves.Generate(new uint[] { 1, 0, 3 }, new double[] { 50, 100, 80 });
            Check.SameBits(new[] { 0.2, 0.16, 0.1 }, Column(solution, e => e.ValveSize), "sizes");
            Check.SameBits(new[] { -4.84, -4.92, 11.42 }, Column(solution, e => e.Deviation),
                           "deviations");
            Check.SameBits(new[] { 1.124, 0.9, 0.48 }, Column(solution, e => e.Demand), "demands");
            Check.SameBits(new[] { 1.0, 1.248888888888889, 2.341666666666667 },
                           Column(solution, e => e.Ratio), "ratios");
            Check.SameBits(11.42, solution.DeviationMax, "DeviationMax");
            Check.SameBits(-4.92, solution.DeviationMin, "DeviationMin");
            Check.SameBits(5.348333333333334, solution.ScaleFactor, "ScaleFactor");
            Check.SameBits(0.0026741666666666667, solution.ReducedScaleFactor,
                           "ReducedScaleFactor");
            // Largest demand first happens to be the order given: each point's tag is its
            // position in the types.
            Check.Equal("1 0 3", string.Join(" ", solution.Entries.Select(e => e.Type)), "types");
            Check.Equal("0 1 2", string.Join(" ", solution.Entries.Select(e => e.CallerData)),
                        "tags");
        }

        [Test]
        private static void TwoPointsReduceToTheirSmallestSizes()
        {
            var solution = Valves.Fill(EntriesWithDemands(5.0, 3.0));
            Check.SameBits(new[] { 0.1, 0.06 }, Column(solution, e => e.ValveSize), "sizes");
            Check.SameBits(new[] { 0.0, 0.0 }, Column(solution, e => e.Deviation), "deviations");
            Check.SameBits(50.0, solution.ScaleFactor, "ScaleFactor");
            Check.SameBits(0.025, solution.ReducedScaleFactor, "ReducedScaleFactor");
        }

        [Test]
        private static void EightPointsTakeTheNearestRatio()
        {
            var solution = Valves.Fill(EntriesWithDemands(8, 7, 6, 5, 4, 3, 2, 1));
            Check.SameBits(new[] { 0.5, 0.5, 0.5, 0.3, 0.3, 0.2, 0.16, 0.06 },
                           Column(solution, e => e.ValveSize), "sizes");
            Check.SameBits(new[] { -9.25, 3.72, 21.0, -12.88, 8.9, -3.2, 16.16, -12.88 },
                           Column(solution, e => e.Deviation), "deviations");
            Check.SameBits(new double[8], Column(solution, e => e.RatioMax), "ratio windows");
            Check.SameBits(21.0, solution.DeviationMax, "DeviationMax");
            Check.SameBits(-12.88, solution.DeviationMin, "DeviationMin");
            Check.SameBits(14.520833333333334, solution.ScaleFactor, "ScaleFactor");
            Check.SameBits(0.007260416666666667, solution.ReducedScaleFactor,
                           "ReducedScaleFactor");
        }

        [Test]
        private static void FillSolvesTheArrayItIsGiven()
        {
            // Given smallest demand first; each entry keeps its tag as it moves.
            var entries = EntriesWithDemands(3.0, 5.0);
            var solution = Valves.Fill(entries);
            Check.True(ReferenceEquals(entries, solution.Entries), "Entries is the array given");
            Check.SameBits(new[] { 5.0, 3.0 }, Column(solution, e => e.Demand), "demands");
            Check.Equal(2UL, entries[0].CallerData, "tag of the larger demand");
            Check.Equal(1UL, entries[1].CallerData, "tag of the smaller demand");
        }

        [Test]
        private static void FillHalvesTheDemandsOfGenerate()
        {
            var generated = Valves.Generate(new uint[] { 1, 0, 3 }, new double[] { 50, 100, 80 });
            var entries = (SolutionEntry[])generated.Entries.Clone();
            Valves.Fill(entries);
            for (var i = 0; i < entries.Length; ++i)
            {
                Check.SameBits(generated.Entries[i].Demand / 2, entries[i].Demand,
                               "demand " + i);
            }
        }

        [Test]
        private static void GenerateCopiesTheHeldEntriesAndNeverChangesThem()
        {
            var held = Valves.Generate(new uint[] { 1, 0, 3 }, new double[] { 50, 100, 80 })
                           .Entries;
            var asGiven = (SolutionEntry[])held.Clone();
            var solution = Valves.Generate(new uint[] { 2 }, new double[] { 200 }, held,
                                           new ulong[] { 77 });
            Check.SameEntries(asGiven, held, "held");
            Check.True(!ReferenceEquals(held, solution.Entries), "a new array");
            Check.Equal("77 0 1 2", string.Join(" ", solution.Entries.Select(e => e.CallerData)),
                        "tags, largest demand first");
            // The held demands are taken as they are, not recomputed.
            Check.SameBits(held.Select(e => e.Demand).ToArray(),
                           solution.Entries.Skip(1).Select(e => e.Demand).ToArray(),
                           "held demands");
        }

        [Test]
        private static void TagsAreTheCallersOwn()
        {
            var tags = new[] { ulong.MaxValue, 0x0123456789abcdefUL, 0UL };
            var solution = Valves.Generate(new uint[] { 1, 0, 3 }, new double[] { 50, 100, 80 },
                                           callerData: tags);
            Check.Equal(string.Join(" ", tags),
                        string.Join(" ", solution.Entries.Select(e => e.CallerData)), "tags");
        }

        [Test]
        private static void SmallestSizesKeepTheRatios()
        {
            var cases = new[]
            {
                new { Given = new[] { 0.5, 0.3 }, Sorted = new[] { 0.5, 0.3 },
                      Smallest = new[] { 0.1, 0.06 } },
                new { Given = new[] { 0.2, 0.3, 0.2 }, Sorted = new[] { 0.3, 0.2, 0.2 },
                      Smallest = new[] { 0.3, 0.2, 0.2 } },
                new { Given = new[] { 0.1, 0.5, 0.1, 0.03 }, Sorted = new[] { 0.5, 0.1, 0.1, 0.03 },
                      Smallest = new[] { 0.5, 0.1, 0.1, 0.03 } },
                new { Given = new[] { 0.5 }, Sorted = new[] { 0.5 }, Smallest = new[] { 0.03 } },
            };
            foreach (var example in cases)
            {
                var given = (double[])example.Given.Clone();
                double[] sorted;
                var smallest = Valves.SmallestPossibleValves(given, out sorted);
                var what = string.Join(", ", example.Given);
                Check.SameBits(example.Given, given, what + ": sizes as given");
                Check.SameBits(example.Sorted, sorted, what + ": sorted");
                Check.SameBits(example.Smallest, smallest, what + ": smallest");
            }
        }

        [Test]
        private static void Versions()
        {
            var assembly = typeof(Valves).Assembly.GetName().Version;
            Check.Equal(assembly.Major * 10000 + assembly.Minor * 100 + assembly.Build,
                        Valves.LibraryVersion, "library version against the assembly's");
            Check.SameBits(1.0, Valves.CurrentVersion(), "interface version");
        }

        internal static double[] Column(Solution solution, Func<SolutionEntry, double> field)
        {
            return solution.Entries.Select(field).ToArray();
        }

        /// <summary>Entries of type 0 whose demands, once Fill recomputes them, are exactly
        /// <paramref name="demands"/>, tagged 1, 2, ... in that order.</summary>
        internal static SolutionEntry[] EntriesWithDemands(params double[] demands)
        {
            return demands.Select((demand, i) => new SolutionEntry
            {
                Type = 0,
                InputValue = InputForDemand(demand),
                CallerData = (ulong)i + 1,
            }).ToArray();
        }

        // The demand Fill recomputes for a point of type 0 (factor 2.25).
        private static double RecomputedDemand(double inputValue)
        {
            return inputValue * 2.25 * 0.001 * 2.0;
        }

        // Walks the doubles around the exact quotient until one gives the demand.
        private static double InputForDemand(double demand)
        {
            var below = demand / (2.25 * 0.002);
            var above = below;
            for (var step = 0; step < 4000; ++step)
            {
                if (RecomputedDemand(below) == demand)
                {
                    return below;
                }
                if (RecomputedDemand(above) == demand)
                {
                    return above;
                }
                below = NextToward(below, 0.0);
                above = NextToward(above, double.PositiveInfinity);
            }
            throw new CheckFailed("no input value gives the demand " + demand.ToString("R"));
        }

        // The neighbouring double of a positive finite value.
        private static double NextToward(double value, double direction)
        {
            var bits = BitConverter.DoubleToInt64Bits(value);
            return BitConverter.Int64BitsToDouble(direction > value ? bits + 1 : bits - 1);
        }
    }
}
