// Bounds-checked access and growth for every sequence the library reads or fills: the tables, the
// work lists and the host's own entries. A violated bound raises the standard exceptions with
// fixed messages, which hosts may match on.
//
// Bounds policy. Every element that the sizing rules read by position, in a table, a work list or
// the host's entries, is read through At() or Span::operator[], which check the position; loops
// that visit every element of a span from begin() to end() need no check. Raw indexing is left to
// these places alone, each over positions proven in range where it stands:
//   - solver/OrderByDemand.cpp, the bucket sort (sampling, counting, spreading, keying, the radix
//     passes and the permutation): every position comes from the bucket counts of the same batch,
//     and these passes are the cost of ordering a large batch;
//   - fixed arrays of seven, indexed by a series index or a distinct size's place: the candidates
//     of NearestCandidate and the neighbours of RefineValve (solver/), the counts and places of
//     solver/ReduceChosenSizes.cpp, the distinct sizes and ratio slots of
//     solver/SmallestPossibleValves.cpp; a series index comes from SeriesIndexOf, which checks,
//     and there are never more than seven distinct sizes once the reduction has counted them;
//   - the reduction's scan of its table, from the last position down to 0, after checking that
//     the table is not empty, and the few-pattern sort, whose places are taken modulo its size;
//   - the host's arrays of types, input values and tags, below the count the host gives with them.
#ifndef KORVAN_TABLES_CHECKED_ACCESS_H
#define KORVAN_TABLES_CHECKED_ACCESS_H

#include <cstddef>
#include <stdexcept>
#include <type_traits>
#include <utility>
#include <vector>

namespace korvan {

[[noreturn]] inline void ThrowSubscriptOutOfRange() {
    throw std::out_of_range("invalid vector<T> subscript");
}

[[noreturn]] inline void ThrowVectorTooLong() {
    throw std::length_error("vector<T> too long");
}

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

// `count` elements from `first` on, owned by someone else: the host's entries in place, or a part
// of a table. Element access is checked as At() checks it.
template <typename T>
struct Span {
    T* first;
    std::size_t count;

    [[nodiscard]] std::size_t size() const { return count; }
    [[nodiscard]] bool empty() const { return count == 0; }
    [[nodiscard]] T* data() const { return first; }
    [[nodiscard]] T* begin() const { return first; }
    [[nodiscard]] T* end() const { return first + count; }
    T& operator[](std::size_t index) const {
        if (index >= count) {
            ThrowSubscriptOutOfRange();
        }
        return first[index];
    }
    // The same elements, read only.
    template <typename U = T, typename = std::enable_if_t<!std::is_const<U>::value>>
    operator Span<const U>() const {  // NOLINT(google-explicit-constructor): as T* to const T*
        return Span<const U>{first, count};
    }
    // The `length` elements from `offset` on; std::out_of_range unless they lie within this span.
    [[nodiscard]] Span Part(std::size_t offset, std::size_t length) const {
        if (offset > count || length > count - offset) {
            ThrowSubscriptOutOfRange();
        }
        return Span{first + offset, length};
    }
};

template <typename T, typename Allocator>
Span<T> SpanOf(std::vector<T, Allocator>& values) {
    return Span<T>{values.data(), values.size()};
}

template <typename T, typename Allocator>
Span<const T> SpanOf(const std::vector<T, Allocator>& values) {
    return Span<const T>{values.data(), values.size()};
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

#endif  // KORVAN_TABLES_CHECKED_ACCESS_H
