// choiceListEntry on arbitrary packed lists, held in a buffer of exactly their size so
// that any read past the list's end is caught: every index from -1 to one past the
// count, and the largest index.
#include "choice_list.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A list is a string literal: its bytes, the NUL written last in it and the one
    // the compiler adds.
    const std::size_t length = size + 2;
    std::unique_ptr<char[]> list(new char[length]);
    std::memcpy(list.get(), data, size);
    list[size] = '\0';
    list[size + 1] = '\0';
    const char* begin = list.get();
    const char* end = begin + length;

    const int count = choiceListCount(begin);
    for (int index = 0; index < count; ++index) {
        const char* entry = choiceListEntry(begin, index);
        if (entry == nullptr || entry < begin || entry >= end || (index == 0) != (entry == begin) ||
            entry + std::strlen(entry) >= end) {
            std::abort();
        }
    }
    if (choiceListEntry(begin, -1) != nullptr || choiceListEntry(begin, count) != nullptr ||
        choiceListEntry(begin, count + 1) != nullptr ||
        choiceListEntry(begin, INT_MAX) != nullptr || choiceListEntry(begin, INT_MIN) != nullptr) {
        std::abort();
    }
    return 0;
}
