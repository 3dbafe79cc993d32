// A registry store file of any shape loads (or is refused with ERegistryException) without
// crashing; what was loaded is written so that it reads back whole and identical.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/classes/Errors.h"
#include "platform/classes/Registry.h"
#include "platform/rtl/Exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    vel::TRegistryStore store;
    try {
        store.LoadFromText(text);
    } catch (const vel::ERegistryException&) {
        return 0;
    }
    const std::string saved = store.SaveToText();
    vel::TRegistryStore back;
    if (back.LoadFromText(saved) != 0) __builtin_trap();
    if (back.SaveToText() != saved) __builtin_trap();
    return 0;
}
