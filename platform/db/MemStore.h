#pragma once
// The row store of the in-memory table: fixed-size rows (a null bitmap then one native slot per
// column) in one byte array, text and blobs in a shared arena addressed by (offset, length)
// slots. Row ids are stable for the life of the store and never reused, so a deleted row's
// bookmark stays invalid.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "platform/db/DBTypes.h"
#include "platform/db/FilterExpr.h"

namespace vel {

enum class TMemColKind : std::uint8_t { I16, U16, I32, I64, F64, Cur, Bool, Str, Blob };

// A growable byte array for the row store. Large arrays live in their own mapping, which grows
// by remapping pages instead of copying and asks for huge pages: filling a store with a
// million rows through a plain vector spends most of its time in regrowth copies and page
// faults. Small arrays stay on the heap.
class TMemBuffer {
public:
    TMemBuffer() = default;
    TMemBuffer(const TMemBuffer& other);
    TMemBuffer(TMemBuffer&& other) noexcept { swap(other); }
    TMemBuffer& operator=(const TMemBuffer& other);
    TMemBuffer& operator=(TMemBuffer&& other) noexcept;
    ~TMemBuffer();

    std::uint8_t* data() { return FData; }
    // Where the data pointer is kept: it stays valid while the array lives and moves.
    const std::uint8_t* const* dataRef() const { return &FData; }
    const std::uint8_t* data() const { return FData; }
    std::size_t size() const { return FSize; }
    std::size_t capacity() const { return FCapacity; }
    void clear() { FSize = 0; }
    void truncate(std::size_t n) {
        if (n < FSize) FSize = n;
    }
    void reserve(std::size_t n) {
        if (n > FCapacity) Grow(n);
    }
    // Appends n bytes left for the caller to fill; returns where they start.
    std::uint8_t* extend(std::size_t n) {
        if (FSize + n > FCapacity) Grow(FSize + n);
        std::uint8_t* p = FData + FSize;
        FSize += n;
        return p;
    }
    void append(const void* p, std::size_t n);
    void swap(TMemBuffer& other) noexcept;

private:
    void Grow(std::size_t need);
    void Release();
    std::uint8_t* FData = nullptr;
    std::size_t FSize = 0, FCapacity = 0;
    bool FMapped = false;
};

struct TMemColumn {
    std::string Name;
    TFieldType Type = TFieldType::ftUnknown;
    TMemColKind Kind = TMemColKind::I32;
    int Size = 0;        // declared size (text)
    int Offset = 0;      // slot offset within the row
    int NullBit = 0;     // bit index in the null bitmap
};

// Asks for huge pages on a large array before it is first written (a hint; fewer page faults
// when index arrays of a million rows are filled).
void AdviseHugePages(void* data, std::size_t bytes);

TMemColKind MemKindOf(TFieldType t);
int MemSlotSize(TMemColKind k);

// One sort key: a column, descending, case-insensitive.
struct TMemSortKey {
    int Column = 0;
    bool Descending = false;
    bool CaseInsensitive = false;
};

class TMemStore {
public:
    void Define(std::vector<TMemColumn> columns);
    const std::vector<TMemColumn>& Columns() const { return FColumns; }
    int RowSize() const { return FRowSize; }
    std::uint32_t RowCapacityUsed() const { return static_cast<std::uint32_t>(FDeleted.size()); }
    std::uint32_t LiveCount() const { return FLive; }
    bool IsLive(std::uint32_t id) const { return id < FDeleted.size() && !FDeleted[id]; }
    void Clear();

    const std::uint8_t* Row(std::uint32_t id) const { return FRows.data() + std::size_t(id) * FRowSize; }
    // Where the pointer to row 0 is kept (it changes as rows are added).
    const std::uint8_t* const* RowsRef() const { return FRows.dataRef(); }
    std::uint8_t* Row(std::uint32_t id) { return FRows.data() + std::size_t(id) * FRowSize; }

