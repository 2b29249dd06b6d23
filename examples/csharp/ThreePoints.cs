// Sizes the three points of the worked example from C#: types 1, 0, 3 with input values 50, 100
// and 80.
using System;
using System.Globalization;
using Korvan;

internal static class ThreePoints
{
    private static void Main()
    {
        var solution = Valves.Generate(new uint[] { 1, 0, 3 }, new double[] { 50, 100, 80 });
        foreach (var entry in solution.Entries)
        {
            Console.WriteLine("type {0}, input value {1}: size {2}, deviation {3} %",
                              entry.Type, Text(entry.InputValue), Text(entry.ValveSize),
                              Text(entry.Deviation));
        }
        Console.WriteLine("scale factor " + Text(solution.ScaleFactor));

        try
        {
            Valves.Generate(new uint[] { 1, 0 }, new double[] { 50, -100 });
        }
        catch (KorvanException refused)
        {
            Console.WriteLine("refused: " + refused.Message);
        }
    }

    // Round-trip text: "R" prints the shortest such text on .NET Core 3.0 and later, but 17
    // digits on Mono and .NET Framework where 16 would do.
    private static string Text(double value)
    {
        for (var digits = 15; digits < 17; ++digits)
        {
            var text = value.ToString("G" + digits, CultureInfo.InvariantCulture);
            if (double.Parse(text, CultureInfo.InvariantCulture) == value)
            {
                return text;
            }
        }
        return value.ToString("R", CultureInfo.InvariantCulture);
    }
}
