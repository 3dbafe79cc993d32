#include "platform/classes/internal/FormText.h"

#include <charconv>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Utf8.h"

namespace vel {

namespace {

// Deep nesting is refused rather than risking the stack on hostile text.
constexpr int kMaxDepth = 64;

enum class TTok { tEnd, tIdent, tInteger, tFloat, tString, tSymbol, tBinary };

struct TToken {
    TTok Kind = TTok::tEnd;
    std::string Text;   // identifier, symbol, decoded string or binary bytes
    std::string Error;  // bad binary data, reported by the parser that knows the property
    std::int64_t Int = 0;
    double Float = 0;
    int Line = 1;
};

[[noreturn]] void Fail(int line, const std::string& message) {
    throw EReadError("Line " + std::to_string(line) + ": " + message);
}

class TLexer {
public:
    explicit TLexer(std::string_view text) : FText(text) { Next(); }
    const TToken& Cur() const { return FCur; }

    void Next() {
        SkipBlanks();
        FCur = TToken{};
        FCur.Line = FLine;
        if (FPos >= FText.size()) return;
        char c = FText[FPos];
        if (IsIdentStart(c)) {
            std::size_t start = FPos;
            while (FPos < FText.size() && (IsIdentChar(FText[FPos]) || FText[FPos] == '.')) ++FPos;
            FCur.Kind = TTok::tIdent;
            FCur.Text = std::string(FText.substr(start, FPos - start));
            if (FCur.Text.back() == '.') Fail(FLine, "Name '" + FCur.Text + "' ends with a dot");
        } else if (c == '\'' || c == '#') {
            ReadString();
        } else if (c == '{') {
            ReadBinary();
        } else if ((c >= '0' && c <= '9') || c == '-' || c == '+' || c == '$') {
            ReadNumber();
        } else if (std::string_view("=:[](),<>{}").find(c) != std::string_view::npos) {
            FCur.Kind = TTok::tSymbol;
            FCur.Text = std::string(1, c);
            ++FPos;
        } else {
            Fail(FLine, "Unexpected character '" + Printable(c) + "'");
        }
    }

    bool IsSymbol(char c) const { return FCur.Kind == TTok::tSymbol && FCur.Text[0] == c; }
    bool IsKeyword(std::string_view k) const {
        return FCur.Kind == TTok::tIdent && Utf8SameText(FCur.Text, k);
    }
    void ExpectSymbol(char c, const std::string& what) {
        if (!IsSymbol(c)) Fail(FCur.Line, std::string("Expected ") + what + " but found " + Describe());
        Next();
    }
    std::string ExpectIdent(const char* what) {
        if (FCur.Kind != TTok::tIdent) Fail(FCur.Line, std::string("Expected ") + what + " but found " + Describe());
        std::string s = FCur.Text;
        Next();
        return s;
    }
    std::string Describe() const {
        switch (FCur.Kind) {
            case TTok::tEnd: return "the end of the text";
            case TTok::tIdent: return "'" + FCur.Text + "'";
            case TTok::tInteger: return "the number " + std::to_string(FCur.Int);
            case TTok::tFloat: return "a number";
            case TTok::tString: return "a string";
            case TTok::tSymbol: return "'" + FCur.Text + "'";
            case TTok::tBinary: return "binary data";
        }
        return "?";
    }

private:
    static bool IsIdentStart(char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
    }
    static bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }
    static std::string Printable(char c) {
        auto u = static_cast<unsigned char>(c);
        if (u >= 32 && u < 127) return std::string(1, c);
        return "#" + std::to_string(u);
    }

    void SkipBlanks() {
        while (FPos < FText.size()) {
            char c = FText[FPos];
            if (c == '\n') {
                ++FLine;
                ++FPos;
            } else if (c == ' ' || c == '\t' || c == '\r') {
                ++FPos;
            } else {
                break;
            }
        }
    }