    // Row images with their own text: used by record buffers and by posting.
    bool IsNull(const std::uint8_t* row, int col) const {
        int b = FColumns[col].NullBit;
        return (row[b >> 3] >> (b & 7)) & 1;
    }
    static void SetNullBit(std::uint8_t* row, int bit, bool isNull) {
        if (isNull) row[bit >> 3] |= std::uint8_t(1u << (bit & 7));
        else row[bit >> 3] &= std::uint8_t(~(1u << (bit & 7)));
    }
    std::string_view Text(const std::uint8_t* row, int col) const;  // Str or Blob column

    // Appends a row image (text slots already refer to the arena); returns its id.
    std::uint32_t AppendRow(const std::uint8_t* image);
    void ReplaceRow(std::uint32_t id, const std::uint8_t* image);
    void DeleteRow(std::uint32_t id);
    // Stores text in the arena and points the image's slot at it.
    void PutText(std::uint8_t* image, int col, std::string_view text);
    // The same with the slot given, inline for bulk loads.
    [[gnu::always_inline]] void PutTextAt(std::uint8_t* slot, std::string_view text) {
        if (FArena.size() + text.size() > UINT32_MAX) TextFull();
        const std::uint32_t s[2] = {static_cast<std::uint32_t>(FArena.size()),
                                    static_cast<std::uint32_t>(text.size())};
        if (!text.empty()) CopyShort(FArena.extend(text.size()), text.data(), text.size());
        std::memcpy(slot, s, 8);
    }
    // Most cells are short: up to 16 bytes are copied as two overlapping words, not by a
    // library call.
    static void CopyShort(std::uint8_t* to, const char* from, std::size_t n) {
        if (n >= 8 && n <= 16) {
            std::uint64_t a, b;
            std::memcpy(&a, from, 8);
            std::memcpy(&b, from + n - 8, 8);
            std::memcpy(to, &a, 8);
            std::memcpy(to + n - 8, &b, 8);
        } else if (n >= 4 && n < 8) {
            std::uint32_t a, b;
            std::memcpy(&a, from, 4);
            std::memcpy(&b, from + n - 4, 4);
            std::memcpy(to, &a, 4);
            std::memcpy(to + n - 4, &b, 4);
        } else {
            std::memcpy(to, from, n);
        }
    }
    // Rewrites the arena without the text no live row refers to; row images held elsewhere
    // become stale, so callers do it only when no record buffer is filled.
    void CompactIfWasteful();
    void ReserveRows(std::size_t n);
    // Room for n more bytes of text, so a bulk load appends without regrowth.
    void ReserveText(std::size_t n) { FArena.reserve(FArena.size() + n); }
    // A one-way cursor keeps only the current row's text: text from `mark` on moves to the
    // start of the arena and the image's slots follow it; TruncateText drops what a refused
    // row added.
    void KeepTextFrom(std::size_t mark, std::uint8_t* image);
    void TruncateText(std::size_t n) { FArena.truncate(n); }
    std::size_t TextBytes() const { return FArena.size(); }
    // Where the pointer to the start of the text is kept (it changes as text is added).
    const std::uint8_t* const* TextRef() const { return FArena.dataRef(); }

    // Index order over the live rows; ties keep the row-id order (stable).
    std::vector<std::uint32_t> BuildOrder(const std::vector<TMemSortKey>& keys) const;
    // -1, 0, 1 between two rows by keys (row id breaks ties when tieById).
    int CompareRows(std::uint32_t a, std::uint32_t b, const std::vector<TMemSortKey>& keys,
                    bool tieById) const;

    // Approximate bytes held (rows, arena, pool).
    std::size_t MemoryUsed() const;

private:
    [[noreturn, gnu::noinline]] static void TextFull();
    std::vector<TMemColumn> FColumns;
    int FRowSize = 0;
    int FNullBytes = 0;
    TMemBuffer FRows;
    std::vector<std::uint8_t> FDeleted;
    std::uint32_t FLive = 0;
    TMemBuffer FArena;
    std::size_t FArenaGarbage = 0;
};

// Reads one stored row for the compiled filter (slot = column).
class TMemFilterRow : public TFilterRow {
public:
    TMemFilterRow(const TMemStore& store) : FStore(store) {}
    void SetRow(const std::uint8_t* row) { FRow = row; }
    TFilterValue Get(int slot) const override;

private:
    const TMemStore& FStore;
    const std::uint8_t* FRow = nullptr;
};

}  // namespace vel
