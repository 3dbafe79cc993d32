// Columns as the designer and the options change them: moves refused at design time, the
// automatic columns leaving with their options.
#include <string>

#include "platform/db/DataSource.h"
#include "tests/grid/ColumnTestUtil.h"
#include "tests/grid/GridTestUtil.h"

using namespace vel;

namespace veltest {
namespace {

class ColumnEditingTest : public DBGridTest {
protected:
    void Attach(TDataSet* DataSet) {
        auto* source = new TDataSource(Form.get());
        source->SetDataSet(DataSet);
        Grid->SetDataSource(source);
    }
    TVelDBGridColumns* Cols() { return Grid->GetColumns(); }
    TVelColumn* Persistent(const std::string& FieldName) {
        TVelColumn* c = Cols()->Add();
        c->SetFieldName(FieldName);
        return c;
    }
    std::string Names() {
        std::string s;
        for (int i = 0; i < Cols()->Count(); ++i)
            s += (i ? "," : "") + Cols()->GetColumn(i)->GetFieldName();
        return s;
    }
    std::string Captions() {
        std::string s;
        for (int i = 0; i < Cols()->Count(); ++i)
            s += (i ? "," : "") + Cols()->GetColumn(i)->GetTitle()->GetCaption();
        return s;
    }
};

TEST_F(ColumnEditingTest, DesignTimeMovesAreRefusedWhileAColumnIsExpandable) {
    for (const char* n : {"A", "B", "C", "D"}) Persistent(n);
    Form->SetDesigning(true);
    ASSERT_TRUE(Grid->IsDesigning());
    // Nothing expandable: the designer moves freely.
    Cols()->GetColumn(3)->SetIndex(0);
    EXPECT_EQ(Names(), "D,A,B,C");

    Cols()->GetColumn(1)->SetExpandCols(1);  // A owns B
    Cols()->GetColumn(3)->SetIndex(0);
    EXPECT_EQ(Names(), "D,A,B,C");
    Cols()->GetColumn(0)->MoveTo(3);
    EXPECT_EQ(Names(), "D,A,B,C");

    // Inside a design update or a layout bracket the collection moves its own columns.
    Cols()->BeginDesignUpdate();
    Cols()->GetColumn(3)->SetIndex(0);
    Cols()->EndDesignUpdate();
    EXPECT_EQ(Names(), "C,D,A,B");
    Grid->BeginLayout();
    Cols()->GetColumn(1)->SetIndex(0);
    Grid->EndLayout();
    EXPECT_EQ(Names(), "D,C,A,B");

    // At run time the group moves as one.
    Form->SetDesigning(false);
    Cols()->GetColumn(2)->SetIndex(0);
    EXPECT_EQ(Names(), "A,B,D,C");
}

TEST_F(ColumnEditingTest, AutomaticColumnsLeaveWithTheirOptions) {
    using enum TVelDBGridOptionExt;
    auto table = MakeTable(2);
    Attach(table.get());
    Grid->SwitchOptionsExt({dgAutoNumberColumn, dgAutoSelectColumn, dgAutoExpandColumn}, true);
    ASSERT_EQ(Captions(), "No.,Select,Expand,ID,Name,Price");
    EXPECT_EQ(Cols()->GetState(), TDBGridColumnsState::csDefault);

    Grid->SwitchOptionsExt({dgAutoSelectColumn}, false);
    EXPECT_EQ(Captions(), "No.,Expand,ID,Name,Price");
    EXPECT_EQ(Grid->GetColCount(), 1 + 5);
    Grid->SwitchOptionsExt({dgAutoNumberColumn, dgAutoExpandColumn}, false);
    EXPECT_EQ(Captions(), "ID,Name,Price");
    EXPECT_EQ(Cols()->GetState(), TDBGridColumnsState::csDefault);

    // Persistent columns lose the automatic ones too, and keep their own.
    Grid->SwitchOptionsExt({dgAutoNumberColumn, dgAutoSelectColumn}, true);
    Cols()->RebuildColumns();
    // A check-box column bound to a field is not the "Select" column.
    TVelColumn* flag = Persistent("ID");
    flag->SetCheckBox(true);
    flag->GetTitle()->SetCaption("Mine");
    ASSERT_EQ(Captions(), "No.,Select,ID,Name,Price,Mine");
    Grid->SwitchOptionsExt({dgAutoNumberColumn}, false);
    EXPECT_EQ(Captions(), "Select,ID,Name,Price,Mine");
    Grid->SwitchOptionsExt({dgAutoSelectColumn}, false);
    EXPECT_EQ(Captions(), "ID,Name,Price,Mine");
    EXPECT_EQ(Cols()->GetState(), TDBGridColumnsState::csCustomized);
    // Switching an option that is already off removes nothing.
    Grid->SwitchOptionsExt({dgAutoExpandColumn}, false);
    EXPECT_EQ(Captions(), "ID,Name,Price,Mine");
    Grid->SetDataSource(nullptr);
}

}  // namespace
}  // namespace veltest
