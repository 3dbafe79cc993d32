#pragma once
// Texts of the filter form: clause captions and expression templates, wildcards, joiners and
// the dataset class families. All are assignable so that an application can translate them.
#include <string>

#include "grid/GridFilter.h"

namespace vel {

#define VEL_FILTER_CLAUSE_TEXTS(X) X(0) X(1) X(2) X(3) X(4) X(5) X(6) X(7) X(8) X(9) X(10) \
    X(11) X(12) X(13) X(14) X(15) X(16)
#define VEL_FILTER_CLAUSE_DECLARE(N) extern std::string SFilterCaption##N; \
    extern std::string SFilterFormat##N;
VEL_FILTER_CLAUSE_TEXTS(VEL_FILTER_CLAUSE_DECLARE)
#undef VEL_FILTER_CLAUSE_DECLARE

// The ADO family's filter language tests for Null with "= NULL" and "<> NULL".
extern std::string SADOFilterFormat15;
extern std::string SADOFilterFormat16;

extern std::string SWildcardCharacter1;  // any one character
extern std::string SWildcardCharacter2;  // any text
extern std::string SFilterDecimalSeparator;
extern std::string SPeriodDivider;
extern std::string SFilterAnd;
extern std::string SFilterOr;
extern std::string SFilterReverse;
extern std::string SInvalidFilterExpression;

extern std::string ADOClassNames;
extern std::string BDEClassNames;
extern std::string CDSClassNames;
extern std::string FDXClassNames;

// The current caption and template of a clause (empty for values out of range).
const std::string& FilterCaption(TVelDBGridFilterClause clause);
const std::string& FilterFormat(TVelDBGridFilterClause clause);

enum class TFilterFamily { ffOther, ffADO, ffBDE, ffCDS, ffFDX };
// Decided by the exact class name: a family matches when the name occurs in its list text.
TFilterFamily FilterFamilyOf(const std::string& className);

}  // namespace vel
