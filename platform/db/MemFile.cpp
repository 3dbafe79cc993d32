// The in-memory table's file format (little-endian):
//   "VELMEMT1"                                  magic, 8 bytes
//   u32 field count, per field: u8 type, i32 size, u8 flags (1 required, 2 internal calc),
//                               string name
//   u32 index count, per index: string name, fields, desc fields, case-insensitive fields,
//                               u64 options mask
//   u64 row count, per row: null bitmap ((fields + 7) / 8 bytes, bit i = field i is Null),
//       then each non-null value: i16/u16/i32/i64/f64 as stored, currency as i64 (1/10000),
//       boolean as u8, text and blobs as string
//   u64 FNV-1a hash of every byte before it
// where a string is a u32 byte count and the UTF-8 bytes.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/db/ClientDataSet.h"
#include "platform/db/DBTypes.h"

namespace vel {

namespace {

constexpr char kMagic[8] = {'V', 'E', 'L', 'M', 'E', 'M', 'T', '1'};

std::uint64_t Fnv(const char* p, std::size_t n) {
    std::uint64_t h = 1469598103934665603ull;
    for (std::size_t i = 0; i < n; ++i) {
        h ^= static_cast<unsigned char>(p[i]);
        h *= 1099511628211ull;
    }
    return h;
}

class Writer {
public:
    template <typename T>
    void Put(T v) {
        char b[sizeof(T)];
        std::memcpy(b, &v, sizeof(T));
        S.append(b, sizeof(T));
    }
    void Str(std::string_view v) {
        Put<std::uint32_t>(static_cast<std::uint32_t>(v.size()));
        S.append(v);
    }
    std::string S;
};

class Reader {
public:
    Reader(const std::string& s, std::size_t end, const std::string& file) : S(s), End(end), File(file) {}
    [[noreturn]] void Bad(const std::string& why) const {
        throw EDatabaseError("File '" + File + "' is not a valid in-memory table file: " + why);
    }
    template <typename T>
    T Get() {
        if (End - P < sizeof(T)) Bad("it ends too early");
        T v;
        std::memcpy(&v, S.data() + P, sizeof(T));
        P += sizeof(T);
        return v;
    }
    std::string_view Str() {
        auto n = Get<std::uint32_t>();
        if (End - P < n) Bad("it ends too early");
        std::string_view v(S.data() + P, n);
        P += n;
        return v;
    }
    const char* Raw(std::size_t n) {
        if (End - P < n) Bad("it ends too early");
        const char* p = S.data() + P;
        P += n;
        return p;
    }
    std::size_t Left() const { return End - P; }
    const std::string& S;
    std::size_t End, P = 0;
    const std::string& File;
};

}  // namespace

struct TMemDataSet::Loaded {
    struct Def {
        std::string Name;
        TFieldType Type;
        int Size;
        bool Required, InternalCalc;
    };
    std::vector<Def> Defs;
    struct Index {
        std::string Name, Fields, Desc, CaseIns;
        TIndexOptions Options;
    };
    std::vector<Index> Indexes;
    TMemStore Store;
};

void TMemDataSet::SaveToFile(const std::string& fileName) {
    if (!FStoreDefined) DatabaseError("Missing data provider or data packet", GetName());
    if (GetActive()) FetchAllRows();
    if (GetActive()) CheckBrowseMode();
    const auto& cols = FStore.Columns();
    Writer w;
    w.S.append(kMagic, 8);
    w.Put<std::uint32_t>(static_cast<std::uint32_t>(cols.size()));
    for (const TMemColumn& c : cols) {
        TFieldDef* d = GetFieldDefs().FindDef(c.Name);
        TField* f = GetActive() ? FindField(c.Name) : nullptr;
        bool required = d ? d->GetRequired() : f && f->GetRequired();
        bool icalc = d ? d->GetInternalCalcField() : f && f->GetFieldKind() == TFieldKind::fkInternalCalc;
        w.Put<std::uint8_t>(static_cast<std::uint8_t>(c.Type));
        w.Put<std::int32_t>(c.Size);
        w.Put<std::uint8_t>(static_cast<std::uint8_t>((required ? 1 : 0) | (icalc ? 2 : 0)));
        w.Str(c.Name);
    }
    w.Put<std::uint32_t>(static_cast<std::uint32_t>(FIndexDefs.Count()));
    for (int i = 0; i < FIndexDefs.Count(); ++i) {
        TIndexDef* d = FIndexDefs[i];
        w.Str(d->GetName());
        w.Str(d->GetFields());
        w.Str(d->GetDescFields());
        w.Str(d->GetCaseInsFields());
        w.Put<std::uint64_t>(d->GetOptions().ToMask());
    }
    w.Put<std::uint64_t>(FStore.LiveCount());
    std::size_t nullBytes = (cols.size() + 7) / 8;
    for (std::uint32_t id = 0; id < FStore.RowCapacityUsed(); ++id) {
        if (!FStore.IsLive(id)) continue;
        const std::uint8_t* row = FStore.Row(id);
        w.S.append(reinterpret_cast<const char*>(row), nullBytes);
        for (std::size_t c = 0; c < cols.size(); ++c) {
            if (FStore.IsNull(row, static_cast<int>(c))) continue;
            const TMemColumn& col = cols[c];
            if (col.Kind == TMemColKind::Str || col.Kind == TMemColKind::Blob)
                w.Str(FStore.Text(row, static_cast<int>(c)));
            else
                w.S.append(reinterpret_cast<const char*>(row + col.Offset), MemSlotSize(col.Kind));
        }
    }
    w.Put<std::uint64_t>(Fnv(w.S.data(), w.S.size()));

    std::string tmp = fileName + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) DatabaseError("Cannot create file '" + fileName + "'", GetName());
        out.write(w.S.data(), static_cast<std::streamsize>(w.S.size()));
        out.close();
        if (!out) {
            std::remove(tmp.c_str());
            DatabaseError("Cannot write file '" + fileName + "'", GetName());
        }
    }
    std::error_code ec;
    std::filesystem::rename(tmp, fileName, ec);
    if (ec) {
        std::remove(tmp.c_str());
        DatabaseError("Cannot write file '" + fileName + "': " + ec.message(), GetName());
    }
}

