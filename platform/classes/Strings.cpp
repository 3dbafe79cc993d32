#include "platform/classes/Strings.h"

#include <algorithm>
#include <numeric>

#include "platform/classes/Errors.h"
#include "platform/classes/Streams.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SafeFile.h"
#include "platform/rtl/Utf8.h"

namespace vel {

VEL_DEFINE_CLASS(TStrings, TPersistent)
VEL_DEFINE_CLASS(TStringList, TStrings)

namespace {

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

std::string QuotedStr(std::string_view s, char q) {
    std::string r;
    r.reserve(s.size() + 2);
    r += q;
    for (char c : s) {
        if (c == q) r += q;
        r += c;
    }
    r += q;
    return r;
}

// Scope guard so that an exception inside a bracket still closes it.
struct TUpdateScope {
    TStrings* S;
    explicit TUpdateScope(TStrings* s) : S(s) { S->BeginUpdate(); }
    ~TUpdateScope() { S->EndUpdate(); }
};

const std::string_view kBom = "\xEF\xBB\xBF";

}  // namespace

// ---- TStrings ----

void TStrings::Error(const std::string& Message) const {
    throw EStringListError(Message);
}

void TStrings::IndexError(int Index) const {
    throw EStringListError("List index out of bounds (" + std::to_string(Index) + ")");
}

void TStrings::Put(int Index, const std::string& S) {
    TObject* o = GetObject(Index);
    TUpdateScope scope(this);
    Delete(Index);
    InsertObject(Index, S, o);
}

TObject* TStrings::GetObject(int) const {
    return nullptr;
}

void TStrings::PutObject(int, TObject*) {}

int TStrings::Add(const std::string& S) {
    int n = GetCount();
    Insert(n, S);
    return n;
}

int TStrings::AddObject(const std::string& S, TObject* AObject) {
    int i = Add(S);
    PutObject(i, AObject);
    return i;
}

void TStrings::InsertObject(int Index, const std::string& S, TObject* AObject) {
    Insert(Index, S);
    PutObject(Index, AObject);
}

void TStrings::AddStrings(const TStrings* Strings) {
    TUpdateScope scope(this);
    for (int i = 0, n = Strings->GetCount(); i < n; ++i)
        AddObject(Strings->Get(i), Strings->GetObject(i));
}

void TStrings::AddStrings(const std::vector<std::string>& Strings) {
    TUpdateScope scope(this);
    for (const std::string& s : Strings) Add(s);
}

void TStrings::Exchange(int Index1, int Index2) {
    TUpdateScope scope(this);
    std::string s1 = Get(Index1), s2 = Get(Index2);
    TObject* o1 = GetObject(Index1);
    TObject* o2 = GetObject(Index2);
    Put(Index1, s2);
    Put(Index2, s1);
    PutObject(Index1, o2);
    PutObject(Index2, o1);
}

void TStrings::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex) return;
    TUpdateScope scope(this);
    std::string s = Get(CurIndex);
    TObject* o = GetObject(CurIndex);
    Delete(CurIndex);
    InsertObject(NewIndex, s, o);
}

int TStrings::IndexOf(const std::string& S) const {
    for (int i = 0, n = GetCount(); i < n; ++i)
        if (CompareStrings(Get(i), S) == 0) return i;
    return -1;
}

int TStrings::IndexOfName(const std::string& Name) const {
    for (int i = 0, n = GetCount(); i < n; ++i) {
        std::string s = Get(i);
        std::size_t p = s.find(FNameValueSeparator);
        if (p != std::string::npos && CompareStrings(s.substr(0, p), Name) == 0) return i;
    }
    return -1;
}

int TStrings::IndexOfObject(const TObject* AObject) const {
    for (int i = 0, n = GetCount(); i < n; ++i)
        if (GetObject(i) == AObject) return i;
    return -1;
}

bool TStrings::Equals(const TStrings* Strings) const {
    int n = GetCount();
    if (!Strings || Strings->GetCount() != n) return false;
    for (int i = 0; i < n; ++i)
        if (Get(i) != Strings->Get(i)) return false;
    return true;
}

