#include "filter/FilterConsts.h"

namespace vel {

std::string SFilterCaption0;
std::string SFilterCaption1 = "contains";
std::string SFilterCaption2 = "does not contain";
std::string SFilterCaption3 = "starts from";
std::string SFilterCaption4 = "does not start from";
std::string SFilterCaption5 = "ends with";
std::string SFilterCaption6 = "does not end with";
std::string SFilterCaption7 = "is equal";
std::string SFilterCaption8 = "is not equal";
std::string SFilterCaption9 = "is greater then";
std::string SFilterCaption10 = "is greater then or equal";
std::string SFilterCaption11 = "is less then";
std::string SFilterCaption12 = "is less then or equal";
std::string SFilterCaption13 = "is on the list";
std::string SFilterCaption14 = "is not on the list";
std::string SFilterCaption15 = "is empty";
std::string SFilterCaption16 = "is not empty";

std::string SFilterFormat0;
std::string SFilterFormat1 = "%0:s LIKE '%2:s%1:s%2:s'";
std::string SFilterFormat2 = "NOT %0:s LIKE '%2:s%1:s%2:s'";
std::string SFilterFormat3 = "%0:s LIKE '%1:s%2:s'";
std::string SFilterFormat4 = "NOT %0:s LIKE '%1:s%2:s'";
std::string SFilterFormat5 = "%0:s LIKE '%2:s%1:s'";
std::string SFilterFormat6 = "NOT %0:s LIKE '%2:s%1:s'";
std::string SFilterFormat7 = "%0:s = %1:s";
std::string SFilterFormat8 = "%0:s <> %1:s";
std::string SFilterFormat9 = "%0:s > %1:s";
std::string SFilterFormat10 = "%0:s >= %1:s";
std::string SFilterFormat11 = "%0:s < %1:s";
std::string SFilterFormat12 = "%0:s <= %1:s";
std::string SFilterFormat13 = "%0:s IN (%1:s)";
std::string SFilterFormat14 = "NOT %0:s IN (%1:s)";
std::string SFilterFormat15 = "%0:s IS NULL";
std::string SFilterFormat16 = "%0:s IS NOT NULL";

std::string SADOFilterFormat15 = "%0:s = NULL";
std::string SADOFilterFormat16 = "%0:s <> NULL";

std::string SWildcardCharacter1 = "_";
std::string SWildcardCharacter2 = "%";
std::string SFilterDecimalSeparator = ".";
std::string SPeriodDivider = " \u00F7 ";
std::string SFilterAnd = " AND ";
std::string SFilterOr = " OR ";
std::string SFilterReverse = "NOT (%s)";
std::string SInvalidFilterExpression = "Invalid filter expression: %s";

std::string ADOClassNames = "TADOTable.TADOQuery.TADODataSet.";
std::string BDEClassNames = "TTable.TQuery.";
std::string CDSClassNames =
    "TClientDataSet.TSimpleDataSet.TBDEClientDataSet.TIBClientDataSet.TSQLClientDataSet."
    "TpFIBClientDataSet.";
std::string FDXClassNames = "TFDTable.TFDQuery.TFDMemTable.TADTable.TADQuery.TADMemTable.";

namespace {
#define VEL_FILTER_CAPTION_PTR(N) &SFilterCaption##N,
#define VEL_FILTER_FORMAT_PTR(N) &SFilterFormat##N,
const std::string* const Captions[] = {VEL_FILTER_CLAUSE_TEXTS(VEL_FILTER_CAPTION_PTR)};
const std::string* const Formats[] = {VEL_FILTER_CLAUSE_TEXTS(VEL_FILTER_FORMAT_PTR)};
#undef VEL_FILTER_CAPTION_PTR
#undef VEL_FILTER_FORMAT_PTR
const std::string Empty;

const std::string& Pick(const std::string* const* list, TVelDBGridFilterClause clause) {
    const int i = static_cast<int>(clause);
    return i >= 0 && i < 17 ? *list[i] : Empty;
}
}  // namespace

const std::string& FilterCaption(TVelDBGridFilterClause clause) { return Pick(Captions, clause); }
const std::string& FilterFormat(TVelDBGridFilterClause clause) { return Pick(Formats, clause); }

TFilterFamily FilterFamilyOf(const std::string& className) {
    if (className.empty()) return TFilterFamily::ffOther;
    auto in = [&](const std::string& list) { return list.find(className) != std::string::npos; };
    if (in(ADOClassNames)) return TFilterFamily::ffADO;
    if (in(BDEClassNames)) return TFilterFamily::ffBDE;
    if (in(CDSClassNames)) return TFilterFamily::ffCDS;
    if (in(FDXClassNames)) return TFilterFamily::ffFDX;
    return TFilterFamily::ffOther;
}

}  // namespace vel
