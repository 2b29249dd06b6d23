using System;
using System.Runtime.InteropServices;

namespace Korvan
{
    /// <summary>The C interface, declared as its header declares it. Arrays are passed as
    /// pointers into pinned managed arrays; nothing is marshalled.</summary>
    internal static unsafe class NativeMethods
    {
        // Windows loads KorvanCalcValueProvider.dll; Mono and .NET on Linux probe
        // libKorvanCalcValueProvider.so.
        private const string Library = "KorvanCalcValueProvider";

        internal const int CallGenerate = 1;
        internal const int CallFill = 2;
        internal const int CallSmallest = 3;

        /// <summary>KorvanSolutionTotals: the four numbers a solve reports.</summary>
        [StructLayout(LayoutKind.Sequential)]
        internal struct Totals
        {
            internal double DeviationMax;
            internal double DeviationMin;
            internal double ScaleFactor;
            internal double ReducedScaleFactor;
        }

        /// <summary>KorvanCallPoints: the points of a call, for KorvanDiagnose.</summary>
        [StructLayout(LayoutKind.Sequential)]
        internal struct CallPoints
        {
            internal int Call;
            internal SolutionEntry* Entries;
            internal UIntPtr EntryCount;
            internal uint* Types;
            internal double* Values;
            internal UIntPtr Count;
        }

        /// <summary>KorvanDiagnosis: the rule a call's points break, and the point
        /// responsible.</summary>
        [StructLayout(LayoutKind.Sequential)]
        internal struct Diagnosis
        {
            internal int Result;
            internal int Rule;
            internal long Point;
            internal long OtherPoint;
        }

        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        internal static extern int KorvanGenerateSolution(int count, uint* types,
                                                          double* inputValues, ulong* callerData,
                                                          SolutionEntry* entries,
                                                          UIntPtr capacity, UIntPtr* entryCount,
                                                          Totals* totals);

        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        internal static extern int KorvanFillSolution(SolutionEntry* entries, UIntPtr entryCount,
                                                      Totals* totals);

        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        internal static extern int KorvanGetSmallestPossibleValves(double* sizes, UIntPtr count,
                                                                   double* smallest);

        // The sentences are static strings of the library: returned as pointers, since a string
        // return would have the marshaller free them.
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        internal static extern IntPtr KorvanDescribeResult(int result);

        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        internal static extern int KorvanDiagnose(CallPoints* points, Diagnosis* diagnosis);

        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        internal static extern IntPtr KorvanDescribeRule(int rule);

        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        internal static extern uint KorvanGetLibraryVersion();

        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        internal static extern double GetCurrentVersion();
    }
}
