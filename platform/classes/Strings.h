#pragma once
// TStrings, the abstract list of strings with an object per item, and TStringList, its
// concrete sorted/unsorted implementation. Lists, pick lists, layouts and settings all go
// through these, so the text forms (Text, CommaText, DelimitedText, Names/Values) follow the
// classic rules exactly.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/classes/Object.h"

namespace vel {

class TStream;
class TStringList;

using TNotifyEvent = std::function<void(TObject* Sender)>;

enum class TDuplicates { dupIgnore, dupAccept, dupError };

// <0, 0, >0 like a string compare, on the items at Index1 and Index2.
using TStringListSortCompare = std::function<int(TStringList* List, int Index1, int Index2)>;

class TStrings : public TPersistent {
    VEL_CLASS(TStrings)
public:
    TStrings() = default;
    TStrings(const TStrings&) = delete;
    TStrings& operator=(const TStrings&) = delete;

    // ---- what a descendant provides ----
    virtual int GetCount() const = 0;
    virtual std::string Get(int Index) const = 0;
    virtual void Insert(int Index, const std::string& S) = 0;
    virtual void Delete(int Index) = 0;
    virtual void Clear() = 0;
    // Replaces the item, keeping its object.
    virtual void Put(int Index, const std::string& S);
    virtual TObject* GetObject(int Index) const;
    virtual void PutObject(int Index, TObject* AObject);

    int Count() const { return GetCount(); }
    std::string Strings(int Index) const { return Get(Index); }
    std::string operator[](int Index) const { return Get(Index); }
    TObject* Objects(int Index) const { return GetObject(Index); }

    virtual int Add(const std::string& S);
    virtual int AddObject(const std::string& S, TObject* AObject);
    void Append(const std::string& S) { Add(S); }
    void InsertObject(int Index, const std::string& S, TObject* AObject);
    virtual void AddStrings(const TStrings* Strings);
    void AddStrings(const std::vector<std::string>& Strings);
    virtual void Exchange(int Index1, int Index2);
    // Moves the item (and its object) so that it ends at NewIndex.
    virtual void Move(int CurIndex, int NewIndex);
    virtual int IndexOf(const std::string& S) const;
    int IndexOfName(const std::string& Name) const;
    int IndexOfObject(const TObject* AObject) const;
    // Same count and the same strings in the same order (byte-exact, objects ignored).
    bool Equals(const TStrings* Strings) const;
    std::vector<std::string> ToStringArray() const;

    // Copies strings, objects and the text-form settings of another TStrings.
    void Assign(const TPersistent* Source) override;

    // ---- change brackets ----
    // Nest; the list is told (SetUpdateState) only at the outermost Begin and End.
    void BeginUpdate();
    void EndUpdate();
    int GetUpdateCount() const { return FUpdateCount; }

    // ---- text forms ----
    // Each item followed by LineBreak ("\n"; the last one only with TrailingLineBreak).
    virtual std::string GetText() const;
    // Splits at "\r\n", "\n" or "\r"; a final line break adds no empty item.
    virtual void SetText(std::string_view Value);
    // DelimitedText with ',' and '"', never strict.
    std::string GetCommaText() const;
    void SetCommaText(std::string_view Value);
    // Items joined by Delimiter; an item is quoted (QuoteChar, inner quotes doubled) when it
    // holds the delimiter, the quote char or, unless StrictDelimiter, a space or control
    // character. QuoteChar '\0' means no quoting at all.
    std::string GetDelimitedText() const;
    void SetDelimitedText(std::string_view Value);

    char GetDelimiter() const { return FDelimiter; }
    void SetDelimiter(char Value) { FDelimiter = Value; }
    char GetQuoteChar() const { return FQuoteChar; }
    void SetQuoteChar(char Value) { FQuoteChar = Value; }
    bool GetStrictDelimiter() const { return FStrictDelimiter; }
    void SetStrictDelimiter(bool Value) { FStrictDelimiter = Value; }
    char GetNameValueSeparator() const { return FNameValueSeparator; }
    void SetNameValueSeparator(char Value) { FNameValueSeparator = Value; }
    const std::string& GetLineBreak() const { return FLineBreak; }
    void SetLineBreak(const std::string& Value) { FLineBreak = Value; }
    bool GetTrailingLineBreak() const { return FTrailingLineBreak; }
    void SetTrailingLineBreak(bool Value) { FTrailingLineBreak = Value; }

    // ---- name=value items ----
    // Text before the first separator; empty when there is none.
    std::string GetName(int Index) const;
    // Value of the first item whose name matches (CompareStrings); empty when none.
    std::string GetValue(const std::string& Name) const;
    // Empty Value deletes the item; otherwise replaces it or adds "Name=Value".
    void SetValue(const std::string& Name, const std::string& Value);
    // Text after the first separator; empty when there is none.
    std::string GetValueFromIndex(int Index) const;
    void SetValueFromIndex(int Index, const std::string& Value);

