#include "Report.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "Numbers.h"

namespace korvan_size {
namespace {

constexpr int kBarHalfWidth = 10;
constexpr std::size_t kNumberColumns = 8;  // point to deviation; the bar and carried ones follow
constexpr std::string_view kColumnGap = "  ";

constexpr std::array<std::string_view, kNumberColumns> kTableHeader = {
    "point", "type", "input value", "demand", "ratio", "valve size", "delivered", "deviation %"};
constexpr std::array<std::string_view, kNumberColumns> kFieldNames = {
    "point", "type", "inputValue", "demand", "ratio", "valveSize", "delivered", "deviation"};
constexpr std::array<std::string_view, 4> kTotalNames = {"deviationMax", "deviationMin",
                                                         "scaleFactor", "reducedScaleFactor"};

std::array<double, 4> TotalsOf(const Sizing& sizing) {
    return {sizing.deviationMax, sizing.deviationMin, sizing.scaleFactor,
            sizing.reducedScaleFactor};
}

double Delivered(const SolutionEntry& entry, double scaleFactor) {
    return entry.valveSize * scaleFactor;
}

std::size_t PointOf(const SolutionEntry& entry) {
    return static_cast<std::size_t>(entry.callerData);
}

// Valve sizes, and what they deliver, take a handful of values in a whole solution: each text is
// made once. Values are told apart by their bits, so 0 and -0 stay apart.
class FewValueTexts {
public:
    explicit FewValueTexts(NumberText (*format)(double)) : format_(format) {}

    const NumberText& Of(double value) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        for (std::size_t slot = 0; slot < used_; ++slot) {
            if (bits_[slot] == bits) {
                return texts_[slot];
            }
        }
        if (used_ == kSlots) {
            overflow_ = format_(value);
            return overflow_;
        }
        bits_[used_] = bits;
        texts_[used_] = format_(value);
        return texts_[used_++];
    }

private:
    static constexpr std::size_t kSlots = 8;
    NumberText (*format_)(double);
    std::array<std::uint64_t, kSlots> bits_{};
    std::array<NumberText, kSlots> texts_{};
    std::size_t used_ = 0;
    NumberText overflow_;
};

// The texts of one format for the two columns that repeat.
struct SizeTexts {
    FewValueTexts valveSize;
    FewValueTexts delivered;
};

// Characters as a terminal shows them: UTF-8 continuation bytes take no column.
std::size_t DisplayWidth(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0U) != 0x80U;
    }));
}

enum class Align { kRight, kLeft };

// Appends `text`, which takes `textWidth` columns, padded to `width`.
void AppendCell(std::string& line, std::string_view text, std::size_t textWidth, std::size_t width,
                Align align) {
    const std::size_t gap = line.empty() ? 0 : kColumnGap.size();
    const std::size_t padding = width - std::min(width, textWidth);
    std::size_t at = line.size();
    line.resize(at + gap + padding + text.size(), ' ');
    at += gap + (align == Align::kRight ? padding : 0);
    text.copy(&line[at], text.size());
}

// No line of a table ends in blanks.
void WriteLine(Output& output, std::string& line) {
    line.erase(line.find_last_not_of(' ') + 1);
    line += '\n';
    output.Write(line);
}

// A table small enough to hold: columns before `firstLeftAligned` are right-aligned.
void WriteSmallTable(Output& output, const std::vector<std::vector<std::string>>& rows,
                     std::size_t firstLeftAligned) {
    std::vector<std::size_t> widths;
    for (const auto& row : rows) {
        widths.resize(std::max(widths.size(), row.size()));
        for (std::size_t column = 0; column < row.size(); ++column) {
            widths[column] = std::max(widths[column], DisplayWidth(row[column]));
        }
    }
    std::string line;
    for (const auto& row : rows) {
        line.clear();
        for (std::size_t column = 0; column < row.size(); ++column) {
            if (column > 0) {
                line += kColumnGap;
            }
            const std::size_t padding = widths[column] - DisplayWidth(row[column]);
            line.append(column < firstLeftAligned ? padding : 0, ' ');
            line += row[column];
            line.append(column < firstLeftAligned ? 0 : padding, ' ');
        }
        WriteLine(output, line);
    }
}

