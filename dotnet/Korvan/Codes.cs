namespace Korvan
{
    /// <summary>The result codes of the library's calls (the <c>KORVAN_*</c> codes of the C
    /// interface).</summary>
    public enum Result
    {
        /// <summary>The call succeeded.</summary>
        Success = 0,

        /// <summary>Memory ran out.</summary>
        OutOfMemory = 10,

        /// <summary>No point to solve (no new point and none held), or no size.</summary>
        NothingToSolve = 11,

        /// <summary>A point's type is not one of 0 to 3.</summary>
        InvalidType = 12,

        /// <summary>A demand outside 1e-150 to 1e150 (zero, negative, infinite and not-a-number
        /// ones included), demands so far apart that the nearest sizes do not follow them, or
        /// sizes whose ratios no group of the valve series holds.</summary>
        UnsolvableInput = 13,

        /// <summary>An argument is invalid; from this binding, a size of zero or less.</summary>
        InvalidArgument = 160,
    }

    /// <summary>The rule a refused call broke, as the library names it (the
    /// <c>KORVAN_RULE_*</c> codes of the C interface).</summary>
    public enum Rule
    {
        /// <summary>No rule of the points is broken: the refusal is about something
        /// else.</summary>
        None = 0,

        /// <summary>No point and none held, or no size (<see cref="Result.NothingToSolve"/>).
        /// </summary>
        NothingToSolve = 1,

        /// <summary>The point's type is not one of 0 to 3 (<see cref="Result.InvalidType"/>).
        /// </summary>
        TypeUnknown = 2,

        /// <summary>The point's input value is zero or less
        /// (<see cref="Result.UnsolvableInput"/>).</summary>
        InputNotPositive = 3,

        /// <summary>The point's input value is not a number
        /// (<see cref="Result.UnsolvableInput"/>).</summary>
        InputNotANumber = 4,

        /// <summary>The point's demand lies outside 1e-150 to 1e150: an input value too small,
        /// too large or infinite, or a held entry's demand as set
        /// (<see cref="Result.UnsolvableInput"/>).</summary>
        DemandOutOfRange = 5,

        /// <summary>Eight points or more, and the point's nearest size is larger than that of
        /// <see cref="KorvanException.OtherPoint"/>, whose demand is larger
        /// (<see cref="Result.UnsolvableInput"/>).</summary>
        DemandsTooFarApart = 6,

        /// <summary>The size is zero or less (<see cref="Result.InvalidArgument"/>).</summary>
        SizeNotPositive = 7,

        /// <summary>No group of the valve series holds every ratio of the largest size to the
        /// others; no single size is responsible (<see cref="Result.UnsolvableInput"/>).
        /// </summary>
        RatiosInNoGroup = 8,
    }
}
