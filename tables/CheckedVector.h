// Bounds-checked access and growth for every vector the library touches: the tables, the work
// vectors and the host's own. A violated bound raises the standard exceptions with fixed
// messages, which hosts may match on.
#ifndef KORVAN_TABLES_CHECKED_VECTOR_H
#define KORVAN_TABLES_CHECKED_VECTOR_H

#include <cstddef>
#include <stdexcept>
#include <utility>
#include <vector>

namespace korvan {

[[noreturn]] inline void ThrowSubscriptOutOfRange() {
    throw std::out_of_range("invalid vector<T> subscript");
}

[[noreturn]] inline void ThrowVectorTooLong() { throw std::length_error("vector<T> too long"); }

// Element `index` of `values`; std::out_of_range when there is none.
template <typename T, typename Allocator>
T& At(std::vector<T, Allocator>& values, std::size_t index) {
    if (index >= values.size()) {
        ThrowSubscriptOutOfRange();
    }
    return values[index];
}

template <typename T, typename Allocator>
const T& At(const std::vector<T, Allocator>& values, std::size_t index) {
    if (index >= values.size()) {
        ThrowSubscriptOutOfRange();
    }
    return values[index];
}

// Makes room for `extra` more elements at once, so that the appends that follow cannot fail half
// way. std::length_error beyond the vector's maximum; std::bad_alloc when memory runs out.
template <typename T, typename Allocator>
void ReserveAdditional(std::vector<T, Allocator>& values, std::size_t extra) {
    if (extra > values.max_size() - values.size()) {
        ThrowVectorTooLong();
    }
    values.reserve(values.size() + extra);
}

// Appends `value`; std::length_error when the vector is at its maximum.
template <typename T, typename Allocator, typename Value>
void Append(std::vector<T, Allocator>& values, Value&& value) {
    if (values.size() >= values.max_size()) {
        ThrowVectorTooLong();
    }
    values.push_back(std::forward<Value>(value));
}

}  // namespace korvan

#endif  // KORVAN_TABLES_CHECKED_VECTOR_H
