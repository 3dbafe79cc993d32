#pragma once
// The field family: one object per column of a dataset, reading and writing the value of the
// active record through the dataset's record buffers.
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/classes/Alignment.h"
#include "platform/classes/Component.h"
#include "platform/db/DBTypes.h"
#include "platform/rtl/Types.h"
#include "platform/rtl/Variant.h"

namespace vel {

class TDataSet;
class TField;
class TFields;
class TObjectField;
class TStream;

using TFieldNotifyEvent = std::function<void(TField* sender)>;

// How a field's value lies in the stored values of a record that a dataset lets fields read in
// place (TDataSet::DirectRow): a slot of this type, in the field's native format (Byte: a
// boolean of one byte; Text: the offset and length, two 32-bit numbers, of UTF-8 text in the
// dataset's text area, TDataSet::DirectText).
enum class TFieldSlot : std::uint8_t { None, Int32, Int64, Float64, Currency, Byte, Text };
using TFieldGetTextEvent = std::function<void(TField* sender, std::string& text, bool displayText)>;
using TFieldSetTextEvent = std::function<void(TField* sender, const std::string& text)>;

class TField : public TComponent {
    VEL_CLASS(TField)
public:
    explicit TField(TComponent* owner = nullptr);
    ~TField() override;
    TField(const TField&) = delete;
    TField& operator=(const TField&) = delete;

    // Attaching a field hands it to the dataset, which then owns it; null detaches it and gives
    // it back to the caller. Only allowed while the dataset is closed.
    TDataSet* GetDataSet() const { return FDataSet; }
    void SetDataSet(TDataSet* v);
    TObjectField* GetParentField() const { return FParentField; }
    void SetParentField(TObjectField* v);

    const std::string& GetFieldName() const { return FFieldName; }
    void SetFieldName(const std::string& v);
    // "Parent.Child" for a field inside an ADT field.
    std::string GetFullName() const;
    std::string GetDisplayLabel() const { return FDisplayLabel.empty() ? FFieldName : FDisplayLabel; }
    void SetDisplayLabel(const std::string& v);
    std::string GetDisplayName() const { return GetDisplayLabel(); }
    int GetFieldNo() const { return FFieldNo; }
    void SetFieldNo(int v) { FFieldNo = v; }
    TFieldKind GetFieldKind() const { return FFieldKind; }
    void SetFieldKind(TFieldKind v);
    bool GetCalculated() const { return FFieldKind == TFieldKind::fkCalculated; }
    bool GetLookup() const { return FFieldKind == TFieldKind::fkLookup; }
    TFieldType GetDataType() const { return FDataType; }
    // Set by the field class and by field definitions (ftFixedChar on a string field …).
    void SetDataType(TFieldType t) { FDataType = t; }
    int GetSize() const { return FSize; }
    void SetSize(int v);
    // Bytes of the field's native value in a record buffer.
    virtual int GetDataSize() const { return 0; }
    // Position among the dataset's fields; writing it moves the field (a layout change).
    int GetIndex() const;
    void SetIndex(int v);
    // Where a calculated or lookup field keeps its value in the calculated-field area.
    int GetOffset() const { return FOffset; }
    void SetOffset(int v) { FOffset = v; }

