#include "Csv.h"

#include <algorithm>
#include <cstring>

namespace korvan_size {
namespace {

constexpr std::size_t kFirstBufferSize = std::size_t{1} << 20;

bool IsBlank(char character, char separator) {
    return character == ' ' || (character == '\t' && separator != '\t');
}

bool EndsField(char character, char separator) {
    return character == separator || character == '\n' || character == '\r';
}

std::size_t SkipBlanks(std::string_view text, std::size_t at, char separator) {
    while (at < text.size() && IsBlank(text[at], separator)) {
        ++at;
    }
    return at;
}

// Line breaks in `text`: each \n, \r\n and lone \r.
std::uint64_t LineBreaks(std::string_view text) {
    std::uint64_t breaks = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '\n' ||
            (text[at] == '\r' && (at + 1 == text.size() || text[at + 1] != '\n'))) {
            ++breaks;
        }
    }
    return breaks;
}

enum class FieldEnd { kFound, kNeedMore, kProblem };

// Moves `at` past the quoted field that opens at text[at] and the blanks after it.
FieldEnd PassQuotedField(std::string_view text, bool complete, char separator, std::size_t& at,
                         std::string& problem) {
    ++at;
    while (true) {
        const std::size_t quote = text.find('"', at);
        if (quote == std::string_view::npos) {
            if (!complete) {
                return FieldEnd::kNeedMore;
            }
            problem =
                "the quoted field is not closed: expected a closing quote before the end "
                "of the input";
            return FieldEnd::kProblem;
        }
        if (quote + 1 == text.size() && !complete) {
            return FieldEnd::kNeedMore;  // the quote may be the first of a doubled pair
        }
        if (quote + 1 < text.size() && text[quote + 1] == '"') {
            at = quote + 2;
            continue;
        }
        at = SkipBlanks(text, quote + 1, separator);
        break;
    }
    if (at == text.size()) {
        return complete ? FieldEnd::kFound : FieldEnd::kNeedMore;
    }
    if (!EndsField(text[at], separator)) {
        problem = "text follows the closing quote: expected " + SeparatorName(separator) +
                  " or the end of the line";
        return FieldEnd::kProblem;
    }
    return FieldEnd::kFound;
}

FieldEnd PassPlainField(std::string_view text, bool complete, char separator, std::size_t& at) {
    while (at < text.size() && !EndsField(text[at], separator)) {
        ++at;
    }
    return at == text.size() && !complete ? FieldEnd::kNeedMore : FieldEnd::kFound;
}

}  // namespace

bool ScanRecord(std::string_view text, bool complete, char separator, CsvRecord& record) {
    record.fields.clear();
    record.problem.reset();
    std::size_t at = 0;
    while (true) {
        const std::size_t start = at;
        at = SkipBlanks(text, at, separator);
        std::string problem;
        const FieldEnd end = at < text.size() && text[at] == '"'
                                 ? PassQuotedField(text, complete, separator, at, problem)
                                 : PassPlainField(text, complete, separator, at);
        if (end == FieldEnd::kNeedMore) {
            return false;
        }
        record.fields.push_back(text.substr(start, at - start));
        if (end == FieldEnd::kProblem) {
            record.problem = CsvProblem{record.fields.size() - 1, std::move(problem)};
            record.length = at;
            return true;
        }
        if (at < text.size() && text[at] == separator) {
            ++at;
            continue;
        }
        if (at < text.size() && text[at] == '\r') {
            if (at + 1 == text.size() && !complete) {
                return false;  // a \n may follow
            }
            at += at + 1 < text.size() && text[at + 1] == '\n' ? std::size_t{2} : std::size_t{1};
        } else if (at < text.size()) {
            ++at;
        }
        record.length = at;
        return true;
    }
}

CsvReader::CsvReader(InputFile& input) : input_(input), buffer_(kFirstBufferSize) {}

void CsvReader::Fill() {
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    if (end_ == buffer_.size()) {
        buffer_.resize(buffer_.size() * 2);  // one record longer than the buffer
    }
    const std::size_t read = input_.Read(buffer_.data() + end_, buffer_.size() - end_);
    end_ += read;
    ended_ = read == 0;
}

std::string_view CsvReader::Peek(std::size_t size) {
    while (end_ - begin_ < size && !ended_) {
        Fill();
    }
    return {buffer_.data() + begin_, std::min(size, end_ - begin_)};
}

void CsvReader::Skip(std::size_t size) {
    begin_ += size;
}

bool CsvReader::Next(char separator, CsvRecord& record, bool consume) {
    while (true) {
        const std::string_view text(buffer_.data() + begin_, end_ - begin_);
        if (text.empty() && ended_) {
            return false;
        }
        if (!text.empty() && ScanRecord(text, ended_, separator, record)) {
            record.line = line_;
            if (consume) {
                begin_ += record.length;
                line_ += LineBreaks(text.substr(0, record.length));
            }
            return true;
        }
        Fill();
    }
}

std::string_view TrimBlanks(std::string_view text, char separator) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && IsBlank(text[first], separator)) {
        ++first;
    }
    while (last > first && IsBlank(text[last - 1], separator)) {
        --last;
    }
    return text.substr(first, last - first);
}

std::string_view FieldValue(std::string_view raw, char separator, std::string& scratch) {
    const std::string_view field = TrimBlanks(raw, separator);
    if (field.size() < 2 || field.front() != '"' || field.back() != '"') {
        return field;
    }
    const std::string_view inner = field.substr(1, field.size() - 2);
    if (inner.find('"') == std::string_view::npos) {
        return inner;
    }
    scratch.clear();
    for (std::size_t at = 0; at < inner.size(); ++at) {
        scratch += inner[at];
        if (inner[at] == '"') {
            ++at;  // the second quote of a doubled pair
        }
    }
    return scratch;
}

bool IsBlankRecord(const CsvRecord& record, char separator) {
    return std::all_of(record.fields.begin(), record.fields.end(), [&](std::string_view field) {
        return TrimBlanks(field, separator).empty();
    });
}

std::optional<char> SeparatorNamed(std::string_view name) {
    if (name == "," || name == "comma") {
        return ',';
    }
    if (name == ";" || name == "semicolon") {
        return ';';
    }
    if (name == "\t" || name == "tab") {
        return '\t';
    }
    return std::nullopt;
}

std::string SeparatorName(char separator) {
    switch (separator) {
        case ';':
            return "a semicolon";
        case '\t':
            return "a tab";
        default:
            return "a comma";
    }
}

}  // namespace korvan_size
