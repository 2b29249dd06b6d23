// korvan-size's command line, and one run from reading to writing: input is read before the
// library is loaded, and nothing is written to standard output unless the library sized it.
#include <algorithm>
#include <array>
#include <cerrno>
#include <filesystem>
#include <map>
#include <new>
#include <system_error>

#include "korvan-size.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

namespace korvan_size {
namespace {

constexpr const char* kHelp =
    R"(korvan-size sizes valves with the KorvanCalcValueProvider library: each point (a type 0
to 3 and an input value) gets a size of the series 0.5, 0.3, 0.2, 0.16, 0.1, 0.06, 0.03;
the output lists, largest demand first, each point's demand, ratio, valve size,
delivered quantity (size x scale factor) and percent deviation, then the totals.

Usage:
  korvan-size [OPTIONS] [TYPE:VALUE ...]   (no points: the example 1:50 0:100 3:80)
  korvan-size [OPTIONS] --csv FILE
  korvan-size [OPTIONS] reduce SIZE ...    (each size beside the smallest size of the
                                            series with the same ratios)
Options:
  --csv FILE        read the points from a CSV file, - for standard input
  --format FORMAT   table (the default), csv or json
  --totals FILE     also write the four totals to FILE, as CSV
  --keep-formulas   write CSV cells that start with = + - @ as they are, not after a '
  --separator SEP   the CSV separator: comma, semicolon or tab (default: the one the
                    header is written with; a comma for points from arguments)
  --decimal-comma   CSV numbers have a decimal comma (1,5), read and written; needs a
                    semicolon or tab separator
  --library PATH    load the library from PATH (default: beside this program, in the
                    install's library folder, then through the system's search)
  --version         print the library's version and where it was loaded from
  -h, --help        print this help

Examples:
  korvan-size 1:50 0:100 3:80
  korvan-size --csv points.csv --format csv --totals totals.csv

CSV input has a header naming the columns type and inputValue, then a point per record;
other columns are carried through. csv output is one table written like the input, a
cell that a spreadsheet would run as a formula after a '. The rules: korvan-size(1).

Exit status: 0 success; 1 the library refused the points (the message names the point
and the rule); 2 a bad command line or input; 3 the library could not be loaded; 4 the
output could not be written. Nothing is written to standard output unless the run
succeeds.
)";

// Each option, with the name of its value (none for a flag).
constexpr std::array<std::pair<std::string_view, std::string_view>, 8> kOptions = {
    {{"--csv", "FILE"},
     {"--format", "FORMAT"},
     {"--totals", "FILE"},
     {"--keep-formulas", ""},
     {"--separator", "SEP"},
     {"--decimal-comma", ""},
     {"--library", "PATH"},
     {"--version", ""}}};

struct CommandLine {
    std::map<std::string, std::string, std::less<>> options;  // each given, with its value
    std::vector<std::string> operands;  // points TYPE:VALUE, or "reduce" and the sizes
    Layout layout;

    [[nodiscard]] const std::string* Option(std::string_view name) const {
        const auto found = options.find(name);
        return found == options.end() ? nullptr : &found->second;
    }
};

[[noreturn]] void Usage(const std::string& message) {
    throw Failure(kBadInput, message + " (korvan-size --help tells what it takes)");
}

// Options may stand anywhere, as --name VALUE or --name=VALUE; "--" ends them; an argument that
// starts with '-' and a digit or '.' is an operand (-0.1, -1:50).
CommandLine Read(const std::vector<std::string>& arguments) {
    CommandLine line;
    bool optionsEnded = false;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        const std::string& argument = arguments[index];
        if (optionsEnded || argument.size() < 2 || argument[0] != '-' ||
            argument.find_first_of("0123456789.") == 1) {
            line.operands.push_back(argument);
            continue;
        }
        const std::size_t equals = std::min(argument.find('='), argument.size());
        const std::string name = argument.substr(0, equals);
        const auto option = std::find_if(kOptions.begin(), kOptions.end(),
                                         [&](auto& known) { return known.first == name; });
        optionsEnded = name == "--";
        if (name == "--help" || name == "-h") {
            line.options = {{"--help", ""}};
            return line;
        }
        if (optionsEnded) {
            continue;
        }
        const std::string problem =
            option == kOptions.end()                             ? "unknown option " + Shown(name)
            : option->second.empty() && equals < argument.size() ? name + " takes no value"
            : !option->second.empty() && equals == argument.size() && index + 1 == arguments.size()
                ? name + " needs a " + std::string(option->second)
                : "";
        if (!problem.empty()) {
            Usage(problem);
        }
        const std::string value = option->second.empty()     ? ""
                                  : equals < argument.size() ? argument.substr(equals + 1)
                                                             : arguments[++index];
        if (!line.options.emplace(name, value).second) {
            Usage(name + " is given twice");
        }
    }
    return line;
}

