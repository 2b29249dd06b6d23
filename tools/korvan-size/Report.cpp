// What korvan-size writes: an aligned table for people, and for programs CSV (by the rules of
// tests/golden/README.md) or JSON, which print every double so that it reads back.
#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <system_error>

#include "korvan-size.h"

namespace korvan_size {
namespace {

constexpr std::array<std::string_view, 8> kFieldNames = {
    "point", "type", "inputValue", "demand", "ratio", "valveSize", "delivered", "deviation"};
constexpr std::array<std::string_view, 8> kTableHeader = {
    "point", "type", "input value", "demand", "ratio", "valve size", "delivered", "deviation %"};
constexpr std::array<std::string_view, 4> kTotalNames = {"deviationMax", "deviationMin",
                                                         "scaleFactor", "reducedScaleFactor"};
constexpr std::size_t kBarHalfWidth = 10;

std::array<double, 4> TotalsOf(const KorvanSolutionTotals& totals) {
    return {totals.deviationMax, totals.deviationMin, totals.scaleFactor,
            totals.reducedScaleFactor};
}

// The numbers of a point after its number and type; delivered is valve size x scale factor.
std::array<double, 6> ValuesOf(const KorvanSolutionEntry& entry, double scaleFactor) {
    return {
        entry.inputValue, entry.demand, entry.ratio, entry.valveSize, entry.valveSize * scaleFactor,
        entry.deviation};
}

// Valve sizes, and what they deliver, take a handful of values in a whole solution: each text is
// made once.
struct FewValues {
    std::array<double, 8> values{};
    std::array<NumberText, 9> texts{};  // the last for any value beyond the eighth
    std::size_t used = 0;

