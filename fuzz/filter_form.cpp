// Typed filter values: any value on any clause and field type, for a client dataset, a
// FireDAC-style table and a class outside every family, either filters (the dataset, the
// column and the composed text agree) or is refused with "Invalid filter expression" and the
// previous filter kept.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "filter/VelDBFilter.h"
#include "grid/VelDBGrids.h"
#include "platform/db/ClientDataSet.h"
#include "platform/db/DataSource.h"
#include "platform/rtl/Exceptions.h"

namespace {

using namespace vel;

const char* const kFields[] = {"ID", "Name", "Unit Price", "Day", "At", "Stamp", "Amount"};

std::unique_ptr<TMemDataSet> Make(std::unique_ptr<TMemDataSet> ds) {
    using enum TFieldType;
    ds->GetFieldDefs().Add("ID", ftInteger);
    ds->GetFieldDefs().Add("Name", ftString, 20);
    ds->GetFieldDefs().Add("Unit Price", ftFloat);
    ds->GetFieldDefs().Add("Day", ftDate);
    ds->GetFieldDefs().Add("At", ftTime);
    ds->GetFieldDefs().Add("Stamp", ftDateTime);
    ds->GetFieldDefs().Add("Amount", ftCurrency);
    ds->CreateDataSet();
    for (int i = 0; i < 8; ++i) {
        ds->Append();
        ds->FieldByName("ID")->SetAsInteger(i);
        ds->FieldByName("Name")->SetAsString(std::string(1, char('a' + i)) + "'%_[");
        ds->FieldByName("Unit Price")->SetAsFloat(i * 1.25);
        ds->FieldByName("Day")->SetAsDateTime(46000 + i);
        ds->FieldByName("At")->SetAsDateTime(i / 8.0);
        ds->FieldByName("Stamp")->SetAsDateTime(46000 + i / 3.0);
        ds->Post();
    }
    return ds;
}

struct TWorld {
    std::unique_ptr<TMemDataSet> Sets[3] = {Make(std::make_unique<TClientDataSet>()),
                                           Make(std::make_unique<TFDMemTable>()),
                                           Make(std::make_unique<TMemDataSet>())};
    TDataSource Source{nullptr};
    TVelDBGrid Grid{nullptr};
    TWorld() {
        Grid.SetDataSource(&Source);
        for (const char* f : kFields) Grid.GetColumns()->Add()->SetFieldName(f);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    static TWorld* world = new TWorld;
    TMemDataSet* ds = world->Sets[data[0] % 3].get();
    world->Source.SetDataSet(ds);
    world->Grid.GetFilterGrid()->SetDecimalSeparator(data[0] & 4);
    TVelColumn* column = world->Grid.GetColumns()->GetColumn(data[1] % 7);
    TVelDBGridFilterForm form(column);
    form.SetClause1(static_cast<TVelDBGridFilterClause>(data[2] % 17));
    form.Reverse = data[2] & 0x80;
    form.AndSelected = data[2] & 0x40;
    const std::string typed(reinterpret_cast<const char*>(data) + 3, size - 3);
    const auto cut = typed.find('\n');
    form.Value1 = typed.substr(0, cut);
    if (cut != std::string::npos) {
        form.SetClause2(static_cast<TVelDBGridFilterClause>((data[2] >> 1) % 17));
        form.Value2 = typed.substr(cut + 1);
    }
    const std::string before = ds->GetFilter();
    const std::string columnBefore = column->GetFilterText();
    const bool filteredBefore = ds->GetFiltered();
    try {
        form.SaveFilterForm();
    } catch (const EDatabaseError& e) {
        if (std::string(e.what()).rfind("Invalid filter expression: ", 0) != 0) __builtin_trap();
        if (ds->GetFilter() != before || ds->GetFiltered() != filteredBefore) __builtin_trap();
        if (column->GetFilterText() != columnBefore) __builtin_trap();
        return 0;
    }
    if (ds->GetFilter() != column->GetFilterText()) __builtin_trap();
    if (ds->GetFiltered() != !ds->GetFilter().empty()) __builtin_trap();
    int n = 0;
    for (ds->First(); !ds->GetEOF(); ds->Next()) ++n;
    if (n > 8) __builtin_trap();
    return 0;
}