    // 'abc''d'#13#10'e' with "+" joining pieces across lines.
    void ReadString() {
        FCur.Kind = TTok::tString;
        std::string& out = FCur.Text;
        for (;;) {
            if (FPos < FText.size() && FText[FPos] == '\'') {
                ++FPos;
                for (;;) {
                    if (FPos >= FText.size() || FText[FPos] == '\n')
                        Fail(FCur.Line, "Unterminated string");
                    char c = FText[FPos++];
                    if (c == '\'') {
                        if (FPos < FText.size() && FText[FPos] == '\'') {
                            out += '\'';
                            ++FPos;
                            continue;
                        }
                        break;
                    }
                    out += c;
                }
            } else if (FPos < FText.size() && FText[FPos] == '#') {
                ++FPos;
                int base = 10;
                if (FPos < FText.size() && FText[FPos] == '$') {
                    base = 16;
                    ++FPos;
                }
                std::uint32_t v = 0;
                auto [end, ec] = std::from_chars(FText.data() + FPos, FText.data() + FText.size(), v, base);
                if (ec != std::errc() || end == FText.data() + FPos || v > 0x10FFFF)
                    Fail(FLine, "Bad character code after '#'");
                FPos = static_cast<std::size_t>(end - FText.data());
                if (v < 0x80)
                    out += static_cast<char>(v);
                else
                    Utf8Append(out, static_cast<char32_t>(v));
            } else {
                // A "+" continues the string on the next line.
                std::size_t save = FPos;
                int saveLine = FLine;
                SkipBlanks();
                if (FPos < FText.size() && FText[FPos] == '+') {
                    ++FPos;
                    SkipBlanks();
                    if (FPos < FText.size() && (FText[FPos] == '\'' || FText[FPos] == '#')) continue;
                    Fail(FLine, "Expected a string after '+'");
                }
                FPos = save;
                FLine = saveLine;
                return;
            }
        }
    }

    // { 0A1B... } hex digit pairs, spread over any number of lines.
    void ReadBinary() {
        FCur.Kind = TTok::tBinary;
        ++FPos;
        int high = -1;
        for (;;) {
            SkipBlanks();
            if (FPos >= FText.size()) {
                FCur.Error = "missing '}'";
                return;
            }
            char c = FText[FPos++];
            if (c == '}') break;
            int v = HexValue(c);
            if (v < 0) {
                if (FCur.Error.empty()) FCur.Error = "bad hex digit '" + Printable(c) + "'";
                // Resynchronise at the closing brace so the error names the right place.
                continue;
            }
            if (high < 0) {
                high = v;
            } else {
                FCur.Text += static_cast<char>(high << 4 | v);
                high = -1;
            }
        }
        if (high >= 0 && FCur.Error.empty()) FCur.Error = "odd number of hex digits";
    }

    static int HexValue(char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    }

    void ReadNumber() {
        std::size_t start = FPos;
        bool neg = false;
        if (FText[FPos] == '-' || FText[FPos] == '+') {
            neg = FText[FPos] == '-';
            ++FPos;
        }
        if (FPos < FText.size() && FText[FPos] == '$') {
            ++FPos;
            std::uint64_t v = 0;
            auto [end, ec] = std::from_chars(FText.data() + FPos, FText.data() + FText.size(), v, 16);
            if (ec != std::errc() || end == FText.data() + FPos) Fail(FLine, "Bad hexadecimal number");
            FPos = static_cast<std::size_t>(end - FText.data());
            FCur.Kind = TTok::tInteger;
            // $FFFFFFFF style values keep their bit pattern in 32 bits (colours).
            std::int64_t iv = v <= 0xFFFFFFFFull ? static_cast<std::int32_t>(static_cast<std::uint32_t>(v))
                                                 : static_cast<std::int64_t>(v);
            FCur.Int = neg ? -iv : iv;
            return;
        }
        std::size_t digits = FPos;
        while (FPos < FText.size() && FText[FPos] >= '0' && FText[FPos] <= '9') ++FPos;
        if (FPos == digits) Fail(FLine, "Expected a number after '" + std::string(1, FText[start]) + "'");
        bool isFloat = false;
        if (FPos < FText.size() && FText[FPos] == '.') {
            isFloat = true;
            ++FPos;
            while (FPos < FText.size() && FText[FPos] >= '0' && FText[FPos] <= '9') ++FPos;
        }
        if (FPos < FText.size() && (FText[FPos] == 'e' || FText[FPos] == 'E')) {
            isFloat = true;
            ++FPos;
            if (FPos < FText.size() && (FText[FPos] == '-' || FText[FPos] == '+')) ++FPos;
            while (FPos < FText.size() && FText[FPos] >= '0' && FText[FPos] <= '9') ++FPos;
        }
        std::string_view num = FText.substr(start, FPos - start);
        if (num.front() == '+') num.remove_prefix(1);
        if (isFloat) {
            double d = 0;
            auto [end, ec] = std::from_chars(num.data(), num.data() + num.size(), d);
            if (ec != std::errc() || end != num.data() + num.size())
                Fail(FLine, "Bad number '" + std::string(num) + "'");
            FCur.Kind = TTok::tFloat;
            FCur.Float = d;
        } else {
            std::int64_t v = 0;
            auto [end, ec] = std::from_chars(num.data(), num.data() + num.size(), v);
            if (ec != std::errc() || end != num.data() + num.size())
                Fail(FLine, "Number '" + std::string(num) + "' is out of range");
            FCur.Kind = TTok::tInteger;
            FCur.Int = v;
        }
    }

