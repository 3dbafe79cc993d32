#include "platform/db/Fields.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/classes/Alignment.h"
#include "platform/classes/Errors.h"
#include "platform/classes/Streams.h"
#include "platform/classes/TypInfo.h"
#include "platform/db/DataSet.h"
#include "platform/db/FieldText.h"
#include "platform/rtl/Utf8.h"

namespace vel {

VEL_DEFINE_CLASS(TField, TComponent)
VEL_DEFINE_CREATABLE_CLASS(TStringField, TField)
VEL_DEFINE_CREATABLE_CLASS(TWideStringField, TStringField)
VEL_DEFINE_CLASS(TNumericField, TField)
VEL_DEFINE_CREATABLE_CLASS(TIntegerField, TNumericField)
VEL_DEFINE_CREATABLE_CLASS(TSmallintField, TIntegerField)
VEL_DEFINE_CREATABLE_CLASS(TWordField, TIntegerField)
VEL_DEFINE_CREATABLE_CLASS(TAutoIncField, TIntegerField)
VEL_DEFINE_CREATABLE_CLASS(TLargeintField, TNumericField)
VEL_DEFINE_CREATABLE_CLASS(TFloatField, TNumericField)
VEL_DEFINE_CREATABLE_CLASS(TCurrencyField, TFloatField)
VEL_DEFINE_CREATABLE_CLASS(TBCDField, TNumericField)
VEL_DEFINE_CREATABLE_CLASS(TBooleanField, TField)
VEL_DEFINE_CREATABLE_CLASS(TDateTimeField, TField)
VEL_DEFINE_CREATABLE_CLASS(TDateField, TDateTimeField)
VEL_DEFINE_CREATABLE_CLASS(TTimeField, TDateTimeField)
VEL_DEFINE_CREATABLE_CLASS(TBlobField, TField)
VEL_DEFINE_CREATABLE_CLASS(TMemoField, TBlobField)
VEL_DEFINE_CREATABLE_CLASS(TWideMemoField, TMemoField)
VEL_DEFINE_CREATABLE_CLASS(TGraphicField, TBlobField)
VEL_DEFINE_CLASS(TObjectField, TField)
VEL_DEFINE_CREATABLE_CLASS(TADTField, TObjectField)

VEL_PUBLISHED(TField) {
    Prop("FieldName", &T::GetFieldName, &T::SetFieldName).Default(std::string());
    Prop("DisplayLabel", &T::GetDisplayLabel, &T::SetDisplayLabel).Stored(false);
    Prop("DisplayWidth", &T::GetDisplayWidth, &T::SetDisplayWidth).NoDefault();
    Prop("Alignment", &T::GetAlignment, &T::SetAlignment).NoDefault();
    Prop("FieldKind", &T::GetFieldKind, &T::SetFieldKind, TFieldKind::fkData);
    Prop("Visible", &T::GetVisible, &T::SetVisible, true);
    Prop("ReadOnly", &T::GetReadOnly, &T::SetReadOnly, false);
    Prop("Required", &T::GetRequired, &T::SetRequired, false);
    Prop("EditMask", &T::GetEditMask, &T::SetEditMask).Default(std::string());
    Prop("Size", &T::GetSize, &T::SetSize).NoDefault();
    Prop("LookupDataSet", &T::GetLookupDataSet, &T::SetLookupDataSet);
    Prop("LookupKeyFields", &T::GetLookupKeyFields, &T::SetLookupKeyFields).Default(std::string());
    Prop("LookupResultField", &T::GetLookupResultField, &T::SetLookupResultField).Default(std::string());
    Prop("KeyFields", &T::GetKeyFields, &T::SetKeyFields).Default(std::string());
}

// ---------------------------------------------------------------- TField

TField::TField(TComponent* owner) : TComponent(owner) {}

void TField::SetLookupDataSet(TDataSet* v) {
    if (v == FLookupDataSet) return;
    if (FLookupDataSet) FLookupDataSet->RemoveFreeNotification(this);
    FLookupDataSet = v;
    if (v) v->FreeNotification(this);
}

void TField::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == FLookupDataSet) FLookupDataSet = nullptr;
}

TField::~TField() {
    if (FParentField) FParentField->GetFields().Remove(this);
    if (FDataSet) {
        FDataSet->GetFields().Remove(this);
        FDataSet->FieldRemoved(this);
    }
}

void TField::SetDataSet(TDataSet* v) {
    if (v == FDataSet) return;
    if (FDataSet) FDataSet->CheckInactive();
    if (v) v->CheckInactive();
    if (v && !FFieldName.empty() && !FParentField && v->GetFields().FindField(FFieldName))
        DatabaseError("Duplicate field name '" + FFieldName + "'", v->GetName());
    if (FDataSet) {
        if (!FParentField) FDataSet->GetFields().Remove(this);
        FDataSet->FieldRemoved(this);
    }
    FDataSet = v;
    if (v) {
        if (!FParentField) v->GetFields().Add(this);
        v->FieldAdded(this);
    }
}

void TField::SetParentField(TObjectField* v) {
    if (v == FParentField) return;
    if (FParentField) FParentField->GetFields().Remove(this);
    else if (FDataSet) FDataSet->GetFields().Remove(this);
    FParentField = v;
    if (v) {
        v->GetFields().Add(this);
        if (FDataSet != v->GetDataSet()) {
            FDataSet = v->GetDataSet();
        }
        if (FDataSet) FDataSet->FieldAdded(this);
    } else if (FDataSet) {
        FDataSet->GetFields().Add(this);
    }
}

void TField::SetFieldName(const std::string& v) {
    if (FDataSet && !FParentField) {
        TField* other = FDataSet->GetFields().FindField(v);
        if (other && other != this)
            DatabaseError("Duplicate field name '" + v + "'", FDataSet->GetName());
    }
    FFieldName = v;
    if (FParentField)
        FParentField->GetFields().NamesChanged();
    else if (FDataSet)
        FDataSet->GetFields().NamesChanged();
}

std::string TField::GetFullName() const {
    if (FParentField) return FParentField->GetFullName() + "." + FFieldName;
    return FFieldName;
}

