// Sizes the README's three points from C# and prints each point's valve size and deviation.
using System;
using Korvan;

internal static class InShort
{
    private static void Main()
    {
        Solution solution = Valves.Generate(new uint[] { 1, 0, 3 }, new double[] { 50, 100, 80 });
        foreach (SolutionEntry entry in solution.Entries)
        {
            Console.WriteLine("type {0}: valve size {1}, deviation {2} %", entry.Type,
                              entry.ValveSize, entry.Deviation);
        }
    }
}
