#pragma once
// The filter form's operations: the filter field and its dataset family, normalising and
// quoting typed values, composing the column's filter text from two conditions, and the
// ready-made periods. The form's controls come later; until then the form keeps their state
// (clause key texts, values, the AND/OR choice, the reverse box, the selected period) here.
#include <string>
#include <vector>

#include "filter/FilterConsts.h"
#include "filter/FilterPeriods.h"
#include "grid/GridColumns.h"
#include "platform/db/Fields.h"

namespace vel {

class TDataSet;

struct TVelDBGridFilterPeriodItem {
    int ID;
    int ParentID;
    std::string Caption;
};

class TVelDBGridFilterForm {
public:
    explicit TVelDBGridFilterForm(TVelColumn* Column);

    TVelColumn* GetColumn() const { return FColumn; }
    // The dataset of the column's grid; raises EDatabaseError when there is none.
    TDataSet* GetDataSet() const;
    // The dataset's field named by the column's KeyField; the dataset's error when missing.
    TField* GetFilterField() const;
    // The field name, in brackets when it holds a blank.
    std::string GetFilterFieldName() const;
    TFilterFamily GetFamily() const;
    // The grid filter's clauses less those the dataset family cannot express.
    TVelDBGridFilterClauses GetFilterClauses() const;
    // The reverse-conditions option is hidden for the ADO family.
    bool GetReverseAllowed() const { return GetFamily() != TFilterFamily::ffADO; }
    char GetDecimalSeparator() const;
    char32_t GetDelimiterChar() const;
    // Normalises a typed value in place for the field's type and the dataset family.
    void CheckFilterText(TVelDBGridFilterClause Clause, std::string& Text) const;
    // The template of a clause, with the ADO family's own Null tests.
    std::string GetFilterFormat(TVelDBGridFilterClause Clause) const;

    // The controls' state. Clause texts are the clause lists' key values (numbers).
    std::string Clause1, Clause2;
    std::string Value1, Value2;
    bool AndSelected = true;
    bool Reverse = false;
    std::string PeriodText;  // the selected period's ID

    void SetClause1(TVelDBGridFilterClause C) { Clause1 = std::to_string(static_cast<int>(C)); }
    void SetClause2(TVelDBGridFilterClause C) { Clause2 = std::to_string(static_cast<int>(C)); }

    // The expression the controls describe, normalising the values as it goes.
    std::string ComposeFilterText();
    // Composes and installs the expression as the column's filter. A text the dataset rejects
    // puts the previous text back and raises "Invalid filter expression: %s".
    void SaveFilterForm();
    // The periods listed for the filter field under the grid filter's Periods, in table order.
    std::vector<TVelDBGridFilterPeriodItem> LoadPeriodData() const;
    // Turns the selected period into the two conditions joined with AND.
    void SavePeriodData();

private:
    TVelColumn* FColumn;
};

// Puts Text in force as the column's filter: the column's FilterText and, until the grid's
// auto-filter applies column filters, the dataset's Filter. A rejected text restores both and
// raises "Invalid filter expression: %s".
void InstallColumnFilterText(TVelColumn* Column, TDataSet* DataSet, const std::string& Text);

}  // namespace vel
