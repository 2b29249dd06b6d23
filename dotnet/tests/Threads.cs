// Calls on different arrays from several threads at once give what they give one at a time.
using System;
using System.Linq;
using System.Threading;

namespace Korvan.Tests
{
    internal static class Threads
    {
        private const int ThreadCount = 4;
        private const int Rounds = 500;

        private sealed class Work
        {
            internal uint[] Types;
            internal double[] Values;
            internal SolutionEntry[] Generated;  // what a call alone gives
            internal SolutionEntry[] Filled;
            internal double ScaleFactor;
            internal string Failure;
        }

        [Test]
        private static void CallsOnDifferentArraysRunAtOnce()
        {
            var work = Enumerable.Range(0, ThreadCount).Select(Prepare).ToArray();
            using (var start = new ManualResetEvent(false))
            {
                var threads = work.Select(item => new Thread(() => Solve(item, start))).ToArray();
                foreach (var thread in threads)
                {
                    thread.Start();
                }
                start.Set();
                foreach (var thread in threads)
                {
                    thread.Join();
                }
            }
            foreach (var item in work)
            {
                Check.True(item.Failure == null, item.Failure ?? "");
            }
        }

        // Each thread its own points: a different count and values, among them one refusal.
        private static Work Prepare(int seed)
        {
            var random = new Random(seed + 1);
            var count = 3 + 4 * seed;  // the tolerance search and the nearest-ratio path
            var types = Enumerable.Range(0, count).Select(i => (uint)random.Next(4)).ToArray();
            var values = Enumerable.Range(0, count).Select(i => 1 + random.NextDouble() * 500)
                             .ToArray();
            var generated = Valves.Generate(types, values);
            var filled = (SolutionEntry[])generated.Entries.Clone();
            Valves.Fill(filled);
            return new Work { Types = types, Values = values, Generated = generated.Entries,
                              Filled = filled, ScaleFactor = generated.ScaleFactor };
        }

        private static void Solve(Work work, ManualResetEvent start)
        {
            start.WaitOne();
            try
            {
                var refusedValues = (double[])work.Values.Clone();
                refusedValues[refusedValues.Length - 1] = -1;
                for (var round = 0; round < Rounds; ++round)
                {
                    var solution = Valves.Generate(work.Types, work.Values);
                    Check.SameEntries(work.Generated, solution.Entries, "generated");
                    Check.SameBits(work.ScaleFactor, solution.ScaleFactor, "scale factor");
                    var entries = (SolutionEntry[])solution.Entries.Clone();
                    Valves.Fill(entries);
                    Check.SameEntries(work.Filled, entries, "filled");
                    var refused = Check.Throws<KorvanException>(
                        () => Valves.Generate(work.Types, refusedValues), "refusal");
                    Check.Equal((long?)(refusedValues.Length - 1), refused.Point, "point");
                }
            }
            catch (Exception failure)
            {
                work.Failure = failure.Message;
            }
        }
    }
}
