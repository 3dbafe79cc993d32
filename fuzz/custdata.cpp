// Drives TVelDBCustomData through a random sequence of inserts, appends, edits, deletes,
// posts, cancels, locates, lookups, bookmarks, record numbers and filter switches, against a
// model kept in a std::vector, and checks after every step that the source rows, the state,
// the current record and the record window agree with the model.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "data/VelDBCustData.h"
#include "platform/db/DataSource.h"
#include "platform/rtl/Utf8.h"

using namespace vel;

namespace {

constexpr int kNameSize = 4;
const char* const kNames[] = {"", "a", "AB", "abcdef", "ab\xC3\xA9", "\xC3\x89t\xC3\xA9", "Abc", "xyzw"};

struct TModelRow {
    std::optional<int> Id;
    std::optional<std::string> Name;
    bool operator==(const TModelRow&) const = default;
};

// What a string field of kNameSize shows of a longer text.
std::string Cut(const std::string& s) {
    std::size_t n = std::min<std::size_t>(s.size(), kNameSize);
    while (n > 0 && n < s.size() && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
    return s.substr(0, n);
}

Variant NameValue(const std::optional<std::string>& v) { return v ? Variant(Cut(*v)) : Variant::Null(); }

class TFuzzData : public TVelDBCustomData {
public:
    std::vector<TModelRow> Rows;
    ~TFuzzData() override {
        if (GetActive()) Close();
    }

protected:
    void InternalInitFieldDefs() override {
        if (GetFieldDefs().Count() == 0) {
            GetFieldDefs().Add("ID", TFieldType::ftInteger);
            GetFieldDefs().Add("Name", TFieldType::ftString, kNameSize);
        }
    }
    void DoOnCountRecords(int& count) override { count = static_cast<int>(Rows.size()); }
    void DoOnGetFieldData(int index, TField* field, Variant& value) override {
        const TModelRow& r = Rows.at(static_cast<std::size_t>(index));
        if (field->GetFieldName() == "ID")
            value = r.Id ? Variant(*r.Id) : Variant::Null();
        else
            value = r.Name ? Variant(*r.Name) : Variant::Null();
    }
    void DoOnInsertRecord(int index) override {
        if (index < 0 || index > static_cast<int>(Rows.size())) Fail("insert index out of range");
        Rows.insert(Rows.begin() + index, TModelRow{});
    }
    void DoOnSetFieldData(int index, TField* field, const Variant& value) override {
        TModelRow& r = Rows.at(static_cast<std::size_t>(index));
        if (field->GetFieldName() == "ID")
            r.Id = value.IsNull() ? std::nullopt : std::optional<int>(value.AsInteger());
        else
            r.Name = value.IsNull() ? std::nullopt : std::optional<std::string>(value.AsString());
    }
    void DoOnDeleteRecord(int index) override {
        if (index < 0 || index >= static_cast<int>(Rows.size())) Fail("delete index out of range");
        Rows.erase(Rows.begin() + index);
    }

public:
    [[noreturn]] static void Fail(const std::string& what) {
        std::fprintf(stderr, "custdata model mismatch: %s\n", what.c_str());
        std::abort();
    }
};

bool Accepts(const TModelRow& r) { return !r.Id || *r.Id % 3 != 0; }

enum class TModelState { Browse, Edit, Insert };

struct TModel {
    std::vector<TModelRow> Rows;
    bool Filtered = false;
    TModelState State = TModelState::Browse;
    int Cur = -1;  // row index of the current record (browse and edit), -1 when none is visible
    int InsertAt = 0;
    bool Appending = false;
    bool Modified = false;
    TModelRow Pending;  // the record being edited or inserted, as the fields show it
    bool WroteId = false, WroteName = false;

    bool Visible(int i) const { return !Filtered || Accepts(Rows[static_cast<std::size_t>(i)]); }
    int Count() const { return static_cast<int>(Rows.size()); }
    std::vector<int> View() const {
        std::vector<int> v;
        for (int i = 0; i < Count(); ++i)
            if (Visible(i)) v.push_back(i);
        return v;
    }
    // Where a resynchronised window lands: the first visible row at or after p, else the
    // last one before it.
    int LandAt(int p) const {
        for (int i = std::max(p, 0); i < Count(); ++i)
            if (Visible(i)) return i;
        for (int i = std::min(p, Count()) - 1; i >= 0; --i)
            if (Visible(i)) return i;
        return -1;
    }
    TModelRow Shown(int i) const {
        const TModelRow& r = Rows[static_cast<std::size_t>(i)];
        return {r.Id, r.Name ? std::optional<std::string>(Cut(*r.Name)) : std::nullopt};
    }

    void Post() {
        int p;
        if (State == TModelState::Edit) {
            p = Cur;
        } else {
            p = Appending ? Count() : InsertAt;
            Rows.insert(Rows.begin() + p, TModelRow{});
        }
        TModelRow& r = Rows[static_cast<std::size_t>(p)];
        if (WroteId) r.Id = Pending.Id;
        if (WroteName) r.Name = Pending.Name;
        State = TModelState::Browse;
        Cur = LandAt(p);
    }
    void Cancel() {
        if (State == TModelState::Browse) return;
        int p = State == TModelState::Edit ? Cur : Appending ? Count() : InsertAt;
        State = TModelState::Browse;
        Cur = LandAt(p);
    }
    void CheckBrowseMode() {
        if (State == TModelState::Browse) return;
        if (Modified)
            Post();
        else
            Cancel();
    }
    void StartInsert(bool append) {
        CheckBrowseMode();
        State = TModelState::Insert;
        Appending = append;
        InsertAt = Cur < 0 ? 0 : Cur;
        Pending = {};
        Modified = WroteId = WroteName = false;
    }
    void StartEdit() {
        if (State != TModelState::Browse) return;
        if (Cur < 0) {
            StartInsert(false);
            return;
        }
        State = TModelState::Edit;
        Pending = Shown(Cur);
        Modified = WroteId = WroteName = false;
    }
};

class TReader {
public:
    TReader(const std::uint8_t* data, std::size_t size) : FData(data), FSize(size) {}
    bool More() const { return FPos < FSize; }
    int Byte() { return FPos < FSize ? FData[FPos++] : 0; }

private:
    const std::uint8_t* FData;
    std::size_t FSize, FPos = 0;
};

struct TCheck {
    TFuzzData& Ds;
    TModel& M;
    vel::TDataLink& Link;

    TModelRow Current() {
        Variant id = Ds.FieldByName("ID")->GetAsVariant();
        Variant name = Ds.FieldByName("Name")->GetAsVariant();
        return {id.IsNull() ? std::nullopt : std::optional<int>(id.AsInteger()),
                name.IsNull() ? std::nullopt : std::optional<std::string>(name.AsString())};
    }

    void Run(int step) {
        auto fail = [&](const std::string& what) { TFuzzData::Fail("step " + std::to_string(step) + ": " + what); };
        if (Ds.Rows != M.Rows) fail("source rows differ");
        if (Ds.GetRecordCount() != M.Count()) fail("record count");
        TDataSetState want = M.State == TModelState::Browse ? TDataSetState::dsBrowse
                             : M.State == TModelState::Edit ? TDataSetState::dsEdit
                                                            : TDataSetState::dsInsert;
        if (Ds.GetState() != want) fail("state");
        if (M.State == TModelState::Browse) {
            if (Ds.IsEmpty() != (M.Cur < 0)) fail("emptiness");
            if (Ds.GetRecNo() != (M.Cur < 0 ? -1 : M.Cur + 1)) fail("record number");
            if (M.Cur >= 0 && !(Current() == M.Shown(M.Cur))) fail("current record");
            CheckWindow(fail);
        } else {
            if (Ds.GetRecNo() != (M.State == TModelState::Edit ? M.Cur + 1 : -1)) fail("record number while editing");
            if (!(Current() == M.Pending)) fail("edited record");
        }
    }

    template <typename F>
    void CheckWindow(F fail) {
        std::vector<int> view = M.View();
        int n = Link.GetRecordCount();
        if (n != std::min<int>(static_cast<int>(view.size()), Link.GetBufferCount())) fail("window size");
        if (M.Cur < 0) return;
        int active = Link.GetActiveRecord();
        int pos = static_cast<int>(std::find(view.begin(), view.end(), M.Cur) - view.begin());
        int first = pos - active;
        if (first < 0 || first + n > static_cast<int>(view.size())) fail("window position");
        for (int i = 0; i < n; ++i) {
            Link.SetActiveRecord(i);
            bool same = Current() == M.Shown(view[static_cast<std::size_t>(first + i)]);
            Link.SetActiveRecord(active);
            if (!same) fail("window row " + std::to_string(i));
        }
    }
};

bool NameMatches(const std::optional<std::string>& shown, const std::string& key, bool ci, bool partial) {
    if (!shown) return false;
    std::string text = *shown;
    if (partial) text = Utf8Copy(text, 0, Utf8Length(key));
    return ci ? Utf8SameText(text, key) : text == key;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TReader in(data, size);
    TModel m;
    int rows = in.Byte() % 12;
    for (int i = 0; i < rows; ++i) {
        int b = in.Byte();
        TModelRow r;
        if (b % 5 != 0) r.Id = b / 5 - 10;
        int n = in.Byte() % 9;
        if (n < 8) r.Name = kNames[n];
        m.Rows.push_back(r);
    }
    TFuzzData ds;
    ds.Rows = m.Rows;
    ds.SetOnFilterRecord([](TDataSet* d, bool& accept) {
        TField* id = d->FieldByName("ID");
        accept = id->IsNull() || id->GetAsInteger() % 3 != 0;
    });
    TDataSource source;
    source.SetDataSet(&ds);
    vel::TDataLink link;
    link.SetDataSource(&source);
    link.SetBufferCount(1 + in.Byte() % 4);
    ds.Open();
    m.Cur = m.LandAt(0);
    TCheck check{ds, m, link};
    check.Run(0);

    TBookmark mark;
    for (int step = 1; in.More() && step < 300; ++step) {
        const int op = in.Byte() % 19;
        const int arg = in.Byte();
        bool expectThrow = false;
        bool threw = false;
        try {
            switch (op) {
                case 0:
                    m.CheckBrowseMode();
                    m.Cur = m.LandAt(0);
                    ds.First();
                    break;
                case 1:
                    m.CheckBrowseMode();
                    m.Cur = m.LandAt(m.Count());
                    ds.Last();
                    break;
                case 2:
                case 3: {
                    m.CheckBrowseMode();
                    int step2 = op == 2 ? 1 : -1;
                    for (int i = m.Cur + step2; m.Cur >= 0 && i >= 0 && i < m.Count(); i += step2)
                        if (m.Visible(i)) {
                            m.Cur = i;
                            break;
                        }
                    ds.MoveBy(step2);
                    break;
                }
                case 4:
                    m.StartInsert(false);
                    ds.Insert();
                    break;
                case 5:
                    m.StartInsert(true);
                    ds.Append();
                    break;
                case 6:
                    m.StartEdit();
                    ds.Edit();
                    break;
                case 7: {
                    std::optional<int> v;
                    if (arg % 4 != 0) v = arg / 4 - 20;
                    if (m.State == TModelState::Browse) {
                        expectThrow = true;
                    } else {
                        m.Pending.Id = v;
                        m.WroteId = m.Modified = true;
                    }
                    if (v)
                        ds.FieldByName("ID")->SetAsInteger(*v);
                    else
                        ds.FieldByName("ID")->Clear();
                    break;
                }
                case 8: {
                    int n = arg % 9;
                    if (m.State == TModelState::Browse) {
                        expectThrow = true;
                    } else {
                        m.Pending.Name = n < 8 ? std::optional<std::string>(Cut(kNames[n])) : std::nullopt;
                        m.WroteName = m.Modified = true;
                    }
                    if (n < 8)
                        ds.FieldByName("Name")->SetAsString(kNames[n]);
                    else
                        ds.FieldByName("Name")->Clear();
                    break;
                }
                case 9:
                    if (m.State == TModelState::Browse)
                        expectThrow = true;
                    else
                        m.Post();
                    ds.Post();
                    break;
                case 10:
                    m.Cancel();
                    ds.Cancel();
                    break;
                case 11:
                    if (m.State == TModelState::Insert) {
                        m.Cancel();
                    } else if (m.Cur < 0) {
                        expectThrow = true;
                    } else {
                        int p = m.Cur;
                        m.State = TModelState::Browse;
                        m.Rows.erase(m.Rows.begin() + p);
                        m.Cur = m.LandAt(p);
                    }
                    ds.Delete();
                    break;
                case 12: {
                    m.CheckBrowseMode();
                    std::optional<int> key;
                    if (arg % 5 != 0) key = arg / 5 - 10;
                    int found = -1;
                    for (int i : m.View())
                        if (m.Rows[static_cast<std::size_t>(i)].Id == key) {
                            found = i;
                            break;
                        }
                    if (found >= 0) m.Cur = found;
                    bool got = ds.Locate("ID", key ? Variant(*key) : Variant::Null(), {});
                    if (got != (found >= 0)) TFuzzData::Fail("Locate ID result");
                    break;
                }
                case 13: {
                    m.CheckBrowseMode();
                    const std::string key = Cut(kNames[arg % 8]).substr(0, static_cast<std::size_t>(arg / 8 % 4));
                    bool ci = arg & 0x40, partial = arg & 0x80;
                    int found = -1;
                    for (int i : m.View())
                        if (NameMatches(m.Shown(i).Name, key, ci, partial)) {
                            found = i;
                            break;
                        }
                    if (found >= 0) m.Cur = found;
                    TLocateOptions options;
                    if (ci) options.Include(TLocateOption::loCaseInsensitive);
                    if (partial) options.Include(TLocateOption::loPartialKey);
                    bool got = ds.Locate("Name", key, options);
                    if (got != (found >= 0)) TFuzzData::Fail("Locate Name result");
                    break;
                }
                case 14: {
                    mark = ds.GetBookmark();
                    int want = m.State == TModelState::Insert ? -1 : m.Cur;
                    TBookmark expected;
                    if (want >= 0) {
                        expected.resize(4);
                        std::memcpy(expected.data(), &want, 4);
                    }
                    if (mark != expected) TFuzzData::Fail("bookmark");
                    break;
                }
                case 15:
                    if (!mark.empty()) {
                        m.CheckBrowseMode();
                        int index;
                        std::memcpy(&index, mark.data(), 4);
                        if (index >= m.Count() || !m.Visible(index))
                            expectThrow = true;
                        else
                            m.Cur = index;
                    }
                    ds.GotoBookmark(mark);
                    break;
                case 16:
                    m.CheckBrowseMode();
                    m.Filtered = !m.Filtered;
                    m.Cur = m.LandAt(0);
                    ds.SetFiltered(!ds.GetFiltered());
                    break;
                case 17:
                    m.CheckBrowseMode();
                    if (m.Count() > 0) {
                        int n = std::clamp(arg % 16 - 2, 1, m.Count());
                        if (m.Cur != n - 1) m.Cur = m.LandAt(n - 1);
                    }
                    ds.SetRecNo(arg % 16 - 2);
                    break;
                case 18: {
                    m.CheckBrowseMode();
                    int key = arg / 5 - 10;
                    Variant want = Variant::Null();
                    for (int i : m.View())
                        if (m.Rows[static_cast<std::size_t>(i)].Id == key) {
                            want = NameValue(m.Rows[static_cast<std::size_t>(i)].Name);
                            break;
                        }
                    Variant got = ds.Lookup("ID", key, "Name");
                    if (!(got == want)) TFuzzData::Fail("Lookup result");
                    break;
                }
            }
        } catch (const Exception&) {
            threw = true;
        }
        if (threw != expectThrow)
            TFuzzData::Fail("step " + std::to_string(step) + ": operation " + std::to_string(op) +
                            (threw ? " raised" : " did not raise"));
        check.Run(step);
    }
    return 0;
}