// The carried columns gathered into the solved order, so that every pass over the points reads
// memory in sequence rather than one cache miss per point and column.
struct Carried {
    CarriedColumns columns;
    char separator;
};

Carried InSolvedOrder(const PointTable& points, const SolutionVector& entries) {
    Carried carried{{points.carried.names, {}, {}}, points.dialect.separator};
    if (points.carried.names.empty()) {
        return carried;
    }
    CarriedColumns& ordered = carried.columns;
    ordered.text.reserve(points.carried.text.size());
    ordered.ends.reserve(entries.size());
    for (const SolutionEntry& entry : entries) {
        ordered.text += points.carried.Of(PointOf(entry));
        ordered.ends.push_back(ordered.text.size());
    }
    return carried;
}

// The fields of the carried columns of the point at `position` in the solved order, as written.
void SplitCarried(const Carried& carried, std::size_t position, CsvRecord& record) {
    const std::string_view text = carried.columns.Of(position);
    if (text.empty() || carried.columns.names.size() == 1) {
        record.fields.assign(1, text);
        return;
    }
    ScanRecord(text, true, carried.separator, record);
    record.fields.resize(carried.columns.names.size());
}

// `value` with each line break and tab shown as one space, so that a table row stays one line.
std::string_view OnOneLine(std::string_view value, std::string& scratch) {
    const auto breaksLine = [](char c) { return c == '\r' || c == '\n' || c == '\t'; };
    if (std::none_of(value.begin(), value.end(), breaksLine)) {
        return value;
    }
    scratch.clear();
    for (std::size_t at = 0; at < value.size(); ++at) {
        const char c = value[at];
        if (c == '\r' && at + 1 < value.size() && value[at + 1] == '\n') {
            continue;  // \r\n is one line break
        }
        scratch += breaksLine(c) ? ' ' : c;
    }
    return scratch;
}

// A carried field as a table cell shows it.
struct CellText {
    std::string unquoted;
    std::string oneLine;

    std::string_view Of(std::string_view raw, char separator) {
        return OnOneLine(FieldValue(raw, separator, unquoted), oneLine);
    }
};

// The carried column names as people read them.
std::vector<std::string> CarriedNames(const Carried& carried) {
    std::vector<std::string> names;
    std::string scratch;
    for (const std::string& raw : carried.columns.names) {
        names.emplace_back(FieldValue(raw, carried.separator, scratch));
    }
    return names;
}

// ---- table ----

std::array<NumberText, kNumberColumns> TableNumbers(const SolutionEntry& entry, double scaleFactor,
                                                    SizeTexts& sizes) {
    return {WholeNumber(PointOf(entry) + 1),
            WholeNumber(static_cast<std::uint32_t>(entry.type)),
            Shortest(entry.inputValue),
            SixDigits(entry.demand),
            SixDigits(entry.ratio),
            sizes.valveSize.Of(entry.valveSize),
            sizes.delivered.Of(Delivered(entry, scaleFactor)),
            TwoDecimals(entry.deviation)};
}

// Dashes left of the bar for a deficit, pluses right of it for a surplus, scaled so that the
// largest deviation of the solution fills one side.
struct DeviationBar {
    std::array<char, 2 * kBarHalfWidth + 1> text{};
    std::size_t size = 0;

