// A run of korvan-size that cannot go on: the message for stderr and the exit status it ends with.
#ifndef KORVAN_SIZE_FAILURE_H
#define KORVAN_SIZE_FAILURE_H

#include <stdexcept>
#include <string>

namespace korvan_size {

// Exit statuses besides 0.
constexpr int kLibraryRefused = 1;      // the library refused checked input, or memory ran out
constexpr int kBadInput = 2;            // the command line or the points could not be read
constexpr int kLibraryUnavailable = 3;  // the library could not be loaded or lacks a function

struct Failure : std::runtime_error {
    Failure(int status, const std::string& message)
        : std::runtime_error(message), exitStatus(status) {}
    int exitStatus;
};

}  // namespace korvan_size

#endif  // KORVAN_SIZE_FAILURE_H
