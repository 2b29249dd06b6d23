// Libraries the binding must not trust: none at all, one of another version, and one that runs
// out of memory (stand-ins built from fake_library.c, found first on the library path).
using System;

namespace Korvan.Tests
{
    internal static class UnusableLibrary
    {
        private static readonly uint[] Types = { 1, 0, 3 };
        private static readonly double[] Values = { 50, 100, 80 };

        [Test]
        private static void ArgumentsAreCheckedBeforeTheLibraryIsLoaded()
        {
            var refused = Check.Throws<ArgumentNullException>(
                () => Valves.Generate(null, Values), "null types");
            Check.Equal("types", refused.ParamName, "ParamName");
        }

        [Test]
        private static void NoArrayReachesIt(Options options)
        {
            // "missing" (no library at all) or a version number the stand-in reports.
            var library = options["library"];
            double[] sorted;
            var calls = new Action[]
            {
                () => Valves.Generate(Types, Values),
                () => Valves.Fill(new SolutionEntry[1]),
                () => Valves.SmallestPossibleValves(new[] { 0.5 }, out sorted),
            };
            foreach (var call in calls)
            {
                var refused = Check.Throws<DllNotFoundException>(call, library);
                if (library != "missing")
                {
                    Check.True(refused.Message.Contains("is version " + library + ", but " +
                                                        "Korvan.dll needs 1.2 or a later 1.x"),
                               refused.Message);
                }
            }
        }
    }

    internal static class OutOfMemory
    {
        private static readonly uint[] Types = { 1, 0, 3 };
        private static readonly double[] Values = { 50, 100, 80 };

        // The stand-in reverses every array it is given before it fails, as the library may
        // reorder entries when memory runs out.
        [Test]
        private static void ARefusalChangesNothing()
        {
            var entries = Refusals.Scrambled(Refusals.Entry(1, 50, 0), Refusals.Entry(0, 100, 0),
                                             Refusals.Entry(3, 80, 0));
            var asPassed = (SolutionEntry[])entries.Clone();
            var refused = Check.Throws<KorvanException>(() => Valves.Fill(entries), "fill");
            Refusals.Expect(refused, Result.OutOfMemory, Rule.None, null, null, "memory ran out",
                            "fill");
            Check.SameEntries(asPassed, entries, "entries after fill");

            var held = (SolutionEntry[])asPassed.Clone();
            refused = Check.Throws<KorvanException>(() => Valves.Generate(Types, Values, held),
                                                    "generate");
            Refusals.Expect(refused, Result.OutOfMemory, Rule.None, null, null, "memory ran out",
                            "generate");
            Check.SameEntries(asPassed, held, "held after generate");

            var sizes = new[] { 0.2, 0.5, 0.3 };
            double[] sorted;
            refused = Check.Throws<KorvanException>(
                () => Valves.SmallestPossibleValves(sizes, out sorted), "smallest");
            Refusals.Expect(refused, Result.OutOfMemory, Rule.None, null, null, "memory ran out",
                            "smallest");
            Check.SameBits(new[] { 0.2, 0.5, 0.3 }, sizes, "sizes after smallest");
        }
    }
}