    int GetDisplayWidth() const;
    void SetDisplayWidth(int v);
    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);
    bool GetVisible() const { return FVisible; }
    void SetVisible(bool v);
    bool GetReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v);
    bool GetRequired() const { return FRequired; }
    void SetRequired(bool v) { FRequired = v; }
    const std::string& GetEditMask() const { return FEditMask; }
    void SetEditMask(const std::string& v);
    // Fields created from definitions on open are automatic and freed on close.
    bool GetAutomatic() const { return FAutomatic; }
    void SetAutomatic(bool v) { FAutomatic = v; }
    virtual bool IsBlob() const { return false; }
    bool GetCanModify() const;

    // Lookup definition.
    TDataSet* GetLookupDataSet() const { return FLookupDataSet; }
    void SetLookupDataSet(TDataSet* v);
    const std::string& GetLookupKeyFields() const { return FLookupKeyFields; }
    void SetLookupKeyFields(const std::string& v) { FLookupKeyFields = v; }
    const std::string& GetLookupResultField() const { return FLookupResultField; }
    void SetLookupResultField(const std::string& v) { FLookupResultField = v; }
    const std::string& GetKeyFields() const { return FKeyFields; }
    void SetKeyFields(const std::string& v) { FKeyFields = v; }

    // Events.
    const TFieldNotifyEvent& GetOnChange() const { return FOnChange; }
    void SetOnChange(TFieldNotifyEvent v) { FOnChange = std::move(v); }
    const TFieldNotifyEvent& GetOnValidate() const { return FOnValidate; }
    void SetOnValidate(TFieldNotifyEvent v) { FOnValidate = std::move(v); }
    const TFieldGetTextEvent& GetOnGetText() const { return FOnGetText; }
    void SetOnGetText(TFieldGetTextEvent v) { FOnGetText = std::move(v); }
    const TFieldSetTextEvent& GetOnSetText() const { return FOnSetText; }
    void SetOnSetText(TFieldSetTextEvent v) { FOnSetText = std::move(v); }

    // Set by a dataset whose records can be read in place: the type of the field's slot, its
    // offset in the stored values and its bit in the null bitmap that starts them. A field
    // whose slot is set reads a browsed record there instead of asking GetFieldData.
    void SetDirectSlot(TFieldSlot slot, int offset = 0, int nullBit = 0) {
        FSlot = slot;
        FSlotOffset = offset;
        FSlotNullByte = nullBit >> 3;
        FSlotNullMask = static_cast<std::uint8_t>(1u << (nullBit & 7));
    }
    TFieldSlot GetDirectSlot() const { return FSlot; }

    // Raw access in the field's native format; GetData is false for Null.
    bool GetData(void* buffer) const;
    void SetData(const void* buffer);  // null buffer = Null

    // Value of the active record.
    bool IsNull() const;
    void Clear() { SetData(nullptr); }
    virtual std::string GetAsString() const;
    virtual void SetAsString(const std::string& v);
    // The typed getters read a value that lies in place in a browsed record inline, without
    // a virtual call (a scan reads millions of them); anything else asks the class's ReadAs.
    std::int32_t GetAsInteger() const;
    virtual void SetAsInteger(std::int32_t v);
    std::int64_t GetAsLargeInt() const;
    virtual void SetAsLargeInt(std::int64_t v);
    double GetAsFloat() const;
    virtual void SetAsFloat(double v);
    Currency GetAsCurrency() const;
    virtual void SetAsCurrency(Currency v);
    bool GetAsBoolean() const;
    virtual void SetAsBoolean(bool v);
    TDateTime GetAsDateTime() const;
    virtual void SetAsDateTime(TDateTime v);
    // The value as a Variant (Null for Null); an Empty or Null Variant clears the field.
    virtual Variant GetAsVariant() const;
    virtual void SetAsVariant(const Variant& v);
    Variant GetValue() const { return GetAsVariant(); }
    void SetValue(const Variant& v) { SetAsVariant(v); }
    // The value before the pending edit began (Null while inserting), the value the dataset
    // holds for the record now, and the value being edited.
    Variant GetOldValue() const { return ValueInState(TDataSetState::dsOldValue); }
    Variant GetCurValue() const { return ValueInState(TDataSetState::dsCurValue); }
    Variant GetNewValue() const { return ValueInState(TDataSetState::dsNewValue); }
    // The value as the database holds it. It differs from Value only where the stored value
    // does not convert to the field's type (text in a number or date column of an SQL table):
    // Value reads Null and this gives the stored text, number or bytes, which HasRawValue
    // tells apart. Setting the field replaces the stored value when the record is posted.
    Variant GetRawValue() const;
    bool HasRawValue() const;

    // Text shown (DisplayText) and edited (Text / EditText); both pass OnGetText.
    std::string GetDisplayText() const;
    std::string GetText() const;
    void SetText(const std::string& v);
    std::string GetEditText() const { return GetText(); }
    void SetEditText(const std::string& v) { SetText(v); }

    // Checks new native data through OnValidate before the dataset stores it.
    void Validate(const void* buffer);
    void FocusControl();
    void Notification(TComponent* component, TOperation operation) override;