    DeviationBar(double deviation, double largest) {
        int length = 0;
        if (largest > 0.0 && deviation != 0.0) {
            const double share = std::fabs(deviation) / largest * kBarHalfWidth;
            length = std::isfinite(share)
                         ? std::clamp(static_cast<int>(std::lround(share)), 1, kBarHalfWidth)
                         : kBarHalfWidth;
        }
        const int blanks = deviation < 0.0 ? kBarHalfWidth - length : kBarHalfWidth;
        Append(' ', blanks);
        if (deviation < 0.0) {
            Append('-', length);
            Append('|', 1);
        } else {
            Append('|', 1);
            Append('+', length);
        }
    }
    [[nodiscard]] std::string_view View() const { return {text.data(), size}; }

private:
    void Append(char character, int count) {
        for (int added = 0; added < count; ++added) {
            text[size++] = character;
        }
    }
};

double LargestDeviation(const Sizing& sizing) {
    double largest = 0.0;
    for (const SolutionEntry& entry : sizing.entries) {
        largest = std::max(largest, std::fabs(entry.deviation));
    }
    return largest;
}

// The number cells of every point in the solved order, formatted once for both the column
// widths and the lines.
struct TableLayout {
    std::string cells;
    std::vector<std::array<std::uint16_t, kNumberColumns>> cellSizes;
    std::array<std::size_t, kNumberColumns> numberWidths{};
    std::size_t barWidth = 0;
    std::vector<std::size_t> carriedWidths;
    double largestDeviation = 0.0;
};

// Every column as wide as its widest cell.
TableLayout LayOutTable(const Sizing& sizing, const Carried& carried,
                        const std::vector<std::string>& carriedNames) {
    TableLayout layout;
    layout.largestDeviation = LargestDeviation(sizing);
    // Room for the longest cells of a usual table; pages never written stay unused.
    layout.cells.reserve(sizing.entries.size() * kNumberColumns * 8);
    layout.cellSizes.reserve(sizing.entries.size());
    for (std::size_t column = 0; column < kNumberColumns; ++column) {
        layout.numberWidths[column] = kTableHeader[column].size();
    }
    for (const std::string& name : carriedNames) {
        std::string oneLine;
        layout.carriedWidths.push_back(DisplayWidth(OnOneLine(name, oneLine)));
    }
    CsvRecord fields;
    CellText cell;
    SizeTexts sizes{FewValueTexts(Shortest), FewValueTexts(SixDigits)};
    for (std::size_t position = 0; position < sizing.entries.size(); ++position) {
        const SolutionEntry& entry = sizing.entries[position];
        const auto numbers = TableNumbers(entry, sizing.scaleFactor, sizes);
        auto& cellSizes = layout.cellSizes.emplace_back();
        for (std::size_t column = 0; column < kNumberColumns; ++column) {
            layout.cells += numbers[column].View();
            cellSizes[column] = static_cast<std::uint16_t>(numbers[column].size);
            layout.numberWidths[column] =
                std::max(layout.numberWidths[column], numbers[column].size);
        }
        layout.barWidth =
            std::max(layout.barWidth, DeviationBar(entry.deviation, layout.largestDeviation).size);
        if (carriedNames.empty()) {
            continue;
        }
        SplitCarried(carried, position, fields);
        for (std::size_t column = 0; column < fields.fields.size(); ++column) {
            layout.carriedWidths[column] =
                std::max(layout.carriedWidths[column],
                         DisplayWidth(cell.Of(fields.fields[column], carried.separator)));
        }
    }
    return layout;
}

