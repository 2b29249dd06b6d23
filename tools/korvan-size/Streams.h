// Binary-safe input and output: bytes go through untranslated (no line-end conversion on
// Windows), and every failure to read or write is reported.
#ifndef KORVAN_SIZE_STREAMS_H
#define KORVAN_SIZE_STREAMS_H

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace korvan_size {

// Puts standard input and output into binary mode where the platform distinguishes it.
void UseBinaryStandardStreams();

// A file read from start to end, or standard input.
class InputFile {
public:
    // Opens the file `source`, or standard input when `source` is "-". Throws Failure
    // (kBadInput) naming the file when it cannot be opened or is a folder.
    explicit InputFile(const std::string& source);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Reads up to `size` bytes into `into`; returns 0 at the end of the input. Throws Failure
    // (kBadInput) on a read error.
    std::size_t Read(char* into, std::size_t size);

private:
    std::FILE* file_;
    bool owned_;
    std::string source_;
};

// Standard output through a buffer of its own, written as it fills.
class Output {
public:
    Output();
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    void Write(std::string_view text) {
        if (text.size() > kCapacity - used_) {
            Drain();
            if (text.size() > kCapacity) {
                WriteThrough(text);
                return;
            }
        }
        Copy(text, buffer_.data() + used_);
        used_ += text.size();
    }
    void Write(char character) {
        if (used_ == kCapacity) {
            Drain();
        }
        buffer_[used_++] = character;
    }

    // Writes out what is buffered. Throws Failure (kBadInput) if any write failed.
    void Finish();

private:
    static constexpr std::size_t kCapacity = std::size_t{1} << 16;

    // Most of what is written is a few bytes long, a number or a separator: copied with moves of
    // fixed size, which cost less than a call of memcpy. Overlapping moves cover every length.
    static void Copy(std::string_view text, char* to) {
        const char* const from = text.data();
        const std::size_t size = text.size();
        if (size >= 8 && size <= 16) {
            std::memcpy(to, from, 8);
            std::memcpy(to + size - 8, from + size - 8, 8);
        } else if (size >= 4 && size < 8) {
            std::memcpy(to, from, 4);
            std::memcpy(to + size - 4, from + size - 4, 4);
        } else if (size > 0 && size < 4) {
            to[0] = from[0];
            to[size / 2] = from[size / 2];
            to[size - 1] = from[size - 1];
        } else if (size > 16) {
            std::memcpy(to, from, size);
        }
    }
    void Drain();
    void WriteThrough(std::string_view text);

    std::vector<char> buffer_;
    std::size_t used_ = 0;
    bool failed_ = false;
};

}  // namespace korvan_size

#endif  // KORVAN_SIZE_STREAMS_H
