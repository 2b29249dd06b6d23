#include "Streams.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "Failure.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

namespace korvan_size {
namespace {

std::string ErrorText(int error) {
    return std::generic_category().message(error);
}

[[noreturn]] void ThrowUnreadable(const std::string& source, const std::string& why) {
    if (source == "-") {
        throw Failure(kBadInput, "cannot read standard input: " + why);
    }
    throw Failure(kBadInput, "cannot read the CSV file " + source + ": " + why);
}

}  // namespace

void UseBinaryStandardStreams() {
#if defined(_WIN32)
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
}

InputFile::InputFile(const std::string& source) : file_(stdin), owned_(false), source_(source) {
    if (source == "-") {
        return;
    }
    std::error_code ignored;
    if (std::filesystem::is_directory(std::filesystem::path(source), ignored)) {
        ThrowUnreadable(source, "it is a folder, not a file");
    }
    errno = 0;
    file_ = std::fopen(source.c_str(), "rb");
    if (file_ == nullptr) {
        ThrowUnreadable(source, errno != 0 ? ErrorText(errno) : "it cannot be opened");
    }
    owned_ = true;
}

InputFile::~InputFile() {
    if (owned_) {
        static_cast<void>(std::fclose(file_));  // read only: nothing is lost
    }
}

std::size_t InputFile::Read(char* into, std::size_t size) {
    errno = 0;
    const std::size_t read = std::fread(into, 1, size, file_);
    if (read < size && std::ferror(file_) != 0) {
        ThrowUnreadable(source_, errno != 0 ? ErrorText(errno) : "a read failed");
    }
    return read;
}

Output::Output() : buffer_(kCapacity) {}

void Output::WriteThrough(std::string_view text) {
    if (!failed_ && std::fwrite(text.data(), 1, text.size(), stdout) != text.size()) {
        failed_ = true;
    }
}

void Output::Drain() {
    WriteThrough(std::string_view(buffer_.data(), used_));
    used_ = 0;
}

void Output::Finish() {
    Drain();
    if (std::fflush(stdout) != 0 || failed_) {
        throw Failure(kBadInput, "cannot write to standard output");
    }
}

}  // namespace korvan_size
