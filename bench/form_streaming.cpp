// Form streaming and property access by name on a form of 1000 components with 20 columns
// each (the size of a large data module or a grid-heavy form).
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "platform/classes/Collection.h"
#include "platform/classes/Component.h"
#include "platform/classes/Streaming.h"
#include "platform/classes/TypInfo.h"

namespace vel {
namespace {

enum class TBmAlign { baLeft, baRight, baCenter };
VEL_ENUM_INFO(TBmAlign, baLeft, baRight, baCenter)

class TBmColumn : public TCollectionItem {
    VEL_CLASS(TBmColumn)
public:
    explicit TBmColumn(TCollection* c) : TCollectionItem(c) {}
    std::string FieldName;
    int Width = 64;
    TBmAlign Align = TBmAlign::baLeft;
    const std::string& GetFieldName() const { return FieldName; }
    void SetFieldName(const std::string& v) { FieldName = v; }
    int GetWidth() const { return Width; }
    void SetWidth(int v) { Width = v; }
    TBmAlign GetAlign() const { return Align; }
    void SetAlign(TBmAlign v) { Align = v; }
};
VEL_DEFINE_ITEM_CLASS(TBmColumn, TCollectionItem)
VEL_PUBLISHED(TBmColumn) {
    Prop("FieldName", &T::GetFieldName, &T::SetFieldName);
    Prop("Width", &T::GetWidth, &T::SetWidth, 64);
    Prop("Align", &T::GetAlign, &T::SetAlign, TBmAlign::baLeft);
}

class TBmGrid : public TComponent {
    VEL_CLASS(TBmGrid)
public:
    explicit TBmGrid(TComponent* owner) : TComponent(owner), Columns(TBmColumn::StaticClass(), this) {}
    ~TBmGrid() override { Columns.Clear(); }
    TCollection Columns;
    TBmGrid* Master = nullptr;
    std::string Hint;
    int Lines = 1;
    TCollection* GetColumns() { return &Columns; }
    TBmGrid* GetMaster() const { return Master; }
    void SetMaster(TBmGrid* v) { Master = v; }
    const std::string& GetHint() const { return Hint; }
    void SetHint(const std::string& v) { Hint = v; }
    int GetLines() const { return Lines; }
    void SetLines(int v) { Lines = v; }
    void Notification(TComponent* c, TOperation op) override {
        TComponent::Notification(c, op);
        if (op == TOperation::opRemove && c == Master) Master = nullptr;
    }
};
VEL_DEFINE_CREATABLE_CLASS(TBmGrid, TComponent)
VEL_PUBLISHED(TBmGrid) {
    Prop("Columns", &T::GetColumns);
    Prop("Master", &T::GetMaster, &T::SetMaster);
    Prop("Hint", &T::GetHint, &T::SetHint);
    Prop("Lines", &T::GetLines, &T::SetLines, 1);
}

std::unique_ptr<TComponent> MakeForm(int components) {
    auto form = std::make_unique<TComponent>(nullptr);
    form->SetName("Form1");
    TBmGrid* prev = nullptr;
    for (int i = 0; i < components; ++i) {
        auto* g = new TBmGrid(form.get());
        g->SetName("Grid" + std::to_string(i));
        g->Hint = "grid number " + std::to_string(i);
        g->Lines = i % 3 + 1;
        g->Master = prev;
        prev = g;
        for (int c = 0; c < 20; ++c) {
            auto* col = static_cast<TBmColumn*>(g->Columns.Add());
            col->FieldName = "Field" + std::to_string(c);
            col->Width = 40 + c;
            col->Align = static_cast<TBmAlign>(c % 3);
        }
    }
    return form;
}

void BM_WriteForm_1000Components(benchmark::State& state) {
    auto form = MakeForm(1000);
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string text = ComponentToText(form.get());
        bytes = text.size();
        benchmark::DoNotOptimize(text);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes) * state.iterations());
}
BENCHMARK(BM_WriteForm_1000Components)->Unit(benchmark::kMillisecond);

void BM_ReadForm_1000Components(benchmark::State& state) {
    std::string text = ComponentToText(MakeForm(1000).get());
    for (auto _ : state) {
        std::unique_ptr<TComponent> form(ReadComponentText(text));
        benchmark::DoNotOptimize(form.get());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(text.size()) * state.iterations());
}
BENCHMARK(BM_ReadForm_1000Components)->Unit(benchmark::kMillisecond);

void BM_GetStrPropDotted_1M(benchmark::State& state) {
    auto form = MakeForm(2);
    TComponent* g = form->FindComponent("Grid1");
    for (auto _ : state) {
        for (int i = 0; i < 1000000; ++i) benchmark::DoNotOptimize(GetStrProp(g, "Master.Hint"));
    }
}
BENCHMARK(BM_GetStrPropDotted_1M)->Unit(benchmark::kMillisecond);

void BM_DestroyForm_1000Components(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto form = MakeForm(1000);
        state.ResumeTiming();
        form.reset();
    }
}
BENCHMARK(BM_DestroyForm_1000Components)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vel