void WriteSizingTable(Output& output, const Sizing& sizing, const Carried& carried) {
    const std::vector<std::string> carriedNames = CarriedNames(carried);
    const TableLayout layout = LayOutTable(sizing, carried, carriedNames);
    std::string line;
    for (std::size_t column = 0; column < kNumberColumns; ++column) {
        AppendCell(line, kTableHeader[column], kTableHeader[column].size(),
                   layout.numberWidths[column], Align::kRight);
    }
    AppendCell(line, "", 0, layout.barWidth, Align::kLeft);
    for (std::size_t column = 0; column < carriedNames.size(); ++column) {
        std::string oneLine;
        const std::string_view name = OnOneLine(carriedNames[column], oneLine);
        AppendCell(line, name, DisplayWidth(name), layout.carriedWidths[column], Align::kLeft);
    }
    WriteLine(output, line);
    CsvRecord fields;
    CellText cell;
    const std::string_view cells = layout.cells;
    std::size_t cellsAt = 0;
    for (std::size_t index = 0; index < sizing.entries.size(); ++index) {
        const SolutionEntry& entry = sizing.entries[index];
        line.clear();
        for (std::size_t column = 0; column < kNumberColumns; ++column) {
            const std::size_t size = layout.cellSizes[index][column];
            AppendCell(line, cells.substr(cellsAt, size), size, layout.numberWidths[column],
                       Align::kRight);
            cellsAt += size;
        }
        const DeviationBar bar(entry.deviation, layout.largestDeviation);
        AppendCell(line, bar.View(), bar.size, layout.barWidth, Align::kLeft);
        if (!carriedNames.empty()) {
            SplitCarried(carried, index, fields);
            for (std::size_t column = 0; column < fields.fields.size(); ++column) {
                const std::string_view value = cell.Of(fields.fields[column], carried.separator);
                AppendCell(line, value, DisplayWidth(value), layout.carriedWidths[column],
                           Align::kLeft);
            }
        }
        WriteLine(output, line);
    }
    output.Write('\n');
    std::vector<std::vector<std::string>> totals;
    const auto values = TotalsOf(sizing);
    for (std::size_t index = 0; index < values.size(); ++index) {
        totals.push_back(
            {std::string(kTotalNames[index]), std::string(Shortest(values[index]).View())});
    }
    WriteSmallTable(output, totals, 0);
}

// ---- CSV ----

class CsvWriter {
public:
    CsvWriter(Output& output, const CsvDialect& dialect) : output_(output), dialect_(dialect) {}

    void Text(std::string_view text) {
        Separate();
        output_.Write(text);
    }
    void Number(double value) { Number(Shortest(value)); }
    void Number(const NumberText& text) {
        Text(dialect_.decimalComma ? WithDecimalComma(text).View() : text.View());
    }
    void Whole(std::uint64_t value) { Text(WholeNumber(value).View()); }
    void EndRecord() {
        output_.Write('\n');
        fieldsInRecord_ = 0;
    }

private:
    void Separate() {
        if (fieldsInRecord_++ > 0) {
            output_.Write(dialect_.separator);
        }
    }

    Output& output_;
    CsvDialect dialect_;
    std::size_t fieldsInRecord_ = 0;
};

void WriteSizingCsv(Output& output, const Sizing& sizing, const Carried& carried,
                    const CsvDialect& dialect) {
    CsvWriter csv(output, dialect);
    for (const std::string_view name : kFieldNames) {
        csv.Text(name);
    }
    for (const std::string& raw : carried.columns.names) {
        csv.Text(raw);
    }
    csv.EndRecord();
    SizeTexts sizes{FewValueTexts(Shortest), FewValueTexts(Shortest)};
    for (std::size_t position = 0; position < sizing.entries.size(); ++position) {
        const SolutionEntry& entry = sizing.entries[position];
        csv.Whole(PointOf(entry) + 1);
        csv.Whole(static_cast<std::uint32_t>(entry.type));
        csv.Number(entry.inputValue);
        csv.Number(entry.demand);
        csv.Number(entry.ratio);
        csv.Number(sizes.valveSize.Of(entry.valveSize));
        csv.Number(sizes.delivered.Of(Delivered(entry, sizing.scaleFactor)));
        csv.Number(entry.deviation);
        if (!carried.columns.names.empty()) {
            csv.Text(carried.columns.Of(position));
        }
        csv.EndRecord();
    }
    csv.EndRecord();
    for (const std::string_view name : kTotalNames) {
        csv.Text(name);
    }
    csv.EndRecord();
    for (const double value : TotalsOf(sizing)) {
        csv.Number(value);
    }
    csv.EndRecord();
}

// ---- JSON ----

