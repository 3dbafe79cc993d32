// Column layout text and column files: any input either applies (layout text, line by line)
// or raises a vel::Exception that leaves the columns as they were (column file).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "grid/VelDBGrids.h"
#include "platform/classes/Streaming.h"
#include "platform/classes/Streams.h"
#include "platform/classes/Strings.h"
#include "platform/rtl/Exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vel;
    if (size == 0) return 0;
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    static TVelDBGrid* grid = [] {
        auto* g = new TVelDBGrid(nullptr);
        g->GetSettings()->SetOptions(g->GetSettings()->GetOptions() +
                                     TVelSettingsOption::soStretchMode);
        return g;
    }();
    TVelDBGridColumns* cols = grid->GetColumns();
    cols->Clear();
    for (const char* name : {"A", "B", "C", "D", "E"}) cols->Add()->SetFieldName(name);
    cols->GetColumn(1)->SetExpandCols(2);
    if (data[0] & 1) {
        // Layout text never raises; every column stays in the set.
        cols->SetSettingsText(text);
        if (cols->Count() != 5) __builtin_trap();
        cols->GetSettings();
    } else {
        const std::string before = CollectionToText(cols);
        TStringStream stream(text);
        try {
            cols->LoadFromStream(&stream);
        } catch (const Exception&) {
            if (CollectionToText(cols) != before) __builtin_trap();
            return 0;
        }
        // What reads writes and reads back the same.
        TMemoryStream out;
        cols->SaveToStream(&out);
        const std::string once = CollectionToText(cols);
        out.SetPosition(0);
        cols->LoadFromStream(&out);
        if (CollectionToText(cols) != once) __builtin_trap();
    }
    return 0;
}