protected:
    // Subclass hooks in the classic pattern.
    virtual void GetFieldText(std::string& text, bool displayText) const;
    virtual void SetTextValue(const std::string& text);
    virtual void Change();
    virtual int DefaultDisplayWidth() const { return 10; }
    [[noreturn]] void AccessError(const char* typeName) const;
    // What the typed getters return when the value is not read inline.
    virtual std::int32_t ReadAsInteger() const;
    virtual std::int64_t ReadAsLargeInt() const;
    virtual double ReadAsFloat() const;
    virtual Currency ReadAsCurrency() const;
    virtual bool ReadAsBoolean() const;
    virtual TDateTime ReadAsDateTime() const;
    // The getter whose value is the native one of the class's slot, read inline (set by the
    // class: a class that reads its slot otherwise leaves it None).
    enum class TInlineGet : std::uint8_t { None, Integer, LargeInt, Float, Currency, Boolean, DateTime };
    void SetInlineGet(TInlineGet g) { FInlineGet = g; }
    // The value of the field's direct slot when it is `slot` and the browsed record can be
    // read in place (zero for Null).
    template <class T>
    bool InPlace(TFieldSlot slot, TInlineGet get, T& v) const;
    Variant ValueInState(TDataSetState state) const;
    void PropertyChanged(bool layout);
    // GetData, reading a browsed record in place when the field's direct slot is `slot`.
    bool ReadValue(void* buffer, TFieldSlot slot) const;
    // The field's slot in the browsed record when it can be read in place as `slot`, with
    // isNull set; null when GetData must be asked.
    const std::uint8_t* SlotInPlace(TFieldSlot slot, bool& isNull) const;
    // The dataset's GetFieldData, out of line so that the getters stay small.
    [[gnu::noinline]] bool AskData(void* buffer) const;
    friend class TDataSet;
    friend class TFields;
    friend class TObjectField;

private:
    TDataSet* FDataSet = nullptr;
    TObjectField* FParentField = nullptr;
    std::string FFieldName, FDisplayLabel, FEditMask;
    std::string FLookupKeyFields, FLookupResultField, FKeyFields;
    TDataSet* FLookupDataSet = nullptr;
    int FFieldNo = 0;
    int FOffset = 0;
    int FSize = 0;
    int FDisplayWidth = -1;
    int FSlotOffset = 0, FSlotNullByte = 0;
    std::uint8_t FSlotNullMask = 0;
    TFieldSlot FSlot = TFieldSlot::None;
    TInlineGet FInlineGet = TInlineGet::None;
    TFieldKind FFieldKind = TFieldKind::fkData;
    TFieldType FDataType = TFieldType::ftUnknown;
    TAlignment FAlignment = TAlignment::taLeftJustify;
    bool FVisible = true, FReadOnly = false, FRequired = false, FAutomatic = false;
    TFieldNotifyEvent FOnChange, FOnValidate;
    TFieldGetTextEvent FOnGetText;
    TFieldSetTextEvent FOnSetText;
};

// UTF-8 text of at most Size bytes (cut at a character boundary).
class TStringField : public TField {
    VEL_CLASS(TStringField)
public:
    explicit TStringField(TComponent* owner = nullptr);
    int GetDataSize() const override { return GetSize() + 1; }
    std::string GetAsString() const override;
    void SetAsString(const std::string& v) override;
    std::int32_t ReadAsInteger() const override;
    void SetAsInteger(std::int32_t v) override { SetAsString(std::to_string(v)); }
    std::int64_t ReadAsLargeInt() const override;
    void SetAsLargeInt(std::int64_t v) override { SetAsString(std::to_string(v)); }
    double ReadAsFloat() const override;
    bool ReadAsBoolean() const override;
    void SetAsBoolean(bool v) override { SetAsString(v ? "True" : "False"); }
    Variant GetAsVariant() const override;

protected:
    int DefaultDisplayWidth() const override { return GetSize(); }
    // Native data in UTF-16 (the wide field) rather than UTF-8.
    virtual bool IsWideText() const { return false; }
    // The value in one read; false when Null.
    bool ReadString(std::string& out) const;
    std::string_view SlotText(const std::uint8_t* slot) const;
};

// Stored as UTF-16 in record buffers (Size characters plus a terminator); read and written as
// UTF-8 like every string of the platform.
class TWideStringField : public TStringField {
    VEL_CLASS(TWideStringField)
public:
    explicit TWideStringField(TComponent* owner = nullptr);
    int GetDataSize() const override { return (GetSize() + 1) * 2; }
    void SetAsString(const std::string& v) override;

protected:
    bool IsWideText() const override { return true; }
};

