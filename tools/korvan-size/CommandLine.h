// The command line of korvan-size, read without a library so that every message is the
// program's own.
#ifndef KORVAN_SIZE_COMMAND_LINE_H
#define KORVAN_SIZE_COMMAND_LINE_H

#include <optional>
#include <string>
#include <vector>

#include "PointInput.h"
#include "Report.h"

namespace korvan_size {

struct CommandLine {
    bool help = false;
    bool version = false;
    bool reduce = false;
    std::vector<std::string> operands;  // points TYPE:VALUE, or the sizes to reduce
    std::optional<std::string> csvSource;
    std::string libraryPath;
    Format format = Format::kTable;
    CsvSettings csv;
};

// Reads the arguments after the program name. Options may stand anywhere, as --name VALUE or
// --name=VALUE; "--" ends them; an argument that starts with '-' and a digit or '.' is an
// operand (-0.1, -1:50). The first operand "reduce" makes the rest sizes. Throws Failure
// (kBadInput) for every command line that cannot be carried out.
CommandLine ReadCommandLine(const std::vector<std::string>& arguments);

// What --help prints.
std::string HelpText();

// How CSV output is written when no CSV input says: a comma, or with a decimal comma a
// semicolon, unless --separator names one.
CsvDialect OutputDialect(const CsvSettings& settings);

}  // namespace korvan_size

#endif  // KORVAN_SIZE_COMMAND_LINE_H
