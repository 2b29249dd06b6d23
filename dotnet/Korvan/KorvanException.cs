using System;
using System.Runtime.Serialization;
using System.Security;

namespace Korvan
{
    /// <summary>
    /// The library refused a call. Whatever the code, the arrays the caller passed are as they
    /// were before the call.
    /// </summary>
    /// <remarks>
    /// Where the library names the rule broken and the point responsible, the message reads
    /// <c>point N: rule</c>, or <c>point N: rule (point M)</c> for a pair, where N and M count
    /// from 1 (<see cref="Point"/> + 1): the entries held first, then the new points in the
    /// order of the types; sizes in the order given. A rule no single point breaks reads as the
    /// rule alone; otherwise the message is the library's sentence for the result code.
    /// </remarks>
    [Serializable]
    public class KorvanException : Exception
    {
        /// <summary>A refusal the library explains by its result code alone.</summary>
        /// <param name="code">The result code of the call.</param>
        /// <param name="message">The library's sentence for the code.</param>
        public KorvanException(Result code, string message)
            : this(code, Rule.None, null, null, message)
        {
        }

        /// <summary>A refusal with the rule broken and the points responsible.</summary>
        /// <param name="code">The result code of the call.</param>
        /// <param name="rule">The first rule the points break, or <see cref="Rule.None"/>.</param>
        /// <param name="point">The point responsible, counted from 0, or null.</param>
        /// <param name="otherPoint">The second point of a pair, counted from 0, or null.</param>
        /// <param name="message">The message, as the remarks describe it.</param>
        public KorvanException(Result code, Rule rule, long? point, long? otherPoint,
                               string message)
            : base(message)
        {
            Code = code;
            Rule = rule;
            Point = point;
            OtherPoint = otherPoint;
        }

        /// <summary>Restores a refusal that crossed an application domain or a process.</summary>
        /// <param name="info">The serialized fields.</param>
        /// <param name="context">Where they come from.</param>
        protected KorvanException(SerializationInfo info, StreamingContext context)
            : base(info, context)
        {
            Code = (Result)info.GetInt32(CodeKey);
            Rule = (Rule)info.GetInt32(RuleKey);
            Point = PointFrom(info.GetInt64(PointKey));
            OtherPoint = PointFrom(info.GetInt64(OtherPointKey));
        }

        /// <summary>The result code of the refused call; never <see cref="Result.Success"/>
        /// from this binding.</summary>
        public Result Code { get; }

        /// <summary>The first rule the points break, or <see cref="Rule.None"/> when the library
        /// names none.</summary>
        public Rule Rule { get; }

        /// <summary>The point (or size) responsible, counted from 0, or null when the library
        /// names none.</summary>
        public long? Point { get; }

        /// <summary>For <see cref="Korvan.Rule.DemandsTooFarApart"/>, the point of larger demand
        /// that the point outgrows, counted from 0; otherwise null.</summary>
        public long? OtherPoint { get; }

        /// <summary>Writes the code, rule and points with the message.</summary>
        /// <param name="info">Where the fields go.</param>
        /// <param name="context">Where they go to.</param>
        [SecurityCritical]
        public override void GetObjectData(SerializationInfo info, StreamingContext context)
        {
            base.GetObjectData(info, context);
            info.AddValue(CodeKey, (int)Code);
            info.AddValue(RuleKey, (int)Rule);
            info.AddValue(PointKey, Point ?? NoPoint);
            info.AddValue(OtherPointKey, OtherPoint ?? NoPoint);
        }

        private const long NoPoint = -1;
        private const string CodeKey = "KorvanCode";
        private const string RuleKey = "KorvanRule";
        private const string PointKey = "KorvanPoint";
        private const string OtherPointKey = "KorvanOtherPoint";

        private static long? PointFrom(long stored)
        {
            return stored < 0 ? (long?)null : stored;
        }
    }
}