void TField::SetFieldKind(TFieldKind v) {
    if (FDataSet) FDataSet->CheckInactive();
    FFieldKind = v;
}

void TField::SetSize(int v) {
    if (FDataSet) FDataSet->CheckInactive();
    if (v < 0) DatabaseError("Invalid field size " + std::to_string(v) + " for field '" + FFieldName + "'");
    FSize = v;
}

int TField::GetIndex() const {
    if (!FDataSet) return -1;
    if (FParentField) return FParentField->GetFields().IndexOf(this);
    return FDataSet->GetFields().IndexOf(this);
}

void TField::SetIndex(int v) {
    if (!FDataSet || FParentField) return;
    if (v == GetIndex()) return;
    FDataSet->GetFields().SetFieldIndex(this, v);
    FDataSet->FieldIndexChanged();
}

void TField::PropertyChanged(bool layout) {
    if (FDataSet && FDataSet->GetActive())
        FDataSet->DataEvent(layout ? TDataEvent::deLayoutChange : TDataEvent::deDataSetChange, 0);
}

int TField::GetDisplayWidth() const { return FDisplayWidth >= 0 ? FDisplayWidth : DefaultDisplayWidth(); }

void TField::SetDisplayWidth(int v) {
    if (v == FDisplayWidth) return;
    FDisplayWidth = v;
    PropertyChanged(true);
}

void TField::SetDisplayLabel(const std::string& v) {
    if (v == FDisplayLabel) return;
    FDisplayLabel = v == FFieldName ? std::string() : v;
    PropertyChanged(true);
}

void TField::SetAlignment(TAlignment v) {
    if (v == FAlignment) return;
    FAlignment = v;
    PropertyChanged(false);
}

void TField::SetVisible(bool v) {
    if (v == FVisible) return;
    FVisible = v;
    PropertyChanged(true);
}

void TField::SetReadOnly(bool v) {
    if (v == FReadOnly) return;
    FReadOnly = v;
    PropertyChanged(false);
}

void TField::SetEditMask(const std::string& v) {
    if (v == FEditMask) return;
    FEditMask = v;
    PropertyChanged(false);
}

bool TField::GetCanModify() const {
    if (FReadOnly || !FDataSet) return false;
    if (FFieldKind == TFieldKind::fkCalculated || FFieldKind == TFieldKind::fkAggregate)
        return FDataSet->GetState() == TDataSetState::dsCalcFields;
    return FDataSet->GetCanModify() || FDataSet->GetState() == TDataSetState::dsSetKey;
}

// The getters of the field classes read through this, inlined: a browsed record the dataset
// lets fields read in place costs no virtual call, buffer lookup or switch on the column's kind.
[[gnu::always_inline]] inline const std::uint8_t* TField::SlotInPlace(TFieldSlot slot,
                                                                     bool& isNull) const {
    if (FSlot != slot || slot == TFieldSlot::None) return nullptr;
    const std::uint8_t* row = FDataSet->DirectRow();
    if (!row) return nullptr;
    isNull = (row[FSlotNullByte] & FSlotNullMask) != 0;
    return row + FSlotOffset;
}

[[gnu::always_inline]] inline bool TField::ReadValue(void* buffer, TFieldSlot slot) const {
    bool isNull;
    if (const std::uint8_t* p = SlotInPlace(slot, isNull)) {
        if (isNull) return false;
        if (!buffer) return true;
        switch (slot) {
            case TFieldSlot::Text: return AskData(buffer);  // native text is not the slot
            case TFieldSlot::Int32: std::memcpy(buffer, p, 4); break;
            case TFieldSlot::Byte: {
                const std::uint16_t w = p[0] ? 1 : 0;
                std::memcpy(buffer, &w, 2);
                break;
            }
            default: std::memcpy(buffer, p, 8); break;
        }
        return true;
    }
    return AskData(buffer);
}

bool TField::AskData(void* buffer) const {
    if (!FDataSet) DatabaseError("Field '" + GetDisplayName() + "' has no dataset");
    return FDataSet->GetFieldData(const_cast<TField*>(this), buffer);
}

bool TField::GetData(void* buffer) const { return ReadValue(buffer, FSlot); }

void TField::SetData(const void* buffer) {
    if (!FDataSet) DatabaseError("Field '" + GetDisplayName() + "' has no dataset");
    FDataSet->SetFieldData(this, buffer);
}

bool TField::IsNull() const {
    if (FSlot != TFieldSlot::None) return !ReadValue(nullptr, FSlot);
    if (IsBlob()) {
        std::string s;
        return !FDataSet || !FDataSet->GetBlobFieldData(const_cast<TField*>(this), s);
    }
    // A null buffer asks only whether there is a value: nothing is copied.
    return !GetData(nullptr);
}

void TField::Validate(const void*) {
    if (FOnValidate) FOnValidate(this);
}

void TField::Change() {
    if (FOnChange) FOnChange(this);
}

void TField::FocusControl() {
    if (FDataSet && FDataSet->GetActive()) {
        TField* self = this;
        FDataSet->DataEvent(TDataEvent::deFocusControl, reinterpret_cast<std::intptr_t>(&self));
    }
}

void TField::AccessError(const char* typeName) const {
    DatabaseError("Field '" + GetDisplayName() + "' cannot be accessed as type " + typeName);
}

Variant TField::GetRawValue() const {
    Variant raw;
    if (FDataSet && FFieldKind == TFieldKind::fkData && FDataSet->GetRawFieldValue(this, raw))
        return raw;
    return GetAsVariant();
}

bool TField::HasRawValue() const {
    Variant raw;
    return FDataSet && FFieldKind == TFieldKind::fkData && FDataSet->GetRawFieldValue(this, raw);
}

Variant TField::ValueInState(TDataSetState state) const {
    if (!FDataSet) DatabaseError("Field '" + GetDisplayName() + "' has no dataset");
    return FDataSet->FieldValueInState(this, state);
}

