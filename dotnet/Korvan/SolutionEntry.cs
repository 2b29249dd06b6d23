using System.Runtime.InteropServices;

namespace Korvan
{
    /// <summary>
    /// One point of a solution: the library's own 72-byte record (<c>KorvanSolutionEntry</c> of
    /// the C interface), field for field. The struct is blittable, so an array of it reaches the
    /// library pinned, as it is, with no conversion.
    /// </summary>
    [StructLayout(LayoutKind.Sequential)]
    public struct SolutionEntry
    {
        /// <summary>The point type, 0 to 3 (the library reads it as unsigned).</summary>
        public int Type;

        /// <summary>The point's input value, in the host's unit.</summary>
        public double InputValue;

        /// <summary>The required quantity, derived from <see cref="Type"/> and
        /// <see cref="InputValue"/>.</summary>
        public double Demand;

        /// <summary>The largest demand of the solution divided by this point's demand.</summary>
        public double Ratio;

        /// <summary>The upper bound of <see cref="Ratio"/> at the tolerance the search ended
        /// on.</summary>
        public double RatioMax;

        /// <summary>The lower bound of <see cref="Ratio"/> at the tolerance the search ended
        /// on.</summary>
        public double RatioMin;

        /// <summary>The chosen size, a value of the valve series 0.5, 0.3, 0.2, 0.16, 0.1, 0.06,
        /// 0.03.</summary>
        public double ValveSize;

        /// <summary>The percent deviation of the quantity the point receives from its demand,
        /// rounded down.</summary>
        public double Deviation;

        /// <summary>The host's own 8 bytes: never read by the library, moved with the
        /// entry.</summary>
        public ulong CallerData;
    }
}
