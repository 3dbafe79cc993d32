#include "platform/db/DBTypes.h"

#include "platform/classes/PropAccess.h"
#include "platform/rtl/Utf8.h"

namespace vel {

VEL_ENUM_INFO(TFieldType, ftUnknown, ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat,
              ftCurrency, ftBCD, ftDate, ftTime, ftDateTime, ftBytes, ftVarBytes, ftAutoInc, ftBlob,
              ftMemo, ftGraphic, ftFmtMemo, ftParadoxOle, ftDBaseOle, ftTypedBinary, ftCursor,
              ftFixedChar, ftWideString, ftLargeint, ftADT, ftArray, ftReference, ftDataSet,
              ftOraBlob, ftOraClob, ftVariant, ftInterface, ftIDispatch, ftGuid, ftTimeStamp,
              ftFMTBcd, ftFixedWideChar, ftWideMemo, ftOraTimeStamp, ftOraInterval, ftLongWord,
              ftShortint, ftByte, ftExtended, ftConnection, ftParams, ftStream, ftTimeStampOffset,
              ftObject, ftSingle)
VEL_ENUM_INFO(TFieldKind, fkData, fkCalculated, fkLookup, fkInternalCalc, fkAggregate)
VEL_ENUM_INFO(TDataSetState, dsInactive, dsBrowse, dsEdit, dsInsert, dsSetKey, dsCalcFields,
              dsFilter, dsNewValue, dsOldValue, dsCurValue, dsBlockRead, dsInternalCalc, dsOpening)
VEL_ENUM_INFO(TFilterOption, foCaseInsensitive, foNoPartialCompare)
VEL_ENUM_INFO(TIndexOption, ixPrimary, ixUnique, ixDescending, ixCaseInsensitive, ixExpression,
              ixNonMaintained)
VEL_ENUM_INFO(TAutoCreateMode, acExclusive, acCombineComputed, acCombineAlways)

std::string FieldTypeName(TFieldType t) {
    static const char* const names[] = {
        "Unknown", "String", "SmallInt", "Integer", "Word", "Boolean", "Float", "Currency", "BCD",
        "Date", "Time", "DateTime", "Bytes", "VarBytes", "AutoInc", "Blob", "Memo", "Graphic",
        "FmtMemo", "ParadoxOle", "DBaseOle", "TypedBinary", "Cursor", "FixedChar", "WideString",
        "LargeInt", "ADT", "Array", "Reference", "DataSet", "OraBlob", "OraClob", "Variant",
        "Interface", "IDispatch", "Guid", "TimeStamp", "FMTBcd", "FixedWideChar", "WideMemo",
        "OraTimeStamp", "OraInterval", "LongWord", "ShortInt", "Byte", "Extended", "Connection",
        "Params", "Stream", "TimeStampOffset", "Object", "Single"};
    auto i = static_cast<std::size_t>(t);
    return i < sizeof(names) / sizeof(names[0]) ? names[i] : "Unknown";
}

bool IsStringType(TFieldType t) {
    using enum TFieldType;
    return t == ftString || t == ftFixedChar || t == ftWideString || t == ftGuid ||
           t == ftFixedWideChar;
}

bool IsDateTimeType(TFieldType t) {
    using enum TFieldType;
    return t == ftDate || t == ftTime || t == ftDateTime || t == ftTimeStamp;
}

bool IsIntegerType(TFieldType t) {
    using enum TFieldType;
    return t == ftSmallint || t == ftInteger || t == ftWord || t == ftAutoInc ||
           t == ftLargeint || t == ftLongWord || t == ftShortint || t == ftByte;
}

bool IsFloatType(TFieldType t) {
    using enum TFieldType;
    return t == ftFloat || t == ftCurrency || t == ftBCD || t == ftFMTBcd || t == ftExtended ||
           t == ftSingle;
}

bool IsBlobType(TFieldType t) {
    using enum TFieldType;
    return t == ftBlob || t == ftMemo || t == ftGraphic || t == ftFmtMemo || t == ftTypedBinary ||
           t == ftWideMemo || t == ftOraBlob || t == ftOraClob || t == ftBytes || t == ftVarBytes;
}

void DatabaseError(const std::string& message, const std::string& componentName) {
    if (componentName.empty()) throw EDatabaseError(message);
    throw EDatabaseError(componentName + ": " + message);
}

void DatabaseErrorFmt(const std::string& fmt, std::initializer_list<TFormatArg> args,
                      const std::string& componentName) {
    DatabaseError(Format(fmt, args), componentName);
}

std::vector<std::string> SplitFieldNames(const std::string& names) {
    std::vector<std::string> out;
    std::string cur;
    auto flush = [&] {
        std::size_t b = cur.find_first_not_of(" \t");
        std::size_t e = cur.find_last_not_of(" \t");
        if (b != std::string::npos) out.push_back(cur.substr(b, e - b + 1));
        cur.clear();
    };
    for (char c : names) {
        if (c == ';' || c == ',')
            flush();
        else
            cur += c;
    }
    flush();
    return out;
}

}  // namespace vel
