// The in-memory table file format. The first byte chooses: odd, the rest is a whole file as
// it stands (header and checksum checks); even, the rest is a file without its checksum, which
// the target appends so that mutations reach the field, index and row readers. Any input
// either loads or raises EDatabaseError that leaves the table as it was; what loads must walk,
// save and load back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "platform/db/ClientDataSet.h"
#include "platform/db/DBTypes.h"
#include "platform/db/Fields.h"
#include "platform/rtl/Exceptions.h"

namespace {

std::uint64_t Fnv(const std::string& s) {
    std::uint64_t h = 1469598103934665603ull;
    for (unsigned char c : s) {
        h ^= c;
        h *= 1099511628211ull;
    }
    return h;
}

std::string Scratch(const char* what) {
    return (std::filesystem::temp_directory_path() /
            ("vel_fuzz_mem_table_" + std::to_string(::getpid()) + what))
        .string();
}

void WriteAll(const std::string& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadAll(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Every row and every field read as text, which runs each stored value through its field.
void Walk(vel::TMemDataSet& t) {
    for (t.First(); !t.GetEOF(); t.Next())
        for (int i = 0; i < t.GetFieldCount(); ++i) t.GetFields().GetField(i)->GetDisplayText();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vel;
    if (size == 0) return 0;
    std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    if ((data[0] & 1) == 0) {
        const std::uint64_t h = Fnv(bytes);
        bytes.append(reinterpret_cast<const char*>(&h), sizeof h);
    }
    static const std::string in = Scratch(".in"), once = Scratch(".once");
    WriteAll(in, bytes);

    // A table that holds something, so a failed load can show that it kept it.
    TClientDataSet t(nullptr);
    t.GetFieldDefs().Add("Kept", TFieldType::ftInteger);
    t.CreateDataSet();
    t.Append();
    t.FieldByName("Kept")->SetAsInteger(7);
    t.Post();
    try {
        t.LoadFromFile(in);
    } catch (const EDatabaseError&) {
        if (!t.GetActive() || t.GetRecordCount() != 1 || !t.FindField("Kept") ||
            t.FieldByName("Kept")->GetAsInteger() != 7)
            __builtin_trap();
        return 0;
    }
    Walk(t);
    t.SaveToFile(once);
    TClientDataSet again(nullptr);
    again.LoadFromFile(once);
    again.Open();
    Walk(again);
    again.SaveToFile(in);
    if (ReadAll(in) != ReadAll(once)) __builtin_trap();
    return 0;
}
