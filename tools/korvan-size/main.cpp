// korvan-size: the command line, and one run from reading to writing. Input is read before the
// library is loaded, so a bad input is reported the same with or without one; nothing is written
// to standard output unless the library sized the points.
#include <algorithm>
#include <array>
#include <cerrno>
#include <filesystem>
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
    R"(korvan-size sizes valves with the KorvanCalcValueProvider library. Each point has a
type (0 to 3) and an input value; every point gets a size of the valve series 0.5, 0.3,
0.2, 0.16, 0.1, 0.06, 0.03, and the output lists, largest demand first, each point's
demand, ratio, valve size, delivered quantity (valve size x scale factor) and percent
deviation, with deviationMax, deviationMin, scaleFactor and reducedScaleFactor.

Usage:
  korvan-size [OPTIONS] [TYPE:VALUE ...]
  korvan-size [OPTIONS] --csv FILE
  korvan-size [OPTIONS] reduce SIZE ...

Options:
  --csv FILE        read the points from a CSV file, - for standard input
  --format FORMAT   table (the default), csv or json
  --totals FILE     also write the four totals to FILE, as CSV
  --keep-formulas   write CSV cells that start with = + - @ as they are, not after a '
  --separator SEP   the CSV separator: comma, semicolon or tab (default: the one the
                    header is written with; a comma for points from arguments)
  --decimal-comma   CSV numbers have a decimal comma (1,5), read and written; needs a
                    semicolon or tab separator
  --library PATH    load the library from PATH
  --version         print the library's version and where it was loaded from
  -h, --help        print this help

Commands:
  reduce SIZE ...   each size beside the smallest size of the series with the same ratios

Examples:
  korvan-size                        size the built-in example, the points 1:50 0:100 3:80
  korvan-size 1:50 0:100 3:80        the same points given as TYPE:VALUE
  korvan-size --csv points.csv --format csv --totals totals.csv
  printf 'type,inputValue,name\n1,50,A\n3,80,B\n' | korvan-size --csv -
  korvan-size reduce 0.5 0.3 0.3     each size beside the smallest with the same ratios