    std::string_view FText;
    std::size_t FPos = 0;
    int FLine = 1;
    TToken FCur;
};

class TParser {
public:
    explicit TParser(std::string_view text) : FLex(text) {}

    TFormObject ParseRoot() {
        TFormObject o = ParseObject(0);
        if (FLex.Cur().Kind != TTok::tEnd) Fail(FLex.Cur().Line, "Unexpected " + FLex.Describe() + " after the last 'end'");
        return o;
    }

    TFormValue ParseLoneCollection() {
        TFormValue v = ParseValue(0);
        if (v.Kind != TFormValue::TKind::vkCollection) Fail(v.Line, "Expected a collection ('<')");
        if (FLex.Cur().Kind != TTok::tEnd) Fail(FLex.Cur().Line, "Unexpected " + FLex.Describe() + " after the collection");
        return v;
    }

private:
    bool AtObjectStart() const {
        return FLex.IsKeyword("object") || FLex.IsKeyword("inherited") || FLex.IsKeyword("inline");
    }

    TFormObject ParseObject(int depth) {
        if (depth > kMaxDepth) Fail(FLex.Cur().Line, "Objects are nested too deeply");
        TFormObject o;
        o.Line = FLex.Cur().Line;
        if (!AtObjectStart()) Fail(o.Line, "Expected 'object' but found " + FLex.Describe());
        FLex.Next();
        std::string first = FLex.ExpectIdent("a component name or class name");
        if (FLex.IsSymbol(':')) {
            FLex.Next();
            o.Name = first;
            o.ClassName = FLex.ExpectIdent("a class name");
        } else {
            o.ClassName = first;
        }
        if (o.Name.find('.') != std::string::npos || o.ClassName.find('.') != std::string::npos)
            Fail(o.Line, "Bad object header '" + o.Name + ": " + o.ClassName + "'");
        const std::string outer = FObject;
        FObject = o.Name.empty() ? o.ClassName : o.Name;
        for (;;) {
            if (FLex.Cur().Kind == TTok::tEnd)
                Fail(FLex.Cur().Line, "Unterminated object " + (o.Name.empty() ? o.ClassName : o.Name) +
                                          " begun on line " + std::to_string(o.Line) + ": missing 'end'");
            if (FLex.IsKeyword("end")) {
                FLex.Next();
                FObject = outer;
                return o;
            }
            if (AtObjectStart()) {
                o.Children.push_back(ParseObject(depth + 1));
                FObject = o.Name.empty() ? o.ClassName : o.Name;
                continue;
            }
            o.Props.push_back(ParseProperty(depth));
        }
    }

    TFormProperty ParseProperty(int depth) {
        TFormProperty p;
        p.Line = FLex.Cur().Line;
        p.Path = FLex.ExpectIdent("a property name");
        FLex.ExpectSymbol('=', "'=' after " + p.Path);
        const std::string outer = FProperty;
        FProperty = p.Path;
        p.Value = ParseValue(depth + 1);
        FProperty = outer;
        return p;
    }

