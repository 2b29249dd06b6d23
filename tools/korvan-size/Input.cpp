// Points read by the CSV rules of tests/golden/README.md as the input streams in: memory holds
// the points, not the input.
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <deque>
#include <limits>
#include <system_error>
#include <unordered_set>

#include "korvan-size.h"

namespace korvan_size {
namespace {

constexpr std::string_view kNotUtf8 =
    "the CSV input is not UTF-8: save it as UTF-8 (a spreadsheet's \"CSV UTF-8\")";

[[noreturn]] void Refuse(std::string_view message) {
    throw Failure(kBadInput, std::string(message));
}

std::string Quoted(std::string_view text) {
    return "\"" + Shown(text) + "\"";
}

std::string PointName(std::size_t index) {
    return "point " + std::to_string(index + 1) + ": ";
}

// Bytes at the start of `text` that are whole, well-formed UTF-8 sequences. The second byte's
// range rules out overlong forms, surrogates and code points past U+10FFFF.
std::size_t Utf8Prefix(std::string_view text) {
    std::size_t at = 0;
    for (std::uint64_t eight = 0; at < text.size();) {
        if (text.size() - at >= 8 &&
            (std::memcpy(&eight, &text[at], 8), eight >> 7U & 0x0101010101010101U) == 0) {
            at += 8;  // eight bytes of ASCII
            continue;
        }
        const auto lead = static_cast<unsigned char>(text[at]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        const unsigned low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
        const unsigned high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
        bool whole = (lead < 0x80 || (lead >= 0xC2 && lead <= 0xF4)) && at + length <= text.size();
        for (std::size_t next = 1; whole && next < length; ++next) {
            const auto byte = static_cast<unsigned char>(text[at + next]);
            whole = byte >= (next == 1 ? low : 0x80) && byte <= (next == 1 ? high : 0xBF);
        }
        if (!whole) {
            return at;
        }
        at += length;
    }
    return at;
}

// One record: each field's value, and the problem that ended it early, if any.
struct Record {
    std::string_view raw;  // the record as written, its line end included
    std::vector<std::string_view> values;
    std::deque<std::string> unquoted;  // values whose quotes were doubled, kept in place
    std::size_t unquotedUsed = 0;
    std::string problem;

    std::string_view Unquote(std::string_view quoted) {
        unquoted.resize(std::max(unquoted.size(), unquotedUsed + 1));
        std::string& value = unquoted[unquotedUsed++];
        value.clear();
        for (std::size_t at = 0; at < quoted.size(); at += quoted[at] == '"' ? 2U : 1U) {
            value += quoted[at];
        }
        return value;
    }
};

// Splits the record at the start of `text`, as if the input ended with it.
void ScanRecord(std::string_view text, char separator, Record& record) {
    record.values.clear();
    record.problem.clear();
    record.unquotedUsed = 0;
    const auto blank = [&](std::size_t at) {
        return at < text.size() && (text[at] == ' ' || (text[at] == '\t' && separator != '\t'));
    };
    const auto ends = [&](std::size_t at) {
        return at == text.size() || text[at] == separator || text[at] == '\n' || text[at] == '\r';
    };
    std::size_t at = 0;
    do {
        for (at += record.values.empty() ? 0U : 1U; blank(at); ++at) {  // past the separator
        }
        const std::size_t start = at;
        if (at < text.size() && text[at] == '"') {
            bool doubled = false;
            for (at = text.find('"', at + 1);
                 text.compare(std::min(at, text.size()), 2, "\"\"") == 0;
                 at = text.find('"', at + 2)) {
                doubled = true;
            }
            const bool closed = at != std::string_view::npos;
            const std::string_view quoted =
                text.substr(start + 1, (closed ? at : text.size()) - start - 1);
            record.values.push_back(doubled ? record.Unquote(quoted) : quoted);
            for (at = closed ? at + 1 : text.size(); blank(at); ++at) {
            }
            const std::string field = "field " + std::to_string(record.values.size());
            record.problem = !closed     ? "the quote opened in " + field + " is not closed"
                             : !ends(at) ? "text follows the closing quote of " + field
                                         : "";
        } else {
            for (; !ends(at); ++at) {
            }
            std::size_t end = at;
            for (; end > start && blank(end - 1); --end) {
            }
            record.values.push_back(text.substr(start, end - start));
        }
    } while (record.problem.empty() && at < text.size() && text[at] == separator);
    if (record.problem.empty() && at < text.size()) {
        at += text.compare(at, 2, "\r\n") == 0 ? 2U : 1U;
    }
    record.raw = text.substr(0, at);
}

// The input, read through a buffer that holds at least one whole record.
class Reader {
public:
    Reader(std::FILE* file, std::string source) : file_(file), source_(std::move(source)) {}

    // The record at the current position; false at the end of the input. With `consume` it is
    // passed, and its bytes must be UTF-8. A record is taken once a byte follows it in the
    // buffer (a \n may follow a \r), or the input ended.
    bool Next(char separator, Record& record, bool consume) {
        while (begin_ < end_ || !ended_) {
            const std::string_view text(buffer_.data() + begin_, end_ - begin_);
            if (!text.empty() &&
                (ScanRecord(text, separator, record), ended_ || record.raw.size() < text.size())) {
                if (consume && Utf8Prefix(record.raw) != record.raw.size()) {
                    korvan_size::Refuse(kNotUtf8);
                }
                begin_ += consume ? record.raw.size() : 0;
                return true;
            }
            Fill();
        }
        return false;
    }

    // Drops a UTF-8 byte order mark at the start; true if there was one.
    bool PassByteOrderMark() {
        while (end_ < 3 && !ended_) {
            Fill();
        }
        begin_ = std::string_view(buffer_.data(), end_).substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
        return begin_ > 0;
    }

    // Refuses the input with `message`, or as not UTF-8 where any of the rest is not: the
    // encoding is judged before everything else.
    // The rest is read a buffer at a time; a sequence cut off at the buffer's end (three bytes at
    // most) is judged with what follows.
    [[noreturn]] void Refuse(const std::string& message) {
        while (true) {
            begin_ += Utf8Prefix(std::string_view(buffer_.data() + begin_, end_ - begin_));
            if (begin_ < end_ && (ended_ || end_ - begin_ >= 4)) {
                korvan_size::Refuse(kNotUtf8);
            }
            if (ended_) {
                korvan_size::Refuse(message);
            }
            Fill();
        }
    }

private:
    void Fill() {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
        buffer_.resize(
            std::max(buffer_.size() * (end_ == buffer_.size() ? 2 : 1), std::size_t{1} << 20));
        errno = 0;
        const std::size_t read = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
        if (read == 0 && std::ferror(file_) != 0) {
            korvan_size::Refuse("cannot read " + source_ + ": " +
                                std::generic_category().message(errno != 0 ? errno : EIO));
        }
        end_ += read;
        ended_ = read == 0;
    }

    std::FILE* file_;
    std::string source_;
    std::string buffer_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool ended_ = false;
};

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// `name` as the header's checks compare it: type and inputValue in any case, apart from every
// other name; others exactly.
std::string Key(std::string_view name) {
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(), Lower);
    return lower == "type" || lower == "inputvalue" ? std::string(1, '\0') + lower
                                                    : std::string(name);
}

// Where type and inputValue stand, and how many columns there are.
struct Columns {
    std::size_t type;
    std::size_t inputValue;
    std::size_t count;
};

// Reads the header: sets the separator and the carried columns' names.
Columns ReadHeader(Reader& reader, const Layout& settings, Points& points) {
    Record record;
    bool found = false;
    while ((found = reader.Next(',', record, false)) &&
           record.raw.find_first_not_of(" \t,;\r\n") == std::string::npos) {
        reader.Next(',', record, true);
    }
    if (!found || record.raw.find('\0') != std::string_view::npos) {  // as UTF-16 without a mark
        reader.Refuse(found ? std::string(kNotUtf8)
                            : "the CSV input is empty: it must start with a header naming the "
                              "columns type and inputValue");
    }
    // A decimal comma rules out the comma as the separator.
    const std::string candidates = settings.separator      ? std::string(1, *settings.separator)
                                   : settings.decimalComma ? ";\t"
                                                           : ",;\t";
    std::vector<std::string> keys;
    const auto named = std::find_if(candidates.begin(), candidates.end(), [&](char candidate) {
        reader.Next(candidate, record, false);
        keys.clear();
        std::transform(record.values.begin(), record.values.end(), std::back_inserter(keys), Key);
        return std::count(keys.begin(), keys.end(), Key("type")) > 0 &&
               std::count(keys.begin(), keys.end(), Key("inputValue")) > 0;
    });
    if (named == candidates.end()) {
        const std::string_view plurals[] = {"commas", "semicolons", "tabs"};
        const std::string_view one = plurals[std::string_view(",;\t").find(candidates[0])];
        reader.Refuse(
            "the header must name the columns type and inputValue (in any case), separated by " +
            std::string(candidates.size() == 3   ? "commas, semicolons or tabs"
                        : candidates.size() == 2 ? "semicolons or tabs"
                                                 : one));
    }
    points.dialect.separator = *named;
    reader.Next(*named, record, true);
    if (!record.problem.empty()) {
        reader.Refuse("header: " + record.problem);
    }
    for (; record.values.back().empty(); keys.pop_back()) {
        record.values.pop_back();  // the cells a spreadsheet writes to the right of a table
    }
    const auto column = [&](std::string_view name) {
        return static_cast<std::size_t>(std::find(keys.begin(), keys.end(), Key(name)) -
                                        keys.begin());
    };
    const Columns columns{column("type"), column("inputValue"), keys.size()};
    std::unordered_set<std::string> seen;
    for (std::size_t index = 0; index < keys.size(); ++index) {
        if (!seen.insert(keys[index]).second) {
            reader.Refuse("header: the column name " + Quoted(record.values[index]) +
                          " appears twice");
        }
        if (index != columns.type && index != columns.inputValue) {
            points.names.emplace_back(record.values[index]);
        }
    }
    return columns;
}

// The input value rule; `decimalSign` is the one in force (0 until a value sets it). Returns the
// message of a value that breaks it.
std::optional<std::string> ParseInputValue(std::string_view text, char& decimalSign,
                                           double& value) {
    char sign = 0;
    std::string word(text.substr(!text.empty() && (text[0] == '+' || text[0] == '-') ? 1 : 0));
    if (!IsDecimal(text, sign)) {
        std::transform(word.begin(), word.end(), word.begin(), Lower);
        value = word == "nan" ? std::numeric_limits<double>::quiet_NaN()
                              : std::numeric_limits<double>::infinity();
        value = !text.empty() && text[0] == '-' ? -value : value;
        return word == "inf" || word == "infinity" || word == "nan"
                   ? std::nullopt
                   : std::optional(Quoted(text) + " is not a number");
    }
    if (sign != 0 && decimalSign != 0 && sign != decimalSign) {
        const auto name = [](char s) { return s == '.' ? "point" : "comma"; };
        return Quoted(text) + " has a decimal " + name(sign) + ", but the decimal sign is a " +
               name(decimalSign);
    }
    decimalSign = sign != 0 ? sign : decimalSign;
    std::replace(word.begin(), word.end(), ',', '.');
    word.insert(0, text[0] == '-' ? "-" : "");
    if (std::from_chars(word.data(), word.data() + word.size(), value).ec != std::errc()) {
        value = std::strtod(word.c_str(), nullptr);  // beyond a double: infinity, zero or subnormal
    }
    return std::nullopt;
}

// Adds the point, or returns why it cannot be read.
std::optional<std::string> AddPoint(Points& points, std::string_view type,
                                    std::string_view inputValue) {
    std::uint32_t parsed = 0;
    double value = 0.0;
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (type.empty() || !std::all_of(type.begin(), type.end(), digit) ||
        std::from_chars(type.data(), type.data() + type.size(), parsed).ec != std::errc()) {
        return "type " + Quoted(type) + " is not a whole number";
    }
    if (auto problem = ParseInputValue(inputValue, points.dialect.decimalSign, value)) {
        return "input value " + *problem;
    }
    points.types.push_back(parsed);
    points.inputValues.push_back(value);
    return std::nullopt;
}

}  // namespace

bool IsDecimal(std::string_view text, char& sign) {
    std::size_t at = !text.empty() && (text[0] == '+' || text[0] == '-') ? 1 : 0;
    const auto digits = [&] {
        const std::size_t start = at;
        for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        }
        return at - start;
    };
    std::size_t count = digits();
    sign = at < text.size() && (text[at] == '.' || text[at] == ',') ? text[at++] : '\0';
    count += sign != 0 ? digits() : 0;
    if (count > 0 && at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        at += at + 1 < text.size() && (text[at + 1] == '+' || text[at + 1] == '-') ? 2U : 1U;
        count = digits();
    }
    return count > 0 && at == text.size();
}

