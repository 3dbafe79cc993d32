#include "platform/db/MemStore.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <new>
#include <utility>

#include <sys/mman.h>

#include "platform/rtl/Utf8.h"

namespace vel {

// ---------------------------------------------------------------- buffer

namespace {
constexpr std::size_t kMapFrom = std::size_t(1) << 20;  // smaller arrays stay on the heap
constexpr std::size_t kPage = std::size_t(1) << 21;      // huge page size, the mapping unit
}  // namespace

TMemBuffer::TMemBuffer(const TMemBuffer& other) {
    reserve(other.FSize);
    if (other.FSize) std::memcpy(FData, other.FData, other.FSize);
    FSize = other.FSize;
}

TMemBuffer& TMemBuffer::operator=(const TMemBuffer& other) {
    if (this != &other) {
        TMemBuffer copy(other);
        swap(copy);
    }
    return *this;
}

TMemBuffer& TMemBuffer::operator=(TMemBuffer&& other) noexcept {
    if (this != &other) {
        Release();
        swap(other);
    }
    return *this;
}

TMemBuffer::~TMemBuffer() { Release(); }

void TMemBuffer::Release() {
    if (FMapped)
        munmap(FData, FCapacity);
    else
        std::free(FData);
    FData = nullptr;
    FSize = FCapacity = 0;
    FMapped = false;
}

void TMemBuffer::swap(TMemBuffer& other) noexcept {
    std::swap(FData, other.FData);
    std::swap(FSize, other.FSize);
    std::swap(FCapacity, other.FCapacity);
    std::swap(FMapped, other.FMapped);
}

void TMemBuffer::append(const void* p, std::size_t n) {
    if (n) std::memcpy(extend(n), p, n);
}

void TMemBuffer::Grow(std::size_t need) {
    std::size_t cap = std::max({need, FCapacity + FCapacity / 2, std::size_t(64)});
    if (cap < kMapFrom) {
        void* p = std::realloc(FData, cap);
        if (!p) throw std::bad_alloc();
        FData = static_cast<std::uint8_t*>(p);
        FCapacity = cap;
        return;
    }
    cap = (std::max(cap, FCapacity * 2) + kPage - 1) & ~(kPage - 1);
    void* p;
    if (FMapped) {
        p = mremap(FData, FCapacity, cap, MREMAP_MAYMOVE);
        if (p == MAP_FAILED) throw std::bad_alloc();
    } else {
        p = mmap(nullptr, cap, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED) throw std::bad_alloc();
        if (FSize) std::memcpy(p, FData, FSize);
        std::free(FData);
    }
    madvise(p, cap, MADV_HUGEPAGE);  // a hint; refused on kernels without it
    FData = static_cast<std::uint8_t*>(p);
    FCapacity = cap;
    FMapped = true;
}

void AdviseHugePages(void* data, std::size_t bytes) {
    if (bytes < kMapFrom) return;
    auto from = (reinterpret_cast<std::uintptr_t>(data) + kPage - 1) & ~(kPage - 1);
    auto to = (reinterpret_cast<std::uintptr_t>(data) + bytes) & ~(kPage - 1);
    if (to > from) madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
}

// ---------------------------------------------------------------- columns

TMemColKind MemKindOf(TFieldType t) {
    using enum TFieldType;
    switch (t) {
        case ftSmallint: case ftShortint: case ftByte: return TMemColKind::I16;
        case ftWord: return TMemColKind::U16;
        case ftInteger: case ftAutoInc: case ftLongWord: return TMemColKind::I32;
        case ftLargeint: return TMemColKind::I64;
        case ftFloat: case ftCurrency: case ftExtended: case ftSingle: case ftDate: case ftTime:
        case ftDateTime: case ftTimeStamp: return TMemColKind::F64;
        case ftBCD: case ftFMTBcd: return TMemColKind::Cur;
        case ftBoolean: return TMemColKind::Bool;
        case ftString: case ftFixedChar: case ftWideString: case ftGuid: case ftFixedWideChar:
            return TMemColKind::Str;
        default:
            if (IsBlobType(t)) return TMemColKind::Blob;
            DatabaseError("Unsupported field type (" + FieldTypeName(t) + ") in an in-memory table");
    }
}

int MemSlotSize(TMemColKind k) {
    switch (k) {
        case TMemColKind::I16:
        case TMemColKind::U16: return 2;
        case TMemColKind::I32: return 4;
        case TMemColKind::Bool: return 1;
        default: return 8;
    }
}

void TMemStore::Define(std::vector<TMemColumn> columns) {
    FColumns = std::move(columns);
    FNullBytes = (static_cast<int>(FColumns.size()) + 7) / 8;
    // Wide slots first keeps them aligned.
    int off = FNullBytes;
    for (int pass = 0; pass < 4; ++pass) {
        static const int sizes[] = {8, 4, 2, 1};
        if (pass == 0) off = (off + 7) & ~7;
        for (std::size_t i = 0; i < FColumns.size(); ++i) {
            TMemColumn& c = FColumns[i];
            c.NullBit = static_cast<int>(i);
            if (MemSlotSize(c.Kind) != sizes[pass]) continue;
            c.Offset = off;
            off += sizes[pass];
        }
    }
    FRowSize = std::max(off, 1);
    Clear();
}

void TMemStore::Clear() {
    FRows.clear();
    FDeleted.clear();
    FLive = 0;
    FArena.clear();
    FArenaGarbage = 0;
}

void TMemStore::KeepTextFrom(std::size_t mark, std::uint8_t* image) {
    if (mark == 0) return;
    const std::size_t n = FArena.size() - mark;
    std::memmove(FArena.data(), FArena.data() + mark, n);
    FArena.truncate(n);
    FArenaGarbage = 0;
    for (const TMemColumn& c : FColumns) {
        if (c.Kind != TMemColKind::Str && c.Kind != TMemColKind::Blob) continue;
        std::uint32_t slot[2];
        std::memcpy(slot, image + c.Offset, 8);
        if (slot[1] == 0) continue;
        slot[0] -= static_cast<std::uint32_t>(mark);
        std::memcpy(image + c.Offset, slot, 8);
    }
}

void TMemStore::ReserveRows(std::size_t n) {
    FRows.reserve(n * FRowSize);
    FDeleted.reserve(n);
}

std::string_view TMemStore::Text(const std::uint8_t* row, int col) const {
    std::uint32_t slot[2];
    std::memcpy(slot, row + FColumns[col].Offset, 8);
    if (slot[1] == 0) return {};
    return std::string_view(reinterpret_cast<const char*>(FArena.data()) + slot[0], slot[1]);
}

void TMemStore::TextFull() { DatabaseError("The in-memory table is full (more than 4 GB of text)"); }

void TMemStore::PutText(std::uint8_t* image, int col, std::string_view text) {
    if (FArena.size() + text.size() > UINT32_MAX) TextFull();
    std::uint32_t slot[2] = {static_cast<std::uint32_t>(FArena.size()),
                             static_cast<std::uint32_t>(text.size())};
    FArena.append(text.data(), text.size());
    std::memcpy(image + FColumns[col].Offset, slot, 8);
}

std::uint32_t TMemStore::AppendRow(const std::uint8_t* image) {
    if (FDeleted.size() >= UINT32_MAX - 1) DatabaseError("The in-memory table is full");
    auto id = static_cast<std::uint32_t>(FDeleted.size());
    std::memcpy(FRows.extend(static_cast<std::size_t>(FRowSize)), image, FRowSize);
    FDeleted.push_back(0);
    ++FLive;
    return id;
}

void TMemStore::ReplaceRow(std::uint32_t id, const std::uint8_t* image) {
    std::uint8_t* row = Row(id);
    for (std::size_t c = 0; c < FColumns.size(); ++c)
        if ((FColumns[c].Kind == TMemColKind::Str || FColumns[c].Kind == TMemColKind::Blob) &&
            !IsNull(row, static_cast<int>(c)) &&
            std::memcmp(row + FColumns[c].Offset, image + FColumns[c].Offset, 8) != 0)
            FArenaGarbage += Text(row, static_cast<int>(c)).size();
    std::memmove(row, image, FRowSize);
}

void TMemStore::DeleteRow(std::uint32_t id) {
    if (!IsLive(id)) return;
    const std::uint8_t* row = Row(id);
    for (std::size_t c = 0; c < FColumns.size(); ++c)
        if ((FColumns[c].Kind == TMemColKind::Str || FColumns[c].Kind == TMemColKind::Blob) &&
            !IsNull(row, static_cast<int>(c)))
            FArenaGarbage += Text(row, static_cast<int>(c)).size();
    FDeleted[id] = 1;
    --FLive;
}

void TMemStore::CompactIfWasteful() {
    if (FArenaGarbage < (1u << 20) || FArenaGarbage * 2 < FArena.size()) return;
    TMemBuffer fresh;
    fresh.reserve(FArena.size() - FArenaGarbage);
    for (std::uint32_t id = 0; id < FDeleted.size(); ++id) {
        if (FDeleted[id]) continue;
        std::uint8_t* row = Row(id);
        for (std::size_t c = 0; c < FColumns.size(); ++c) {
            if (FColumns[c].Kind != TMemColKind::Str && FColumns[c].Kind != TMemColKind::Blob) continue;
            std::uint32_t slot[2];
            std::memcpy(slot, row + FColumns[c].Offset, 8);
            std::uint32_t at = static_cast<std::uint32_t>(fresh.size());
            fresh.append(FArena.data() + slot[0], slot[1]);
            slot[0] = at;
            std::memcpy(row + FColumns[c].Offset, slot, 8);
        }
    }
    FArena.swap(fresh);
    FArenaGarbage = 0;
}

std::size_t TMemStore::MemoryUsed() const {
    return FRows.capacity() + FDeleted.capacity() + FArena.capacity();
}

// ---------------------------------------------------------------- ordering

namespace {

double NumOf(const TMemColumn& c, const std::uint8_t* row) {
    const std::uint8_t* p = row + c.Offset;
    switch (c.Kind) {
        case TMemColKind::I16: { std::int16_t v; std::memcpy(&v, p, 2); return v; }
        case TMemColKind::U16: { std::uint16_t v; std::memcpy(&v, p, 2); return v; }
        case TMemColKind::I32: { std::int32_t v; std::memcpy(&v, p, 4); return v; }
        case TMemColKind::I64: { std::int64_t v; std::memcpy(&v, p, 8); return static_cast<double>(v); }
        case TMemColKind::F64: { double v; std::memcpy(&v, p, 8); return v; }
        case TMemColKind::Cur: { std::int64_t v; std::memcpy(&v, p, 8); return static_cast<double>(v); }
        case TMemColKind::Bool: return p[0];
        default: return 0;
    }
}

std::int64_t IntOf(const TMemColumn& c, const std::uint8_t* row) {
    const std::uint8_t* p = row + c.Offset;
    switch (c.Kind) {
        case TMemColKind::I16: { std::int16_t v; std::memcpy(&v, p, 2); return v; }
        case TMemColKind::U16: { std::uint16_t v; std::memcpy(&v, p, 2); return v; }
        case TMemColKind::I32: { std::int32_t v; std::memcpy(&v, p, 4); return v; }
        case TMemColKind::Bool: return p[0];
        default: { std::int64_t v; std::memcpy(&v, p, 8); return v; }  // I64, Cur
    }
}

bool IsIntKind(TMemColKind k) { return k != TMemColKind::F64 && k != TMemColKind::Str && k != TMemColKind::Blob; }

}  // namespace

int TMemStore::CompareRows(std::uint32_t a, std::uint32_t b, const std::vector<TMemSortKey>& keys,
                           bool tieById) const {
    const std::uint8_t* ra = Row(a);
    const std::uint8_t* rb = Row(b);
    for (const TMemSortKey& k : keys) {
        const TMemColumn& c = FColumns[k.Column];
        bool na = IsNull(ra, k.Column), nb = IsNull(rb, k.Column);
        int r = 0;
        if (na || nb) {
            r = na == nb ? 0 : (na ? -1 : 1);
        } else if (c.Kind == TMemColKind::Str || c.Kind == TMemColKind::Blob) {
            std::string_view x = Text(ra, k.Column), y = Text(rb, k.Column);
            r = k.CaseInsensitive ? Utf8CompareText(x, y) : x.compare(y);
            r = r < 0 ? -1 : r > 0 ? 1 : 0;
        } else if (IsIntKind(c.Kind)) {
            std::int64_t x = IntOf(c, ra), y = IntOf(c, rb);
            r = x < y ? -1 : x > y ? 1 : 0;
        } else {
            double x = NumOf(c, ra), y = NumOf(c, rb);
            r = x < y ? -1 : x > y ? 1 : 0;
        }
        if (r) return k.Descending ? -r : r;
    }
    if (!tieById) return 0;
    return a < b ? -1 : a > b ? 1 : 0;
}

namespace {
// Sorts ids on a numeric first key read once per row into a compact array; nulls come first
// (last when descending) and ties fall to the remaining keys.
template <typename K, typename Tail, typename KeyOf>
void SortOnNumericKey(std::vector<std::uint32_t>& ids, bool desc, Tail tail, KeyOf keyOf) {
    struct Item {
        K Key;
        std::uint32_t Id;
        bool Null;
    };
    std::vector<Item> items;
    items.reserve(ids.size());
    for (std::uint32_t id : ids) {
        bool n = false;
        const K k = keyOf(id, n);
        items.push_back({k, id, n});
    }
    std::sort(items.begin(), items.end(), [&](const Item& x, const Item& y) {
        if (x.Null != y.Null) return desc ? !x.Null : x.Null;
        if (x.Key != y.Key) return desc ? x.Key > y.Key : x.Key < y.Key;
        return tail(x.Id, y.Id);
    });
    for (std::size_t i = 0; i < items.size(); ++i) ids[i] = items[i].Id;
}
}  // namespace

std::vector<std::uint32_t> TMemStore::BuildOrder(const std::vector<TMemSortKey>& keys) const {
    std::vector<std::uint32_t> ids;
    if (FLive == FDeleted.size()) {
        ids.reserve(FLive);
        AdviseHugePages(ids.data(), std::size_t(FLive) * 4);
        ids.resize(FLive);
        std::iota(ids.begin(), ids.end(), 0u);
    } else {
        ids.reserve(FLive);
        for (std::uint32_t id = 0; id < FDeleted.size(); ++id)
            if (!FDeleted[id]) ids.push_back(id);
    }
    if (keys.empty()) return ids;

    // The first key is extracted into a compact array so the sort runs on cache-friendly
    // pairs; later keys only break ties.
    const TMemSortKey& k0 = keys[0];
    const TMemColumn& c0 = FColumns[k0.Column];
    bool more = keys.size() > 1;
    std::vector<TMemSortKey> rest(keys.begin() + 1, keys.end());
    auto tail = [&](std::uint32_t a, std::uint32_t b) {
        if (!more) return a < b;
        return CompareRows(a, b, rest, true) < 0;
    };
    if (c0.Kind == TMemColKind::Str || c0.Kind == TMemColKind::Blob) {
        struct Item {
            std::string_view Key;
            std::uint32_t Id;
            bool Null;
        };
        std::vector<std::string> folded;
        if (k0.CaseInsensitive) folded.reserve(ids.size());
        std::vector<Item> items;
        items.reserve(ids.size());
        for (std::uint32_t id : ids) {
            const std::uint8_t* r = Row(id);
            bool n = IsNull(r, k0.Column);
            std::string_view t = n ? std::string_view() : Text(r, k0.Column);
            if (k0.CaseInsensitive && !n) {
                folded.push_back(Utf8LowerCase(t));
                t = folded.back();
            }
            items.push_back({t, id, n});
        }
        // folded never reallocates after reserve, so the views stay valid.
        bool desc = k0.Descending;
        std::sort(items.begin(), items.end(), [&](const Item& x, const Item& y) {
            if (x.Null != y.Null) return desc ? !x.Null : x.Null;
            if (!x.Null) {
                int r = x.Key.compare(y.Key);
                if (r) return desc ? r > 0 : r < 0;
            }
            return tail(x.Id, y.Id);
        });
        for (std::size_t i = 0; i < items.size(); ++i) ids[i] = items[i].Id;
    } else if (IsIntKind(c0.Kind)) {
        SortOnNumericKey<std::int64_t>(ids, k0.Descending, tail, [&](std::uint32_t id, bool& n) {
            const std::uint8_t* r = Row(id);
            n = IsNull(r, k0.Column);
            return n ? std::int64_t{0} : IntOf(c0, r);
        });
    } else {
        SortOnNumericKey<double>(ids, k0.Descending, tail, [&](std::uint32_t id, bool& n) {
            const std::uint8_t* r = Row(id);
            n = IsNull(r, k0.Column);
            return n ? 0.0 : NumOf(c0, r);
        });
    }
    return ids;
}

// ---------------------------------------------------------------- filter rows

TFilterValue TMemFilterRow::Get(int slot) const {
    if (FStore.IsNull(FRow, slot)) return TFilterValue::Null();
    const TMemColumn& c = FStore.Columns()[slot];
    switch (c.Kind) {
        case TMemColKind::Str:
        case TMemColKind::Blob: return TFilterValue::FromStr(FStore.Text(FRow, slot));
        case TMemColKind::F64: return TFilterValue::FromFloat(NumOf(c, FRow));
        case TMemColKind::Cur: return TFilterValue::FromFloat(static_cast<double>(IntOf(c, FRow)) / 10000.0);
        case TMemColKind::Bool: return TFilterValue::FromBool(FRow[c.Offset] != 0);
        default: return TFilterValue::FromInt(IntOf(c, FRow));
    }
}

}  // namespace vel
