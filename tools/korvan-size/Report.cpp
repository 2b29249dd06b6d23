// What korvan-size writes: a table for people, CSV (by tests/golden/README.md) or JSON for
// programs, every number so that it reads back; the numbers' texts the same in every locale.
#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <system_error>

#include "korvan-size.h"

namespace korvan_size {
namespace {

template <typename Value, typename... Format>
NumberText Printed(Value value, Format... format) {
    NumberText text;
    text.size = static_cast<std::size_t>(
        std::to_chars(text.data, text.data + sizeof text.data, value, format...).ptr - text.data);
    return text;
}

constexpr std::array<std::string_view, 8> kFieldNames = {
    "point", "type", "inputValue", "demand", "ratio", "valveSize", "delivered", "deviation"};
constexpr std::array<std::string_view, 9> kTableHeader = {"point",     "type",        "input value",
                                                          "demand",    "ratio",       "valve size",
                                                          "delivered", "deviation %", ""};
constexpr std::array<std::string_view, 4> kTotalNames = {"deviationMax", "deviationMin",
                                                         "scaleFactor", "reducedScaleFactor"};

std::array<double, 4> TotalsOf(const KorvanSolutionTotals& totals) {
    return {totals.deviationMax, totals.deviationMin, totals.scaleFactor,
            totals.reducedScaleFactor};
}

// Valve sizes, and what they deliver, take a handful of values in a whole solution: the text of
// each is made once (of the first eight; any further each time).
struct FewValues {
    std::array<double, 8> values{};
    std::array<NumberText, 9> texts{};
    std::size_t used = 0;