TMemDataSet::Loaded TMemDataSet::ReadFile(const std::string& fileName) const {
    std::ifstream in(fileName, std::ios::binary);
    if (!in) DatabaseError("Cannot open file '" + fileName + "'", GetName());
    std::stringstream ss;
    ss << in.rdbuf();
    std::string s = ss.str();
    Reader r(s, s.size(), fileName);
    if (s.size() < 16 || std::memcmp(s.data(), kMagic, 8) != 0) r.Bad("the header is missing");
    std::uint64_t hash;
    std::memcpy(&hash, s.data() + s.size() - 8, 8);
    if (hash != Fnv(s.data(), s.size() - 8)) r.Bad("the checksum does not match");
    r.End = s.size() - 8;
    r.P = 8;

    Loaded l;
    auto nf = r.Get<std::uint32_t>();
    if (nf == 0 || nf > 4096) r.Bad("the field count " + std::to_string(nf) + " is out of range");
    std::vector<TMemColumn> cols;
    for (std::uint32_t i = 0; i < nf; ++i) {
        auto type = r.Get<std::uint8_t>();
        auto size = r.Get<std::int32_t>();
        auto flags = r.Get<std::uint8_t>();
        std::string name(r.Str());
        if (type > static_cast<int>(TFieldType::ftSingle)) r.Bad("field '" + name + "' has an unknown type");
        if (name.empty() || size < 0 || size > (1 << 24)) r.Bad("field " + std::to_string(i + 1) + " is malformed");
        auto t = static_cast<TFieldType>(type);
        TMemColKind kind;
        try {
            kind = MemKindOf(t);
        } catch (const EDatabaseError&) {
            r.Bad("field '" + name + "' has an unsupported type");
        }
        if (IsStringType(t) && size == 0) r.Bad("field '" + name + "' has no size");
        for (const auto& d : l.Defs)
            if (d.Name == name) r.Bad("field '" + name + "' appears twice");
        l.Defs.push_back({name, t, size, (flags & 1) != 0, (flags & 2) != 0});
        cols.push_back({name, t, kind, size});
    }
    auto ni = r.Get<std::uint32_t>();
    if (ni > 4096) r.Bad("the index count is out of range");
    for (std::uint32_t i = 0; i < ni; ++i) {
        Loaded::Index x;
        x.Name = r.Str();
        x.Fields = r.Str();
        x.Desc = r.Str();
        x.CaseIns = r.Str();
        x.Options = TIndexOptions::FromMask(r.Get<std::uint64_t>());
        l.Indexes.push_back(std::move(x));
    }
    l.Store.Define(cols);
    auto rows = r.Get<std::uint64_t>();
    std::size_t nullBytes = (cols.size() + 7) / 8;
    if (rows > r.Left() / std::max<std::size_t>(nullBytes, 1)) r.Bad("the row count is out of range");
    l.Store.ReserveRows(rows);
    const auto& sc = l.Store.Columns();
    std::vector<std::uint8_t> img(l.Store.RowSize());
    for (std::uint64_t i = 0; i < rows; ++i) {
        std::fill(img.begin(), img.end(), 0);
        std::memcpy(img.data(), r.Raw(nullBytes), nullBytes);
        for (std::size_t c = 0; c < sc.size(); ++c) {
            if (l.Store.IsNull(img.data(), static_cast<int>(c))) continue;
            if (sc[c].Kind == TMemColKind::Str || sc[c].Kind == TMemColKind::Blob)
                l.Store.PutText(img.data(), static_cast<int>(c), r.Str());
            else
                std::memcpy(img.data() + sc[c].Offset, r.Raw(MemSlotSize(sc[c].Kind)), MemSlotSize(sc[c].Kind));
        }
        l.Store.AppendRow(img.data());
    }
    if (r.Left() != 0) r.Bad("there is data after the last row");
    return l;
}

void TMemDataSet::LoadFromFile(const std::string& fileName) {
    Loaded l = ReadFile(fileName);  // raises before anything changes
    bool wasActive = GetActive();
    if (wasActive) Close();
    GetFieldDefs().Clear();
    for (const auto& d : l.Defs) {
        TFieldDef* fd = GetFieldDefs().Add(d.Name, d.Type, IsStringType(d.Type) ? d.Size : 0, d.Required);
        fd->SetInternalCalcField(d.InternalCalc);
    }
    FIndexDefs.Clear();
    for (const auto& x : l.Indexes) {
        TIndexDef* d = FIndexDefs.Add(x.Name, x.Fields, x.Options);
        d->SetDescFields(x.Desc);
        d->SetCaseInsFields(x.CaseIns);
    }
    if (!FIndexName.empty() && FIndexDefs.IndexOf(FIndexName) < 0) FIndexName.clear();
    FStore = std::move(l.Store);
    FStoreDefined = true;
    if (wasActive) Open();
}

}  // namespace vel
