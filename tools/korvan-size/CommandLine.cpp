#include "CommandLine.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "Failure.h"

namespace korvan_size {
namespace {

struct KnownOption {
    std::string_view name;
    std::string_view valueName;  // empty for a flag
};

constexpr std::array<KnownOption, 8> kOptions = {{{"--csv", "FILE"},
                                                  {"--format", "FORMAT"},
                                                  {"--separator", "SEP"},
                                                  {"--decimal-comma", ""},
                                                  {"--library", "PATH"},
                                                  {"--version", ""},
                                                  {"--help", ""},
                                                  {"-h", ""}}};

constexpr const char* kHelp =
    R"(korvan-size sizes valves with the KorvanCalcValueProvider library. Each point has a
type (0 to 3) and an input value; every point gets a size of the valve series 0.5, 0.3,
0.2, 0.16, 0.1, 0.06, 0.03, and the output lists, largest demand first, each point's
demand, ratio, valve size, delivered quantity (valve size x scale factor) and percent
deviation, then deviationMax, deviationMin, scaleFactor and reducedScaleFactor.

Usage:
  korvan-size [OPTIONS] [TYPE:VALUE ...]
  korvan-size [OPTIONS] --csv FILE
  korvan-size [OPTIONS] reduce SIZE ...

Options:
  --csv FILE        read the points from a CSV file, - for standard input
  --format FORMAT   table (the default), csv or json
  --separator SEP   the CSV separator: comma, semicolon or tab (default: the one the
                    header is written with; a comma for output from other input)
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
  korvan-size --csv points.csv --format json
  printf 'type,inputValue,name\n1,50,A\n3,80,B\n' | korvan-size --csv -
  korvan-size --csv export.csv --decimal-comma --format csv
  korvan-size reduce 0.5 0.3 0.3     each size beside the smallest with the same ratios

CSV input: a header naming the columns type and inputValue, in any case and order, then
one point per line. Fields are separated by commas, semicolons or tabs, as the header
shows, and may be quoted ("a, b", "say ""hi""", line breaks too). UTF-8, with or without a
byte order mark. Other columns are carried through to the output unchanged, by point.

Output: --format table (the default) is for reading; csv and json print every number so
that it reads back to the same double. CSV is written with the separator of the CSV input
and gives the points, a blank line, then the four totals.

The library is looked for beside this program, then in the install's library folder,
then by name through the system's search; --library PATH names it instead.

Exit status: 0 success; 1 the library refused the input (the message names the result
code or exception); 2 a bad command line or input; 3 the library could not be loaded.
Nothing is written to standard output unless the run succeeds.
)";

[[noreturn]] void ThrowUsage(const std::string& message) {
    throw Failure(kBadInput, message + " (korvan-size --help tells what it takes)");
}

// An argument that starts with '-' but is a negative number or point, not an option.
bool IsNegativeOperand(std::string_view argument) {
    return argument.size() > 1 && argument[0] == '-' &&
           ((argument[1] >= '0' && argument[1] <= '9') || argument[1] == '.');
}

bool IsOption(std::string_view argument) {
    return argument.size() > 1 && argument[0] == '-' && !IsNegativeOperand(argument);
}

const KnownOption& OptionNamed(std::string_view name) {
    const auto found = std::find_if(kOptions.begin(), kOptions.end(),
                                    [&](const KnownOption& known) { return known.name == name; });
    if (found == kOptions.end()) {
        ThrowUsage("unknown option " + std::string(name));
    }
    return *found;
}

Format FormatNamed(const std::string& name) {
    if (name == "table") {
        return Format::kTable;
    }
    if (name == "csv") {
        return Format::kCsv;
    }
    if (name == "json") {
        return Format::kJson;
    }
    ThrowUsage("--format " + name + ": expected table, csv or json");
}

void Apply(std::string_view name, const std::string& value, CommandLine& line,
           std::vector<std::string_view>& given) {
    if (std::find(given.begin(), given.end(), name) != given.end()) {
        ThrowUsage(std::string(name) + " is given twice");
    }
    given.push_back(name);
    if (name == "--csv") {
        line.csvSource = value;
    } else if (name == "--format") {
        line.format = FormatNamed(value);
    } else if (name == "--separator") {
        line.csv.separator = SeparatorNamed(value);
        if (!line.csv.separator) {
            ThrowUsage("--separator " + value + ": expected comma, semicolon or tab");
        }
    } else if (name == "--decimal-comma") {
        line.csv.decimalComma = true;
    } else if (name == "--library") {
        line.libraryPath = value;
    } else if (name == "--version") {
        line.version = true;
    }
}

// The rules between options and operands, once all are read.
void CheckCombination(CommandLine& line) {
    if (!line.operands.empty() && line.operands.front() == "reduce") {
        line.reduce = true;
        line.operands.erase(line.operands.begin());
    }
    if (line.csv.decimalComma && line.csv.separator == ',') {
        ThrowUsage("--decimal-comma needs a semicolon or tab separator, not a comma");
    }
    if (line.version) {
        return;
    }
    if (line.reduce && line.csvSource) {
        ThrowUsage("reduce takes its sizes as arguments, not with --csv");
    }
    if (line.reduce && line.operands.empty()) {
        ThrowUsage("reduce needs one or more sizes, as in korvan-size reduce 0.5 0.3 0.3");
    }
    if (line.csvSource && !line.operands.empty()) {
        ThrowUsage("points are given both with --csv and as arguments: give one or the other");
    }
}

}  // namespace

CommandLine ReadCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    const auto optionsEnd = std::find(arguments.begin(), arguments.end(), "--");
    if (std::find_if(arguments.begin(), optionsEnd, [](const std::string& argument) {
            return argument == "--help" || argument == "-h";
        }) != optionsEnd) {
        line.help = true;
        return line;
    }
    std::vector<std::string_view> given;
    bool optionsEnded = false;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        const std::string& argument = arguments[index];
        if (optionsEnded || !IsOption(argument)) {
            line.operands.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        const std::size_t equals = argument.find('=');
        const std::string_view name = std::string_view(argument).substr(0, equals);
        const KnownOption& option = OptionNamed(name);
        std::string value;
        if (equals != std::string::npos) {
            if (option.valueName.empty()) {
                ThrowUsage(std::string(name) + " takes no value");
            }
            value = argument.substr(equals + 1);
        } else if (!option.valueName.empty()) {
            if (index + 1 == arguments.size()) {
                ThrowUsage(std::string(name) + " needs a " + std::string(option.valueName));
            }
            value = arguments[++index];
        }
        Apply(option.name, value, line, given);
    }
    CheckCombination(line);
    return line;
}

std::string HelpText() {
    return kHelp;
}

CsvDialect OutputDialect(const CsvSettings& settings) {
    const char separator = settings.separator.value_or(settings.decimalComma ? ';' : ',');
    return {separator, settings.decimalComma};
}

}  // namespace korvan_size