std::string TField::GetAsString() const { AccessError("String"); }
void TField::SetAsString(const std::string&) { AccessError("String"); }
std::int32_t TField::ReadAsInteger() const { AccessError("Integer"); }
void TField::SetAsInteger(std::int32_t) { AccessError("Integer"); }
std::int64_t TField::ReadAsLargeInt() const { return GetAsInteger(); }
void TField::SetAsLargeInt(std::int64_t v) {
    if (v < INT32_MIN || v > INT32_MAX) AccessError("Largeint");
    SetAsInteger(static_cast<std::int32_t>(v));
}
double TField::ReadAsFloat() const { AccessError("Float"); }
void TField::SetAsFloat(double) { AccessError("Float"); }
Currency TField::ReadAsCurrency() const { return fieldtext::FloatToCurrency(GetAsFloat()); }
void TField::SetAsCurrency(Currency v) { SetAsFloat(fieldtext::CurrencyToFloat(v)); }
bool TField::ReadAsBoolean() const { AccessError("Boolean"); }
void TField::SetAsBoolean(bool) { AccessError("Boolean"); }
TDateTime TField::ReadAsDateTime() const { AccessError("DateTime"); }
void TField::SetAsDateTime(TDateTime) { AccessError("DateTime"); }

void TField::GetFieldText(std::string& text, bool) const { text = GetAsString(); }

Variant TField::GetAsVariant() const {
    if (IsNull()) return Variant::Null();
    using enum TFieldType;
    TFieldType t = GetDataType();
    if (IsStringType(t) || t == ftMemo || t == ftWideMemo || t == ftFmtMemo) return Variant(GetAsString());
    if (t == ftLargeint) return Variant(static_cast<long long>(GetAsLargeInt()));
    if (IsIntegerType(t)) return Variant(GetAsInteger());
    if (t == ftBCD || t == ftFMTBcd || t == ftCurrency) return Variant(GetAsCurrency());
    if (IsFloatType(t)) return Variant(GetAsFloat());
    if (IsDateTimeType(t)) return Variant::FromDateTime(GetAsDateTime());
    if (t == ftBoolean) return Variant(GetAsBoolean());
    if (IsBlob()) {
        std::string s = GetAsString();
        return Variant::FromBytes(std::vector<std::uint8_t>(s.begin(), s.end()));
    }
    return Variant(GetAsString());
}

void TField::SetAsVariant(const Variant& v) {
    if (v.IsNull() || v.IsEmpty()) {
        Clear();
        return;
    }
    using enum TFieldType;
    TFieldType t = GetDataType();
    if (IsStringType(t) || t == ftMemo || t == ftWideMemo || t == ftFmtMemo) SetAsString(VarToStr(v));
    else if (IsIntegerType(t)) SetAsLargeInt(v.AsInt64());
    else if (t == ftBCD || t == ftFMTBcd || t == ftCurrency) SetAsCurrency(v.AsCurrency());
    else if (IsFloatType(t)) SetAsFloat(v.AsFloat());
    else if (IsDateTimeType(t)) SetAsDateTime(v.AsDateTime());
    else if (t == ftBoolean) SetAsBoolean(v.AsBoolean());
    else if (IsBlob() && v.VarType() == TVarType::varBytes) {
        const auto& b = v.AsBytes();
        SetAsString(std::string(b.begin(), b.end()));
    } else SetAsString(VarToStr(v));
}

void TField::SetTextValue(const std::string& text) { SetAsString(text); }

std::string TField::GetDisplayText() const {
    std::string s;
    if (FOnGetText)
        FOnGetText(const_cast<TField*>(this), s, true);
    else
        GetFieldText(s, true);
    return s;
}

std::string TField::GetText() const {
    std::string s;
    if (FOnGetText)
        FOnGetText(const_cast<TField*>(this), s, false);
    else
        GetFieldText(s, false);
    return s;
}

void TField::SetText(const std::string& v) {
    if (FOnSetText)
        FOnSetText(this, v);
    else
        SetTextValue(v);
}

// ---------------------------------------------------------------- strings

TStringField::TStringField(TComponent* owner) : TField(owner) {
    SetDataType(TFieldType::ftString);
    SetSize(20);
}

// The text of a Text slot read in place as the native data reads: at most Size bytes, cut at
// a character boundary and at a NUL. Short texts are searched for the NUL inline.
[[gnu::always_inline]] inline std::string_view TStringField::SlotText(const std::uint8_t* p) const {
    std::uint32_t slot[2];
    std::memcpy(slot, p, 8);
    if (slot[1] == 0) return {};  // empty text has no place in the text area
    const char* t = reinterpret_cast<const char*>(GetDataSet()->DirectText()) + slot[0];
    std::size_t n = std::min<std::size_t>(slot[1], static_cast<std::size_t>(GetSize()));
    while (n > 0 && n < slot[1] && (static_cast<unsigned char>(t[n]) & 0xC0) == 0x80) --n;
    // A byte of a word is zero when the classic borrow test says so; texts of 8 to 16 bytes
    // (most cells) are tested as two overlapping words.
    auto hasZero = [](std::uint64_t w) {
        return ((w - 0x0101010101010101ull) & ~w & 0x8080808080808080ull) != 0;
    };
    if (n >= 8 && n <= 16) {
        std::uint64_t a, b;
        std::memcpy(&a, t, 8);
        std::memcpy(&b, t + n - 8, 8);
        if (!hasZero(a) && !hasZero(b)) return {t, n};
    }
    if (n <= 32) {
        std::size_t i = 0;
        for (; i + 8 <= n; i += 8) {
            std::uint64_t w;
            std::memcpy(&w, t + i, 8);
            if (hasZero(w)) break;
        }
        for (; i < n; ++i)
            if (t[i] == 0) return {t, i};
    } else if (const void* z = std::memchr(t, 0, n)) {
        n = static_cast<std::size_t>(static_cast<const char*>(z) - t);
    }
    return {t, n};
}

std::string TStringField::GetAsString() const {
    bool isNull;
    if (const std::uint8_t* p = SlotInPlace(TFieldSlot::Text, isNull))
        return isNull ? std::string() : std::string(SlotText(p));
    std::string s;
    ReadString(s);
    return s;
}

