using System;
using System.Globalization;
using System.Runtime.InteropServices;

namespace Korvan
{
    /// <summary>Turns a refused call into its KorvanException, with what the library tells about
    /// the points: the rule broken and the point responsible.</summary>
    internal static unsafe class Refusal
    {
        private const long NoPoint = -1;

        /// <summary>The exception for result <paramref name="result"/> of the call whose points
        /// <paramref name="points"/> describes, as the caller passed them.</summary>
        internal static KorvanException Of(int result, NativeMethods.CallPoints points)
        {
            // Left as it is when the diagnosis itself is refused.
            var verdict = new NativeMethods.Diagnosis { Rule = (int)Rule.None };
            var told = NativeMethods.KorvanDiagnose(&points, &verdict);
            // The verdict explains the refusal only when it foresees the same result; memory
            // running out, for one, is no rule of the points.
            if (told != result || verdict.Result != result || verdict.Rule == (int)Rule.None)
            {
                return new KorvanException((Result)result, Sentence(
                    NativeMethods.KorvanDescribeResult(result)));
            }
            return new KorvanException((Result)result, (Rule)verdict.Rule, PointOf(verdict.Point),
                                       PointOf(verdict.OtherPoint), Message(verdict));
        }

        private static string Message(NativeMethods.Diagnosis verdict)
        {
            var rule = Sentence(NativeMethods.KorvanDescribeRule(verdict.Rule));
            if (verdict.Point == NoPoint)
            {
                return rule;
            }
            var message = "point " + Counted(verdict.Point) + ": " + rule;
            if (verdict.OtherPoint != NoPoint)
            {
                message += " (point " + Counted(verdict.OtherPoint) + ")";
            }
            return message;
        }

        // Points are counted from 1 in messages, as a person counts them.
        private static string Counted(long point)
        {
            return (point + 1).ToString(CultureInfo.InvariantCulture);
        }

        private static long? PointOf(long point)
        {
            return point == NoPoint ? (long?)null : point;
        }

        private static string Sentence(IntPtr text)
        {
            return Marshal.PtrToStringAnsi(text);
        }
    }
}
