#pragma once
// Form streaming: components, their published properties, collections and nested
// components as readable text.
//
//   object Form1: TForm1
//     Caption = 'It''s mine'#13#10'second line'
//     Color = clBtnFace
//     object Grid1: TVelDBGrid
//       DataSource = DataSource1          <- references by name, also "Form2.Table1"
//       Options = [dgEditing, dgTitles]
//       Font.Name = 'Arial'               <- owned sub-objects as nested names
//       Columns = <
//         item
//           FieldName = 'ID'
//         end>
//       Items.Strings = (                 <- string lists (TStrings)
//         'a'
//         'b')
//       Picture.Data = {                  <- binary data of a defined property, in hex
//         0954506E67496D616765}
//     end
//   end
//
// Objects may add stream data of their own with DefineProperties (TFiler::DefineProperty).
// Only stored values that differ from their defaults are written. Reading creates the
// components by registered class name with csLoading and csReading set, resolves every
// reference once everything is read, then calls Loaded once on every component. Bad text
// raises EReadError (EClassNotFound for an unknown class) whose message starts with
// "Line N: "; whatever the failed read created is freed.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/classes/Errors.h"
#include "platform/classes/Object.h"

namespace vel {

class TComponent;
class TCollection;
class TStream;
class TReader;
class TWriter;
struct TFormValue;

class TFiler {
public:
    using TReaderProc = std::function<void(TReader&)>;
    using TWriterProc = std::function<void(TWriter&)>;
    virtual ~TFiler() = default;
    // Stream data that is not a published property. When writing, WriteData writes exactly one
    // value and is called only when HasData; when reading, ReadData reads the value.
    virtual void DefineProperty(const std::string& Name, const TReaderProc& ReadData,
                                const TWriterProc& WriteData, bool HasData) = 0;
    // The top component being read or written (nullptr for a collection on its own).
    TComponent* Root() const { return FRoot; }

protected:
    TComponent* FRoot = nullptr;
};

class TReader : public TFiler {
public:
    void DefineProperty(const std::string& Name, const TReaderProc& ReadData,
                        const TWriterProc& WriteData, bool HasData) override;
    // The value of the defined property being read; each raises EReadError on a wrong type.
    std::string ReadString();
    std::int64_t ReadInteger();
    double ReadFloat();
    bool ReadBoolean();
    std::string ReadIdent();
    std::vector<std::string> ReadStrings();  // ( 'a' 'b' )
    std::vector<std::uint8_t> ReadBinary();  // { 0A1B }
    // Clears Collection and reads its items (< item ... end >).
    void ReadCollection(TCollection* Collection);

private:
    friend class TFormReader;
    struct TImpl;
    explicit TReader(TImpl& Impl) : FImpl(Impl) {}
    TImpl& FImpl;
};

class TWriter : public TFiler {
public:
    void DefineProperty(const std::string& Name, const TReaderProc& ReadData,
                        const TWriterProc& WriteData, bool HasData) override;
    void WriteString(const std::string& Value);
    void WriteInteger(std::int64_t Value);
    void WriteFloat(double Value);
    void WriteBoolean(bool Value);
    void WriteIdent(const std::string& Value);
    void WriteStrings(const std::vector<std::string>& Values);
    void WriteBinary(const std::uint8_t* Data, std::size_t Size);
    void WriteCollection(const TCollection* Collection);

private:
    friend class TFormWriter;
    struct TImpl;
    explicit TWriter(TImpl& Impl) : FImpl(Impl) {}
    TImpl& FImpl;
};

// The text form of Root with its properties and children.
std::string ComponentToText(const TComponent* Root);
// Reads a form text. With Instance the text's properties and children go into it (its class
// must be the text's class or a descendant); otherwise the root is created, owned by Owner.
// Returns the root.
TComponent* ReadComponentText(std::string_view Text, TComponent* Instance = nullptr,
                              TComponent* Owner = nullptr);

// A collection on its own ("< item ... end >"). References in the items are resolved
// against Root's components (and global components).
std::string CollectionToText(const TCollection* Collection);
void ReadCollectionText(std::string_view Text, TCollection* Collection, TComponent* Root = nullptr);

// Files are written to a temporary name and renamed over the target.
void SaveComponentToFile(const TComponent* Root, const std::string& FileName);
TComponent* LoadComponentFromFile(const std::string& FileName, TComponent* Instance = nullptr,
                                  TComponent* Owner = nullptr);
void SaveCollectionToFile(const TCollection* Collection, const std::string& FileName);
void LoadCollectionFromFile(const std::string& FileName, TCollection* Collection,
                            TComponent* Root = nullptr);

// The same through streams: the whole rest of the stream is one text.
void WriteComponent(TStream* Stream, const TComponent* Root);
TComponent* ReadComponent(TStream* Stream, TComponent* Instance = nullptr, TComponent* Owner = nullptr);
void WriteCollection(TStream* Stream, const TCollection* Collection);
void ReadCollection(TStream* Stream, TCollection* Collection, TComponent* Root = nullptr);

// Text quoting of the form format: 'It''s' with control characters as #nn.
std::string QuoteFormString(std::string_view Value);

}  // namespace vel