// Bytes in a well-formed UTF-8 sequence at text[at], or 0 with `bad` set to the bytes of its
// longest ill-formed start, each such run written as one U+FFFD.
std::size_t Utf8Sequence(std::string_view text, std::size_t at, std::size_t& bad) {
    const auto byte = [&](std::size_t index) { return static_cast<unsigned char>(text[index]); };
    const unsigned lead = byte(at);
    std::size_t length = 0;
    unsigned low = 0x80;
    unsigned high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    }
    bad = 1;
    if (length == 0) {
        return 0;
    }
    for (std::size_t next = 1; next < length; ++next) {
        const bool fits =
            at + next < text.size() && byte(at + next) >= low && byte(at + next) <= high;
        if (!fits) {
            bad = next;
            return 0;
        }
        low = 0x80;
        high = 0xBF;
    }
    return length;
}

// Printable ASCII other than the quote and the backslash stands for itself in a JSON string.
bool IsPlainJsonByte(unsigned char c) {
    return c >= 0x20 && c < 0x80 && c != '"' && c != '\\';
}

// A JSON string; bytes that are not UTF-8 become U+FFFD, since the numbers still count.
void AppendJsonString(std::string& out, std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += '"';
    for (std::size_t at = 0; at < text.size();) {
        std::size_t plain = at;
        while (plain < text.size() && IsPlainJsonByte(static_cast<unsigned char>(text[plain]))) {
            ++plain;
        }
        out.append(text, at, plain - at);
        at = plain;
        if (at == text.size()) {
            break;
        }
        const auto c = static_cast<unsigned char>(text[at]);
        if (c >= 0x80) {
            std::size_t bad = 0;
            const std::size_t length = Utf8Sequence(text, at, bad);
            out += length > 0 ? text.substr(at, length) : std::string_view("\xEF\xBF\xBD");
            at += length > 0 ? length : bad;
            continue;
        }
        ++at;
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                out += "\\u00";
                out += kHex[c >> 4U];
                out += kHex[c & 0xFU];
        }
    }
    out += '"';
}

// `"name": ` indented by `depth` levels of two spaces.
std::string JsonKey(std::size_t depth, std::string_view name) {
    std::string key(depth * 2, ' ');
    AppendJsonString(key, name);
    return key + ": ";
}

// What stands around the numbers of every point, escaped and indented once for all points:
// before[i] goes before number i, and the carried columns' keys before their values.
struct JsonPointText {
    std::array<std::string, kNumberColumns> before;
    std::string columns;
    std::vector<std::string> carried;
};

JsonPointText PointText(const std::vector<std::string>& carriedNames) {
    JsonPointText text;
    for (std::size_t index = 0; index < kNumberColumns; ++index) {
        text.before[index] = (index == 0 ? "    {\n" : ",\n") + JsonKey(3, kFieldNames[index]);
    }
    text.columns = ",\n" + JsonKey(3, "columns") + "{\n";
    for (std::size_t column = 0; column < carriedNames.size(); ++column) {
        text.carried.push_back((column == 0 ? "" : ",\n") + JsonKey(4, carriedNames[column]));
    }
    return text;
}

void WriteJsonPoint(Output& output, const SolutionEntry& entry, double scaleFactor,
                    const JsonPointText& text, SizeTexts& sizes, const CsvRecord& carried,
                    char separator, std::string& scratch, std::string& escaped) {
    output.Write(text.before[0]);
    output.Write(WholeNumber(PointOf(entry) + 1).View());
    output.Write(text.before[1]);
    output.Write(WholeNumber(static_cast<std::uint32_t>(entry.type)).View());
    const std::array<NumberText, 6> numbers = {JsonNumber(entry.inputValue),
                                               JsonNumber(entry.demand),
                                               JsonNumber(entry.ratio),
                                               sizes.valveSize.Of(entry.valveSize),
                                               sizes.delivered.Of(Delivered(entry, scaleFactor)),
                                               JsonNumber(entry.deviation)};
    for (std::size_t index = 0; index < numbers.size(); ++index) {
        output.Write(text.before[index + 2]);
        output.Write(numbers[index].View());
    }
    if (!text.carried.empty()) {
        output.Write(text.columns);
        for (std::size_t column = 0; column < carried.fields.size(); ++column) {
            output.Write(text.carried[column]);
            escaped.clear();
            AppendJsonString(escaped, FieldValue(carried.fields[column], separator, scratch));
            output.Write(escaped);
        }
        output.Write("\n      }");
    }
    output.Write("\n    }");
}