class TNumericField : public TField {
    VEL_CLASS(TNumericField)
public:
    explicit TNumericField(TComponent* owner = nullptr);
    const std::string& GetDisplayFormat() const { return FDisplayFormat; }
    void SetDisplayFormat(const std::string& v);
    const std::string& GetEditFormat() const { return FEditFormat; }
    void SetEditFormat(const std::string& v);

private:
    std::string FDisplayFormat, FEditFormat;
};

class TIntegerField : public TNumericField {
    VEL_CLASS(TIntegerField)
public:
    explicit TIntegerField(TComponent* owner = nullptr);
    int GetDataSize() const override { return 4; }
    std::string GetAsString() const override;
    void SetAsString(const std::string& v) override;
    std::int32_t ReadAsInteger() const override;
    void SetAsInteger(std::int32_t v) override;
    std::int64_t ReadAsLargeInt() const override { return GetAsInteger(); }
    void SetAsLargeInt(std::int64_t v) override;
    double ReadAsFloat() const override { return GetAsInteger(); }
    void SetAsFloat(double v) override;
    bool ReadAsBoolean() const override { return GetAsInteger() != 0; }
    Variant GetAsVariant() const override;
    std::int32_t GetMinValue() const { return FMinValue; }
    void SetMinValue(std::int32_t v) { FMinValue = v; }
    std::int32_t GetMaxValue() const { return FMaxValue; }
    void SetMaxValue(std::int32_t v) { FMaxValue = v; }

protected:
    void GetFieldText(std::string& text, bool displayText) const override;
    // The native range of the type (int16, uint16 … narrow it).
    virtual std::int64_t TypeMin() const { return INT32_MIN; }
    virtual std::int64_t TypeMax() const { return INT32_MAX; }
    void CheckRange(std::int64_t v) const;
    // The native value widened; false when Null.
    bool ReadInteger(std::int32_t& v) const;

private:
    std::int32_t FMinValue = 0, FMaxValue = 0;
};

class TSmallintField : public TIntegerField {
    VEL_CLASS(TSmallintField)
public:
    explicit TSmallintField(TComponent* owner = nullptr);
    int GetDataSize() const override { return 2; }

protected:
    std::int64_t TypeMin() const override { return INT16_MIN; }
    std::int64_t TypeMax() const override { return INT16_MAX; }
};

class TWordField : public TIntegerField {
    VEL_CLASS(TWordField)
public:
    explicit TWordField(TComponent* owner = nullptr);
    int GetDataSize() const override { return 2; }

protected:
    std::int64_t TypeMin() const override { return 0; }
    std::int64_t TypeMax() const override { return UINT16_MAX; }
};

class TAutoIncField : public TIntegerField {
    VEL_CLASS(TAutoIncField)
public:
    explicit TAutoIncField(TComponent* owner = nullptr);
};

class TLargeintField : public TNumericField {
    VEL_CLASS(TLargeintField)
public:
    explicit TLargeintField(TComponent* owner = nullptr);
    int GetDataSize() const override { return 8; }
    std::string GetAsString() const override;
    void SetAsString(const std::string& v) override;
    std::int32_t ReadAsInteger() const override;
    void SetAsInteger(std::int32_t v) override { SetAsLargeInt(v); }
    std::int64_t ReadAsLargeInt() const override;
    void SetAsLargeInt(std::int64_t v) override;
    double ReadAsFloat() const override { return static_cast<double>(GetAsLargeInt()); }
    void SetAsFloat(double v) override;
    Variant GetAsVariant() const override;

protected:
    void GetFieldText(std::string& text, bool displayText) const override;
};

class TFloatField : public TNumericField {
    VEL_CLASS(TFloatField)
public:
    explicit TFloatField(TComponent* owner = nullptr);
    int GetDataSize() const override { return 8; }
    std::string GetAsString() const override;
    void SetAsString(const std::string& v) override;
    std::int32_t ReadAsInteger() const override;
    void SetAsInteger(std::int32_t v) override { SetAsFloat(v); }
    std::int64_t ReadAsLargeInt() const override;
    void SetAsLargeInt(std::int64_t v) override { SetAsFloat(static_cast<double>(v)); }
    double ReadAsFloat() const override;
    void SetAsFloat(double v) override;
    Currency ReadAsCurrency() const override;
    void SetAsCurrency(Currency v) override;
    Variant GetAsVariant() const override;
    // Display as money (the locale's currency format) when no DisplayFormat is set.
    bool GetCurrency() const { return FCurrency; }
    void SetCurrency(bool v);
    int GetPrecision() const { return FPrecision; }
    void SetPrecision(int v);

protected:
    void GetFieldText(std::string& text, bool displayText) const override;

private:
    bool FCurrency = false;
    int FPrecision = 15;
};