    template <typename Format>
    std::string_view Of(double value, const Format& format) {
        for (std::size_t slot = 0; slot < used; ++slot) {
            if (values[slot] == value) {
                return texts[slot].View();
            }
        }
        NumberText& text = texts[used];
        text = format(value);
        if (used < values.size()) {
            values[used++] = value;
        }
        return text.View();
    }
};

// ---- table ----

// A carried value on one line of the table: each line break and tab one space, other control
// characters as messages show them.
std::string_view OnOneLine(std::string_view text, std::string& scratch) {
    if (std::all_of(text.begin(), text.end(),
                    [](char c) { return (c & 0xE0) != 0 && c != 0x7F && c != '\xC2'; })) {
        return text;
    }
    scratch.clear();
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        if (c == '\t' || c == '\n' || c == '\r') {
            scratch += ' ';
            at += text.compare(at, 2, "\r\n") == 0 ? 1U : 0U;
        } else {
            const std::size_t length = c == '\xC2' ? 2 : 1;
            scratch += Shown(text.substr(at, length));
            at += length - 1;
        }
    }
    return scratch;
}

// Columns a terminal gives the text: UTF-8 continuation bytes take none.
std::size_t Width(std::string_view text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

// Appends `text`, `textWidth` columns wide, padded to `width`, after a gap of two spaces.
void AppendCell(std::string& line, std::string_view text, std::size_t textWidth, std::size_t width,
                bool right) {
    const std::size_t padding = width - std::min(width, textWidth);
    const std::size_t at = line.size() + (line.empty() ? 0 : 2);
    line.resize(at + padding + text.size(), ' ');
    text.copy(&line[at + (right ? padding : 0)], text.size());
}

// No line of a table ends in blanks.
void WriteLine(Output& out, std::string& line) {
    line.erase(line.find_last_not_of(' ') + 1);
    out.Write(line += '\n');
    line.clear();
}

// Dashes left of the bar for a deficit, pluses right of it for a surplus, scaled so that the
// largest deviation of the solution fills one side.
std::string_view Bar(double deviation, double largest,
                     std::array<char, 2 * kBarHalfWidth + 1>& text) {
    std::size_t length = 0;
    if (largest > 0.0 && deviation != 0.0) {
        const double share = std::fabs(deviation) / largest * kBarHalfWidth;
        length = std::isfinite(share)
                     ? std::clamp<std::size_t>(static_cast<std::size_t>(std::lround(share)), 1,
                                               kBarHalfWidth)
                     : kBarHalfWidth;
    }
    text.fill(' ');
    std::fill_n(text.begin() + static_cast<std::ptrdiff_t>(deviation < 0.0 ? kBarHalfWidth - length
                                                                           : kBarHalfWidth + 1),
                length, deviation < 0.0 ? '-' : '+');
    text[kBarHalfWidth] = '|';
    return {text.data(), kBarHalfWidth + 1 + (deviation < 0.0 ? 0 : length)};
}

// A small table held whole: columns before `firstLeftAligned` are right-aligned.
void WriteSmallTable(Output& out, const std::vector<std::vector<std::string>>& rows,
                     std::size_t firstLeftAligned) {
    std::vector<std::size_t> widths(rows.front().size());
    for (const auto& row : rows) {
        for (std::size_t column = 0; column < row.size(); ++column) {
            widths[column] = std::max(widths[column], Width(row[column]));
        }
    }
    std::string line;
    for (const auto& row : rows) {
        for (std::size_t column = 0; column < row.size(); ++column) {
            AppendCell(line, row[column], Width(row[column]), widths[column],
                       column < firstLeftAligned);
        }
        WriteLine(out, line);
    }
}

void WriteTable(Output& out, const Sizing& sizing, const Points& carried) {
    const std::vector<KorvanSolutionEntry>& entries = sizing.entries;
    const std::size_t columns = carried.names.size();
    std::string scratch;
    std::vector<std::size_t> widths(kTableHeader.size() + 1 + columns);  // numbers, bar, carried
    std::transform(kTableHeader.begin(), kTableHeader.end(), widths.begin(),
                   [](auto name) { return name.size(); });
    for (std::size_t column = 0; column < columns; ++column) {
        std::size_t& width = widths[kTableHeader.size() + 1 + column];
        width = Width(OnOneLine(carried.names[column], scratch));
        for (std::size_t point = 0; point < entries.size(); ++point) {
            width = std::max(width, Width(OnOneLine(carried.Cell(point, column), scratch)));
        }
    }
    // The numbers are formatted once, for the widths and for the lines.
    std::array<FewValues, 2> few;
    std::string cells;
    std::vector<std::array<std::uint8_t, 8>> sizes(entries.size());
    double largest = 0.0;
    for (std::size_t index = 0; index < entries.size(); ++index) {
        const auto values = ValuesOf(entries[index], sizing.totals.scaleFactor);
        const auto add = [&](std::size_t column, std::string_view text) {
            cells.append(text);
            sizes[index][column] = static_cast<std::uint8_t>(text.size());
            widths[column] = std::max(widths[column], text.size());
        };
        add(0, Whole(entries[index].callerData + 1).View());
        add(1, Whole(static_cast<std::uint32_t>(entries[index].type)).View());
        add(2, Shortest(values[0]).View());
        add(3, SixDigits(values[1]).View());
        add(4, SixDigits(values[2]).View());
        add(5, few[0].Of(values[3], [](double value) { return Shortest(value); }));
        add(6, few[1].Of(values[4], SixDigits));
        add(7, TwoDecimals(values[5]).View());
        largest = std::max(largest, std::fabs(values[5]));
    }
    std::array<char, 2 * kBarHalfWidth + 1> bar{};
    std::size_t& barWidth = widths[kTableHeader.size()];
    for (const KorvanSolutionEntry& entry : entries) {
        barWidth = std::max(barWidth, Bar(entry.deviation, largest, bar).size());
    }
    std::string line;
    for (std::size_t column = 0; column < widths.size(); ++column) {
        const std::string_view name =
            column < kTableHeader.size() ? kTableHeader[column]
            : column == kTableHeader.size()
                ? ""
                : OnOneLine(carried.names[column - kTableHeader.size() - 1], scratch);
        AppendCell(line, name, Width(name), widths[column], column < kTableHeader.size());
    }
    WriteLine(out, line);
    std::size_t at = 0;
    for (std::size_t index = 0; index < entries.size(); ++index) {
        for (std::size_t column = 0; column < kTableHeader.size(); ++column) {
            const std::size_t size = sizes[index][column];
            AppendCell(line, std::string_view(cells).substr(at, size), size, widths[column], true);
            at += size;
        }
        const std::string_view shown = Bar(entries[index].deviation, largest, bar);
        AppendCell(line, shown, shown.size(), barWidth, false);
        for (std::size_t column = 0; column < columns; ++column) {
            const std::string_view value = OnOneLine(carried.Cell(index, column), scratch);
            AppendCell(line, value, Width(value), widths[kTableHeader.size() + 1 + column], false);
        }
        WriteLine(out, line);
    }
    out.Write('\n');
    std::vector<std::vector<std::string>> totals;
    const auto values = TotalsOf(sizing.totals);
    for (std::size_t index = 0; index < values.size(); ++index) {
        totals.push_back(
            {std::string(kTotalNames[index]), std::string(Shortest(values[index]).View())});
    }
    WriteSmallTable(out, totals, 0);
}

// ---- CSV ----

// A text cell: neutralised where a spreadsheet would run it as a formula, quoted where needed.
void WriteTextCell(Output& out, std::string_view value, char separator, bool neutralise) {
    char sign = 0;
    const bool formula = neutralise && !value.empty() &&
                         std::strchr("=+-@\t\r", value.front()) != nullptr &&
                         value.front() != '\0' && !IsDecimal(value, sign);
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    const bool quoted =
        std::any_of(value.begin(), value.end(),
                    [&](char c) { return c == separator || c == '"' || c == '\r' || c == '\n'; }) ||
        (!value.empty() && ((!formula && blank(value.front())) || blank(value.back())));
    if (quoted) {
        out.Write('"');
    }
    if (formula) {
        out.Write('\'');
    }
    for (std::size_t quote = value.find('"'); quote != std::string_view::npos;
         quote = value.find('"')) {
        out.Write(value.substr(0, quote + 1));
        out.Write('"');
        value.remove_prefix(quote + 1);
    }
    out.Write(value);
    if (quoted) {
        out.Write('"');
    }
}

void WriteCsv(Output& out, const Sizing& sizing, const Points& carried, const Layout& layout) {
    const auto [separator, decimalSign, byteOrderMark] = layout.dialect;
    const auto shortest = [sign = decimalSign](double value) { return Shortest(value, sign); };
    out.Write(byteOrderMark ? "\xEF\xBB\xBF" : "");
    for (std::size_t column = 0; column < kFieldNames.size() + carried.names.size(); ++column) {
        if (column > 0) {
            out.Write(separator);
        }
        if (column < kFieldNames.size()) {
            out.Write(kFieldNames[column]);
        } else {
            WriteTextCell(out, carried.names[column - kFieldNames.size()], separator,
                          layout.neutraliseFormulas);
        }
    }
    out.Write('\n');
    std::array<FewValues, 2> few;
    for (std::size_t index = 0; index < sizing.entries.size(); ++index) {
        const KorvanSolutionEntry& entry = sizing.entries[index];
        out.Write(Whole(entry.callerData + 1).View());
        out.Write(separator);
        out.Write(Whole(static_cast<std::uint32_t>(entry.type)).View());
        const auto values = ValuesOf(entry, sizing.totals.scaleFactor);
        for (std::size_t value = 0; value < values.size(); ++value) {
            out.Write(separator);
            out.Write(value == 3 || value == 4 ? few[value - 3].Of(values[value], shortest)
                                               : shortest(values[value]).View());
        }
        for (std::size_t column = 0; column < carried.names.size(); ++column) {
            out.Write(separator);
            WriteTextCell(out, carried.Cell(index, column), separator, layout.neutraliseFormulas);
        }
        out.Write('\n');
    }
}

// ---- JSON ----

void AppendJsonString(std::string& json, std::string_view text) {
    json += '"';
    while (true) {
        const auto special = std::find_if(text.begin(), text.end(), [](char c) {
            return c == '"' || c == '\\' || (c & 0xE0) == 0;
        });
        json.append(text.begin(), special);
        if (special == text.end()) {
            break;
        }
        const char c = *special;
        text.remove_prefix(static_cast<std::size_t>(special - text.begin()) + 1);
        if (c == '"' || c == '\\') {
            json += {'\\', c};
        } else if (c == '\n' || c == '\r' || c == '\t') {
            json += {'\\', c == '\n' ? 'n' : c == '\r' ? 'r' : 't'};
        } else {
            json += "\\u00";
            json += {"0123456789abcdef"[(c >> 4) & 0xF], "0123456789abcdef"[c & 0xF]};
        }
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
    return std::isfinite(value) ? Shortest(value) : NumberText{"null", 4};
}

void WriteJson(Output& out, const Sizing& sizing, const Points& carried) {
    std::array<std::string, 8> before;  // what stands before each number of a point
    for (std::size_t column = 0; column < before.size(); ++column) {
        before[column] = (column == 0 ? "    {\n" : ",\n") + JsonKey(3, kFieldNames[column]);
    }
    std::vector<std::string> keys;  // what stands before each carried value
    for (std::size_t column = 0; column < carried.names.size(); ++column) {
        keys.push_back((column == 0 ? ",\n" + JsonKey(3, "columns") + "{\n" : ",\n") +
                       JsonKey(4, carried.names[column]));
    }
    out.Write("{\n  \"points\": [");
    std::string text;
    for (std::size_t index = 0; index < sizing.entries.size(); ++index) {
        const KorvanSolutionEntry& entry = sizing.entries[index];
        out.Write(index == 0 ? "\n" : ",\n");
        out.Write(before[0]);
        out.Write(Whole(entry.callerData + 1).View());
        out.Write(before[1]);
        out.Write(Whole(static_cast<std::uint32_t>(entry.type)).View());
        const auto values = ValuesOf(entry, sizing.totals.scaleFactor);
        for (std::size_t column = 0; column < values.size(); ++column) {
            out.Write(before[column + 2]);
            out.Write(JsonNumber(values[column]).View());
        }
        for (std::size_t column = 0; column < keys.size(); ++column) {
            text = keys[column];
            AppendJsonString(text, carried.Cell(index, column));
            out.Write(text);
        }
        out.Write(keys.empty() ? "\n    }" : "\n      }\n    }");
    }
    out.Write(sizing.entries.empty() ? "]" : "\n  ]");
    const auto values = TotalsOf(sizing.totals);
    for (std::size_t index = 0; index < values.size(); ++index) {
        out.Write(",\n" + JsonKey(1, kTotalNames[index]));
        out.Write(JsonNumber(values[index]).View());
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

}  // namespace

void Output::Drain() {
    if (error_ == 0 && std::fwrite(buffer_.data(), 1, used_, file_) != used_) {
        error_ = errno != 0 ? errno : EIO;
    }
    used_ = 0;
}

void Output::Finish() {
    Drain();
    if (error_ == 0 && std::fflush(file_) != 0) {
        error_ = errno != 0 ? errno : EIO;
    }
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
    carried.ends.reserve(points.ends.size());
    for (std::size_t column = 0; column < points.ends.size(); ++column) {
        const std::size_t point = sizing.entries[column / points.names.size()].callerData;
        carried.text += points.Cell(point, column % points.names.size());
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
    out.Write(dialect.byteOrderMark ? "\xEF\xBB\xBF" : "");
    const auto values = TotalsOf(totals);
    for (std::size_t index = 0; index < 2 * values.size(); ++index) {
        const std::size_t column = index % values.size();
        out.Write(index < values.size() ? kTotalNames[column]
                                        : Shortest(values[column], dialect.decimalSign).View());
        out.Write(column + 1 < values.size() ? dialect.separator : '\n');
    }
}

void WriteReduction(Output& out, const Reduction& reduction, const Layout& layout) {
    if (layout.format == Format::kJson) {
        return out.Write("{\n" + JsonList("sizes", reduction.sizes) + ",\n" +
                         JsonList("smallest", reduction.smallest) + "\n}\n");
    }
    const char sign = layout.format == Format::kCsv ? layout.dialect.decimalSign : '.';
    std::vector<std::vector<std::string>> rows = {{"size", "smallest"}};
    for (std::size_t index = 0; index < reduction.sizes.size(); ++index) {
        rows.push_back({std::string(Shortest(reduction.sizes[index], sign).View()),
                        std::string(Shortest(reduction.smallest[index], sign).View())});
    }
    if (layout.format == Format::kTable) {
        return WriteSmallTable(out, rows, 2);
    }
    for (const auto& row : rows) {
        out.Write(row[0] + layout.dialect.separator + row[1] + '\n');
    }
}

}  // namespace korvan_size