std::vector<std::string> TStrings::ToStringArray() const {
    std::vector<std::string> r;
    r.reserve(static_cast<std::size_t>(GetCount()));
    for (int i = 0, n = GetCount(); i < n; ++i) r.push_back(Get(i));
    return r;
}

void TStrings::Assign(const TPersistent* Source) {
    if (Source && Source->InheritsFrom(TStrings::StaticClass())) {
        auto* src = static_cast<const TStrings*>(Source);
        if (src == this) return;
        TUpdateScope scope(this);
        Clear();
        FDelimiter = src->FDelimiter;
        FQuoteChar = src->FQuoteChar;
        FNameValueSeparator = src->FNameValueSeparator;
        FStrictDelimiter = src->FStrictDelimiter;
        FLineBreak = src->FLineBreak;
        FTrailingLineBreak = src->FTrailingLineBreak;
        AddStrings(src);
        return;
    }
    TPersistent::Assign(Source);
}

void TStrings::AssignTo(TPersistent* Dest) const {
    TPersistent::AssignTo(Dest);
}

void TStrings::BeginUpdate() {
    if (FUpdateCount == 0) SetUpdateState(true);
    ++FUpdateCount;
}

void TStrings::EndUpdate() {
    if (FUpdateCount == 0) return;
    if (--FUpdateCount == 0) SetUpdateState(false);
}

std::string TStrings::GetText() const {
    std::string r;
    int n = GetCount();
    for (int i = 0; i < n; ++i) {
        r += Get(i);
        if (i + 1 < n || FTrailingLineBreak) r += FLineBreak;
    }
    return r;
}

void TStrings::SetText(std::string_view Value) {
    TUpdateScope scope(this);
    Clear();
    std::size_t i = 0, n = Value.size();
    while (i < n) {
        std::size_t start = i;
        while (i < n && Value[i] != '\n' && Value[i] != '\r') ++i;
        Add(std::string(Value.substr(start, i - start)));
        if (i < n) {
            if (Value[i] == '\r' && i + 1 < n && Value[i + 1] == '\n') ++i;
            ++i;
        }
    }
}

std::string TStrings::GetCommaText() const {
    return DelimitedText(',', '"', false);
}

void TStrings::SetCommaText(std::string_view Value) {
    ParseDelimited(Value, ',', '"', false);
}

std::string TStrings::GetDelimitedText() const {
    return DelimitedText(FDelimiter, FQuoteChar, FStrictDelimiter);
}

void TStrings::SetDelimitedText(std::string_view Value) {
    ParseDelimited(Value, FDelimiter, FQuoteChar, FStrictDelimiter);
}

std::string TStrings::DelimitedText(char Delim, char Quote, bool Strict) const {
    int n = GetCount();
    if (n == 1 && Get(0).empty() && Quote != '\0') return std::string(2, Quote);
    // A blank delimiter is swallowed with the blanks around it when not strict, so an empty
    // item would vanish unless quoted.
    const bool quoteEmpty = !Strict && IsBlank(Delim) && Quote != '\0';
    std::string r;
    for (int i = 0; i < n; ++i) {
        std::string s = Get(i);
        bool needs = s.empty() && quoteEmpty;
        for (char c : s) {
            if (c == Delim || (Quote != '\0' && c == Quote) || (!Strict && IsBlank(c))) {
                needs = true;
                break;
            }
        }
        if (i > 0) r += Delim;
        r += (needs && Quote != '\0') ? QuotedStr(s, Quote) : s;
    }
    return r;
}