bool TStringField::ReadString(std::string& out) const {
    bool isNull;
    if (const std::uint8_t* p = SlotInPlace(TFieldSlot::Text, isNull)) {
        if (isNull) {
            out.clear();
            return false;
        }
        out.assign(SlotText(p));
        return true;
    }
    if (!GetDataSet()) DatabaseError("Field '" + GetDisplayName() + "' has no dataset");
    return GetDataSet()->GetFieldString(const_cast<TStringField*>(this), out, IsWideText());
}

void TStringField::SetAsString(const std::string& v) {
    // Cut at the field size, never inside a UTF-8 sequence.
    std::size_t n = std::min<std::size_t>(v.size(), GetSize());
    while (n > 0 && n < v.size() && (static_cast<unsigned char>(v[n]) & 0xC0) == 0x80) --n;
    std::vector<char> buf(GetDataSize(), 0);
    std::memcpy(buf.data(), v.data(), n);
    SetData(buf.data());
}

Variant TStringField::GetAsVariant() const {
    if (!IsStringType(GetDataType())) return TField::GetAsVariant();
    std::string s;
    return ReadString(s) ? Variant(s) : Variant::Null();
}

std::int32_t TStringField::ReadAsInteger() const {
    std::int64_t v = fieldtext::TextToInt(GetAsString());
    if (v < INT32_MIN || v > INT32_MAX) AccessError("Integer");
    return static_cast<std::int32_t>(v);
}
std::int64_t TStringField::ReadAsLargeInt() const { return fieldtext::TextToInt(GetAsString()); }
double TStringField::ReadAsFloat() const { return fieldtext::TextToFloat(GetAsString()); }
bool TStringField::ReadAsBoolean() const {
    std::string s = GetAsString();
    if (s.empty()) return false;
    char c = static_cast<char>(std::toupper(static_cast<unsigned char>(s[0])));
    return c == 'T' || c == 'Y';
}

TWideStringField::TWideStringField(TComponent* owner) : TStringField(owner) { SetDataType(TFieldType::ftWideString); }

void TWideStringField::SetAsString(const std::string& v) {
    std::vector<char16_t> buf(GetSize() + 1, 0);
    std::size_t pos = 0, n = 0, cap = static_cast<std::size_t>(GetSize());
    while (pos < v.size()) {
        char32_t cp = Utf8Decode(v, pos);
        if (cp >= 0x10000) {
            if (n + 2 > cap) break;
            buf[n++] = static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
            buf[n++] = static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            if (n + 1 > cap) break;
            buf[n++] = static_cast<char16_t>(cp);
        }
    }
    SetData(buf.data());
}

// ---------------------------------------------------------------- numbers

TNumericField::TNumericField(TComponent* owner) : TField(owner) { SetAlignment(TAlignment::taRightJustify); }

void TNumericField::SetDisplayFormat(const std::string& v) {
    if (v == FDisplayFormat) return;
    FDisplayFormat = v;
    PropertyChanged(false);
}

void TNumericField::SetEditFormat(const std::string& v) {
    if (v == FEditFormat) return;
    FEditFormat = v;
    PropertyChanged(false);
}

TIntegerField::TIntegerField(TComponent* owner) : TNumericField(owner) {
    SetDataType(TFieldType::ftInteger);
    SetInlineGet(TInlineGet::Integer);
}
TSmallintField::TSmallintField(TComponent* owner) : TIntegerField(owner) { SetDataType(TFieldType::ftSmallint); }
TWordField::TWordField(TComponent* owner) : TIntegerField(owner) { SetDataType(TFieldType::ftWord); }
TAutoIncField::TAutoIncField(TComponent* owner) : TIntegerField(owner) { SetDataType(TFieldType::ftAutoInc); }

bool TIntegerField::ReadInteger(std::int32_t& v) const {
    v = 0;
    if (GetDirectSlot() == TFieldSlot::Int32 || GetDataSize() != 2) return ReadValue(&v, TFieldSlot::Int32);
    std::uint8_t b[2];
    if (!GetData(b)) return false;
    if (GetDataType() == TFieldType::ftWord) {
        std::uint16_t w;
        std::memcpy(&w, b, 2);
        v = w;
    } else {
        std::int16_t x;
        std::memcpy(&x, b, 2);
        v = x;
    }
    return true;
}

std::int32_t TIntegerField::ReadAsInteger() const {
    std::int32_t v;
    ReadInteger(v);
    return v;
}

// The overrides of GetAsVariant read the value once: whether it is Null comes with it. A type
// the class does not hold natively goes the general way.
Variant TIntegerField::GetAsVariant() const {
    const TFieldType t = GetDataType();
    if (!IsIntegerType(t) || t == TFieldType::ftLargeint) return TField::GetAsVariant();
    std::int32_t v;
    return ReadInteger(v) ? Variant(v) : Variant::Null();
}

void TIntegerField::CheckRange(std::int64_t v) const {
    std::int64_t lo = TypeMin(), hi = TypeMax();
    if (FMinValue != 0 || FMaxValue != 0) {
        lo = FMinValue;
        hi = FMaxValue;
    }
    if (v < lo || v > hi)
        DatabaseError(std::to_string(v) + " is not a valid value for field '" + GetDisplayName() +
                      "'. The allowed range is " + std::to_string(lo) + " to " +
                      std::to_string(hi));
}

void TIntegerField::SetAsInteger(std::int32_t v) { SetAsLargeInt(v); }

void TIntegerField::SetAsLargeInt(std::int64_t v) {
    CheckRange(v);
    if (GetDataSize() == 2) {
        if (GetDataType() == TFieldType::ftWord) {
            auto w = static_cast<std::uint16_t>(v);
            SetData(&w);
        } else {
            auto s = static_cast<std::int16_t>(v);
            SetData(&s);
        }
    } else {
        auto i = static_cast<std::int32_t>(v);
        SetData(&i);
    }
}

void TIntegerField::SetAsFloat(double v) { SetAsLargeInt(static_cast<std::int64_t>(std::llround(v))); }

std::string TIntegerField::GetAsString() const {
    if (IsNull()) return {};
    return std::to_string(GetAsInteger());
}