CSV input: a header naming the columns type and inputValue, in any case and order, then
one point per line; other columns are carried through to the output. Fields are separated
by commas, semicolons or tabs, as the header shows, and may be quoted ("a, b", "say
""hi""", line breaks too). UTF-8, with or without a byte order mark. Semicolon- and
tab-separated files may have decimal commas. The rules in full: tests/golden/README.md.

Output: csv is one table, written like the CSV input (separator, decimal sign, byte order
mark); a cell that a spreadsheet would run as a formula gets a ' in front. csv and json
print every number so that it reads back to the same double.

The library is looked for beside this program, then in the install's library folder,
then by name through the system's search; --library PATH names it instead.

Exit status: 0 success; 1 the library refused the points (the message names the point
and the rule); 2 a bad command line or input; 3 the library could not be loaded; 4 the
output could not be written. Nothing is written to standard output unless the run
succeeds.
)";

struct CommandLine {
    bool help = false;
    bool version = false;
    bool reduce = false;
    std::vector<std::string> operands;  // points TYPE:VALUE, or the sizes to reduce
    std::optional<std::string> csv;
    std::optional<std::string> totals;
    std::string library;
    Layout layout;
    CsvSettings settings;
};

[[noreturn]] void Usage(const std::string& message) {
    throw Failure(kBadInput, message + " (korvan-size --help tells what it takes)");
}

// Reads the value of an option that takes one into `line`, or the flag.
void Apply(std::string_view name, const std::string& value, CommandLine& line) {
    if (name == "--csv") {
        line.csv = value;
    } else if (name == "--totals") {
        line.totals = value;
    } else if (name == "--library") {
        line.library = value;
    } else if (name == "--format") {
        const std::array<std::string_view, 3> formats = {"table", "csv", "json"};
        const auto found = std::find(formats.begin(), formats.end(), value);
        if (found == formats.end()) {
            Usage("--format " + Shown(value) + ": expected table, csv or json");
        }
        line.layout.format = static_cast<Format>(found - formats.begin());
    } else if (name == "--separator") {
        const std::string names = value == "," || value == "comma"       ? ","
                                  : value == ";" || value == "semicolon" ? ";"
                                  : value == "\t" || value == "tab"      ? "\t"
                                                                         : "";
        if (names.empty()) {
            Usage("--separator " + Shown(value) + ": expected comma, semicolon or tab");
        }
        line.settings.separator = names[0];
    } else if (name == "--decimal-comma") {
        line.settings.decimalComma = true;
    } else if (name == "--keep-formulas") {
        line.layout.neutraliseFormulas = false;
    } else if (name == "--version") {
        line.version = true;
    }
}

// The rules between options and operands, once all are read.
void Check(CommandLine& line) {
    if (!line.operands.empty() && line.operands.front() == "reduce") {
        line.reduce = true;
        line.operands.erase(line.operands.begin());
    }
    if (line.settings.decimalComma && line.settings.separator == ',') {
        Usage("--decimal-comma needs a semicolon or tab separator, not a comma");
    }
    if (line.version) {
        return;
    }
    if (line.reduce && line.csv) {
        Usage("reduce takes its sizes as arguments, not with --csv");
    }
    if (line.reduce && line.operands.empty()) {
        Usage("reduce needs one or more sizes, as in korvan-size reduce 0.5 0.3 0.3");
    }
    if (line.csv && !line.operands.empty()) {
        Usage("points are given both with --csv and as arguments: give one or the other");
    }
    if (line.reduce && line.totals) {
        Usage("reduce has no totals to write with --totals");
    }
}

// Options may stand anywhere, as --name VALUE or --name=VALUE; "--" ends them; an argument that
// starts with '-' and a digit or '.' is an operand (-0.1, -1:50).
CommandLine Read(const std::vector<std::string>& arguments) {
    struct Option {
        std::string_view name;
        std::string_view value;  // empty for a flag
    };
    static constexpr std::array<Option, 11> kOptions = {{{"--csv", "FILE"},
                                                         {"--format", "FORMAT"},
                                                         {"--totals", "FILE"},
                                                         {"--keep-formulas", ""},
                                                         {"--separator", "SEP"},
                                                         {"--decimal-comma", ""},
                                                         {"--library", "PATH"},
                                                         {"--version", ""},
                                                         {"--help", ""},
                                                         {"-h", ""},
                                                         {"--", ""}}};
    CommandLine line;
    const auto end = std::find(arguments.begin(), arguments.end(), "--");
    line.help =
        std::any_of(arguments.begin(), end, [](auto& a) { return a == "--help" || a == "-h"; });
    std::vector<std::string_view> given;
    bool optionsEnded = false;
    for (std::size_t index = 0; index < arguments.size() && !line.help; ++index) {
        const std::string& argument = arguments[index];
        const bool negative = argument.size() > 1 && argument[0] == '-' &&
                              ((argument[1] >= '0' && argument[1] <= '9') || argument[1] == '.');
        if (optionsEnded || argument.size() < 2 || argument[0] != '-' || negative) {
            line.operands.push_back(argument);
            continue;
        }
        const std::size_t equals = argument.find('=');
        const std::string_view name = std::string_view(argument).substr(0, equals);
        const auto option = std::find_if(kOptions.begin(), kOptions.end(),
                                         [&](auto& known) { return known.name == name; });
        if (option == kOptions.end()) {
            Usage("unknown option " + Shown(name));
        }
        optionsEnded = name == "--";
        if (std::find(given.begin(), given.end(), name) != given.end()) {
            Usage(std::string(name) + " is given twice");
        }
        given.push_back(name);
        std::string value;
        if (equals != std::string::npos) {
            if (option->value.empty()) {
                Usage(std::string(name) + " takes no value");
            }
            value = argument.substr(equals + 1);
        } else if (!option->value.empty()) {
            if (index + 1 == arguments.size()) {
                Usage(std::string(name) + " needs a " + std::string(option->value));
            }
            value = arguments[++index];
        }
        Apply(name, value, line);
    }
    Check(line);
    return line;
}

// A file opened for `use`, closed when it goes.
struct File {
    File(const std::string& path, const char* mode, int status, const std::string& use) {
        errno = 0;
        std::error_code ignored;
        handle =
            std::filesystem::is_directory(path, ignored) ? nullptr : std::fopen(path.c_str(), mode);
        if (handle == nullptr) {
            const int error = errno != 0 ? errno : EISDIR;
            throw Failure(status, "cannot " + use + " " + path + ": " +
                                      std::generic_category().message(error));
        }
    }
    ~File() { static_cast<void>(std::fclose(handle)); }  // a file written is flushed before
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    std::FILE* handle;
};

Points ReadPoints(const CommandLine& line) {
    if (!line.csv) {
        return ReadArguments(line.operands);
    }
    if (*line.csv == "-") {
        return ReadCsv(stdin, "standard input", line.settings);
    }
    const File file(*line.csv, "rb", kBadInput, "read the CSV file");
    return ReadCsv(file.handle, "the CSV file " + *line.csv, line.settings);
}

// How CSV output is written for points that are not CSV: as the options say.
Dialect OptionsDialect(const CsvSettings& settings) {
    Dialect dialect;
    dialect.separator = settings.separator.value_or(settings.decimalComma ? ';' : ',');
    dialect.decimalSign = settings.decimalComma ? ',' : '.';
    return dialect;
}

void Run(CommandLine line, const std::string& programPath, Output& out) {
    if (line.help) {
        return out.Write(kHelp);
    }
    if (line.version) {
        const Library library = LoadLibrary(line.library, programPath);
        const std::uint32_t version = library.version();
        return out.Write("KorvanCalcValueProvider " + std::to_string(version / 10000) + "." +
                         std::to_string(version / 100 % 100) + "." + std::to_string(version % 100) +
                         " (" + library.path + ")\n");
    }
    line.layout.dialect = OptionsDialect(line.settings);
    if (line.reduce) {
        const std::vector<double> sizes = ReadSizes(line.operands);
        return WriteReduction(out, Reduce(LoadLibrary(line.library, programPath), sizes),
                              line.layout);
    }
    const Points points = ReadPoints(line);
    const Sizing sizing = Size(LoadLibrary(line.library, programPath), points);
    if (line.csv) {
        line.layout.dialect = points.dialect;
    }
    if (line.totals) {
        const File file(*line.totals, "wb", kCannotWrite, "write the totals file");
        Output totals(file.handle, "the totals file " + *line.totals);
        WriteTotals(totals, sizing.totals, line.layout.dialect);
        totals.Finish();
    }
    WriteSizing(out, sizing, points, line.layout);
}

int Fail(int status, const char* message) {
    static_cast<void>(std::fprintf(stderr, "korvan-size: %s\n", message));
    return status;
}

}  // namespace
}  // namespace korvan_size

int main(int argc, char** argv) {
    using namespace korvan_size;
#if defined(_WIN32)
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    try {
        Output out(stdout, "standard output");
        Run(Read(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc)),
            argc > 0 ? argv[0] : "", out);
        out.Finish();
        return 0;
    } catch (const Failure& failure) {
        return Fail(failure.status, failure.what());
    } catch (const std::bad_alloc&) {
        return Fail(kRefused, "out of memory");
    } catch (const std::exception& error) {
        return Fail(kRefused, error.what());
    }
}