void TStrings::ParseDelimited(std::string_view Value, char Delim, char Quote, bool Strict) {
    TUpdateScope scope(this);
    Clear();
    std::size_t p = 0, n = Value.size();
    auto skipBlanks = [&] {
        if (!Strict)
            while (p < n && IsBlank(Value[p])) ++p;
    };
    skipBlanks();
    while (p < n) {
        std::string s;
        if (Quote != '\0' && Value[p] == Quote) {
            ++p;
            while (p < n) {
                if (Value[p] == Quote) {
                    if (p + 1 < n && Value[p + 1] == Quote) {
                        s += Quote;
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                s += Value[p++];
            }
        } else {
            std::size_t start = p;
            while (p < n && Value[p] != Delim && (Strict || !IsBlank(Value[p]))) ++p;
            s.assign(Value.substr(start, p - start));
        }
        Add(s);
        skipBlanks();
        if (p < n && Value[p] == Delim) {
            ++p;
            skipBlanks();
            // A delimiter at the end (blanks aside) still ends an empty last item.
            if (p == n) Add(std::string());
        }
    }
}

std::string TStrings::GetName(int Index) const {
    std::string s = Get(Index);
    std::size_t p = s.find(FNameValueSeparator);
    return p == std::string::npos ? std::string() : s.substr(0, p);
}

std::string TStrings::GetValue(const std::string& Name) const {
    int i = IndexOfName(Name);
    return i < 0 ? std::string() : GetValueFromIndex(i);
}

void TStrings::SetValue(const std::string& Name, const std::string& Value) {
    int i = IndexOfName(Name);
    if (!Value.empty()) {
        std::string line = Name + FNameValueSeparator + Value;
        if (i < 0)
            Add(line);
        else
            Put(i, line);
    } else if (i >= 0) {
        Delete(i);
    }
}

std::string TStrings::GetValueFromIndex(int Index) const {
    if (Index < 0) return std::string();
    std::string s = Get(Index);
    std::size_t p = s.find(FNameValueSeparator);
    return p == std::string::npos ? std::string() : s.substr(p + 1);
}

void TStrings::SetValueFromIndex(int Index, const std::string& Value) {
    if (!Value.empty()) {
        if (Index < 0) Index = Add(std::string());
        Put(Index, GetName(Index) + FNameValueSeparator + Value);
    } else if (Index >= 0) {
        Delete(Index);
    }
}

void TStrings::LoadFromFile(const std::string& FileName) {
    std::string data = ReadFileBytes(FileName);
    std::string_view v(data);
    if (v.substr(0, 3) == kBom) v.remove_prefix(3);
    SetText(v);
}

void TStrings::SaveToFile(const std::string& FileName) const {
    WriteFileAtomic(FileName, GetText());
}

void TStrings::LoadFromStream(TStream* Stream) {
    std::string data = Stream->ReadToEnd();
    std::string_view v(data);
    if (v.substr(0, 3) == kBom) v.remove_prefix(3);
    SetText(v);
}

void TStrings::SaveToStream(TStream* Stream) const {
    Stream->WriteString(GetText());
}

int TStrings::CompareStrings(const std::string& S1, const std::string& S2) const {
    return Utf8CompareText(S1, S2);
}

// ---- TStringList ----

TStringList::~TStringList() {
    FOnChange = nullptr;
    FOnChanging = nullptr;
    if (FOwnsObjects)
        for (auto& block : FBlocks)
            for (TItem& it : block) delete it.Object;
}

// ---- block storage ----

namespace {
// Items per block after a split; a block splits when it reaches twice this.
constexpr std::size_t kBlockItems = 512;
}  // namespace

std::size_t TStringList::BlockOf(int Index) const {
    auto it = std::upper_bound(FStarts.begin(), FStarts.end(), Index);
    return static_cast<std::size_t>(it - FStarts.begin()) - 1;
}

TStringList::TItem& TStringList::Item(int Index) {
    std::size_t b = BlockOf(Index);
    return FBlocks[b][static_cast<std::size_t>(Index - FStarts[b])];
}

const TStringList::TItem& TStringList::Item(int Index) const {
    std::size_t b = BlockOf(Index);
    return FBlocks[b][static_cast<std::size_t>(Index - FStarts[b])];
}

void TStringList::InsertAt(int Index, TItem It) {
    if (FBlocks.empty()) {
        FBlocks.emplace_back();
        FStarts.push_back(0);
    }
    std::size_t b = Index == FCount ? FBlocks.size() - 1 : BlockOf(Index);
    std::vector<TItem>& block = FBlocks[b];
    block.insert(block.begin() + (Index - FStarts[b]), std::move(It));
    for (std::size_t k = b + 1; k < FStarts.size(); ++k) ++FStarts[k];
    ++FCount;
    if (block.size() >= 2 * kBlockItems) {
        std::vector<TItem> tail(std::make_move_iterator(block.begin() + kBlockItems),
                                std::make_move_iterator(block.end()));
        block.resize(kBlockItems);
        int tailStart = FStarts[b] + static_cast<int>(kBlockItems);
        FBlocks.insert(FBlocks.begin() + static_cast<std::ptrdiff_t>(b) + 1, std::move(tail));
        FStarts.insert(FStarts.begin() + static_cast<std::ptrdiff_t>(b) + 1, tailStart);
    }
}

TStringList::TItem TStringList::RemoveAt(int Index) {
    std::size_t b = BlockOf(Index);
    std::vector<TItem>& block = FBlocks[b];
    auto pos = block.begin() + (Index - FStarts[b]);
    TItem it = std::move(*pos);
    block.erase(pos);
    for (std::size_t k = b + 1; k < FStarts.size(); ++k) --FStarts[k];
    --FCount;
    if (block.empty()) {  // no empty blocks: BlockOf relies on distinct starts
        FBlocks.erase(FBlocks.begin() + static_cast<std::ptrdiff_t>(b));
        FStarts.erase(FStarts.begin() + static_cast<std::ptrdiff_t>(b));
    }
    return it;
}

std::vector<TStringList::TItem> TStringList::TakeAll() {
    std::vector<TItem> all;
    all.reserve(static_cast<std::size_t>(FCount));
    for (auto& block : FBlocks)
        for (TItem& it : block) all.push_back(std::move(it));
    FBlocks.clear();
    FStarts.clear();
    FCount = 0;
    return all;
}

void TStringList::PutAll(std::vector<TItem> Items) {
    FBlocks.clear();
    FStarts.clear();
    FCount = static_cast<int>(Items.size());
    for (std::size_t i = 0; i < Items.size(); i += kBlockItems) {
        std::size_t e = std::min(Items.size(), i + kBlockItems);
        FStarts.push_back(static_cast<int>(i));
        FBlocks.emplace_back(
            std::make_move_iterator(Items.begin() + static_cast<std::ptrdiff_t>(i)),
            std::make_move_iterator(Items.begin() + static_cast<std::ptrdiff_t>(e)));
    }
}

void TStringList::CheckIndex(int Index) const {
    if (Index < 0 || Index >= GetCount()) IndexError(Index);
}

void TStringList::Changed() {
    if (GetUpdateCount() == 0 && FOnChange) FOnChange(this);
}

void TStringList::Changing() {
    if (GetUpdateCount() == 0 && FOnChanging) FOnChanging(this);
}

void TStringList::SetUpdateState(bool Updating) {
    // Called just before the count rises from 0 and just after it falls back to 0.
    if (Updating)
        Changing();
    else
        Changed();
}

std::string TStringList::Get(int Index) const {
    CheckIndex(Index);
    return Item(Index).S;
}

void TStringList::Put(int Index, const std::string& S) {
    if (FSorted) Error("Operation not allowed on sorted list");
    CheckIndex(Index);
    Changing();
    Item(Index).S = S;
    Changed();
}

TObject* TStringList::GetObject(int Index) const {
    CheckIndex(Index);
    return Item(Index).Object;
}

void TStringList::PutObject(int Index, TObject* AObject) {
    CheckIndex(Index);
    Changing();
    Item(Index).Object = AObject;
    Changed();
}

int TStringList::Add(const std::string& S) {
    return AddObject(S, nullptr);
}

int TStringList::AddObject(const std::string& S, TObject* AObject) {
    int index;
    if (!FSorted) {
        index = GetCount();
    } else if (Find(S, index)) {
        switch (FDuplicates) {
            case TDuplicates::dupIgnore:
                return index;
            case TDuplicates::dupError:
                Error("String list does not allow duplicates (\"" + S + "\")");
            case TDuplicates::dupAccept:
                // Keep equal items in the order they were added.
                while (index < GetCount() && CompareStrings(Item(index).S, S) == 0) ++index;
                break;
        }
    }
    InsertItem(index, S, AObject);
    return index;
}

void TStringList::Insert(int Index, const std::string& S) {
    if (FSorted) Error("Operation not allowed on sorted list");
    if (Index < 0 || Index > GetCount()) IndexError(Index);
    InsertItem(Index, S, nullptr);
}

void TStringList::InsertItem(int Index, const std::string& S, TObject* AObject) {
    Changing();
    InsertAt(Index, TItem{S, AObject});
    Changed();
}

void TStringList::Delete(int Index) {
    CheckIndex(Index);
    Changing();
    TObject* o = RemoveAt(Index).Object;
    if (FOwnsObjects) delete o;
    Changed();
}

void TStringList::Clear() {
    if (FCount == 0) return;
    Changing();
    std::vector<TItem> old = TakeAll();
    if (FOwnsObjects)
        for (TItem& it : old) delete it.Object;
    Changed();
}

void TStringList::Exchange(int Index1, int Index2) {
    CheckIndex(Index1);
    CheckIndex(Index2);
    Changing();
    if (Index1 != Index2) std::swap(Item(Index1), Item(Index2));
    Changed();
}

void TStringList::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex) return;
    if (FSorted) Error("Operation not allowed on sorted list");
    CheckIndex(CurIndex);
    CheckIndex(NewIndex);
    Changing();
    InsertAt(NewIndex, RemoveAt(CurIndex));
    Changed();
}