void TIntegerField::SetAsString(const std::string& v) {
    if (v.empty()) {
        Clear();
        return;
    }
    SetAsLargeInt(fieldtext::TextToInt(v));
}

void TIntegerField::GetFieldText(std::string& text, bool displayText) const {
    text.clear();
    std::int32_t v = 0;
    if (IsNull()) return;
    v = GetAsInteger();
    const std::string& fmt = displayText || GetEditFormat().empty() ? GetDisplayFormat() : GetEditFormat();
    text = fmt.empty() ? std::to_string(v) : fieldtext::FloatText(v, fmt, false, 15);
}

TLargeintField::TLargeintField(TComponent* owner) : TNumericField(owner) {
    SetDataType(TFieldType::ftLargeint);
    SetInlineGet(TInlineGet::LargeInt);
}

std::int64_t TLargeintField::ReadAsLargeInt() const {
    std::int64_t v = 0;
    return ReadValue(&v, TFieldSlot::Int64) ? v : 0;
}
std::int32_t TLargeintField::ReadAsInteger() const {
    std::int64_t v = GetAsLargeInt();
    if (v < INT32_MIN || v > INT32_MAX) AccessError("Integer");
    return static_cast<std::int32_t>(v);
}
void TLargeintField::SetAsLargeInt(std::int64_t v) { SetData(&v); }
Variant TLargeintField::GetAsVariant() const {
    if (GetDataType() != TFieldType::ftLargeint) return TField::GetAsVariant();
    std::int64_t v = 0;
    return ReadValue(&v, TFieldSlot::Int64) ? Variant(static_cast<long long>(v)) : Variant::Null();
}
void TLargeintField::SetAsFloat(double v) { SetAsLargeInt(std::llround(v)); }
std::string TLargeintField::GetAsString() const { return IsNull() ? std::string() : std::to_string(GetAsLargeInt()); }
void TLargeintField::SetAsString(const std::string& v) {
    if (v.empty()) Clear();
    else SetAsLargeInt(fieldtext::TextToInt(v));
}
void TLargeintField::GetFieldText(std::string& text, bool displayText) const {
    text.clear();
    if (IsNull()) return;
    const std::string& fmt = displayText || GetEditFormat().empty() ? GetDisplayFormat() : GetEditFormat();
    text = fmt.empty() ? std::to_string(GetAsLargeInt())
                       : fieldtext::FloatText(static_cast<double>(GetAsLargeInt()), fmt, false, 15);
}

TFloatField::TFloatField(TComponent* owner) : TNumericField(owner) {
    SetDataType(TFieldType::ftFloat);
    SetInlineGet(TInlineGet::Float);
}
TCurrencyField::TCurrencyField(TComponent* owner) : TFloatField(owner) {
    SetDataType(TFieldType::ftCurrency);
    SetCurrency(true);
}

double TFloatField::ReadAsFloat() const {
    double v = 0;
    return ReadValue(&v, TFieldSlot::Float64) ? v : 0;
}
void TFloatField::SetAsFloat(double v) {
    if (!std::isfinite(v)) DatabaseError("Invalid floating point value for field '" + GetDisplayName() + "'");
    SetData(&v);
}
std::int32_t TFloatField::ReadAsInteger() const {
    double v = std::round(GetAsFloat());
    if (v < INT32_MIN || v > INT32_MAX) AccessError("Integer");
    return static_cast<std::int32_t>(v);
}
std::int64_t TFloatField::ReadAsLargeInt() const { return std::llround(GetAsFloat()); }
Currency TFloatField::ReadAsCurrency() const { return fieldtext::FloatToCurrency(GetAsFloat()); }
void TFloatField::SetAsCurrency(Currency v) { SetAsFloat(fieldtext::CurrencyToFloat(v)); }
Variant TFloatField::GetAsVariant() const {
    const TFieldType t = GetDataType();
    if (!IsFloatType(t) || t == TFieldType::ftBCD || t == TFieldType::ftFMTBcd)
        return TField::GetAsVariant();
    double v = 0;
    if (!ReadValue(&v, TFieldSlot::Float64)) return Variant::Null();
    return t == TFieldType::ftCurrency ? Variant(fieldtext::FloatToCurrency(v)) : Variant(v);
}
std::string TFloatField::GetAsString() const {
    return IsNull() ? std::string() : fieldtext::FloatText(GetAsFloat(), "", false, FPrecision);
}
void TFloatField::SetAsString(const std::string& v) {
    if (v.empty()) Clear();
    else SetAsFloat(fieldtext::TextToFloat(v));
}
void TFloatField::SetCurrency(bool v) {
    if (v == FCurrency) return;
    FCurrency = v;
    PropertyChanged(false);
}
void TFloatField::SetPrecision(int v) {
    v = std::clamp(v, 2, 15);
    if (v == FPrecision) return;
    FPrecision = v;
    PropertyChanged(false);
}
void TFloatField::GetFieldText(std::string& text, bool displayText) const {
    text.clear();
    if (IsNull()) return;
    const std::string& fmt = displayText || GetEditFormat().empty() ? GetDisplayFormat() : GetEditFormat();
    text = fieldtext::FloatText(GetAsFloat(), fmt, displayText && FCurrency, FPrecision);
}

