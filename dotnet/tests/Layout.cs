// The records the binding shares with the library, laid out as the C compiler lays out the
// header's: sizes and offsets as the marshaller sees them, and as the bytes lie in an array.
using System;
using System.Collections.Generic;
using System.Linq;
using System.Runtime.InteropServices;

namespace Korvan.Tests
{
    internal static unsafe class Layout
    {
        private static readonly string[] Records = { "SolutionEntry", "Totals", "CallPoints",
                                                     "Diagnosis" };

        [Test]
        private static void RecordsMatchTheHeader(Options options)
        {
            var header = Measure(options["layout-program"]);
            foreach (var name in Records)
            {
                var record = RecordType(name);
                Check.Equal(header[name + ".size"][0], Marshal.SizeOf(record), name + " size");
                var fields = record.GetFields(System.Reflection.BindingFlags.Instance |
                                              System.Reflection.BindingFlags.Public |
                                              System.Reflection.BindingFlags.NonPublic);
                var measured = header.Keys.Count(key => key.StartsWith(name + ".")) - 1;
                Check.Equal(measured, fields.Length, name + " field count");
                foreach (var field in fields)
                {
                    var measuredField = header[name + "." + field.Name];
                    Check.Equal(measuredField[0], (long)Marshal.OffsetOf(record, field.Name),
                                name + "." + field.Name + " offset");
                    Check.Equal(measuredField[1], FieldSize(field.FieldType),
                                name + "." + field.Name + " size");
                }
            }
        }

        [Test]
        private static void EntriesLieInAnArrayAsInC(Options options)
        {
            var header = Measure(options["layout-program"]);
            Check.Equal(header["SolutionEntry.size"][0], sizeof(SolutionEntry), "sizeof");
            var entries = new SolutionEntry[2];
            fixed (SolutionEntry* first = entries)
            {
                var start = (byte*)first;
                var offsets = new Dictionary<string, long>
                {
                    { "Type", (byte*)&first->Type - start },
                    { "InputValue", (byte*)&first->InputValue - start },
                    { "Demand", (byte*)&first->Demand - start },
                    { "Ratio", (byte*)&first->Ratio - start },
                    { "RatioMax", (byte*)&first->RatioMax - start },
                    { "RatioMin", (byte*)&first->RatioMin - start },
                    { "ValveSize", (byte*)&first->ValveSize - start },
                    { "Deviation", (byte*)&first->Deviation - start },
                    { "CallerData", (byte*)&first->CallerData - start },
                };
                foreach (var field in offsets)
                {
                    Check.Equal(header["SolutionEntry." + field.Key][0], field.Value,
                                field.Key + " in memory");
                }
                Check.Equal(header["SolutionEntry.size"][0], (long)((byte*)(first + 1) - start),
                            "stride");
            }
        }

        private static Type RecordType(string name)
        {
            return name == "SolutionEntry"
                       ? typeof(SolutionEntry)
                       : typeof(Valves).Assembly.GetType("Korvan.NativeMethods+" + name, true);
        }

        private static long FieldSize(Type field)
        {
            return field.IsPointer ? IntPtr.Size : Marshal.SizeOf(field);
        }

        // The C program's "Record.size bytes" and "Record.Field offset bytes" lines, by their
        // first word.
        private static Dictionary<string, long[]> Measure(string program)
        {
            return Programs.Output(program)
                .Split(new[] { '\n' }, StringSplitOptions.RemoveEmptyEntries)
                .Select(line => line.Split(' '))
                .ToDictionary(words => words[0],
                              words => words.Skip(1).Select(long.Parse).ToArray());
        }
    }
}