int TStringList::IndexOf(const std::string& S) const {
    if (!FSorted) return TStrings::IndexOf(S);
    int i;
    return Find(S, i) ? i : -1;
}

bool TStringList::Find(const std::string& S, int& Index) const {
    int lo = 0, hi = GetCount() - 1;
    bool found = false;
    while (lo <= hi) {
        int mid = lo + (hi - lo) / 2;
        int c = CompareStrings(Item(mid).S, S);
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0) found = true;  // go on left: Index ends at the first match
        }
    }
    Index = lo;
    return found;
}

void TStringList::Sort() {
    if (!FSorted) SortByText();
}

void TStringList::SortByText() {
    if (FCount < 2) return;
    Changing();
    std::vector<TItem> all = TakeAll();
    std::stable_sort(all.begin(), all.end(), [this](const TItem& a, const TItem& b) {
        return CompareStrings(a.S, b.S) < 0;
    });
    PutAll(std::move(all));
    Changed();
}

void TStringList::CustomSort(const TStringListSortCompare& Compare) {
    // A sorted list keeps its own order.
    if (!FSorted) SortItems(Compare);
}

void TStringList::SortItems(const TStringListSortCompare& Compare) {
    if (GetCount() < 2) return;
    // Compare reads the list by index, so it stays intact until the order is known.
    std::vector<int> order(static_cast<std::size_t>(FCount));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return Compare(this, a, b) < 0; });
    Changing();
    std::vector<TItem> all = TakeAll();
    std::vector<TItem> sorted;
    sorted.reserve(all.size());
    for (int i : order) sorted.push_back(std::move(all[static_cast<std::size_t>(i)]));
    PutAll(std::move(sorted));
    Changed();
}

int TStringList::CompareStrings(const std::string& S1, const std::string& S2) const {
    return FCaseSensitive ? Utf8CompareStr(S1, S2) : Utf8CompareText(S1, S2);
}

void TStringList::Assign(const TPersistent* Source) {
    if (Source && Source != this && Source->InheritsFrom(TStringList::StaticClass())) {
        auto* src = static_cast<const TStringList*>(Source);
        TUpdateScope scope(this);
        Clear();
        FCaseSensitive = src->FCaseSensitive;
        FDuplicates = src->FDuplicates;
        FSorted = src->FSorted;
    }
    TStrings::Assign(Source);
}

void TStringList::SetSorted(bool Value) {
    if (FSorted == Value) return;
    if (Value) SortByText();
    FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value) {
    if (FCaseSensitive == Value) return;
    FCaseSensitive = Value;
    if (FSorted) SortByText();
}

}  // namespace vel