TBCDField::TBCDField(TComponent* owner) : TNumericField(owner) {
    SetDataType(TFieldType::ftBCD);
    SetInlineGet(TInlineGet::Currency);
    SetSize(4);
}
Currency TBCDField::ReadAsCurrency() const {
    Currency c;
    return ReadValue(&c.Value, TFieldSlot::Currency) ? c : Currency{};
}
void TBCDField::SetAsCurrency(Currency v) { SetData(&v.Value); }
Variant TBCDField::GetAsVariant() const {
    const TFieldType t = GetDataType();
    if (t != TFieldType::ftBCD && t != TFieldType::ftFMTBcd && t != TFieldType::ftCurrency)
        return TField::GetAsVariant();
    Currency c;
    return ReadValue(&c.Value, TFieldSlot::Currency) ? Variant(c) : Variant::Null();
}
double TBCDField::ReadAsFloat() const { return fieldtext::CurrencyToFloat(GetAsCurrency()); }
void TBCDField::SetAsFloat(double v) { SetAsCurrency(fieldtext::FloatToCurrency(v)); }
std::int32_t TBCDField::ReadAsInteger() const {
    std::int64_t v = GetAsCurrency().Value / 10000;
    if (v < INT32_MIN || v > INT32_MAX) AccessError("Integer");
    return static_cast<std::int32_t>(v);
}
std::string TBCDField::GetAsString() const {
    return IsNull() ? std::string() : fieldtext::CurrencyText(GetAsCurrency(), "", false);
}
void TBCDField::SetAsString(const std::string& v) {
    if (v.empty()) Clear();
    else SetAsCurrency(fieldtext::TextToCurrency(v));
}
void TBCDField::SetCurrency(bool v) {
    if (v == FCurrency) return;
    FCurrency = v;
    PropertyChanged(false);
}
void TBCDField::GetFieldText(std::string& text, bool displayText) const {
    text.clear();
    if (IsNull()) return;
    const std::string& fmt = displayText || GetEditFormat().empty() ? GetDisplayFormat() : GetEditFormat();
    text = fieldtext::CurrencyText(GetAsCurrency(), fmt, displayText && FCurrency);
}

// ---------------------------------------------------------------- boolean

TBooleanField::TBooleanField(TComponent* owner) : TField(owner) {
    SetDataType(TFieldType::ftBoolean);
    SetInlineGet(TInlineGet::Boolean);
}

bool TBooleanField::ReadAsBoolean() const {
    std::uint16_t v = 0;
    return ReadValue(&v, TFieldSlot::Byte) && v != 0;
}
Variant TBooleanField::GetAsVariant() const {
    if (GetDataType() != TFieldType::ftBoolean) return TField::GetAsVariant();
    std::uint16_t v = 0;
    return ReadValue(&v, TFieldSlot::Byte) ? Variant(v != 0) : Variant::Null();
}
void TBooleanField::SetAsBoolean(bool v) {
    std::uint16_t w = v ? 1 : 0;
    SetData(&w);
}
std::string TBooleanField::GetAsString() const {
    if (IsNull()) return {};
    return GetAsBoolean() ? FTrueText : FFalseText;
}
void TBooleanField::SetAsString(const std::string& v) {
    if (v.empty()) {
        Clear();
        return;
    }
    auto prefix = [&](const std::string& full) {
        return !full.empty() && v.size() <= full.size() &&
               Utf8SameText(v, std::string_view(full).substr(0, v.size()));
    };
    if (prefix(FTrueText)) SetAsBoolean(true);
    else if (prefix(FFalseText)) SetAsBoolean(false);
    else DatabaseError("'" + v + "' is not a valid boolean value for field '" + GetDisplayName() + "'");
}
void TBooleanField::SetDisplayValues(const std::string& v) {
    std::size_t p = v.find(';');
    std::string t = p == std::string::npos ? v : v.substr(0, p);
    std::string f = p == std::string::npos ? std::string() : v.substr(p + 1);
    if (v.empty()) {
        t = "True";
        f = "False";
    }
    FDisplayValues = v;
    FTrueText = t;
    FFalseText = f;
    PropertyChanged(false);
}

// ---------------------------------------------------------------- dates

TDateTimeField::TDateTimeField(TComponent* owner) : TField(owner) {
    SetDataType(TFieldType::ftDateTime);
    SetInlineGet(TInlineGet::DateTime);
}
TDateField::TDateField(TComponent* owner) : TDateTimeField(owner) { SetDataType(TFieldType::ftDate); }
TTimeField::TTimeField(TComponent* owner) : TDateTimeField(owner) { SetDataType(TFieldType::ftTime); }

TDateTime TDateTimeField::ReadAsDateTime() const {
    double v = 0;
    return ReadValue(&v, TFieldSlot::Float64) ? v : 0;
}
Variant TDateTimeField::GetAsVariant() const {
    if (!IsDateTimeType(GetDataType())) return TField::GetAsVariant();
    double v = 0;
    return ReadValue(&v, TFieldSlot::Float64) ? Variant::FromDateTime(v) : Variant::Null();
}
void TDateTimeField::SetAsDateTime(TDateTime v) {
    if (GetDataType() == TFieldType::ftDate) v = std::trunc(v);
    else if (GetDataType() == TFieldType::ftTime) v = std::fabs(v - std::trunc(v));
    SetData(&v);
}
std::string TDateTimeField::GetAsString() const {
    return IsNull() ? std::string() : fieldtext::DateTimeText(GetAsDateTime(), "", GetDataType());
}
void TDateTimeField::SetAsString(const std::string& v) {
    if (v.empty()) Clear();
    else SetAsDateTime(fieldtext::TextToDateTime(v, GetDataType()));
}
void TDateTimeField::SetDisplayFormat(const std::string& v) {
    if (v == FDisplayFormat) return;
    FDisplayFormat = v;
    PropertyChanged(false);
}
void TDateTimeField::GetFieldText(std::string& text, bool displayText) const {
    text.clear();
    if (IsNull()) return;
    text = fieldtext::DateTimeText(GetAsDateTime(), displayText ? FDisplayFormat : std::string(),
                                   GetDataType());
}

// ---------------------------------------------------------------- blobs

TBlobField::TBlobField(TComponent* owner) : TField(owner) { SetDataType(TFieldType::ftBlob); }
TMemoField::TMemoField(TComponent* owner) : TBlobField(owner) { SetDataType(TFieldType::ftMemo); }
TWideMemoField::TWideMemoField(TComponent* owner) : TMemoField(owner) { SetDataType(TFieldType::ftWideMemo); }
TGraphicField::TGraphicField(TComponent* owner) : TBlobField(owner) { SetDataType(TFieldType::ftGraphic); }

