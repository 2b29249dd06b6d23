#include "Report.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
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

// Characters as a terminal shows them: UTF-8 continuation bytes take no column.
std::size_t DisplayWidth(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0U) != 0x80U;
    }));
}

enum class Align { kRight, kLeft };

void AppendCell(std::string& line, std::string_view text, std::size_t width, Align align) {
    if (!line.empty()) {
        line += kColumnGap;
    }
    const std::size_t padding = width - std::min(width, DisplayWidth(text));
    if (align == Align::kRight) {
        line.append(padding, ' ');
    }
    line += text;
    if (align == Align::kLeft) {
        line.append(padding, ' ');
    }
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

// The fields of the carried columns of one point, as written.
void SplitCarried(const PointTable& points, std::size_t point, CsvRecord& record) {
    const std::string_view text = points.carried.Of(point);
    if (text.empty()) {
        record.fields.assign(1, text);
    } else {
        ScanRecord(text, true, points.dialect.separator, record);
    }
    record.fields.resize(points.carried.names.size());
}

// The carried column names as people read them.
std::vector<std::string> CarriedNames(const PointTable& points) {
    std::vector<std::string> names;
    std::string scratch;
    for (const std::string& raw : points.carried.names) {
        names.emplace_back(FieldValue(raw, points.dialect.separator, scratch));
    }
    return names;
}

// ---- table ----

std::array<NumberText, kNumberColumns> TableNumbers(const SolutionEntry& entry,
                                                    double scaleFactor) {
    return {WholeNumber(PointOf(entry) + 1),
            WholeNumber(static_cast<std::uint32_t>(entry.type)),
            Shortest(entry.inputValue),
            SixDigits(entry.demand),
            SixDigits(entry.ratio),
            Shortest(entry.valveSize),
            SixDigits(Delivered(entry, scaleFactor)),
            TwoDecimals(entry.deviation)};
}

// Dashes left of the bar for a deficit, pluses right of it for a surplus, scaled so that the
// largest deviation of the solution fills one side.
std::string DeviationBar(double deviation, double largest) {
    int length = 0;
    if (largest > 0.0 && deviation != 0.0) {
        const double share = std::fabs(deviation) / largest * kBarHalfWidth;
        length = std::isfinite(share)
                     ? std::clamp(static_cast<int>(std::lround(share)), 1, kBarHalfWidth)
                     : kBarHalfWidth;
    }
    const auto half = static_cast<std::size_t>(kBarHalfWidth);
    const auto filled = static_cast<std::size_t>(length);
    if (deviation < 0.0) {
        return std::string(half - filled, ' ') + std::string(filled, '-') + "|";
    }
    return std::string(half, ' ') + "|" + std::string(filled, '+');
}

double LargestDeviation(const Sizing& sizing) {
    double largest = 0.0;
    for (const SolutionEntry& entry : sizing.entries) {
        largest = std::max(largest, std::fabs(entry.deviation));
    }
    return largest;
}

struct TableLayout {
    std::array<std::size_t, kNumberColumns> numberWidths{};
    std::size_t barWidth = 0;
    std::vector<std::size_t> carriedWidths;
    double largestDeviation = 0.0;
};

// Every column as wide as its widest cell: a first pass over the points that keeps nothing.
TableLayout LayOutTable(const Sizing& sizing, const PointTable& points,
                        const std::vector<std::string>& carriedNames) {
    TableLayout layout;
    layout.largestDeviation = LargestDeviation(sizing);
    for (std::size_t column = 0; column < kNumberColumns; ++column) {
        layout.numberWidths[column] = kTableHeader[column].size();
    }
    for (const std::string& name : carriedNames) {
        layout.carriedWidths.push_back(DisplayWidth(name));
    }
    CsvRecord carried;
    std::string scratch;
    for (const SolutionEntry& entry : sizing.entries) {
        const auto numbers = TableNumbers(entry, sizing.scaleFactor);
        for (std::size_t column = 0; column < kNumberColumns; ++column) {
            layout.numberWidths[column] = std::max(layout.numberWidths[column], numbers[column].size);
        }
        layout.barWidth = std::max(
            layout.barWidth, DeviationBar(entry.deviation, layout.largestDeviation).size());
        if (carriedNames.empty()) {
            continue;
        }
        SplitCarried(points, PointOf(entry), carried);
        for (std::size_t column = 0; column < carried.fields.size(); ++column) {
            layout.carriedWidths[column] =
                std::max(layout.carriedWidths[column],
                         DisplayWidth(FieldValue(carried.fields[column],
                                                 points.dialect.separator, scratch)));
        }
    }
    return layout;
}

void WriteSizingTable(Output& output, const Sizing& sizing, const PointTable& points) {
    const std::vector<std::string> carriedNames = CarriedNames(points);
    const TableLayout layout = LayOutTable(sizing, points, carriedNames);
    std::string line;
    for (std::size_t column = 0; column < kNumberColumns; ++column) {
        AppendCell(line, kTableHeader[column], layout.numberWidths[column], Align::kRight);
    }
    AppendCell(line, "", layout.barWidth, Align::kLeft);
    for (std::size_t column = 0; column < carriedNames.size(); ++column) {
        AppendCell(line, carriedNames[column], layout.carriedWidths[column], Align::kLeft);
    }
    WriteLine(output, line);
    CsvRecord carried;
    std::string scratch;
    for (const SolutionEntry& entry : sizing.entries) {
        line.clear();
        const auto numbers = TableNumbers(entry, sizing.scaleFactor);
        for (std::size_t column = 0; column < kNumberColumns; ++column) {
            AppendCell(line, numbers[column].View(), layout.numberWidths[column], Align::kRight);
        }
        AppendCell(line, DeviationBar(entry.deviation, layout.largestDeviation), layout.barWidth,
                   Align::kLeft);
        if (!carriedNames.empty()) {
            SplitCarried(points, PointOf(entry), carried);
            for (std::size_t column = 0; column < carried.fields.size(); ++column) {
                AppendCell(line,
                           FieldValue(carried.fields[column], points.dialect.separator, scratch),
                           layout.carriedWidths[column], Align::kLeft);
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
    void Number(double value) {
        const NumberText text = Shortest(value);
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

void WriteSizingCsv(Output& output, const Sizing& sizing, const PointTable& points,
                    const CsvDialect& dialect) {
    CsvWriter csv(output, dialect);
    for (const std::string_view name : kFieldNames) {
        csv.Text(name);
    }
    for (const std::string& raw : points.carried.names) {
        csv.Text(raw);
    }
    csv.EndRecord();
    for (const SolutionEntry& entry : sizing.entries) {
        csv.Whole(PointOf(entry) + 1);
        csv.Whole(static_cast<std::uint32_t>(entry.type));
        for (const double value : {entry.inputValue, entry.demand, entry.ratio, entry.valveSize,
                                   Delivered(entry, sizing.scaleFactor), entry.deviation}) {
            csv.Number(value);
        }
        if (!points.carried.names.empty()) {
            csv.Text(points.carried.Of(PointOf(entry)));
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
        const bool fits = at + next < text.size() && byte(at + next) >= low &&
                          byte(at + next) <= high;
        if (!fits) {
            bad = next;
            return 0;
        }
        low = 0x80;
        high = 0xBF;
    }
    return length;
}

// A JSON string; bytes that are not UTF-8 become U+FFFD, since the numbers still count.
void AppendJsonString(std::string& out, std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += '"';
    for (std::size_t at = 0; at < text.size();) {
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
                if (c < 0x20) {
                    out += "\\u00";
                    out += kHex[c >> 4U];
                    out += kHex[c & 0xFU];
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    out += '"';
}

// Writes `"name": ` indented by `depth` levels of two spaces.
void JsonKey(std::string& out, std::size_t depth, std::string_view name) {
    out.append(depth * 2, ' ');
    AppendJsonString(out, name);
    out += ": ";
}

void JsonMember(std::string& out, std::size_t depth, std::string_view name, double value) {
    JsonKey(out, depth, name);
    out += JsonNumber(value).View();
}

void AppendJsonPoint(std::string& out, const SolutionEntry& entry, const Sizing& sizing,
                     const PointTable& points, const std::vector<std::string>& carriedNames,
                     CsvRecord& carried, std::string& scratch) {
    out += "    {\n";
    JsonKey(out, 3, kFieldNames[0]);
    out += WholeNumber(PointOf(entry) + 1).View();
    out += ",\n";
    JsonKey(out, 3, kFieldNames[1]);
    out += WholeNumber(static_cast<std::uint32_t>(entry.type)).View();
    const std::array<double, 6> values = {entry.inputValue, entry.demand,
                                          entry.ratio,      entry.valveSize,
                                          Delivered(entry, sizing.scaleFactor), entry.deviation};
    for (std::size_t index = 0; index < values.size(); ++index) {
        out += ",\n";
        JsonMember(out, 3, kFieldNames[index + 2], values[index]);
    }
    if (!carriedNames.empty()) {
        out += ",\n";
        JsonKey(out, 3, "columns");
        out += "{\n";
        SplitCarried(points, PointOf(entry), carried);
        for (std::size_t column = 0; column < carried.fields.size(); ++column) {
            JsonKey(out, 4, carriedNames[column]);
            AppendJsonString(out, FieldValue(carried.fields[column], points.dialect.separator,
                                             scratch));
            out += column + 1 < carried.fields.size() ? ",\n" : "\n";
        }
        out += "      }";
    }
    out += "\n    }";
}

void WriteSizingJson(Output& output, const Sizing& sizing, const PointTable& points) {
    const std::vector<std::string> carriedNames = CarriedNames(points);
    std::string text = "{\n  \"points\": [";
    CsvRecord carried;
    std::string scratch;
    for (std::size_t index = 0; index < sizing.entries.size(); ++index) {
        text += index == 0 ? "\n" : ",\n";
        AppendJsonPoint(text, sizing.entries[index], sizing, points, carriedNames, carried,
                        scratch);
        output.Write(text);
        text.clear();
    }
    text += sizing.entries.empty() ? "]" : "\n  ]";
    const auto values = TotalsOf(sizing);
    for (std::size_t index = 0; index < values.size(); ++index) {
        text += ",\n";
        JsonMember(text, 1, kTotalNames[index], values[index]);
    }
    text += "\n}\n";
    output.Write(text);
}

void AppendJsonList(std::string& out, std::string_view name, const std::vector<double>& values) {
    JsonKey(out, 1, name);
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
    switch (format) {
        case Format::kCsv:
            WriteSizingCsv(output, sizing, points, csv);
            return;
        case Format::kJson:
            WriteSizingJson(output, sizing, points);
            return;
        case Format::kTable:
        default:
            WriteSizingTable(output, sizing, points);
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
