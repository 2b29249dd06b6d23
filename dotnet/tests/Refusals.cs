// Every rule the library names, through each call that can break it: the exception's code, rule,
// points and message, and the caller's arrays as they were before the call.
using System;
using System.IO;
using System.Linq;
using System.Runtime.Serialization.Formatters.Binary;

namespace Korvan.Tests
{
    internal static class Refusals
    {
        private sealed class Case
        {
            internal string Name;
            internal Action Call;
            internal Array[] Arrays;  // every array the call is given
            internal Result Code;
            internal Rule Rule;
            internal long? Point;
            internal long? OtherPoint;
            internal string Message;
        }

        private const string TooFarApart = "demand too far below the largest: its nearest size " +
                                           "would be larger than that of a point of larger demand";

        [Test]
        private static void GenerateNamesThePointOfEveryRule()
        {
            var noTypes = new uint[0];
            var noValues = new double[0];
            var held = new[] { Entry(0, 100, 0.9), Entry(3, 80, 0.48) };
            var badTypes = new uint[] { 0, 4, 7 };
            var typeValues = new[] { -1.0, 50, 80 };
            var zeroTypes = new uint[] { 0, 1, 2 };
            var zeroValues = new[] { 10.0, 0.0, -50.0 };
            var twoTypes = new uint[] { 0, 1 };
            var notANumber = new[] { 10.0, double.NaN };
            var infinite = new[] { double.PositiveInfinity, 1.0 };
            var badHeld = new[] { Entry(0, 100, 0.9), Entry(0, -100, double.NaN) };
            var oneType = new uint[] { 0 };
            var oneValue = new[] { -5.0 };
            var spreadTypes = new uint[] { 0, 1, 3, 2, 0, 1, 3, 2 };
            var spread = new[] { 1e45, 1e30, 1e29, 1e28, 1e27, 1e26, 1e25, 1e24 };
            var tags = new ulong[] { 5, 6 };
            ExpectAll(
                new Case { Name = "no point", Call = () => Valves.Generate(noTypes, noValues),
                           Arrays = new Array[] { noTypes, noValues },
                           Code = Result.NothingToSolve, Rule = Rule.NothingToSolve,
                           Message = "there is nothing to solve: no point, or no size" },
                new Case { Name = "unknown type after held",
                           Call = () => Valves.Generate(badTypes, typeValues, held),
                           Arrays = new Array[] { badTypes, typeValues, held },
                           Code = Result.InvalidType, Rule = Rule.TypeUnknown, Point = 3,
                           Message = "point 4: type must be one of 0 to 3" },
                new Case { Name = "zero input",
                           Call = () => Valves.Generate(zeroTypes, zeroValues),
                           Arrays = new Array[] { zeroTypes, zeroValues },
                           Code = Result.UnsolvableInput, Rule = Rule.InputNotPositive, Point = 1,
                           Message = "point 2: input value must be positive" },
                new Case { Name = "not a number",
                           Call = () => Valves.Generate(twoTypes, notANumber, null, tags),
                           Arrays = new Array[] { twoTypes, notANumber, tags },
                           Code = Result.UnsolvableInput, Rule = Rule.InputNotANumber, Point = 1,
                           Message = "point 2: input value must be a number" },
                new Case { Name = "infinite input",
                           Call = () => Valves.Generate(twoTypes, infinite),
                           Arrays = new Array[] { twoTypes, infinite },
                           Code = Result.UnsolvableInput, Rule = Rule.DemandOutOfRange, Point = 0,
                           Message = "point 1: demand must lie within 1e-150 to 1e150" },
                new Case { Name = "held demand",
                           Call = () => Valves.Generate(oneType, oneValue, badHeld),
                           Arrays = new Array[] { oneType, oneValue, badHeld },
                           Code = Result.UnsolvableInput, Rule = Rule.DemandOutOfRange, Point = 1,
                           Message = "point 2: demand must lie within 1e-150 to 1e150" },
                new Case { Name = "too far apart",
                           Call = () => Valves.Generate(spreadTypes, spread),
                           Arrays = new Array[] { spreadTypes, spread },
                           Code = Result.UnsolvableInput, Rule = Rule.DemandsTooFarApart,
                           Point = 7, OtherPoint = 3,
                           Message = "point 8: " + TooFarApart + " (point 4)" });
        }

        [Test]
        private static void FillNamesTheEntryAndLeavesTheArrayAsItWas()
        {
            var none = new SolutionEntry[0];
            var negative = Scrambled(Entry(1, 50, 0), Entry(0, -3, 0));
            var typeMinusOne = Scrambled(Entry(-1, 50, 0), Entry(0, 0, 0));
            // Refused only after every demand is recomputed and the entries are ordered.
            var farApart = Scrambled(new[] { 1e24, 1e45, 1e30, 1e29, 1e28, 1e27, 1e26, 1e25 }
                                         .Select(value => Entry(0, value, 0)).ToArray());
            ExpectAll(
                new Case { Name = "no entry", Call = () => Valves.Fill(none),
                           Arrays = new Array[] { none }, Code = Result.NothingToSolve,
                           Rule = Rule.NothingToSolve,
                           Message = "there is nothing to solve: no point, or no size" },
                new Case { Name = "negative input", Call = () => Valves.Fill(negative),
                           Arrays = new Array[] { negative }, Code = Result.UnsolvableInput,
                           Rule = Rule.InputNotPositive, Point = 1,
                           Message = "point 2: input value must be positive" },
                new Case { Name = "type -1", Call = () => Valves.Fill(typeMinusOne),
                           Arrays = new Array[] { typeMinusOne }, Code = Result.InvalidType,
                           Rule = Rule.TypeUnknown, Point = 0,
                           Message = "point 1: type must be one of 0 to 3" },
                new Case { Name = "too far apart", Call = () => Valves.Fill(farApart),
                           Arrays = new Array[] { farApart }, Code = Result.UnsolvableInput,
                           Rule = Rule.DemandsTooFarApart, Point = 0, OtherPoint = 4,
                           Message = "point 1: " + TooFarApart + " (point 5)" });
        }

