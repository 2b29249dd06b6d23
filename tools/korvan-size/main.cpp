// korvan-size, the sample host: sizes valves for points given on the command line or as CSV, and
// reduces valve sizes, through the library loaded at run time by its plain function names.
#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "Failure.h"
#include "LibraryLoader.h"
#include "PointInput.h"
#include "Report.h"
#include "Sizing.h"
#include "Streams.h"

namespace {

using korvan_size::CommandLine;

std::vector<double> ParseSizes(const std::vector<std::string>& texts) {
    std::vector<double> sizes;
    for (std::size_t index = 0; index < texts.size(); ++index) {
        sizes.push_back(
            korvan_size::ParseNumber(texts[index], "size " + std::to_string(index + 1) + ":"));
    }
    return sizes;
}

korvan_size::PointTable ReadPoints(const CommandLine& line) {
    if (line.csvSource) {
        korvan_size::InputFile input(*line.csvSource);
        return korvan_size::PointsFromCsv(input, line.csv);
    }
    if (line.operands.empty()) {
        return korvan_size::ExamplePoints();
    }
    return korvan_size::PointsFromArguments(line.operands);
}

// Input is read before the library is loaded, so a bad input is reported the same with or
// without a library; output is written only once the library has answered.
void Run(const CommandLine& line, const std::string& programPath, korvan_size::Output& output) {
    if (line.help) {
        output.Write(korvan_size::HelpText());
        return;
    }
    if (line.version) {
        const auto library = korvan_size::LoadKorvanLibrary(line.libraryPath, programPath);
        output.Write("KorvanCalcValueProvider " +
                     korvan_size::FormatVersion(library.functions.getCurrentVersion()) + " (" +
                     library.path + ")\n");
        return;
    }
    if (line.reduce) {
        const std::vector<double> sizes = ParseSizes(line.operands);
        const auto library = korvan_size::LoadKorvanLibrary(line.libraryPath, programPath);
        korvan_size::WriteReduction(output, korvan_size::ReduceSizes(library.functions, sizes),
                                    line.format, korvan_size::OutputDialect(line.csv));
        return;
    }
    const korvan_size::PointTable points = ReadPoints(line);
    const auto library = korvan_size::LoadKorvanLibrary(line.libraryPath, programPath);
    const korvan_size::Sizing sizing = korvan_size::SizePoints(library.functions, points);
    korvan_size::WriteSizing(
        output, sizing, points, line.format,
        line.csvSource ? points.dialect : korvan_size::OutputDialect(line.csv));
}

int Fail(int status, const char* message) {
    static_cast<void>(std::fprintf(stderr, "korvan-size: %s\n", message));
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    korvan_size::UseBinaryStandardStreams();
    try {
        const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
        korvan_size::Output output;
        Run(korvan_size::ReadCommandLine(arguments), argc > 0 ? argv[0] : "", output);
        output.Finish();
        return 0;
    } catch (const korvan_size::Failure& failure) {
        return Fail(failure.exitStatus, failure.what());
    } catch (const std::bad_alloc&) {
        return Fail(korvan_size::kLibraryRefused, "out of memory (std::bad_alloc)");
    } catch (const std::exception& error) {
        return Fail(korvan_size::kLibraryRefused, error.what());
    }
}