    // ---- files and streams (UTF-8; a leading byte-order mark is skipped) ----
    virtual void LoadFromFile(const std::string& FileName);
    // Written atomically (rtl/SafeFile.h).
    virtual void SaveToFile(const std::string& FileName) const;
    virtual void LoadFromStream(TStream* Stream);
    virtual void SaveToStream(TStream* Stream) const;

    // Case-insensitive in the base class; TStringList follows its CaseSensitive.
    virtual int CompareStrings(const std::string& S1, const std::string& S2) const;

protected:
    void AssignTo(TPersistent* Dest) const override;
    virtual void SetUpdateState(bool Updating) { (void)Updating; }
    [[noreturn]] void Error(const std::string& Message) const;
    [[noreturn]] void IndexError(int Index) const;

private:
    int FUpdateCount = 0;
    char FDelimiter = ',';
    char FQuoteChar = '"';
    char FNameValueSeparator = '=';
    bool FStrictDelimiter = false;
    bool FTrailingLineBreak = true;
    std::string FLineBreak = "\n";

    std::string DelimitedText(char Delim, char Quote, bool Strict) const;
    void ParseDelimited(std::string_view Value, char Delim, char Quote, bool Strict);
};

class TStringList : public TStrings {
    VEL_CLASS(TStringList)
public:
    TStringList() = default;
    explicit TStringList(bool OwnsObjects) : FOwnsObjects(OwnsObjects) {}
    ~TStringList() override;

    int GetCount() const override { return FCount; }
    std::string Get(int Index) const override;
    void Put(int Index, const std::string& S) override;
    TObject* GetObject(int Index) const override;
    void PutObject(int Index, TObject* AObject) override;
    int Add(const std::string& S) override;
    int AddObject(const std::string& S, TObject* AObject) override;
    void Insert(int Index, const std::string& S) override;
    void Delete(int Index) override;
    void Clear() override;
    void Exchange(int Index1, int Index2) override;
    void Move(int CurIndex, int NewIndex) override;
    int IndexOf(const std::string& S) const override;
    // Binary search of a sorted list: true when found; Index is the match, or where S would
    // be inserted.
    bool Find(const std::string& S, int& Index) const;
    // Both sort stably and do nothing on a Sorted list, which is always in order.
    void Sort();
    void CustomSort(const TStringListSortCompare& Compare);
    int CompareStrings(const std::string& S1, const std::string& S2) const override;
    // Also copies Sorted, Duplicates and CaseSensitive from another TStringList.
    void Assign(const TPersistent* Source) override;

    bool GetSorted() const { return FSorted; }
    void SetSorted(bool Value);
    TDuplicates GetDuplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
    bool GetCaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool Value);
    // Owned objects are deleted with their item (Delete, Clear, destruction).
    bool GetOwnsObjects() const { return FOwnsObjects; }
    void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

    const TNotifyEvent& GetOnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent Value) { FOnChange = std::move(Value); }
    const TNotifyEvent& GetOnChanging() const { return FOnChanging; }
    void SetOnChanging(TNotifyEvent Value) { FOnChanging = std::move(Value); }

protected:
    // Raise OnChange / OnChanging, outside update brackets only.
    virtual void Changed();
    virtual void Changing();
    void SetUpdateState(bool Updating) override;
    void InsertItem(int Index, const std::string& S, TObject* AObject);

private:
    struct TItem {
        std::string S;
        TObject* Object = nullptr;
    };
    // Items in blocks of a few hundred, so that an insertion into a long sorted list moves
    // one block rather than the whole list. FStarts holds each block's first index; no block
    // is empty.
    std::vector<std::vector<TItem>> FBlocks;
    std::vector<int> FStarts;
    int FCount = 0;
    TDuplicates FDuplicates = TDuplicates::dupIgnore;
    bool FSorted = false;
    bool FCaseSensitive = false;
    bool FOwnsObjects = false;
    TNotifyEvent FOnChange;
    TNotifyEvent FOnChanging;

    void CheckIndex(int Index) const;
    void SortItems(const TStringListSortCompare& Compare);
    std::size_t BlockOf(int Index) const;
    TItem& Item(int Index);
    const TItem& Item(int Index) const;
    void InsertAt(int Index, TItem It);
    TItem RemoveAt(int Index);
    std::vector<TItem> TakeAll();
    void PutAll(std::vector<TItem> Items);
    void SortByText();
};

}  // namespace vel
