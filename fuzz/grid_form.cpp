// Form text holding a grid with persistent columns, its data source and dataset: any input
// either reads or raises a vel::Exception; what reads must write and read back to the same
// text. Reading runs the grid's Loaded, so the column layout is laid out from what was read.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "grid/VelDBGrids.h"
#include "platform/classes/Streaming.h"
#include "platform/controls/Forms.h"
#include "platform/rtl/Exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vel;
    const std::string text(reinterpret_cast<const char*>(data), size);
    // Datasets read their data from FileName on opening; fuzzed text must not reach files.
    if (text.find("FileName") != std::string::npos) return 0;
    std::unique_ptr<TComponent> root;
    try {
        root.reset(ReadComponentText(text));
    } catch (const Exception&) {
        return 0;
    }
    const std::string once = ComponentToText(root.get());
    std::unique_ptr<TComponent> again(ReadComponentText(once));
    if (ComponentToText(again.get()) != once) __builtin_trap();
    return 0;
}