class TCurrencyField : public TFloatField {
    VEL_CLASS(TCurrencyField)
public:
    explicit TCurrencyField(TComponent* owner = nullptr);
};

// Fixed point with four decimals; the native value is a Currency.
class TBCDField : public TNumericField {
    VEL_CLASS(TBCDField)
public:
    explicit TBCDField(TComponent* owner = nullptr);
    int GetDataSize() const override { return 8; }
    std::string GetAsString() const override;
    void SetAsString(const std::string& v) override;
    std::int32_t ReadAsInteger() const override;
    void SetAsInteger(std::int32_t v) override { SetAsCurrency(Currency::FromScaled(std::int64_t{v} * 10000)); }
    std::int64_t ReadAsLargeInt() const override { return GetAsCurrency().Value / 10000; }
    double ReadAsFloat() const override;
    void SetAsFloat(double v) override;
    Currency ReadAsCurrency() const override;
    void SetAsCurrency(Currency v) override;
    Variant GetAsVariant() const override;
    bool GetCurrency() const { return FCurrency; }
    void SetCurrency(bool v);

protected:
    void GetFieldText(std::string& text, bool displayText) const override;

private:
    bool FCurrency = false;
};

class TBooleanField : public TField {
    VEL_CLASS(TBooleanField)
public:
    explicit TBooleanField(TComponent* owner = nullptr);
    int GetDataSize() const override { return 2; }
    std::string GetAsString() const override;
    void SetAsString(const std::string& v) override;
    bool ReadAsBoolean() const override;
    void SetAsBoolean(bool v) override;
    std::int32_t ReadAsInteger() const override { return GetAsBoolean() ? 1 : 0; }
    void SetAsInteger(std::int32_t v) override { SetAsBoolean(v != 0); }
    Variant GetAsVariant() const override;
    // "Yes;No": the true text, then the false text.
    const std::string& GetDisplayValues() const { return FDisplayValues; }
    void SetDisplayValues(const std::string& v);

private:
    std::string FDisplayValues, FTrueText = "True", FFalseText = "False";
};

class TDateTimeField : public TField {
    VEL_CLASS(TDateTimeField)
public:
    explicit TDateTimeField(TComponent* owner = nullptr);
    int GetDataSize() const override { return 8; }
    std::string GetAsString() const override;
    void SetAsString(const std::string& v) override;
    TDateTime ReadAsDateTime() const override;
    void SetAsDateTime(TDateTime v) override;
    double ReadAsFloat() const override { return GetAsDateTime(); }
    void SetAsFloat(double v) override { SetAsDateTime(v); }
    Variant GetAsVariant() const override;
    const std::string& GetDisplayFormat() const { return FDisplayFormat; }
    void SetDisplayFormat(const std::string& v);

protected:
    void GetFieldText(std::string& text, bool displayText) const override;
    int DefaultDisplayWidth() const override { return 18; }

private:
    std::string FDisplayFormat;
};

class TDateField : public TDateTimeField {
    VEL_CLASS(TDateField)
public:
    explicit TDateField(TComponent* owner = nullptr);

protected:
    int DefaultDisplayWidth() const override { return 10; }
};

class TTimeField : public TDateTimeField {
    VEL_CLASS(TTimeField)
public:
    explicit TTimeField(TComponent* owner = nullptr);

protected:
    int DefaultDisplayWidth() const override { return 10; }
};

// Variable-length bytes kept by the dataset outside the record buffer.
class TBlobField : public TField {
    VEL_CLASS(TBlobField)
public:
    explicit TBlobField(TComponent* owner = nullptr);
    bool IsBlob() const override { return true; }
    std::string GetAsString() const override;
    void SetAsString(const std::string& v) override;
    std::vector<std::uint8_t> GetAsBytes() const;
    Variant GetAsVariant() const override;
    void SetAsBytes(const std::vector<std::uint8_t>& v);
    std::int64_t GetBlobSize() const { return static_cast<std::int64_t>(GetAsString().size()); }
    // The whole of `stream` from its start becomes the value; a file that cannot be read
    // raises and leaves the value as it was.
    void LoadFromStream(TStream* stream);
    void SaveToStream(TStream* stream) const;
    void LoadFromFile(const std::string& fileName);
    // Written to a temporary name and renamed.
    void SaveToFile(const std::string& fileName) const;

protected:
    void GetFieldText(std::string& text, bool displayText) const override;
};

