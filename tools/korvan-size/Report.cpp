#include "Report.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include <fmt/core.h>
#include <nlohmann/json.hpp>

#include "Csv.h"

namespace korvan_size {
namespace {

using Json = nlohmann::ordered_json;
using Row = std::vector<std::string>;

constexpr int kBarHalfWidth = 10;
constexpr std::size_t kNumericColumns = 8;  // point to deviation; the bar and other columns follow

// Shortest text that reads back to the same double.
std::string Exact(double value) {
    return fmt::format("{}", value);
}

std::uint32_t TypeOf(const SolutionEntry& entry) {
    return static_cast<std::uint32_t>(entry.type);
}

double Delivered(const SolutionEntry& entry, double scaleFactor) {
    return entry.valveSize * scaleFactor;
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
    if (deviation < 0.0) {
        return std::string(static_cast<std::size_t>(kBarHalfWidth - length), ' ') +
               std::string(static_cast<std::size_t>(length), '-') + "|";
    }
    return std::string(static_cast<std::size_t>(kBarHalfWidth), ' ') + "|" +
           std::string(static_cast<std::size_t>(length), '+');
}

// Columns before `firstLeftAligned` are right-aligned, the rest left-aligned; no line ends in
// blanks.
std::string AlignedTable(const std::vector<Row>& rows, std::size_t firstLeftAligned) {
    std::vector<std::size_t> widths;
    for (const Row& row : rows) {
        widths.resize(std::max(widths.size(), row.size()));
        for (std::size_t column = 0; column < row.size(); ++column) {
            widths[column] = std::max(widths[column], row[column].size());
        }
    }
    std::string text;
    for (const Row& row : rows) {
        std::string line;
        for (std::size_t column = 0; column < row.size(); ++column) {
            const std::string separator = column == 0 ? "" : "  ";
            if (column < firstLeftAligned) {
                line += separator + fmt::format("{:>{}}", row[column], widths[column]);
            } else {
                line += separator + fmt::format("{:<{}}", row[column], widths[column]);
            }
        }
        line.erase(line.find_last_not_of(' ') + 1);
        text += line + "\n";
    }
    return text;
}

double LargestDeviation(const Sizing& sizing) {
    double largest = 0.0;
    for (const SizedPoint& point : sizing.points) {
        largest = std::max(largest, std::fabs(point.entry.deviation));
    }
    return largest;
}

std::string SizingTable(const Sizing& sizing, const PointTable& points) {
    Row header = {"point",      "type",      "input value", "demand", "ratio",
                  "valve size", "delivered", "deviation %", ""};
    for (const std::string& name : points.extraNames) {
        header.push_back(CsvFieldValue(name));
    }
    std::vector<Row> rows = {header};
    const double largest = LargestDeviation(sizing);
    for (const SizedPoint& point : sizing.points) {
        const SolutionEntry& entry = point.entry;
        Row row = {fmt::format("{}", point.row + 1), fmt::format("{}", TypeOf(entry)),
                   Exact(entry.inputValue), fmt::format("{:.6g}", entry.demand),
                   fmt::format("{:.6g}", entry.ratio), Exact(entry.valveSize),
                   fmt::format("{:.6g}", Delivered(entry, sizing.scaleFactor)),
                   // Adding zero prints a deviation of -0 as 0.00.
                   fmt::format("{:.2f}", entry.deviation + 0.0),
                   DeviationBar(entry.deviation, largest)};
        for (const std::string& raw : points.rows[point.row].extra) {
            row.push_back(CsvFieldValue(raw));
        }
        rows.push_back(std::move(row));
    }
    const std::vector<Row> summary = {{"deviationMax", Exact(sizing.deviationMax)},
                                      {"deviationMin", Exact(sizing.deviationMin)},
                                      {"scaleFactor", Exact(sizing.scaleFactor)},
                                      {"reducedScaleFactor", Exact(sizing.reducedScaleFactor)}};
    return AlignedTable(rows, kNumericColumns) + "\n" + AlignedTable(summary, 0);
}

std::string CsvLine(const Row& fields) {
    std::string line;
    for (std::size_t index = 0; index < fields.size(); ++index) {
        line += (index == 0 ? "" : ",") + fields[index];
    }
    return line + "\n";
}

std::string SizingCsv(const Sizing& sizing, const PointTable& points) {
    Row header = {"point", "type",      "inputValue", "demand",
                  "ratio", "valveSize", "delivered",  "deviation"};
    header.insert(header.end(), points.extraNames.begin(), points.extraNames.end());
    std::string text = CsvLine(header);
    for (const SizedPoint& point : sizing.points) {
        const SolutionEntry& entry = point.entry;
        Row row = {fmt::format("{}", point.row + 1),
                   fmt::format("{}", TypeOf(entry)),
                   Exact(entry.inputValue),
                   Exact(entry.demand),
                   Exact(entry.ratio),
                   Exact(entry.valveSize),
                   Exact(Delivered(entry, sizing.scaleFactor)),
                   Exact(entry.deviation)};
        const Row& extra = points.rows[point.row].extra;
        row.insert(row.end(), extra.begin(), extra.end());
        text += CsvLine(row);
    }
    return text + "\n" +
           CsvLine({"deviationMax", "deviationMin", "scaleFactor", "reducedScaleFactor"}) +
           CsvLine({Exact(sizing.deviationMax), Exact(sizing.deviationMin),
                    Exact(sizing.scaleFactor), Exact(sizing.reducedScaleFactor)});
}

Json ExtraColumns(const PointTable& points, const PointRow& row) {
    Json columns = Json::object();
    for (std::size_t index = 0; index < points.extraNames.size(); ++index) {
        columns[CsvFieldValue(points.extraNames[index])] = CsvFieldValue(row.extra[index]);
    }
    return columns;
}

// Invalid UTF-8 in a carried column is replaced rather than refused: the numbers still count.
std::string JsonText(const Json& document) {
    return document.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::string SizingJson(const Sizing& sizing, const PointTable& points) {
    Json list = Json::array();
    for (const SizedPoint& point : sizing.points) {
        const SolutionEntry& entry = point.entry;
        Json item = {{"point", point.row + 1},
                     {"type", TypeOf(entry)},
                     {"inputValue", entry.inputValue},
                     {"demand", entry.demand},
                     {"ratio", entry.ratio},
                     {"valveSize", entry.valveSize},
                     {"delivered", Delivered(entry, sizing.scaleFactor)},
                     {"deviation", entry.deviation}};
        if (!points.extraNames.empty()) {
            item["columns"] = ExtraColumns(points, points.rows[point.row]);
        }
        list.push_back(std::move(item));
    }
    const Json document = {{"points", std::move(list)},
                           {"deviationMax", sizing.deviationMax},
                           {"deviationMin", sizing.deviationMin},
                           {"scaleFactor", sizing.scaleFactor},
                           {"reducedScaleFactor", sizing.reducedScaleFactor}};
    return JsonText(document);
}

}  // namespace

std::string FormatSizing(const Sizing& sizing, const PointTable& points, Format format) {
    switch (format) {
        case Format::kCsv:
            return SizingCsv(sizing, points);
        case Format::kJson:
            return SizingJson(sizing, points);
        case Format::kTable:
        default:
            return SizingTable(sizing, points);
    }
}

std::string FormatReduction(const Reduction& reduction, Format format) {
    std::vector<Row> rows;
    for (std::size_t index = 0; index < reduction.sizes.size(); ++index) {
        rows.push_back({Exact(reduction.sizes[index]), Exact(reduction.smallest.at(index))});
    }
    switch (format) {
        case Format::kCsv: {
            std::string text = CsvLine({"size", "smallest"});
            for (const Row& row : rows) {
                text += CsvLine(row);
            }
            return text;
        }
        case Format::kJson:
            return JsonText({{"sizes", reduction.sizes}, {"smallest", reduction.smallest}});
        case Format::kTable:
        default:
            rows.insert(rows.begin(), {"size", "smallest"});
            return AlignedTable(rows, 2);
    }
}

std::string FormatVersion(double version) {
    std::string text = Exact(version);
    if (text.find_first_of(".en") == std::string::npos) {
        text += ".0";
    }
    return text;
}

}  // namespace korvan_size