        [Test]
        private static void SmallestNamesTheSizeInTheOrderGiven()
        {
            var none = new double[0];
            var notPositive = new[] { 0.3, 0.5, -0.1, 0.0 };
            var noGroup = new[] { 0.7, 0.2 };
            double[] sorted;
            ExpectAll(
                new Case { Name = "no size",
                           Call = () => Valves.SmallestPossibleValves(none, out sorted),
                           Arrays = new Array[] { none }, Code = Result.NothingToSolve,
                           Rule = Rule.NothingToSolve,
                           Message = "there is nothing to solve: no point, or no size" },
                new Case { Name = "size not positive",
                           Call = () => Valves.SmallestPossibleValves(notPositive, out sorted),
                           Arrays = new Array[] { notPositive }, Code = Result.InvalidArgument,
                           Rule = Rule.SizeNotPositive, Point = 2,
                           Message = "point 3: size must be positive" },
                new Case { Name = "ratios in no group",
                           Call = () => Valves.SmallestPossibleValves(noGroup, out sorted),
                           Arrays = new Array[] { noGroup }, Code = Result.UnsolvableInput,
                           Rule = Rule.RatiosInNoGroup,
                           Message = "no group of the valve series holds every ratio of the " +
                                     "largest size to the others" });
        }

        [Test]
        private static void TheExceptionSurvivesSerialization()
        {
            var refused = Check.Throws<KorvanException>(
                () => Valves.Generate(new uint[] { 0, 1, 3, 2, 0, 1, 3, 2 },
                                      new[] { 1e45, 1e30, 1e29, 1e28, 1e27, 1e26, 1e25, 1e24 }),
                "too far apart");
            var formatter = new BinaryFormatter();
            using (var stream = new MemoryStream())
            {
                formatter.Serialize(stream, refused);
                stream.Position = 0;
                var restored = (KorvanException)formatter.Deserialize(stream);
                Expect(restored, Result.UnsolvableInput, Rule.DemandsTooFarApart, 7, 3,
                       "point 8: " + TooFarApart + " (point 4)", "restored");
            }
            var plain = new KorvanException(Result.OutOfMemory, "memory ran out");
            Expect(plain, Result.OutOfMemory, Rule.None, null, null, "memory ran out", "plain");
        }

        private static void ExpectAll(params Case[] cases)
        {
            foreach (var refusal in cases)
            {
                var before = refusal.Arrays.Select(array => (Array)array.Clone()).ToArray();
                var refused = Check.Throws<KorvanException>(refusal.Call, refusal.Name);
                Expect(refused, refusal.Code, refusal.Rule, refusal.Point, refusal.OtherPoint,
                       refusal.Message, refusal.Name);
                for (var i = 0; i < before.Length; ++i)
                {
                    SameContent(before[i], refusal.Arrays[i], refusal.Name + ": array " + i);
                }
            }
        }

        internal static void Expect(KorvanException refused, Result code, Rule rule, long? point,
                                    long? otherPoint, string message, string what)
        {
            Check.Equal(code, refused.Code, what + ": Code");
            Check.Equal(rule, refused.Rule, what + ": Rule");
            Check.Equal(point, refused.Point, what + ": Point");
            Check.Equal(otherPoint, refused.OtherPoint, what + ": OtherPoint");
            Check.Equal(message, refused.Message, what + ": Message");
        }

        internal static void SameContent(Array expected, Array actual, string what)
        {
            var entries = expected as SolutionEntry[];
            var doubles = expected as double[];
            if (entries != null)
            {
                Check.SameEntries(entries, (SolutionEntry[])actual, what);
            }
            else if (doubles != null)
            {
                Check.SameBits(doubles, (double[])actual, what);
            }
            else
            {
                Check.True(expected.Cast<object>().SequenceEqual(actual.Cast<object>()),
                           what + " changed");
            }
        }

        internal static SolutionEntry Entry(int type, double inputValue, double demand)
        {
            return new SolutionEntry { Type = type, InputValue = inputValue, Demand = demand };
        }

        // Every field the library writes set to a value it would not write, and a tag each.
        internal static SolutionEntry[] Scrambled(params SolutionEntry[] entries)
        {
            for (var i = 0; i < entries.Length; ++i)
            {
                entries[i].Demand = -1 - i;
                entries[i].Ratio = -2;
                entries[i].RatioMax = double.NaN;
                entries[i].RatioMin = -3;
                entries[i].ValveSize = 9 + i;
                entries[i].Deviation = -0.0;
                entries[i].CallerData = 100 + (ulong)i;
            }
            return entries;
        }
    }
}