std::string TBlobField::GetAsString() const {
    std::string s;
    if (GetDataSet()) GetDataSet()->GetBlobFieldData(const_cast<TBlobField*>(this), s);
    return s;
}
Variant TBlobField::GetAsVariant() const {
    using enum TFieldType;
    const TFieldType t = GetDataType();
    std::string s;
    if (!GetDataSet() || !GetDataSet()->GetBlobFieldData(const_cast<TBlobField*>(this), s))
        return Variant::Null();
    if (t == ftMemo || t == ftWideMemo || t == ftFmtMemo || IsStringType(t)) return Variant(s);
    return Variant::FromBytes(std::vector<std::uint8_t>(s.begin(), s.end()));
}
void TBlobField::SetAsString(const std::string& v) {
    if (!GetDataSet()) DatabaseError("Field '" + GetDisplayName() + "' has no dataset");
    GetDataSet()->SetBlobFieldData(this, v);
}
std::vector<std::uint8_t> TBlobField::GetAsBytes() const {
    std::string s = GetAsString();
    return {s.begin(), s.end()};
}
void TBlobField::SetAsBytes(const std::vector<std::uint8_t>& v) { SetAsString(std::string(v.begin(), v.end())); }
void TBlobField::LoadFromStream(TStream* stream) {
    if (!stream) DatabaseError("No stream to load field '" + GetDisplayName() + "' from");
    TDataSet* ds = GetDataSet();
    if (!ds) DatabaseError("Field '" + GetDisplayName() + "' has no dataset");
    // Read it all before the value changes, so a failing stream leaves the value alone.
    TMemoryStream copy;
    copy.CopyFrom(stream, 0);
    SetAsString(std::string(reinterpret_cast<const char*>(copy.GetMemory()),
                            static_cast<std::size_t>(copy.GetSize())));
}

void TBlobField::SaveToStream(TStream* stream) const {
    if (!stream) DatabaseError("No stream to save field '" + GetDisplayName() + "' to");
    std::string s = GetAsString();
    stream->WriteBuffer(s.data(), static_cast<std::int64_t>(s.size()));
}

void TBlobField::LoadFromFile(const std::string& fileName) {
    TFileStream f(fileName, fmOpenRead);
    LoadFromStream(&f);
}

void TBlobField::SaveToFile(const std::string& fileName) const {
    TMemoryStream m;
    SaveToStream(&m);
    m.SaveToFile(fileName);
}

void TBlobField::GetFieldText(std::string& text, bool) const {
    text = IsNull() ? "(" + FieldTypeName(GetDataType()) + ")" : "(" + Utf8UpperCase(FieldTypeName(GetDataType())) + ")";
}
void TMemoField::GetFieldText(std::string& text, bool displayText) const {
    if (displayText) TBlobField::GetFieldText(text, true);
    else text = GetAsString();
}

// ---------------------------------------------------------------- ADT

TObjectField::TObjectField(TComponent* owner) : TField(owner), FFields(new TFields(nullptr)) {}
TObjectField::~TObjectField() {
    std::vector<TField*> children = FFields->List();
    for (TField* c : children) {
        c->FParentField = nullptr;
        c->FDataSet = nullptr;
        delete c;
    }
    delete FFields;
}
TADTField::TADTField(TComponent* owner) : TObjectField(owner) { SetDataType(TFieldType::ftADT); }
std::string TObjectField::GetAsString() const {
    std::string s = "(";
    for (int i = 0; i < FFields->Count(); ++i) {
        if (i) s += ", ";
        s += (*FFields)[i]->GetDisplayText();
    }
    return s + ")";
}
void TObjectField::GetFieldText(std::string& text, bool) const { text = GetAsString(); }

// ---------------------------------------------------------------- TFields

TField* TFields::GetField(int i) const {
    if (i < 0 || i >= Count()) throw EListError("List index out of bounds (" + std::to_string(i) + ")");
    return FList[i];
}
int TFields::IndexOf(const TField* f) const {
    auto it = std::find(FList.begin(), FList.end(), f);
    return it == FList.end() ? -1 : static_cast<int>(it - FList.begin());
}
namespace {

// A few loads and two multiplications, whatever the length: the first and last bytes and the
// length. Names alike at both ends only share a chain; the table compares whole names.
[[gnu::always_inline]] inline std::uint64_t NameHash(std::string_view s) {
    const std::size_t n = s.size();
    const char* p = s.data();
    std::uint64_t a = 0, b = 0;
    if (n >= 8) {
        std::memcpy(&a, p, 8);
        std::memcpy(&b, p + n - 8, 8);
    } else if (n >= 4) {
        std::uint32_t x, y;
        std::memcpy(&x, p, 4);
        std::memcpy(&y, p + n - 4, 4);
        a = x;
        b = y;
    } else if (n > 0) {
        a = static_cast<unsigned char>(p[0]) | static_cast<unsigned char>(p[n / 2]) << 8 |
            static_cast<unsigned char>(p[n - 1]) << 16;
    }
    std::uint64_t h = (a ^ 0x9E3779B97F4A7C15ull) * 0xBF58476D1CE4E5B9ull;
    h ^= (b + n) * 0x94D049BB133111EBull;
    return h ^ (h >> 29);
}

// Byte equality without a library call for the short names fields have.
[[gnu::always_inline]] inline bool SameBytes(std::string_view a, std::string_view b) {
    const std::size_t n = a.size();
    if (n != b.size()) return false;
    const char *p = a.data(), *q = b.data();
    if (n > 16) return std::memcmp(p, q, n) == 0;
    if (n >= 8) {
        std::uint64_t x0, y0, x1, y1;
        std::memcpy(&x0, p, 8);
        std::memcpy(&y0, q, 8);
        std::memcpy(&x1, p + n - 8, 8);
        std::memcpy(&y1, q + n - 8, 8);
        return ((x0 ^ y0) | (x1 ^ y1)) == 0;
    }
    if (n >= 4) {
        std::uint32_t x0, y0, x1, y1;
        std::memcpy(&x0, p, 4);
        std::memcpy(&y0, q, 4);
        std::memcpy(&x1, p + n - 4, 4);
        std::memcpy(&y1, q + n - 4, 4);
        return ((x0 ^ y0) | (x1 ^ y1)) == 0;
    }
    for (std::size_t i = 0; i < n; ++i)
        if (p[i] != q[i]) return false;
    return true;
}

// Two names are the same text exactly when their folds are equal: the comparison folds code
// point by code point (malformed bytes as U+FFFD) in the same way.
std::string FoldName(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            out += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
            ++i;
        } else {
            Utf8Append(out, UnicodeToLower(Utf8Decode(s, i)));
        }
    }
    return out;
}

}  // namespace