std::string Shown(std::string_view text) {
    std::string shown;
    for (std::size_t at = 0; at < text.size(); ++at) {
        auto c = static_cast<unsigned char>(text[at]);
        const bool c1 = c == 0xC2 && at + 1 < text.size() &&
                        (static_cast<unsigned char>(text[at + 1]) & 0xE0U) == 0x80;
        c = c1 ? static_cast<unsigned char>(text[++at]) : c;
        shown += c >= 0x20 && c != 0x7F && !c1 ? std::string(1, static_cast<char>(c))
                                               : std::string{'\\', 'x', "0123456789abcdef"[c >> 4U],
                                                             "0123456789abcdef"[c & 0xFU]};
    }
    return shown;
}

Points ReadCsv(std::FILE* file, const std::string& source, const Layout& settings) {
    Reader reader(file, source);
    Points points;
    points.dialect.byteOrderMark = reader.PassByteOrderMark();
    const Columns columns = ReadHeader(reader, settings, points);
    const char separator = points.dialect.separator;
    points.dialect.decimalSign = settings.decimalComma ? ',' : separator == ',' ? '.' : '\0';
    Record record;
    while (reader.Next(separator, record, true)) {
        std::vector<std::string_view>& fields = record.values;
        const auto where = [&] { return PointName(points.types.size()); };
        if (!record.problem.empty()) {
            reader.Refuse(where() + record.problem);
        }
        while (fields.size() > columns.count && fields.back().empty()) {
            fields.pop_back();
        }
        if (std::all_of(fields.begin(), fields.end(), [](auto field) { return field.empty(); })) {
            continue;  // a blank record
        }
        if (fields.size() != columns.count) {
            reader.Refuse(where() + std::to_string(fields.size()) +
                          (fields.size() == 1 ? " field" : " fields") + " where the header has " +
                          std::to_string(columns.count) + " columns");
        }
        if (const auto problem =
                AddPoint(points, fields[columns.type], fields[columns.inputValue])) {
            reader.Refuse(where() + *problem);
        }
        for (std::size_t column = 0; column < fields.size() && !points.names.empty(); ++column) {
            if (column != columns.type && column != columns.inputValue) {
                points.text += fields[column];
                points.ends.push_back(points.text.size());
            }
        }
    }
    const char sign = points.dialect.decimalSign;
    points.dialect.decimalSign = sign != 0 ? sign : separator == ';' ? ',' : '.';
    return points;
}

Points ReadArguments(const std::vector<std::string>& arguments) {
    Points points;
    points.dialect.decimalSign = '.';
    points.types = arguments.empty() ? std::vector<std::uint32_t>{1, 0, 3} : points.types;
    points.inputValues =
        arguments.empty() ? std::vector<double>{50.0, 100.0, 80.0} : points.inputValues;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        const std::string_view argument = arguments[index];
        const std::size_t colon = std::min(argument.find(':'), argument.size());
        const auto problem = colon == argument.size() ? Quoted(argument) + " is not TYPE:VALUE"
                                                      : AddPoint(points, argument.substr(0, colon),
                                                                 argument.substr(colon + 1));
        if (problem) {
            Refuse(PointName(index) + *problem);
        }
    }
    return points;
}

std::vector<double> ReadSizes(const std::vector<std::string>& arguments) {
    std::vector<double> sizes(arguments.size());
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        char decimalSign = '.';
        if (const auto problem = ParseInputValue(arguments[index], decimalSign, sizes[index])) {
            Refuse(PointName(index) + "size " + *problem);
        }
    }
    return sizes;
}

}  // namespace korvan_size
