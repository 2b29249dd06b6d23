namespace Korvan
{
    /// <summary>
    /// Solved points, largest demand first, with the deviation extremes and the scale factor of
    /// the batch. A point's valve size times <see cref="ScaleFactor"/> is the quantity it
    /// receives.
    /// </summary>
    public sealed class Solution
    {
        internal Solution(SolutionEntry[] entries, NativeMethods.Totals totals)
        {
            Entries = entries;
            DeviationMax = totals.DeviationMax;
            DeviationMin = totals.DeviationMin;
            ScaleFactor = totals.ScaleFactor;
            ReducedScaleFactor = totals.ReducedScaleFactor;
        }

        /// <summary>Every point of the solve, largest demand first, each with its valve size
        /// and deviation. From <see cref="Valves.Fill"/>, the very array it was given.</summary>
        public SolutionEntry[] Entries { get; }

        /// <summary>The largest non-negative percent deviation, rounded down.</summary>
        public double DeviationMax { get; }

        /// <summary>The most negative percent deviation, rounded down.</summary>
        public double DeviationMin { get; }

        /// <summary>The mean of demand / valve size over the points.</summary>
        public double ScaleFactor { get; }

        /// <summary><see cref="ScaleFactor"/> / 2000.</summary>
        public double ReducedScaleFactor { get; }
    }
}