// The options' values, and the rules between options and operands.
void Check(CommandLine& line) {
    const bool reduce = !line.operands.empty() && line.operands[0] == "reduce";
    // The position of an option's value among `names`, which it must be one of.
    const auto choice = [&](const char* option, std::vector<std::string_view> names,
                            const char* expected) {
        const std::string* const value = line.Option(option);
        const auto found =
            std::find(names.begin(), names.end(), value != nullptr ? *value : names[0]);
        if (found == names.end()) {
            Usage(option + (" " + Shown(*value)) + ": expected " + expected);
        }
        return static_cast<std::size_t>(found - names.begin()) % 3;
    };
    line.layout.format =
        static_cast<Format>(choice("--format", {"table", "csv", "json"}, "table, csv or json"));
    if (line.Option("--separator") != nullptr) {
        line.layout.separator =
            ",;\t"[choice("--separator", {"comma", "semicolon", "tab", ",", ";", "\t"},
                          "comma, semicolon or tab")];
    }
    line.layout.decimalComma = line.Option("--decimal-comma") != nullptr;
    line.layout.neutraliseFormulas = line.Option("--keep-formulas") == nullptr;
    line.layout.dialect.separator =
        line.layout.separator.value_or(line.layout.decimalComma ? ';' : ',');
    line.layout.dialect.decimalSign = line.layout.decimalComma ? ',' : '.';
    const bool csv = line.Option("--csv") != nullptr;
    const std::string problem =
        line.layout.decimalComma && line.layout.separator == ','
            ? "--decimal-comma needs a semicolon or tab separator, not a comma"
        : line.Option("--version") != nullptr ? ""
        : reduce && csv ? "reduce takes its sizes as arguments, not with --csv"
        : reduce && line.operands.size() == 1
            ? "reduce needs one or more sizes, as in korvan-size reduce 0.5 0.3 0.3"
        : csv && !line.operands.empty()
            ? "points are given both with --csv and as arguments: give one or the other"
        : reduce && line.Option("--totals") != nullptr
            ? "reduce has no totals to write with --totals"
            : "";
    if (!problem.empty()) {
        Usage(problem);
    }
}

// `path` opened for `use`, or Failure (`status`) with the system's reason.
using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

File Open(const std::string& path, const char* mode, int status, const std::string& use) {
    errno = 0;
    std::error_code ignored;
    std::FILE* const file =
        std::filesystem::is_directory(path, ignored) ? nullptr : std::fopen(path.c_str(), mode);
    if (file == nullptr) {
        throw Failure(status, "cannot " + use + " " + path + ": " +
                                  std::generic_category().message(errno != 0 ? errno : EISDIR));
    }
    return {file, &std::fclose};  // a file written is flushed before it is closed
}

void Run(CommandLine& line, const std::string& programPath, Output& out) {
    const std::string* const library = line.Option("--library");
    const auto load = [&] { return OpenLibrary(library != nullptr ? *library : "", programPath); };
    if (line.Option("--help") != nullptr) {
        return out.Write(kHelp);
    }
    Check(line);
    if (line.Option("--version") != nullptr) {
        const Library loaded = load();
        const std::uint32_t version = loaded.version();
        return out.Write("KorvanCalcValueProvider " + std::to_string(version / 10000) + "." +
                         std::to_string(version / 100 % 100) + "." + std::to_string(version % 100) +
                         " (" + loaded.path + ")\n");
    }
    if (!line.operands.empty() && line.operands[0] == "reduce") {
        const std::vector<double> sizes =
            ReadSizes({line.operands.begin() + 1, line.operands.end()});
        return WriteReduction(out, Reduce(load(), sizes), line.layout);
    }
    const std::string* const csv = line.Option("--csv");
    const File file = csv == nullptr || *csv == "-"
                          ? File(nullptr, &std::fclose)
                          : Open(*csv, "rb", kBadInput, "read the CSV file");
    const Points points =
        csv == nullptr ? ReadArguments(line.operands)
                       : ReadCsv(file ? file.get() : stdin,
                                 file ? "the CSV file " + *csv : "standard input", line.layout);
    const Sizing sizing = Size(load(), points);
    line.layout.dialect = csv != nullptr ? points.dialect : line.layout.dialect;
    if (const std::string* const totals = line.Option("--totals")) {
        const File written = Open(*totals, "wb", kCannotWrite, "write the totals file");
        Output output(written.get(), "the totals file " + *totals);
        WriteTotals(output, sizing.totals, line.layout.dialect);
        output.Finish();
    }
    WriteSizing(out, sizing, points, line.layout);
}

}  // namespace
}  // namespace korvan_size

int main(int argc, char** argv) {
    using namespace korvan_size;
#if defined(_WIN32)
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    const auto fail = [](int status, const char* message) {
        static_cast<void>(std::fprintf(stderr, "korvan-size: %s\n", message));
        return status;
    };
    try {
        Output out(stdout, "standard output");
        CommandLine line = Read(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
        Run(line, argc > 0 ? argv[0] : "", out);
        out.Finish();
        return 0;
    } catch (const Failure& failure) {
        return fail(failure.status, failure.what());
    } catch (const std::bad_alloc&) {
        return fail(kRefused, "out of memory");
    } catch (const std::exception& error) {
        return fail(kRefused, error.what());
    }
}
