// Form text reader: any input either reads or raises a vel::Exception; what reads must write
// and read back to the same text.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Collection.h"
#include "platform/classes/Component.h"
#include "platform/classes/Streaming.h"
#include "platform/classes/Strings.h"
#include "platform/classes/TypInfo.h"
#include "platform/rtl/Exceptions.h"

namespace vel {
namespace {

constexpr TColor clWindow = static_cast<TColor>(0xFF000005);

enum class TFzKind { fkOne, fkTwo, fkThree };
VEL_ENUM_INFO(TFzKind, fkOne, fkTwo, fkThree)
enum class TFzFlag { ffA, ffB, ffC, ffD };
VEL_ENUM_INFO(TFzFlag, ffA, ffB, ffC, ffD)

class TFzSub : public TPersistent {
    VEL_CLASS(TFzSub)
public:
    std::string Text;
    int Size = 8;
    char32_t Mark = 0;
    const std::string& GetText() const { return Text; }
    void SetText(const std::string& v) { Text = v; }
    int GetSize() const { return Size; }
    void SetSize(int v) { Size = v; }
    char32_t GetMark() const { return Mark; }
    void SetMark(char32_t v) { Mark = v; }
};
VEL_DEFINE_CLASS(TFzSub, TPersistent)
VEL_PUBLISHED(TFzSub) {
    Prop("Text", &T::GetText, &T::SetText);
    Prop("Size", &T::GetSize, &T::SetSize, 8);
    Prop("Mark", &T::GetMark, &T::SetMark);
}

class TFzItem : public TCollectionItem {
    VEL_CLASS(TFzItem)
public:
    explicit TFzItem(TCollection* c) : TCollectionItem(c) {}
    std::string Field;
    TFzKind Kind = TFzKind::fkOne;
    TComponent* Ref = nullptr;
    TFzSub Sub;
    const std::string& GetField() const { return Field; }
    void SetField(const std::string& v) { Field = v; }
    TFzKind GetKind() const { return Kind; }
    void SetKind(TFzKind v) { Kind = v; }
    TComponent* GetRef() const { return Ref; }
    void SetRef(TComponent* v) {
        Ref = v;
        auto* owner = dynamic_cast<TComponent*>(GetCollection()->Owner());
        if (v && owner) v->FreeNotification(owner);
    }
    TFzSub* GetSub() { return &Sub; }
};
VEL_DEFINE_ITEM_CLASS(TFzItem, TCollectionItem)
VEL_PUBLISHED(TFzItem) {
    Prop("Field", &T::GetField, &T::SetField);
    Prop("Kind", &T::GetKind, &T::SetKind, TFzKind::fkOne);
    Prop("Ref", &T::GetRef, &T::SetRef);
    Prop("Sub", &T::GetSub);
}

class TFzNode : public TComponent {
    VEL_CLASS(TFzNode)
public:
    explicit TFzNode(TComponent* owner)
        : TComponent(owner), Items(TFzItem::StaticClass(), this) {}
    ~TFzNode() override { Items.Clear(); }
    bool Flag = false;
    std::int64_t Big = 0;
    double Ratio = 0;
    TColor Color = clWindow;
    TSet<TFzFlag> Flags{TFzFlag::ffA};
    TFzNode* Link = nullptr;
    TFzSub Sub;
    TCollection Items;
    TStringList Lines;
    std::string Extra;
    std::vector<std::uint8_t> Blob;

    bool GetFlag() const { return Flag; }
    void SetFlag(bool v) { Flag = v; }
    std::int64_t GetBig() const { return Big; }
    void SetBig(std::int64_t v) { Big = v; }
    double GetRatio() const { return Ratio; }
    void SetRatio(double v) { Ratio = v; }
    TColor GetColor() const { return Color; }
    void SetColor(TColor v) { Color = v; }
    TSet<TFzFlag> GetFlags() const { return Flags; }
    void SetFlags(TSet<TFzFlag> v) { Flags = v; }
    TFzNode* GetLink() const { return Link; }
    void SetLink(TFzNode* v) {
        Link = v;
        if (v) v->FreeNotification(this);
    }
    TFzSub* GetSub() { return &Sub; }
    TCollection* GetItems() { return &Items; }
    TStringList* GetLines() { return &Lines; }
    void Notification(TComponent* c, TOperation op) override {
        TComponent::Notification(c, op);
        if (op != TOperation::opRemove) return;
        if (c == Link) Link = nullptr;
        for (int i = 0; i < Items.Count(); ++i) {
            auto* it = static_cast<TFzItem*>(Items.GetItem(i));
            if (it->Ref == c) it->Ref = nullptr;
        }
    }
    void DefineProperties(TFiler& f) override {
        f.DefineProperty(
            "Extra", [this](TReader& r) { Extra = r.ReadString(); },
            [this](TWriter& w) { w.WriteString(Extra); }, !Extra.empty());
        f.DefineProperty(
            "Blob", [this](TReader& r) { Blob = r.ReadBinary(); },
            [this](TWriter& w) { w.WriteBinary(Blob.data(), Blob.size()); }, !Blob.empty());
    }
};
VEL_DEFINE_CREATABLE_CLASS(TFzNode, TComponent)
VEL_PUBLISHED(TFzNode) {
    Prop("Flag", &T::GetFlag, &T::SetFlag, false);
    Prop("Big", &T::GetBig, &T::SetBig, std::int64_t{0});
    Prop("Ratio", &T::GetRatio, &T::SetRatio);
    Color("Color", &T::GetColor, &T::SetColor, clWindow);
    Prop("Flags", &T::GetFlags, &T::SetFlags, TSet<TFzFlag>{TFzFlag::ffA});
    Prop("Link", &T::GetLink, &T::SetLink);
    Prop("Sub", &T::GetSub);
    Prop("Items", &T::GetItems);
    Prop("Lines", &T::GetLines);
}

}  // namespace
}  // namespace vel

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vel;
    std::string text(reinterpret_cast<const char*>(data), size);
    std::unique_ptr<TComponent> root;
    try {
        root.reset(ReadComponentText(text));
    } catch (const Exception&) {
        return 0;
    }
    std::string once = ComponentToText(root.get());
    std::unique_ptr<TComponent> again(ReadComponentText(once));
    if (ComponentToText(again.get()) != once) __builtin_trap();
    return 0;
}