    TFormValue ParseValue(int depth) {
        if (depth > kMaxDepth) Fail(FLex.Cur().Line, "Values are nested too deeply");
        TFormValue v;
        const TToken& t = FLex.Cur();
        v.Line = t.Line;
        using K = TFormValue::TKind;
        switch (t.Kind) {
            case TTok::tInteger:
                v.Kind = K::vkInteger;
                v.Int = t.Int;
                FLex.Next();
                return v;
            case TTok::tFloat:
                v.Kind = K::vkFloat;
                v.Float = t.Float;
                FLex.Next();
                return v;
            case TTok::tString:
                v.Kind = K::vkString;
                v.Str = t.Text;
                FLex.Next();
                return v;
            case TTok::tIdent:
                v.Kind = K::vkIdent;
                v.Str = t.Text;
                FLex.Next();
                return v;
            case TTok::tBinary:
                if (!t.Error.empty())
                    Fail(t.Line, "Bad binary data in " +
                                     (FObject.empty() ? FProperty : FObject + "." + FProperty) +
                                     ": " + t.Error);
                v.Kind = K::vkBinary;
                v.Str = t.Text;
                FLex.Next();
                return v;
            case TTok::tEnd: Fail(t.Line, "Expected a value but found the end of the text");
            case TTok::tSymbol: break;
        }
        char c = t.Text[0];
        FLex.Next();
        if (c == '[') {
            v.Kind = K::vkSet;
            if (FLex.IsSymbol(']')) {
                FLex.Next();
                return v;
            }
            for (;;) {
                v.Names.push_back(FLex.ExpectIdent("a set element"));
                if (FLex.IsSymbol(']')) {
                    FLex.Next();
                    return v;
                }
                FLex.ExpectSymbol(',', "',' or ']' in a set");
            }
        }
        if (c == '(') {
            v.Kind = K::vkList;
            while (!FLex.IsSymbol(')')) {
                if (FLex.Cur().Kind == TTok::tEnd) Fail(v.Line, "Unterminated list: missing ')'");
                v.List.push_back(ParseValue(depth + 1));
            }
            FLex.Next();
            return v;
        }
        if (c == '<') {
            v.Kind = K::vkCollection;
            while (!FLex.IsSymbol('>')) {
                TFormItem item;
                item.Line = FLex.Cur().Line;
                if (!FLex.IsKeyword("item"))
                    Fail(item.Line, "Expected 'item' or '>' in a collection but found " + FLex.Describe());
                FLex.Next();
                if (FLex.IsSymbol('[')) {  // optional item index, as older texts write it
                    FLex.Next();
                    if (FLex.Cur().Kind != TTok::tInteger) Fail(FLex.Cur().Line, "Expected an item index");
                    FLex.Next();
                    FLex.ExpectSymbol(']', "']'");
                }
                for (;;) {
                    if (FLex.Cur().Kind == TTok::tEnd)
                        Fail(item.Line, "Unterminated collection item: missing 'end'");
                    if (FLex.IsKeyword("end")) break;
                    item.Props.push_back(ParseProperty(depth + 1));
                }
                FLex.Next();
                v.Items.push_back(std::move(item));
            }
            FLex.Next();
            return v;
        }
        Fail(t.Line, "Expected a value but found '" + std::string(1, c) + "'");
    }

    TLexer FLex;
    std::string FObject;    // name (or class) of the object being parsed, for messages
    std::string FProperty;  // property whose value is being parsed
};

}  // namespace

TFormObject ParseFormText(std::string_view Text) { return TParser(Text).ParseRoot(); }

TFormValue ParseCollectionText(std::string_view Text) { return TParser(Text).ParseLoneCollection(); }

const char* FormValueKindName(TFormValue::TKind Kind) {
    switch (Kind) {
        case TFormValue::TKind::vkInteger: return "an integer";
        case TFormValue::TKind::vkFloat: return "a number";
        case TFormValue::TKind::vkString: return "a string";
        case TFormValue::TKind::vkIdent: return "an identifier";
        case TFormValue::TKind::vkSet: return "a set";
        case TFormValue::TKind::vkList: return "a list";
        case TFormValue::TKind::vkCollection: return "a collection";
        case TFormValue::TKind::vkBinary: return "binary data";
    }
    return "a value";
}

}  // namespace vel