void TFields::BuildIndex() const {
    std::size_t size = 8;
    while (size < FList.size() * 2) size *= 2;
    FExact.assign(size, {});
    FFolded.assign(size, {});
    FLast = {};
    FFoldedNames.clear();
    FFoldedNames.reserve(FList.size());
    for (std::size_t pos = 0; pos < FList.size(); ++pos) {
        FFoldedNames.push_back(FoldName(FList[pos]->GetFieldName()));
        const std::string& key = FFoldedNames.back();
        const std::uint64_t h = NameHash(key);
        // Only the first of the fields whose names fold alike is ever found.
        if (Probe(h, key)) continue;
        std::size_t i = h & (size - 1);
        while (FFolded[i].Pos >= 0) i = (i + 1) & (size - 1);
        FFolded[i] = {h, static_cast<int>(pos)};
        const std::string& name = FList[pos]->GetFieldName();
        const std::uint64_t e = NameHash(name);
        i = e & (size - 1);
        while (FExact[i].Field) i = (i + 1) & (size - 1);
        TExactSlot& slot = FExact[i];
        slot.Hash = e;
        slot.Field = FList[pos];
        slot.Length = static_cast<std::uint32_t>(name.size());
        if (name.size() <= sizeof slot.Name) std::memcpy(slot.Name, name.data(), name.size());
    }
    FIndexValid = true;
}

TField* TFields::Probe(std::uint64_t hash, std::string_view folded) const {
    const std::size_t mask = FFolded.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const TNameSlot& s = FFolded[i];
        if (s.Pos < 0) return nullptr;
        const auto pos = static_cast<std::size_t>(s.Pos);
        if (s.Hash == hash && FFoldedNames[pos] == folded) return FList[pos];
    }
}

TField* TFields::FindExact(std::string_view name) const {
    const std::uint64_t h = NameHash(name);
    const std::size_t mask = FExact.size() - 1;
    for (std::size_t i = h & mask;; i = (i + 1) & mask) {
        const TExactSlot& s = FExact[i];
        if (!s.Field) return nullptr;
        if (s.Hash != h || s.Length != name.size()) continue;
        if (name.size() <= sizeof s.Name ? SameBytes(std::string_view(s.Name, s.Length), name)
                                         : s.Field->GetFieldName() == name)
            return s.Field;
    }
}

TField* TFields::FindIndexed(std::string_view name) const {
    if (FIndexValid) {
        if (TField* f = FindExact(name)) {
            if (name.size() <= sizeof FLast.Name) {
                FLast.Field = f;
                FLast.Length = static_cast<std::uint32_t>(name.size());
                std::memcpy(FLast.Name, name.data(), name.size());
            }
            return f;
        }
    }
    return FindOther(name);
}

// Kept apart so that the search of a name spelt as the field's stays small.
TField* TFields::FindOther(std::string_view name) const {
    if (FList.empty()) return nullptr;
    if (!FIndexValid) {
        BuildIndex();
        if (TField* f = FindExact(name)) return f;
    }
    const std::string key = FoldName(name);
    return Probe(NameHash(key), key);
}

TField* TFields::FieldByName(const std::string& name) const {
    TField* f = FindField(name);
    if (!f) DatabaseError("Field '" + name + "' not found", FDataSet ? FDataSet->GetName() : "");
    return f;
}
void TFields::Add(TField* f) {
    if (IndexOf(f) < 0) FList.push_back(f);
    FIndexValid = false;
}
void TFields::Remove(TField* f) {
    FList.erase(std::remove(FList.begin(), FList.end(), f), FList.end());
    FIndexValid = false;
}
void TFields::SetFieldIndex(TField* f, int index) {
    int cur = IndexOf(f);
    if (cur < 0) return;
    index = std::clamp(index, 0, Count() - 1);
    FList.erase(FList.begin() + cur);
    FList.insert(FList.begin() + index, f);
    FIndexValid = false;
}

TField* CreateFieldForType(TFieldType t, TComponent* owner) {
    using enum TFieldType;
    switch (t) {
        case ftString: case ftFixedChar: case ftGuid: {
            auto* f = new TStringField(owner);
            f->SetDataType(t);
            return f;
        }
        case ftWideString: case ftFixedWideChar: {
            auto* f = new TWideStringField(owner);
            f->SetDataType(t);
            return f;
        }
        case ftSmallint: case ftShortint: case ftByte: return new TSmallintField(owner);
        case ftInteger: case ftLongWord: return new TIntegerField(owner);
        case ftWord: return new TWordField(owner);
        case ftAutoInc: return new TAutoIncField(owner);
        case ftLargeint: return new TLargeintField(owner);
        case ftFloat: case ftExtended: case ftSingle: return new TFloatField(owner);
        case ftCurrency: return new TCurrencyField(owner);
        case ftBCD: case ftFMTBcd: {
            auto* f = new TBCDField(owner);
            f->SetDataType(t);
            return f;
        }
        case ftBoolean: return new TBooleanField(owner);
        case ftDate: return new TDateField(owner);
        case ftTime: return new TTimeField(owner);
        case ftDateTime: case ftTimeStamp: {
            auto* f = new TDateTimeField(owner);
            f->SetDataType(t);
            return f;
        }
        case ftBlob: case ftBytes: case ftVarBytes: case ftTypedBinary: {
            auto* f = new TBlobField(owner);
            f->SetDataType(t);
            return f;
        }
        case ftMemo: case ftFmtMemo: {
            auto* f = new TMemoField(owner);
            f->SetDataType(t);
            return f;
        }
        case ftWideMemo: return new TWideMemoField(owner);
        case ftGraphic: return new TGraphicField(owner);
        case ftADT: return new TADTField(owner);
        default: return nullptr;
    }
}

}  // namespace vel
