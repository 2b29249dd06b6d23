using System;

namespace Korvan
{
    /// <summary>
    /// Valve sizing: turns points (a type 0 to 3 and an input value each) into demands, picks one
    /// size of the valve series per point, and reports each point's deviation and one common
    /// scale factor. Every call checks its arguments first, and a call the library refuses
    /// throws <see cref="KorvanException"/> and changes nothing the caller passed.
    /// </summary>
    /// <remarks>
    /// The library keeps no state between calls: calls on different arrays may run on several
    /// threads at once; one array must not be used by two calls at once, nor written while a
    /// call works on it.
    /// </remarks>
    public static unsafe class Valves
    {
        // The major version this binding is written against, and the oldest library of it that
        // has every function the binding calls (KorvanDiagnose came with 1.2.0).
        private const uint InterfaceMajor = 1;
        private const uint OldestUsableVersion = 10200;

        /// <summary>Solves new points, after any held ones, into a new array.</summary>
        /// <param name="types">The point types, 0 to 3 (others are refused with
        /// <see cref="Result.InvalidType"/>).</param>
        /// <param name="inputValues">The points' input values, in the host's unit, one per
        /// type.</param>
        /// <param name="held">Null, or points held from before (the entries of an earlier
        /// solution): copied to the front of the new array and never modified.</param>
        /// <param name="callerData">Null, or one tag per new point that its entry carries; by
        /// default each new point is tagged with its position in <paramref name="types"/>, to
        /// join results back to the host's rows.</param>
        /// <returns>The solution of all the points, held and new, largest demand first, in a new
        /// array.</returns>
        /// <exception cref="ArgumentNullException"><paramref name="types"/> or
        /// <paramref name="inputValues"/> is null.</exception>
        /// <exception cref="ArgumentException">The lengths of <paramref name="inputValues"/> or
        /// <paramref name="callerData"/> differ from that of <paramref name="types"/>, or the
        /// points are too many for one array.</exception>
        /// <exception cref="KorvanException">The library refused the points; the exception
        /// names the rule and the point (held entries first) where it can.</exception>
        /// <exception cref="DllNotFoundException">No usable KorvanCalcValueProvider library was
        /// found.</exception>
        public static Solution Generate(uint[] types, double[] inputValues,
                                        SolutionEntry[] held = null, ulong[] callerData = null)
        {
            CheckNotNull(types, nameof(types));
            CheckNotNull(inputValues, nameof(inputValues));
            CheckLength(inputValues.Length, types.Length, nameof(inputValues));
            if (callerData != null)
            {
                CheckLength(callerData.Length, types.Length, nameof(callerData));
            }
            var heldCount = held == null ? 0 : held.Length;
            if ((long)heldCount + types.Length > int.MaxValue)
            {
                throw new ArgumentException("held entries and new points are too many for one " +
                                            "array", nameof(held));
            }
            CheckLibrary();

            var tags = callerData ?? Positions(types.Length);
            var entries = new SolutionEntry[heldCount + types.Length];
            if (heldCount > 0)
            {
                Array.Copy(held, entries, heldCount);
            }
            fixed (uint* typesAt = types)
            fixed (double* valuesAt = inputValues)
            fixed (ulong* tagsAt = tags)
            fixed (SolutionEntry* entriesAt = entries)
            fixed (SolutionEntry* heldAt = held)
            {
                var entryCount = (UIntPtr)heldCount;
                NativeMethods.Totals totals;
                var result = NativeMethods.KorvanGenerateSolution(
                    types.Length, typesAt, valuesAt, tagsAt, entriesAt, (UIntPtr)entries.Length,
                    &entryCount, &totals);
                if (result != 0)
                {
                    throw Refusal.Of(result, new NativeMethods.CallPoints
                    {
                        Call = NativeMethods.CallGenerate,
                        Entries = heldAt,
                        EntryCount = (UIntPtr)heldCount,
                        Types = typesAt,
                        Values = valuesAt,
                        Count = (UIntPtr)types.Length,
                    });
                }
                return new Solution(entries, totals);
            }
        }

