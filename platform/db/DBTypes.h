#pragma once
// Enumerations and small types shared by fields, datasets, links and the in-memory table.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/classes/Alignment.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TSet.h"

namespace vel {

struct TEnumInfo;

// Field data types in their classic order: the numbers are stored in files and settings.
enum class TFieldType {
    ftUnknown, ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat, ftCurrency, ftBCD,
    ftDate, ftTime, ftDateTime, ftBytes, ftVarBytes, ftAutoInc, ftBlob, ftMemo, ftGraphic,
    ftFmtMemo, ftParadoxOle, ftDBaseOle, ftTypedBinary, ftCursor, ftFixedChar, ftWideString,
    ftLargeint, ftADT, ftArray, ftReference, ftDataSet, ftOraBlob, ftOraClob, ftVariant,
    ftInterface, ftIDispatch, ftGuid, ftTimeStamp, ftFMTBcd, ftFixedWideChar, ftWideMemo,
    ftOraTimeStamp, ftOraInterval, ftLongWord, ftShortint, ftByte, ftExtended, ftConnection,
    ftParams, ftStream, ftTimeStampOffset, ftObject, ftSingle
};
// "String", "Integer", … as the classic type names (used in messages).
std::string FieldTypeName(TFieldType t);
bool IsStringType(TFieldType t);     // ftString, ftFixedChar, ftWideString, ftGuid, ftFixedWideChar
bool IsDateTimeType(TFieldType t);   // ftDate, ftTime, ftDateTime, ftTimeStamp
bool IsIntegerType(TFieldType t);    // small/integer/word/autoinc/largeint/longword/shortint/byte
bool IsFloatType(TFieldType t);      // float, currency, BCD, FMTBcd, extended, single
bool IsBlobType(TFieldType t);       // blob, memo, graphic, fmtmemo, widememo …

enum class TFieldKind { fkData, fkCalculated, fkLookup, fkInternalCalc, fkAggregate };
using TFieldKinds = TSet<TFieldKind>;

enum class TDataSetState {
    dsInactive, dsBrowse, dsEdit, dsInsert, dsSetKey, dsCalcFields, dsFilter, dsNewValue,
    dsOldValue, dsCurValue, dsBlockRead, dsInternalCalc, dsOpening
};

// What the pending edit of the current record is.
enum class TUpdateStatus { usUnmodified, usModified, usInserted, usDeleted };

enum class TDataEvent {
    deFieldChange, deRecordChange, deDataSetChange, deDataSetScroll, deLayoutChange,
    deUpdateRecord, deUpdateState, deCheckBrowseMode, dePropertyChange, deFieldListChange,
    deFocusControl, deParentScroll, deConnectChange, deReconcileError, deDisabledStateChange
};

enum class TGetMode { gmCurrent, gmNext, gmPrior };
enum class TGetResult { grOK, grBOF, grEOF, grError };
enum class TBookmarkFlag { bfCurrent, bfBOF, bfEOF, bfInserted };
enum class TResyncModeItem { rmExact, rmCenter };
using TResyncMode = TSet<TResyncModeItem>;

enum class TLocateOption { loCaseInsensitive, loPartialKey };
using TLocateOptions = TSet<TLocateOption>;

enum class TFilterOption { foCaseInsensitive, foNoPartialCompare };
using TFilterOptions = TSet<TFilterOption>;

enum class TIndexOption {
    ixPrimary, ixUnique, ixDescending, ixCaseInsensitive, ixExpression, ixNonMaintained
};
using TIndexOptions = TSet<TIndexOption>;

enum class TFieldAttribute { faHiddenCol, faReadonly, faRequired, faLink, faUnNamed, faFixed };
using TFieldAttributes = TSet<TFieldAttribute>;

enum class TBlobStreamMode { bmRead, bmWrite, bmReadWrite };

enum class TAutoCreateMode { acExclusive, acCombineComputed, acCombineAlways };

// Value-name tables for publishing (defined in DBTypes.cpp).
const TEnumInfo* EnumTypeInfo(TFieldType*);
const TEnumInfo* EnumTypeInfo(TFieldKind*);
const TEnumInfo* EnumTypeInfo(TDataSetState*);
const TEnumInfo* EnumTypeInfo(TFilterOption*);
const TEnumInfo* EnumTypeInfo(TIndexOption*);
const TEnumInfo* EnumTypeInfo(TAutoCreateMode*);

// Bookmarks are opaque byte strings; the dataset compares them in cursor order.
using TBookmark = std::vector<std::uint8_t>;
using TRecordBuffer = std::uint8_t*;

VEL_DECLARE_EXCEPTION(EDatabaseError, Exception)

// Raises EDatabaseError; with a component name the message is prefixed by it ("Table1: ").
[[noreturn]] void DatabaseError(const std::string& message, const std::string& componentName = {});
// Format(fmt, args) then DatabaseError; a bad format raises EConvertError instead.
[[noreturn]] void DatabaseErrorFmt(const std::string& fmt, std::initializer_list<TFormatArg> args,
                                   const std::string& componentName = {});

// Splits "A;B,C" into names (both separators are accepted, blanks around names trimmed).
std::vector<std::string> SplitFieldNames(const std::string& names);

}  // namespace vel
