#pragma once
// A grid on a client dataset with one field of each kind the filter form treats apart, and a
// filter form on a column of it.
#include <memory>
#include <string>

#include "filter/VelDBFilter.h"
#include "platform/db/ClientDataSet.h"
#include "platform/db/DataSource.h"
#include "platform/rtl/FormatSettings.h"
#include "tests/grid/GridTestUtil.h"

namespace veltest {

class FilterFormTest : public DBGridTest {
protected:
    FilterFormTest() : FLocale(vel::TFormatSettings::Create("en-US")) {
        Table = MakeTable(std::make_unique<vel::TClientDataSet>());
        Source = new vel::TDataSource(Form.get());
        Source->SetDataSet(Table.get());
        Grid->SetDataSource(Source);
    }
    ~FilterFormTest() override { Grid->SetDataSource(nullptr); }

    // Fills a table of any in-memory class: ID, Name, Unit Price, Day, At, Stamp; six rows.
    static std::unique_ptr<vel::TMemDataSet> MakeTable(std::unique_ptr<vel::TMemDataSet> t) {
        using enum vel::TFieldType;
        std::unique_ptr<vel::TMemDataSet> Table = std::move(t);
        Table->GetFieldDefs().Add("ID", ftInteger);
        Table->GetFieldDefs().Add("Name", ftString, 30);
        Table->GetFieldDefs().Add("Unit Price", ftFloat);
        Table->GetFieldDefs().Add("Day", ftDate);
        Table->GetFieldDefs().Add("At", ftTime);
        Table->GetFieldDefs().Add("Stamp", ftDateTime);
        Table->CreateDataSet();
        const char* names[] = {"ab", "abc", "xaby", "b", "c", "it's"};
        for (int i = 0; i < 6; ++i) {
            Table->Append();
            Table->FieldByName("ID")->SetAsInteger(i + 1);
            Table->FieldByName("Name")->SetAsString(names[i]);
            Table->FieldByName("Unit Price")->SetAsFloat(1.5 * (i + 1));
            Table->Post();
        }
        Table->First();
        return Table;
    }

    // A filter form on a new column over the field.
    vel::TVelDBGridFilterForm FormOn(const std::string& FieldName) {
        vel::TVelColumn* c = Grid->GetColumns()->Add();
        c->SetFieldName(FieldName);
        return vel::TVelDBGridFilterForm(c);
    }
    // The text one condition composes to.
    std::string One(const std::string& FieldName, vel::TVelDBGridFilterClause Clause,
                    const std::string& Value) {
        vel::TVelDBGridFilterForm f = FormOn(FieldName);
        f.SetClause1(Clause);
        f.Value1 = Value;
        return f.ComposeFilterText();
    }
    int Count() {
        int n = 0;
        for (Table->First(); !Table->GetEOF(); Table->Next()) ++n;
        return n;
    }

    vel::TFormatSettingsScope FLocale;
    std::unique_ptr<vel::TMemDataSet> Table;
    vel::TDataSource* Source = nullptr;
};

}  // namespace veltest