        /// <summary>Re-solves entries in place after the host edited their types or input
        /// values.</summary>
        /// <remarks>
        /// Every demand is recomputed from the type and input value, then all points are solved
        /// and reordered by demand, each keeping its <see cref="SolutionEntry.CallerData"/>.
        /// The demands are recomputed with half the multiplier <see cref="Generate"/> uses (2
        /// against 4); this is intended, and means that entries re-solved here and then held in
        /// <see cref="Generate"/> next to new points are compared by unlike demands. The points
        /// are solved in a copy, written back on success only: a refused call leaves
        /// <paramref name="entries"/> as it was.
        /// </remarks>
        /// <param name="entries">The entries: their types and input values are read; every
        /// other field is written.</param>
        /// <returns>The solution, whose <see cref="Solution.Entries"/> is
        /// <paramref name="entries"/> itself.</returns>
        /// <exception cref="ArgumentNullException"><paramref name="entries"/> is
        /// null.</exception>
        /// <exception cref="KorvanException">The library refused the entries (among others
        /// <see cref="Result.NothingToSolve"/> for an empty array); the exception names the rule
        /// and the entry where it can.</exception>
        /// <exception cref="DllNotFoundException">No usable KorvanCalcValueProvider library was
        /// found.</exception>
        public static Solution Fill(SolutionEntry[] entries)
        {
            CheckNotNull(entries, nameof(entries));
            CheckLibrary();

            var work = (SolutionEntry[])entries.Clone();
            NativeMethods.Totals totals;
            int result;
            fixed (SolutionEntry* workAt = work)
            {
                result = NativeMethods.KorvanFillSolution(workAt, (UIntPtr)work.Length, &totals);
            }
            if (result != 0)
            {
                fixed (SolutionEntry* entriesAt = entries)
                {
                    throw Refusal.Of(result, new NativeMethods.CallPoints
                    {
                        Call = NativeMethods.CallFill,
                        Entries = entriesAt,
                        EntryCount = (UIntPtr)entries.Length,
                    });
                }
            }
            Array.Copy(work, entries, work.Length);
            return new Solution(entries, totals);
        }

        /// <summary>The smallest sizes of the valve series that keep exactly the ratio of the
        /// largest size to every other size.</summary>
        /// <param name="sizes">Valve sizes, positive; not modified.</param>
        /// <param name="sortedSizes">On return, a copy of <paramref name="sizes"/> sorted
        /// largest first (values that are not a number last).</param>
        /// <returns>For each of <paramref name="sortedSizes"/>, the size that stands for it, in
        /// a new array.</returns>
        /// <exception cref="ArgumentNullException"><paramref name="sizes"/> is null.</exception>
        /// <exception cref="KorvanException">The library refused the sizes: none
        /// (<see cref="Result.NothingToSolve"/>), a size of zero or less
        /// (<see cref="Result.InvalidArgument"/>, naming the first such size in the order
        /// given), or ratios no group of the series holds
        /// (<see cref="Result.UnsolvableInput"/>).</exception>
        /// <exception cref="DllNotFoundException">No usable KorvanCalcValueProvider library was
        /// found.</exception>
        public static double[] SmallestPossibleValves(double[] sizes, out double[] sortedSizes)
        {
            CheckNotNull(sizes, nameof(sizes));
            CheckLibrary();

            var sorted = (double[])sizes.Clone();
            var smallest = new double[sizes.Length];
            int result;
            fixed (double* sortedAt = sorted)
            fixed (double* smallestAt = smallest)
            {
                result = NativeMethods.KorvanGetSmallestPossibleValves(
                    sortedAt, (UIntPtr)sorted.Length, smallestAt);
            }
            if (result != 0)
            {
                fixed (double* sizesAt = sizes)
                {
                    throw Refusal.Of(result, new NativeMethods.CallPoints
                    {
                        Call = NativeMethods.CallSmallest,
                        Values = sizesAt,
                        Count = (UIntPtr)sizes.Length,
                    });
                }
            }
            sortedSizes = sorted;
            return smallest;
        }

        /// <summary>The loaded library's version as major * 10000 + minor * 100 + patch (10200
        /// for 1.2.0).</summary>
        /// <exception cref="DllNotFoundException">No KorvanCalcValueProvider library was
        /// found.</exception>
        public static int LibraryVersion
        {
            get { return (int)NativeMethods.KorvanGetLibraryVersion(); }
        }

        /// <summary>The version of the sizing interface the library implements: 1.0.</summary>
        /// <returns>The interface version.</returns>
        /// <exception cref="DllNotFoundException">No KorvanCalcValueProvider library was
        /// found.</exception>
        public static double CurrentVersion()
        {
            return NativeMethods.GetCurrentVersion();
        }

        // A library of another major version lays its records out differently, and one older
        // than 1.2 cannot explain a refusal: both are refused before any array reaches them.
        private static void CheckLibrary()
        {
            var version = NativeMethods.KorvanGetLibraryVersion();
            if (version / 10000 != InterfaceMajor || version < OldestUsableVersion)
            {
                throw new DllNotFoundException(
                    "the KorvanCalcValueProvider library loaded is version " +
                    VersionText(version) + ", but Korvan.dll needs 1.2 or a later 1.x");
            }
        }

        private static string VersionText(uint version)
        {
            return (version / 10000) + "." + (version / 100 % 100) + "." + (version % 100);
        }

        private static ulong[] Positions(int count)
        {
            var positions = new ulong[count];
            for (var i = 0; i < count; ++i)
            {
                positions[i] = (ulong)i;
            }
            return positions;
        }

        private static void CheckNotNull(object argument, string name)
        {
            if (argument == null)
            {
                throw new ArgumentNullException(name);
            }
        }

        private static void CheckLength(int length, int typesLength, string name)
        {
            if (length != typesLength)
            {
                throw new ArgumentException(
                    name + " has " + length + " values for " + typesLength + " types", name);
            }
        }
    }
}