    template <typename Format>
    std::string_view Of(double value, const Format& format) {
        const auto known = static_cast<std::size_t>(
            std::find(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(used), value) -
            values.begin());
        if (known < used) {
            return texts[known].View();
        }
        texts[used] = format(value);
        values[std::min(used, values.size() - 1)] = value;
        return texts[used < values.size() ? used++ : used].View();
    }
};

// Each number of a point, in the columns' order, with the text `format` gives it (valve size and
// delivered, valve size x scale factor, through `last`).
template <typename Format, typename Use>
void EachNumber(const KorvanSolutionEntry& entry, double scaleFactor,
                std::array<FewValues, 2>& last, const Format& format, const Use& use) {
    use(Whole(entry.callerData + 1).View());
    use(Whole(static_cast<std::uint32_t>(entry.type)).View());
    use(format(2, entry.inputValue).View());
    use(format(3, entry.demand).View());
    use(format(4, entry.ratio).View());
    use(last[0].Of(entry.valveSize, [&](double value) { return format(5, value); }));
    use(last[1].Of(entry.valveSize * scaleFactor, [&](double value) { return format(6, value); }));
    use(format(7, entry.deviation).View());
}

// A carried value on one line of the table: each line break and tab one space, other control
// characters as messages show them.
std::string_view OnOneLine(std::string_view text, std::string& scratch) {
    if (std::all_of(text.begin(), text.end(),
                    [](char c) { return (c & 0xE0) != 0 && c != 0x7F && c != '\xC2'; })) {
        return text;
    }
    scratch.clear();
    for (std::size_t at = 0; at < text.size(); ++at) {
        const std::size_t length = text[at] == '\xC2' || text.compare(at, 2, "\r\n") == 0 ? 2 : 1;
        const bool breaks = text[at] == '\t' || text[at] == '\n' || text[at] == '\r';
        scratch += breaks ? std::string(" ") : Shown(text.substr(at, length));
        at += length - 1;
    }
    return scratch;
}

// Columns a terminal gives the text: UTF-8 continuation bytes take none.
std::size_t Width(std::string_view text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

// Two decimals, as printf's %.2f without the sign of a negative zero: most deviations have no
// more in their shortest digits, and are written from them fast.
NumberText TwoDecimals(double value) {
    NumberText text = Shortest(value + 0.0);  // adding zero turns -0 into 0
    const auto point =
        static_cast<std::size_t>(std::find(text.data, text.data + text.size, '.') - text.data);
    if (std::fabs(value) >= 1e13 || text.size > point + 3 ||
        std::find(text.data, text.data + text.size, 'e') != text.data + text.size) {
        return Printed(value + 0.0, std::chars_format::fixed, 2);
    }
    text.data[point] = '.';
    std::memset(text.data + text.size, '0', point + 3 - text.size);
    text.size = point + 3;
    return text;
}

// Appends `text` padded to `width` (right-aligned or not), after a gap of two spaces.
void AppendCell(std::string& line, std::string_view text, std::size_t width, bool right) {
    const std::size_t padding = width - std::min(width, Width(text));
    const std::size_t at = line.size() + (line.empty() ? 0 : 2);
    line.resize(at + padding + text.size(), ' ');
    Copy(&line[at + (right ? padding : 0)], text);
}

// Writes `line` and empties it; no line of a table ends in blanks.
void WriteLine(Output& out, std::string& line) {
    line.erase(line.find_last_not_of(' ') + 1);
    out.Write(line += '\n');
    line.clear();
}

// A small table held as its cells' texts, row after row; columns before `rightAligned` are
// aligned right. Written aligned, or with a `separator` between the cells.
struct Table {
    std::size_t columns;
    std::size_t rightAligned;
    std::vector<std::string> cells;

    void Write(Output& out, char separator = '\0') const {
        std::vector<std::size_t> widths(columns);
        for (std::size_t cell = 0; cell < cells.size(); ++cell) {
            widths[cell % columns] = std::max(widths[cell % columns], Width(cells[cell]));
        }
        std::string line;
        for (std::size_t cell = 0; cell < cells.size(); ++cell) {
            const std::size_t column = cell % columns;
            if (separator != '\0') {
                line.append(column > 0 ? 1 : 0, separator).append(cells[cell]);
            } else {
                AppendCell(line, cells[cell], widths[column], column < rightAligned);
            }
            if (column + 1 == columns) {
                WriteLine(out, line);
            }
        }
    }
};

// Points in rows of the numbers, a bar of the deviation and the carried values, every column as
// wide as its widest cell, then the totals. The numbers are formatted once, for the widths and
// for the lines, and held compactly.
void WriteTable(Output& out, const Sizing& sizing, const Points& carried) {
    const std::vector<KorvanSolutionEntry>& entries = sizing.entries;
    const std::size_t numbers = kTableHeader.size() - 1;
    std::vector<std::size_t> widths(kTableHeader.size() + carried.names.size());
    std::transform(kTableHeader.begin(), kTableHeader.end(), widths.begin(),
                   [](auto name) { return name.size(); });
    std::string scratch;
    for (std::size_t column = kTableHeader.size(); column < widths.size(); ++column) {
        widths[column] = Width(OnOneLine(carried.names[column - kTableHeader.size()], scratch));
        for (std::size_t point = 0; point < entries.size(); ++point) {
            widths[column] = std::max(
                widths[column],
                Width(OnOneLine(carried.Cell(point, column - kTableHeader.size()), scratch)));
        }
    }
    double largest = 0.0;
    for (const KorvanSolutionEntry& entry : entries) {
        largest = std::max(largest, std::fabs(entry.deviation));
    }
    // Dashes left of the bar for a deficit, pluses right of it for a surplus, scaled so that the
    // largest deviation of the solution fills one side.
    std::array<char, 21> bar{};
    const auto barOf = [&](double deviation) {
        const double share = largest > 0.0 ? std::fabs(deviation) / largest * 10 : 0.0;
        const auto length = static_cast<std::size_t>(deviation == 0.0 ? 0
                                                     : std::isfinite(share)
                                                         ? std::clamp(std::lround(share), 1L, 10L)
                                                         : 10);
        bar.fill(' ');
        std::fill_n(bar.begin() + static_cast<std::ptrdiff_t>(deviation < 0.0 ? 10 - length : 11),
                    length, deviation < 0.0 ? '-' : '+');
        bar[10] = '|';
        return std::string_view(bar.data(), 11 + (deviation < 0.0 ? 0 : length));
    };
    std::array<FewValues, 2> last;
    const auto format = [](std::size_t column, double value) {  // each text made in place
        if (column == 2 || column == 5) {
            return Shortest(value);
        }
        if (column == 7) {
            return TwoDecimals(value);
        }
        return SixDigits(value);
    };
    std::string cells;
    std::vector<std::array<std::uint8_t, 8>> sizes(entries.size());
    for (std::size_t index = 0; index < entries.size(); ++index) {
        std::size_t column = 0;
        EachNumber(entries[index], sizing.totals.scaleFactor, last, format,
                   [&](std::string_view text) {
                       cells.append(text);
                       sizes[index][column] = static_cast<std::uint8_t>(text.size());
                       widths[column] = std::max(widths[column], text.size());
                       ++column;
                   });
        widths[numbers] = std::max(widths[numbers], barOf(entries[index].deviation).size());
    }
    std::string line;
    for (std::size_t column = 0; column < widths.size(); ++column) {
        AppendCell(line,
                   column <= numbers ? kTableHeader[column]
                                     : OnOneLine(carried.names[column - numbers - 1], scratch),
                   widths[column], column < numbers);
    }
    WriteLine(out, line);
    std::string_view rest = cells;
    for (std::size_t index = 0; index < entries.size(); ++index) {
        for (std::size_t column = 0; column < numbers; ++column) {
            AppendCell(line, rest.substr(0, sizes[index][column]), widths[column], true);
            rest.remove_prefix(sizes[index][column]);
        }
        AppendCell(line, barOf(entries[index].deviation), widths[numbers], false);
        for (std::size_t column = numbers + 1; column < widths.size(); ++column) {
            AppendCell(line, OnOneLine(carried.Cell(index, column - numbers - 1), scratch),
                       widths[column], false);
        }
        WriteLine(out, line);
    }
    out.Write('\n');
    Table totals{2, 0, {}};
    const auto values = TotalsOf(sizing.totals);
    for (std::size_t index = 0; index < values.size(); ++index) {
        totals.cells.insert(totals.cells.end(), {std::string(kTotalNames[index]),
                                                 std::string(Shortest(values[index]).View())});
    }
    totals.Write(out);
}

// A text cell: neutralised where a spreadsheet would run it as a formula, quoted where needed.
void WriteTextCell(Output& out, std::string_view value, char separator, bool neutralise) {
    char sign = 0;
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    const char first = value.empty() ? ' ' : value[0];
    const bool formula = neutralise &&
                         (first == '=' || first == '+' || first == '-' || first == '@' ||
                          first == '\t' || first == '\r') &&
                         !IsDecimal(value, sign);
    const bool quoted =
        std::any_of(value.begin(), value.end(),
                    [&](char c) { return c == separator || c == '"' || c == '\r' || c == '\n'; }) ||
        (!value.empty() && ((!formula && blank(value.front())) || blank(value.back())));
    // The opening quote, the neutralising ', both or neither.
    out.Write(std::string_view("\"'", 2).substr(quoted ? 0 : 1,
                                                (quoted ? 1U : 0U) + (formula ? 1U : 0U)));
    for (std::size_t quote = quoted ? value.find('"') : std::string_view::npos;
         quote != std::string_view::npos; quote = value.find('"')) {
        out.Write(value.substr(0, quote + 1));
        out.Write('"');
        value.remove_prefix(quote + 1);
    }
    out.Write(value);
    out.Write(quoted ? "\"" : "");
}

void WriteCsv(Output& out, const Sizing& sizing, const Points& carried, const Layout& layout) {
    const Dialect& dialect = layout.dialect;
    out.Write(dialect.byteOrderMark ? "\xEF\xBB\xBF" : "");
    for (std::size_t column = 0; column < kFieldNames.size() + carried.names.size(); ++column) {
        out.Write(column > 0 ? std::string_view(&dialect.separator, 1) : std::string_view());
        if (column < kFieldNames.size()) {
            out.Write(kFieldNames[column]);
        } else {
            WriteTextCell(out, carried.names[column - kFieldNames.size()], dialect.separator,
                          layout.neutraliseFormulas);
        }
    }
    out.Write('\n');
    std::array<FewValues, 2> last;
    const auto format = [&](std::size_t, double value) {
        return Shortest(value, dialect.decimalSign);
    };
    for (std::size_t index = 0; index < sizing.entries.size(); ++index) {
        std::string_view separator;
        EachNumber(sizing.entries[index], sizing.totals.scaleFactor, last, format,
                   [&](std::string_view text) {
                       out.Write(separator);
                       out.Write(text);
                       separator = std::string_view(&dialect.separator, 1);
                   });
        for (std::size_t column = 0; column < carried.names.size(); ++column) {
            out.Write(separator);
            WriteTextCell(out, carried.Cell(index, column), dialect.separator,
                          layout.neutraliseFormulas);
        }
        out.Write('\n');
    }
}

void AppendJsonString(std::string& json, std::string_view text) {
    json += '"';
    while (!text.empty()) {
        const auto special = std::find_if(text.begin(), text.end(), [](char c) {
            return c == '"' || c == '\\' || (c & 0xE0) == 0;
        });
        json.append(text.begin(), special);
        if (special == text.end()) {
            break;
        }
        const char c = *special;
        const std::size_t escape = std::string_view("\"\\\n\r\t").find(c);  // as \" \\ \n \r \t
        const char hex[] = {"0123456789abcdef"[(c >> 4) & 0xF], "0123456789abcdef"[c & 0xF], '\0'};
        json += escape != std::string_view::npos ? std::string{'\\', "\"\\nrt"[escape]}
                                                 : "\\u00" + std::string(hex);
        text.remove_prefix(static_cast<std::size_t>(special - text.begin()) + 1);
    }
    json += '"';
}

// `"name": ` indented by `depth` levels of two spaces.
std::string JsonKey(std::size_t depth, std::string_view name) {
    std::string key(depth * 2, ' ');
    AppendJsonString(key, name);
    return key + ": ";
}

// JSON has no infinity or not-a-number: those are null.
NumberText JsonNumber(double value) {
    if (std::isfinite(value)) {
        return Shortest(value);
    }
    return NumberText{"null", 4};
}

void WriteJson(Output& out, const Sizing& sizing, const Points& carried) {
    std::vector<std::string> before;  // what stands before each number and carried value
    for (std::size_t column = 0; column < kFieldNames.size() + carried.names.size(); ++column) {
        const bool number = column < kFieldNames.size();
        before.push_back(
            (column == 0 ? "    {\n" : ",\n") +
            std::string(column == kFieldNames.size() ? JsonKey(3, "columns") + "{\n" : "") +
            JsonKey(number ? 3 : 4,
                    number ? kFieldNames[column] : carried.names[column - kFieldNames.size()]));
    }
    out.Write("{\n  \"points\": [");
    std::array<FewValues, 2> last;
    std::string text;
    for (std::size_t index = 0; index < sizing.entries.size(); ++index) {
        out.Write(index == 0 ? "\n" : ",\n");
        std::size_t column = 0;
        EachNumber(
            sizing.entries[index], sizing.totals.scaleFactor, last,
            [](std::size_t, double value) { return JsonNumber(value); },
            [&](std::string_view number) {
                out.Write(before[column++]);
                out.Write(number);
            });
        for (; column < before.size(); ++column) {
            AppendJsonString(text.assign(before[column]),
                             carried.Cell(index, column - kFieldNames.size()));
            out.Write(text);
        }
        out.Write(carried.names.empty() ? "\n    }" : "\n      }\n    }");
    }
    out.Write(sizing.entries.empty() ? "]" : "\n  ]");
    const auto values = TotalsOf(sizing.totals);
    for (std::size_t index = 0; index < values.size(); ++index) {
        out.Write(",\n" + JsonKey(1, kTotalNames[index]) +
                  std::string(JsonNumber(values[index]).View()));
    }
    out.Write("\n}\n");
}

std::string JsonList(std::string_view name, const std::vector<double>& values) {
    std::string list = JsonKey(1, name) + "[";
    for (std::size_t index = 0; index < values.size(); ++index) {
        list.append(index == 0 ? "\n    " : ",\n    ").append(JsonNumber(values[index]).View());
    }
    return list + (values.empty() ? "]" : "\n  ]");
}

// `digits` (d1 d2 ... dn) times ten to `exponent` minus one: in plain decimal for exponents from
// `plainFrom` to `plainTo`, else as d1.d2...dn, e, the exponent's sign and at least
// `exponentDigits` of its digits.
NumberText LaidOut(std::string_view sign, std::string_view digits, int exponent, int plainFrom,
                   int plainTo, std::size_t exponentDigits, char decimalSign) {
    NumberText text;
    const auto append = [&](std::string_view part, std::size_t zeros = 0) {
        Copy(text.data + text.size, part);
        std::memset(text.data + text.size + part.size(), '0', zeros);
        text.size += part.size() + zeros;
    };
    const std::string_view point(&decimalSign, 1);
    const std::string_view first = digits.substr(0, 1);
    const std::string_view rest = digits.substr(1);
    append(sign);
    if (exponent < plainFrom || exponent > plainTo) {
        const NumberText magnitude = Whole(static_cast<std::uint64_t>(std::abs(exponent)));
        append(first);
        append(rest.empty() ? rest : point);
        append(rest);
        append(exponent < 0 ? "e-" : "e+",
               exponentDigits - std::min(exponentDigits, magnitude.size));
        append(magnitude.View());
    } else if (exponent < 0) {
        append("0");
        append(point, static_cast<std::size_t>(-exponent - 1));
        append(digits);
    } else {
        const auto whole = static_cast<std::size_t>(exponent);  // digits before the point, less one
        append(first);
        append(rest.substr(0, whole), whole - std::min(whole, rest.size()));
        append(rest.size() > whole ? point : std::string_view());
        append(rest.substr(std::min(whole, rest.size())));
    }
    return text;
}

// The shortest digits of a finite double, from std::to_chars's d.ddde±x.
struct Digits {
    std::string_view sign;
    char digits[24];
    std::size_t count = 0;
    int exponent = 0;
    [[nodiscard]] std::string_view View() const { return {digits, count}; }
};

Digits ShortestDigits(double value) {
    Digits parts;
    const NumberText scientific = Printed(value, std::chars_format::scientific);
    const std::string_view written = scientific.View();
    std::size_t e = written.size();  // the exponent is the last few characters
    while (written[--e] != 'e') {
    }
    std::from_chars(written.data() + e + (written[e + 1] == '+' ? 2 : 1), written.end(),
                    parts.exponent);
    parts.sign = written[0] == '-' ? "-" : "";
    for (const char c : written.substr(parts.sign.size(), e - parts.sign.size())) {
        parts.digits[parts.count] = c;
        parts.count += c != '.' ? 1 : 0;
    }
    return parts;
}

}  // namespace

// The shortest digits, laid out as JavaScript's Number.prototype.toString lays them out: plain
// decimal for exponents from -7 to 20.
NumberText Shortest(double value, char decimalSign) {
    if (!std::isfinite(value)) {
        return Printed(value);
    }
    const Digits parts = ShortestDigits(value);
    return LaidOut(parts.sign, parts.View(), parts.exponent, -6, 20, 1, decimalSign);
}

// printf's %.6g, from the shortest digits, which std::to_chars finds faster than it rounds the
// exact value to six digits. Rounding the shortest digits gives the same digits while the sixth
// is coarser than the gap between doubles (not so for subnormal values), except where they end
// on a 5 just after the sixth: the exact value may lie on either side, so std::to_chars rounds.
NumberText SixDigits(double value) {
    Digits parts = std::isnormal(value) ? ShortestDigits(value) : Digits{};
    if (parts.count == 0 || (parts.count == 7 && parts.digits[6] == '5')) {
        return Printed(value, std::chars_format::general, 6);
    }
    const bool up = parts.count > 6 && parts.digits[6] >= '5';
    std::size_t at = parts.count = std::min<std::size_t>(parts.count, 6);
    for (; up && at > 0 && parts.digits[at - 1] == '9'; --at) {
        parts.digits[at - 1] = '0';
    }
    parts.digits[at == 0 ? 0 : at - 1] =
        up && at == 0 ? '1' : static_cast<char>(parts.digits[at == 0 ? 0 : at - 1] + (up ? 1 : 0));
    parts.exponent += up && at == 0 ? 1 : 0;  // every digit carried over
    while (parts.count > 1 && parts.digits[parts.count - 1] == '0') {
        --parts.count;
    }
    return LaidOut(parts.sign, parts.View(), parts.exponent, -4, 5, 2, '.');
}

NumberText Whole(std::uint64_t value) {
    return Printed(value);
}

void Output::Drain() {
    if (error_ == 0 && std::fwrite(buffer_.data(), 1, used_, file_) != used_) {
        error_ = errno != 0 ? errno : EIO;
    }
    used_ = 0;
}

void Output::Finish() {
    Drain();
    error_ = error_ == 0 && std::fflush(file_) != 0 ? (errno != 0 ? errno : EIO) : error_;
    if (error_ != 0) {
        throw Failure(kCannotWrite,
                      "cannot write " + name_ + ": " + std::generic_category().message(error_));
    }
}

void WriteSizing(Output& out, const Sizing& sizing, const Points& points, const Layout& layout) {
    // The carried values gathered in the solved order, in one pass whose reads the processor can
    // run ahead with; the writing then reads them in sequence.
    Points carried;
    carried.names = points.names;
    carried.text.reserve(points.text.size());
    for (std::size_t cell = 0; cell < points.ends.size(); ++cell) {
        const std::size_t point = sizing.entries[cell / points.names.size()].callerData;
        carried.text += points.Cell(point, cell % points.names.size());
        carried.ends.push_back(carried.text.size());
    }
    if (layout.format == Format::kCsv) {
        WriteCsv(out, sizing, carried, layout);
    } else if (layout.format == Format::kJson) {
        WriteJson(out, sizing, carried);
    } else {
        WriteTable(out, sizing, carried);
    }
}

void WriteTotals(Output& out, const KorvanSolutionTotals& totals, const Dialect& dialect) {
    Table table{4, 0, {kTotalNames.begin(), kTotalNames.end()}};
    for (const double value : TotalsOf(totals)) {
        table.cells.emplace_back(Shortest(value, dialect.decimalSign).View());
    }
    out.Write(dialect.byteOrderMark ? "\xEF\xBB\xBF" : "");
    table.Write(out, dialect.separator);
}

void WriteReduction(Output& out, const Reduction& reduction, const Layout& layout) {
    if (layout.format == Format::kJson) {
        return out.Write("{\n" + JsonList("sizes", reduction.sizes) + ",\n" +
                         JsonList("smallest", reduction.smallest) + "\n}\n");
    }
    const char sign = layout.format == Format::kCsv ? layout.dialect.decimalSign : '.';
    Table table{2, 2, {"size", "smallest"}};
    for (std::size_t index = 0; index < reduction.sizes.size(); ++index) {
        table.cells.emplace_back(Shortest(reduction.sizes[index], sign).View());
        table.cells.emplace_back(Shortest(reduction.smallest[index], sign).View());
    }
    table.Write(out, layout.format == Format::kCsv ? layout.dialect.separator : '\0');
}

}  // namespace korvan_size