void WriteSizingJson(Output& output, const Sizing& sizing, const Carried& carried) {
    const JsonPointText text = PointText(CarriedNames(carried));
    output.Write("{\n  \"points\": [");
    CsvRecord fields;
    std::string scratch;
    std::string escaped;
    SizeTexts sizes{FewValueTexts(JsonNumber), FewValueTexts(JsonNumber)};
    for (std::size_t position = 0; position < sizing.entries.size(); ++position) {
        output.Write(position == 0 ? "\n" : ",\n");
        if (!text.carried.empty()) {
            SplitCarried(carried, position, fields);
        }
        WriteJsonPoint(output, sizing.entries[position], sizing.scaleFactor, text, sizes, fields,
                       carried.separator, scratch, escaped);
    }
    output.Write(sizing.entries.empty() ? "]" : "\n  ]");
    const auto values = TotalsOf(sizing);
    for (std::size_t index = 0; index < values.size(); ++index) {
        output.Write(",\n" + JsonKey(1, kTotalNames[index]));
        output.Write(JsonNumber(values[index]).View());
    }
    output.Write("\n}\n");
}

void AppendJsonList(std::string& out, std::string_view name, const std::vector<double>& values) {
    out += JsonKey(1, name);
    out += "[";
    for (std::size_t index = 0; index < values.size(); ++index) {
        out += index == 0 ? "\n" : ",\n";
        out += "    ";
        out += JsonNumber(values[index]).View();
    }
    out += values.empty() ? "]" : "\n  ]";
}

}  // namespace

void WriteSizing(Output& output, const Sizing& sizing, const PointTable& points, Format format,
                 const CsvDialect& csv) {
    const Carried carried = InSolvedOrder(points, sizing.entries);
    switch (format) {
        case Format::kCsv:
            WriteSizingCsv(output, sizing, carried, csv);
            return;
        case Format::kJson:
            WriteSizingJson(output, sizing, carried);
            return;
        case Format::kTable:
        default:
            WriteSizingTable(output, sizing, carried);
    }
}

void WriteReduction(Output& output, const Reduction& reduction, Format format,
                    const CsvDialect& csv) {
    switch (format) {
        case Format::kCsv: {
            CsvWriter writer(output, csv);
            writer.Text("size");
            writer.Text("smallest");
            writer.EndRecord();
            for (std::size_t index = 0; index < reduction.sizes.size(); ++index) {
                writer.Number(reduction.sizes[index]);
                writer.Number(reduction.smallest[index]);
                writer.EndRecord();
            }
            return;
        }
        case Format::kJson: {
            std::string text = "{\n";
            AppendJsonList(text, "sizes", reduction.sizes);
            text += ",\n";
            AppendJsonList(text, "smallest", reduction.smallest);
            text += "\n}\n";
            output.Write(text);
            return;
        }
        case Format::kTable:
        default: {
            std::vector<std::vector<std::string>> rows = {{"size", "smallest"}};
            for (std::size_t index = 0; index < reduction.sizes.size(); ++index) {
                rows.push_back({std::string(Shortest(reduction.sizes[index]).View()),
                                std::string(Shortest(reduction.smallest[index]).View())});
            }
            WriteSmallTable(output, rows, 2);
        }
    }
}

std::string FormatVersion(double version) {
    std::string text(Shortest(version).View());
    if (text.find_first_of(".en") == std::string::npos) {
        text += ".0";
    }
    return text;
}

}  // namespace korvan_size
