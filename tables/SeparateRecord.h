// A record made on its own before it is copied into place, so that running out of memory for it
// is reported as result 10 rather than raised. The table entries, the new entries and the ratio
// slots are made this way; the growth of the sequences they are copied into is not guarded.
#ifndef KORVAN_TABLES_SEPARATE_RECORD_H
#define KORVAN_TABLES_SEPARATE_RECORD_H

#include <cstdint>
#include <memory>
#include <new>
#include <type_traits>

#include "tables/ResultCodes.h"

namespace korvan {

struct ReleaseRecordMemory {
    void operator()(void* memory) const { ::operator delete(memory); }
};

// Makes a copy of `value` in memory of its own, hands it to `store`, then releases it, also when
// `store` throws. Returns 0, or 10 with `store` not called when the memory cannot be had. The
// allocation function is called directly, not through a new-expression, which a compiler may
// leave out: so a failing allocation gives 10 in every build.
template <typename Record, typename Store>
std::int32_t StoreSeparateRecord(const Record& value, Store&& store) {
    static_assert(std::is_trivially_destructible<Record>::value, "records are plain data");
    const std::unique_ptr<void, ReleaseRecordMemory> memory(
        ::operator new(sizeof(Record), std::nothrow));
    if (!memory) {
        return kOutOfMemory;
    }
    const Record* const record = new (memory.get()) Record(value);
    store(*record);
    return kSuccess;
}

}  // namespace korvan

#endif  // KORVAN_TABLES_SEPARATE_RECORD_H
