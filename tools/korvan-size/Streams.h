// Binary-safe input and output: bytes go through untranslated (no line-end conversion on
// Windows), and every failure to read or write is reported.
#ifndef KORVAN_SIZE_STREAMS_H
#define KORVAN_SIZE_STREAMS_H

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

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
    ~Output();
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    void Write(std::string_view text) {
        buffer_.append(text);
        if (buffer_.size() >= kFlushSize) {
            Drain();
        }
    }
    void Write(char character) {
        buffer_.push_back(character);
        if (buffer_.size() >= kFlushSize) {
            Drain();
        }
    }

    // Writes out what is buffered. Throws Failure (kBadInput) if any write failed.
    void Finish();

private:
    static constexpr std::size_t kFlushSize = 1 << 16;
    void Drain();

    std::string buffer_;
    bool failed_ = false;
};

}  // namespace korvan_size

#endif  // KORVAN_SIZE_STREAMS_H
