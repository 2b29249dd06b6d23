// The least a program can do for what korvan-size does with a CSV of points: read the file in
// blocks, parse type and input value of each line (the header and every other column skipped),
// size them with one GenerateSolutionVector call and print each point's numbers as CSV.
//
// usage: korvan_cli_baseline FILE > output
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include <KorvanCalcValueProvider.h>

namespace {

struct Points {
    std::vector<std::uint32_t> types;
    std::vector<double> inputValues;
};

// A line "type,inputValue,..." of the benchmark's input.
void ParseLine(std::string_view line, Points& points) {
    const char* const end = line.data() + line.size();
    std::uint32_t type = 0;
    const auto typeRead = std::from_chars(line.data(), end, type);
    double inputValue = 0.0;
    std::from_chars(typeRead.ptr + 1, end, inputValue);
    points.types.push_back(type);
    points.inputValues.push_back(inputValue);
}

bool ReadPoints(std::FILE* file, Points& points) {
    std::vector<char> block(std::size_t{1} << 20);
    std::string carry;
    bool header = true;
    std::size_t read = 0;
    while ((read = std::fread(block.data(), 1, block.size(), file)) > 0) {
        carry.append(block.data(), read);
        std::size_t start = 0;
        for (std::size_t end = carry.find('\n'); end != std::string::npos;
             end = carry.find('\n', start)) {
            if (!header) {
                ParseLine(std::string_view(carry).substr(start, end - start), points);
            }
            header = false;
            start = end + 1;
        }
        carry.erase(0, start);
    }
    return std::ferror(file) == 0;
}

void Append(std::string& out, double value) {
    char text[32];
    out.append(text,
               static_cast<std::size_t>(std::to_chars(text, text + sizeof text, value).ptr - text));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        static_cast<void>(std::fputs("usage: korvan_cli_baseline FILE\n", stderr));
        return 2;
    }
    std::FILE* const file = std::fopen(argv[1], "rb");
    Points points;
    if (file == nullptr || !ReadPoints(file, points)) {
        static_cast<void>(std::fputs("korvan_cli_baseline: cannot read the file\n", stderr));
        return 2;
    }
    static_cast<void>(std::fclose(file));

    double deviationMax = 0.0;
    double deviationMin = 0.0;
    double scaleFactor = 0.0;
    double reducedScaleFactor = 0.0;
    SolutionVector solution;
    solution.reserve(points.types.size());
    if (GenerateSolutionVector(static_cast<std::int32_t>(points.types.size()), points.types.data(),
                               points.inputValues.data(), &deviationMax, &deviationMin,
                               &scaleFactor, &reducedScaleFactor, &solution) != 0) {
        static_cast<void>(
            std::fputs("korvan_cli_baseline: the library refused the points\n", stderr));
        return 1;
    }

    std::string out;
    for (const SolutionEntry& entry : solution) {
        out += std::to_string(entry.type);
        for (const double value : {entry.inputValue, entry.demand, entry.ratio, entry.valveSize,
                                   entry.valveSize * scaleFactor, entry.deviation}) {
            out += ',';
            Append(out, value);
        }
        out += '\n';
        if (out.size() >= (std::size_t{1} << 16)) {
            static_cast<void>(std::fwrite(out.data(), 1, out.size(), stdout));
            out.clear();
        }
    }
    static_cast<void>(std::fwrite(out.data(), 1, out.size(), stdout));
    return std::fflush(stdout) == 0 ? 0 : 1;
}