class TMemoField : public TBlobField {
    VEL_CLASS(TMemoField)
public:
    explicit TMemoField(TComponent* owner = nullptr);

protected:
    void GetFieldText(std::string& text, bool displayText) const override;
};

class TWideMemoField : public TMemoField {
    VEL_CLASS(TWideMemoField)
public:
    explicit TWideMemoField(TComponent* owner = nullptr);
};

class TGraphicField : public TBlobField {
    VEL_CLASS(TGraphicField)
public:
    explicit TGraphicField(TComponent* owner = nullptr);
};

// A field with child fields (ADT); it has no value of its own.
class TObjectField : public TField {
    VEL_CLASS(TObjectField)
public:
    explicit TObjectField(TComponent* owner = nullptr);
    ~TObjectField() override;
    TFields& GetFields() { return *FFields; }
    const TFields& GetFields() const { return *FFields; }
    std::string GetAsString() const override;

protected:
    void GetFieldText(std::string& text, bool displayText) const override;

private:
    TFields* FFields;
};

class TADTField : public TObjectField {
    VEL_CLASS(TADTField)
public:
    explicit TADTField(TComponent* owner = nullptr);
};

// An ordered list of fields (the dataset's top-level fields, or an ADT's children). It does
// not own the fields.
class TFields {
public:
    explicit TFields(TDataSet* dataSet) : FDataSet(dataSet) {}
    int Count() const { return static_cast<int>(FList.size()); }
    TField* GetField(int i) const;
    TField* operator[](int i) const { return GetField(i); }
    int IndexOf(const TField* f) const;
    // Case-insensitive (by folded code points), the first in order when several match; null
    // when absent.
    TField* FindField(std::string_view name) const {
        // A loop asking for the same field on every record compares one name, inline.
        if (FIndexValid && FLast.Field && FLast.Length == name.size() &&
            (name.empty() || std::memcmp(FLast.Name, name.data(), name.size()) == 0))
            return FLast.Field;
        return FindIndexed(name);
    }
    TField* FieldByName(const std::string& name) const;  // raises "Field 'X' not found"
    void Add(TField* f);
    void Remove(TField* f);
    void Clear() {
        FList.clear();
        FIndexValid = false;
    }
    void SetFieldIndex(TField* f, int index);
    // A field of the list was renamed.
    void NamesChanged() { FIndexValid = false; }
    const std::vector<TField*>& List() const { return FList; }
    std::vector<TField*>::const_iterator begin() const { return FList.begin(); }
    std::vector<TField*>::const_iterator end() const { return FList.end(); }

private:
    // Names are found through two open-addressed hash tables built on the first search after
    // the list or a name changed: one of the names as spelt (a search spelt the same way, the
    // usual case, costs one hash and one compare) and one of the case-folded names.
    struct TNameSlot {
        std::uint64_t Hash = 0;
        int Pos = -1;  // in FList; -1: empty slot
    };
    // A slot of the table of names as spelt keeps the field and a name of up to 20 bytes itself,
    // so that a hit reads no more than the slot.
    struct TExactSlot {
        std::uint64_t Hash = 0;
        TField* Field = nullptr;  // null: empty slot
        std::uint32_t Length = 0;
        char Name[20] = {};
    };
    void BuildIndex() const;
    TField* FindIndexed(std::string_view name) const;
    [[gnu::noinline]] TField* FindOther(std::string_view name) const;
    TField* FindExact(std::string_view name) const;
    TField* Probe(std::uint64_t hash, std::string_view folded) const;

    TDataSet* FDataSet;
    std::vector<TField*> FList;
    mutable bool FIndexValid = false;
    mutable std::vector<TExactSlot> FExact;
    // The last name found as spelt: a loop asking for the same field again compares only this.
    mutable TExactSlot FLast;
    mutable std::vector<TNameSlot> FFolded;
    mutable std::vector<std::string> FFoldedNames;  // by position in FList
};

// The class of field made for a data type (null for types without one).
TField* CreateFieldForType(TFieldType type, TComponent* owner = nullptr);

}  // namespace vel

// The inline getters read the dataset's browsed record: DataSet.h defines them.
#include "platform/db/DataSet.h"
