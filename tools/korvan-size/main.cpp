// korvan-size, the sample host: sizes valves for points given on the command line or as CSV, and
// reduces valve sizes, through the library loaded at run time by its plain function names.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include <fmt/core.h>
#include <CLI/CLI.hpp>

#include "Failure.h"
#include "LibraryLoader.h"
#include "PointInput.h"
#include "Report.h"
#include "Sizing.h"

namespace {

struct Options {
    std::vector<std::string> points;
    std::string csvSource;
    std::string libraryPath;
    std::string format = "table";
    bool version = false;
    std::vector<std::string> sizes;
};

constexpr const char* kDescription =
    "korvan-size sizes valves with the KorvanCalcValueProvider library. Each point has a type\n"
    "(0 to 3) and an input value; every point gets a size of the valve series 0.5, 0.3, 0.2,\n"
    "0.16, 0.1, 0.06, 0.03, and the output lists, largest demand first, each point's demand,\n"
    "ratio, valve size, delivered quantity (valve size x scale factor) and percent deviation,\n"
    "then deviationMax, deviationMin, scaleFactor and reducedScaleFactor.\n";

constexpr const char* kFooter = R"(Examples:
  korvan-size                        size the built-in example, the points 1:50 0:100 3:80
  korvan-size 1:50 0:100 3:80        the same points given as TYPE:VALUE
  korvan-size --csv points.csv --format json
  printf 'type,inputValue,name\n1,50,A\n3,80,B\n' | korvan-size --csv -
  korvan-size reduce 0.5 0.3 0.3     each size beside the smallest with the same ratios

CSV input: a header line naming the columns type and inputValue, then one point per line. Other
columns are carried through to the output unchanged, by row.

Output: --format table (the default) is for reading; csv and json print every number so that it
reads back to the same double. CSV gives the points, a blank line, then the four totals.

The library is looked for beside this program, then in the install's library folder, then by
name through the system's search; --library PATH names it instead.

Exit status: 0 success; 1 the library refused the input (the message names the result code or
exception); 2 a bad command line or input; 3 the library could not be loaded. Nothing is written
to standard output unless the run succeeds.
)";

CLI::App* DescribeCommandLine(CLI::App& app, Options& options) {
    app.description(kDescription);
    app.footer(kFooter);
    CLI::Option* const points =
        app.add_option("points", options.points, "points to size, each TYPE:VALUE")
            ->type_name("TYPE:VALUE");
    app.add_option("--csv", options.csvSource, "read the points from a CSV file, - for stdin")
        ->type_name("FILE")
        ->excludes(points);
    app.add_option("--format", options.format, "table (the default), csv or json")
        ->type_name("FORMAT")
        ->check(CLI::IsMember({"table", "csv", "json"}));
    app.add_option("--library", options.libraryPath, "load the library from PATH")
        ->type_name("PATH");
    app.add_flag("--version", options.version, "print the library's version");

    CLI::App* const reduce = app.add_subcommand(
        "reduce",
        "express valve sizes with the smallest sizes of the series that keep their ratios");
    reduce->add_option("sizes", options.sizes, "valve sizes, e.g. 0.5 0.3 0.3")->type_name("SIZE");
    reduce->fallthrough();
    return reduce;
}

std::vector<double> ParseSizes(const std::vector<std::string>& texts) {
    std::vector<double> sizes;
    for (std::size_t index = 0; index < texts.size(); ++index) {
        sizes.push_back(korvan_size::ParseNumber(texts[index], fmt::format("size {}:", index + 1)));
    }
    return sizes;
}

korvan_size::PointTable ReadPoints(const Options& options) {
    if (!options.csvSource.empty()) {
        return korvan_size::PointsFromCsvSource(options.csvSource);
    }
    if (options.points.empty()) {
        return korvan_size::ExamplePoints();
    }
    return korvan_size::PointsFromArguments(options.points);
}

korvan_size::Format FormatNamed(const std::string& name) {
    if (name == "csv") {
        return korvan_size::Format::kCsv;
    }
    return name == "json" ? korvan_size::Format::kJson : korvan_size::Format::kTable;
}

// The whole output of a successful run; input is read before the library is loaded, so a bad
// input is reported the same with or without a library.
std::string Run(const Options& options, bool reduce, const std::string& programPath) {
    if (options.version) {
        const auto library = korvan_size::LoadKorvanLibrary(options.libraryPath, programPath);
        return fmt::format("KorvanCalcValueProvider {} ({})\n",
                           korvan_size::FormatVersion(library.functions.getCurrentVersion()),
                           library.path);
    }
    if (reduce) {
        const std::vector<double> sizes = ParseSizes(options.sizes);
        const auto library = korvan_size::LoadKorvanLibrary(options.libraryPath, programPath);
        return korvan_size::FormatReduction(korvan_size::ReduceSizes(library.functions, sizes),
                                            FormatNamed(options.format));
    }
    const korvan_size::PointTable points = ReadPoints(options);
    const auto library = korvan_size::LoadKorvanLibrary(options.libraryPath, programPath);
    return korvan_size::FormatSizing(korvan_size::SizePoints(library.functions, points), points,
                                     FormatNamed(options.format));
}

int Fail(int status, const char* message) {
    fmt::print(stderr, "korvan-size: {}\n", message);
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"", "korvan-size"};
    Options options;
    const CLI::App* const reduce = DescribeCommandLine(app, options);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return app.exit(error) == 0 ? 0 : korvan_size::kBadInput;
    }
    try {
        const std::string output = Run(options, reduce->parsed(), argc > 0 ? argv[0] : "");
        if (std::fwrite(output.data(), 1, output.size(), stdout) != output.size() ||
            std::fflush(stdout) != 0) {
            return Fail(korvan_size::kBadInput, "cannot write to standard output");
        }
        return 0;
    } catch (const korvan_size::Failure& failure) {
        return Fail(failure.exitStatus, failure.what());
    } catch (const std::exception& error) {
        return Fail(korvan_size::kLibraryRefused, error.what());
    }
}
