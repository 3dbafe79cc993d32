#include "platform/db/FilterExpr.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <utility>

#include "platform/db/DBTypes.h"
#include "platform/db/FieldText.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Utf8.h"

namespace vel {

enum class TFilterOp : std::uint8_t { Eq, Ne, Lt, Gt, Le, Ge };

struct TFilterLiteral {
    enum class Kind : std::uint8_t { Null, Number, String, Bool } K = Kind::Null;
    std::string Text;  // source text of a number or the string's value
    double Num = 0;
    bool IsInt = false;
    bool CommaFraction = false;  // "1,5" read with the locale's comma
    bool BoolValue = false;
};

// Functions a filter may call; the names are matched without regard to case.
enum class TFilterFunc : std::uint8_t {
    Upper, Lower, Substring, Trim, TrimLeft, TrimRight, Year, Month, Day, Hour, Minute, Second,
    GetDate, Date, Time
};

// What a value expression yields, decided when the filter is bound.
enum class ValClass : std::uint8_t { Str, Int, Float, Date, Bool, Other };

struct TFilterNode {
    enum class Kind : std::uint8_t {
        And, Or, Not, Compare, Like, In, IsNull, Field, Literal, Const, Arith, Func
    } K;
    TFilterOp Op = TFilterOp::Eq;
    bool Negate = false;
    std::size_t Pos = 0;
    std::vector<std::unique_ptr<TFilterNode>> Kids;
    // Field
    std::string Name;
    int Slot = -1;
    TFieldType Type = TFieldType::ftUnknown;
    // Literal (parsed) and its bound value
    TFilterLiteral Lit;
    TFilterValue Value;
    std::string Storage;
    // Compare on text: prefix match from a trailing '*'
    bool Partial = false;
    bool CaseInsensitive = false;
    // Like: pattern shape
    enum class LikeShape : std::uint8_t { Exact, Prefix, Suffix, Contains, General } Shape = LikeShape::General;
    std::vector<TFilterValue> Set;  // In: bound values
    std::vector<std::string> SetStorage;
    // Arith ('+', '-', '*', '/', and 'n' for negation) and Func, with their result class; text
    // results live in Scratch until the node is evaluated again.
    char ArOp = 0;
    TFilterFunc Fn = TFilterFunc::Upper;
    ValClass Result = ValClass::Other;
    mutable std::string Scratch;

    explicit TFilterNode(Kind k, std::size_t pos = 0) : K(k), Pos(pos) {}
};

namespace {

[[noreturn]] void Fail(const std::string& text, std::size_t pos, const std::string& what) {
    throw EDatabaseError("Invalid filter expression \"" + text + "\": " + what + " at position " +
                         std::to_string(pos + 1));
}

// ---------------------------------------------------------------- lexer

enum class Tok : std::uint8_t {
    End, Name, String, Number, LParen, RParen, Comma, Eq, Ne, Lt, Gt, Le, Ge, Minus, Plus, Star,
    Slash,
    And, Or, Not, Like, In, Is, Null, True, False
};

struct Token {
    Tok T = Tok::End;
    std::size_t Pos = 0;
    std::string Text;
    TFilterLiteral Lit;
};

class Lexer {
public:
    Lexer(const std::string& s, char decSep) : S(s), Dec(decSep) {}

    Token Next() {
        while (P < S.size() && std::isspace(static_cast<unsigned char>(S[P]))) ++P;
        Token t;
        t.Pos = P;
        if (P >= S.size()) return t;
        char c = S[P];
        auto one = [&](Tok k) {
            ++P;
            t.T = k;
            return t;
        };
        switch (c) {
            case '(': return one(Tok::LParen);
            case ')': return one(Tok::RParen);
            case ',': return one(Tok::Comma);
            case '=': return one(Tok::Eq);
            case '-': return one(Tok::Minus);
            case '+': return one(Tok::Plus);
            case '*': return one(Tok::Star);
            case '/': return one(Tok::Slash);
            case '<':
                ++P;
                if (P < S.size() && S[P] == '>') return one(Tok::Ne);
                if (P < S.size() && S[P] == '=') return one(Tok::Le);
                t.T = Tok::Lt;
                return t;
            case '>':
                ++P;
                if (P < S.size() && S[P] == '=') return one(Tok::Ge);
                t.T = Tok::Gt;
                return t;
            case '!':
                if (P + 1 < S.size() && S[P + 1] == '=') {
                    P += 2;
                    t.T = Tok::Ne;
                    return t;
                }
                Fail(S, P, "unexpected character '!'");
            case '\'': return QuotedString(t);
            case '[': {
                std::size_t e = S.find(']', P + 1);
                if (e == std::string::npos) Fail(S, P, "missing ']' after field name");
                t.T = Tok::Name;
                t.Text = S.substr(P + 1, e - P - 1);
                if (t.Text.empty()) Fail(S, P, "empty field name");
                P = e + 1;
                return t;
            }
            case '"': {
                std::size_t e = S.find('"', P + 1);
                if (e == std::string::npos) Fail(S, P, "missing closing '\"'");
                t.T = Tok::Name;
                t.Text = S.substr(P + 1, e - P - 1);
                if (t.Text.empty()) Fail(S, P, "empty field name");
                P = e + 1;
                return t;
            }
            default: break;
        }
        if (std::isdigit(static_cast<unsigned char>(c)) ||
            (c == '.' && P + 1 < S.size() && std::isdigit(static_cast<unsigned char>(S[P + 1]))))
            return NumberTok(t);
        if (std::isalpha(static_cast<unsigned char>(c)) || c == '_' || static_cast<unsigned char>(c) >= 0x80) {
            std::size_t b = P;
            while (P < S.size() && (std::isalnum(static_cast<unsigned char>(S[P])) || S[P] == '_' ||
                                    S[P] == '.' || static_cast<unsigned char>(S[P]) >= 0x80))
                ++P;
            t.Text = S.substr(b, P - b);
            std::string up;
            for (char ch : t.Text) up += static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
            t.T = up == "AND" ? Tok::And : up == "OR" ? Tok::Or : up == "NOT" ? Tok::Not
                : up == "LIKE" ? Tok::Like : up == "IN" ? Tok::In : up == "IS" ? Tok::Is
                : up == "NULL" ? Tok::Null : up == "TRUE" ? Tok::True : up == "FALSE" ? Tok::False
                : Tok::Name;
            return t;
        }
        Fail(S, P, std::string("unexpected character '") + c + "'");
    }

private:
    Token QuotedString(Token& t) {
        std::string v;
        ++P;
        for (;;) {
            if (P >= S.size()) Fail(S, t.Pos, "unterminated string");
            if (S[P] == '\'') {
                if (P + 1 < S.size() && S[P + 1] == '\'') {
                    v += '\'';
                    P += 2;
                    continue;
                }
                ++P;
                break;
            }
            v += S[P++];
        }
        t.T = Tok::String;
        t.Lit.K = TFilterLiteral::Kind::String;
        t.Lit.Text = std::move(v);
        return t;
    }

    Token NumberTok(Token& t) {
        std::size_t b = P;
        std::string norm;
        auto digits = [&] {
            while (P < S.size() && std::isdigit(static_cast<unsigned char>(S[P]))) norm += S[P++];
        };
        digits();
        bool frac = false;
        if (P + 1 < S.size() && (S[P] == '.' || S[P] == Dec) &&
            std::isdigit(static_cast<unsigned char>(S[P + 1]))) {
            t.Lit.CommaFraction = S[P] == ',';
            frac = true;
            norm += '.';
            ++P;
            digits();
        } else if (P < S.size() && S[P] == '.' && norm.size() > 0 &&
                   (P + 1 >= S.size() || !std::isalpha(static_cast<unsigned char>(S[P + 1])))) {
            ++P;  // "5." is 5
            frac = true;
        }
        if (P < S.size() && (S[P] == 'e' || S[P] == 'E')) {
            std::size_t q = P + 1;
            if (q < S.size() && (S[q] == '+' || S[q] == '-')) ++q;
            if (q < S.size() && std::isdigit(static_cast<unsigned char>(S[q]))) {
                norm += 'e';
                norm.append(S, P + 1, q - P - 1);
                P = q;
                digits();
                frac = true;
            }
        }
        if (P < S.size() && (std::isalpha(static_cast<unsigned char>(S[P])) || S[P] == '_'))
            Fail(S, b, "malformed number '" + S.substr(b, P - b + 1) + "'");
        t.T = Tok::Number;
        t.Lit.K = TFilterLiteral::Kind::Number;
        t.Lit.Text = S.substr(b, P - b);
        t.Lit.Num = std::strtod(norm.c_str(), nullptr);
        t.Lit.IsInt = !frac && norm.size() <= 18;
        return t;
    }

    const std::string& S;
    char Dec;
    std::size_t P = 0;
};

// ---------------------------------------------------------------- parser

class Parser {
public:
    Parser(const std::string& s) : S(s), L(s, FormatSettings().DecimalSeparator) { Advance(); }

    std::unique_ptr<TFilterNode> ParseAll() {
        if (Cur.T == Tok::End) Fail(S, 0, "the expression is empty");
        auto n = Or();
        if (Cur.T != Tok::End) Fail(S, Cur.Pos, "unexpected '" + Describe() + "'");
        return n;
    }

private:
    void Advance() { Cur = L.Next(); }
    std::string Describe() const {
        if (Cur.T == Tok::End) return "end of text";
        std::size_t e = Cur.Pos;
        while (e < S.size() && !std::isspace(static_cast<unsigned char>(S[e]))) ++e;
        return S.substr(Cur.Pos, std::max<std::size_t>(1, e - Cur.Pos));
    }
    void Expect(Tok t, const char* what) {
        if (Cur.T != t) Fail(S, Cur.Pos, std::string(what) + " expected, found '" + Describe() + "'");
        Advance();
    }

    using Next = std::unique_ptr<TFilterNode> (Parser::*)();
    // A left-associative chain of `next` operands joined by the operators in `ops` (token and
    // the node's operator character).
    std::unique_ptr<TFilterNode> Chain(Next next, TFilterNode::Kind kind,
                                       std::initializer_list<std::pair<Tok, char>> ops) {
        auto left = (this->*next)();
        for (;;) {
            char op = 0;
            for (const auto& [t, c] : ops)
                if (Cur.T == t) op = c;
            if (!op) return left;
            auto n = std::make_unique<TFilterNode>(kind, Cur.Pos);
            n->ArOp = op;
            Advance();
            n->Kids.push_back(std::move(left));
            n->Kids.push_back((this->*next)());
            left = std::move(n);
        }
    }
    std::unique_ptr<TFilterNode> Or() {
        return Chain(&Parser::And, TFilterNode::Kind::Or, {{Tok::Or, '|'}});
    }
    std::unique_ptr<TFilterNode> And() {
        return Chain(&Parser::Not, TFilterNode::Kind::And, {{Tok::And, '&'}});
    }
    std::unique_ptr<TFilterNode> Not() {
        if (Cur.T == Tok::Not) {
            auto n = std::make_unique<TFilterNode>(TFilterNode::Kind::Not, Cur.Pos);
            Advance();
            if (++Depth > 200) Fail(S, n->Pos, "expression nested too deeply");
            n->Kids.push_back(Not());
            --Depth;
            return n;
        }
        return Predicate();
    }

    std::unique_ptr<TFilterNode> Predicate() {
        auto left = Value();
        std::size_t pos = Cur.Pos;
        auto cmp = [&](TFilterOp op) {
            Advance();
            auto n = std::make_unique<TFilterNode>(TFilterNode::Kind::Compare, pos);
            n->Op = op;
            n->Kids.push_back(std::move(left));
            n->Kids.push_back(Value());
            // "= NULL" and "<> NULL" test for Null.
            if (n->Kids[1]->K == TFilterNode::Kind::Literal &&
                n->Kids[1]->Lit.K == TFilterLiteral::Kind::Null) {
                if (op != TFilterOp::Eq && op != TFilterOp::Ne)
                    Fail(S, pos, "NULL can only be compared with = or <>");
                auto isn = std::make_unique<TFilterNode>(TFilterNode::Kind::IsNull, pos);
                isn->Negate = op == TFilterOp::Ne;
                isn->Kids.push_back(std::move(n->Kids[0]));
                return isn;
            }
            return n;
        };
        switch (Cur.T) {
            case Tok::Eq: return cmp(TFilterOp::Eq);
            case Tok::Ne: return cmp(TFilterOp::Ne);
            case Tok::Lt: return cmp(TFilterOp::Lt);
            case Tok::Gt: return cmp(TFilterOp::Gt);
            case Tok::Le: return cmp(TFilterOp::Le);
            case Tok::Ge: return cmp(TFilterOp::Ge);
            default: break;
        }
        bool negate = false;
        if (Cur.T == Tok::Not) {
            negate = true;
            Advance();
            if (Cur.T != Tok::Like && Cur.T != Tok::In)
                Fail(S, Cur.Pos, "LIKE or IN expected after NOT, found '" + Describe() + "'");
        }
        if (Cur.T == Tok::Like) {
            Advance();
            auto n = std::make_unique<TFilterNode>(TFilterNode::Kind::Like, pos);
            n->Negate = negate;
            n->Kids.push_back(std::move(left));
            n->Kids.push_back(Operand());
            if (n->Kids[1]->K != TFilterNode::Kind::Literal ||
                n->Kids[1]->Lit.K != TFilterLiteral::Kind::String)
                Fail(S, n->Kids[1]->Pos, "LIKE needs a quoted pattern");
            return n;
        }
        if (Cur.T == Tok::In) {
            Advance();
            auto n = std::make_unique<TFilterNode>(TFilterNode::Kind::In, pos);
            n->Negate = negate;
            n->Kids.push_back(std::move(left));
            Expect(Tok::LParen, "'('");
            for (;;) {
                auto item = Operand();
                if (item->K != TFilterNode::Kind::Literal)
                    Fail(S, item->Pos, "IN lists hold values only");
                n->Kids.push_back(std::move(item));
                if (Cur.T == Tok::Comma) {
                    Advance();
                    continue;
                }
                Expect(Tok::RParen, "',' or ')'");
                break;
            }
            return n;
        }
        if (Cur.T == Tok::Is) {
            Advance();
            auto n = std::make_unique<TFilterNode>(TFilterNode::Kind::IsNull, pos);
            if (Cur.T == Tok::Not) {
                n->Negate = true;
                Advance();
            }
            Expect(Tok::Null, "NULL");
            n->Kids.push_back(std::move(left));
            return n;
        }
        return left;
    }

    // Sums and differences of products: the arithmetic of a comparison's sides.
    std::unique_ptr<TFilterNode> Value() {
        return Chain(&Parser::Term, TFilterNode::Kind::Arith,
                     {{Tok::Plus, '+'}, {Tok::Minus, '-'}});
    }
    std::unique_ptr<TFilterNode> Term() {
        return Chain(&Parser::Unary, TFilterNode::Kind::Arith,
                     {{Tok::Star, '*'}, {Tok::Slash, '/'}});
    }
    std::unique_ptr<TFilterNode> Unary() {
        if (Cur.T != Tok::Minus) return Operand();
        std::size_t pos = Cur.Pos;
        Advance();
        if (Cur.T == Tok::Number) {  // a negative number stays a literal
            auto n = std::make_unique<TFilterNode>(TFilterNode::Kind::Literal, pos);
            n->Lit = Cur.Lit;
            n->Lit.Num = -n->Lit.Num;
            n->Lit.Text = "-" + n->Lit.Text;
            Advance();
            return n;
        }
        if (++Depth > 200) Fail(S, pos, "expression nested too deeply");
        auto n = std::make_unique<TFilterNode>(TFilterNode::Kind::Arith, pos);
        n->ArOp = 'n';
        n->Kids.push_back(Unary());
        --Depth;
        return n;
    }

    std::unique_ptr<TFilterNode> Call(std::size_t pos, const std::string& name) {
        struct Known {
            const char* Name;
            TFilterFunc Fn;
            int Min, Max;
        };
        static constexpr Known kKnown[] = {
            {"UPPER", TFilterFunc::Upper, 1, 1},         {"LOWER", TFilterFunc::Lower, 1, 1},
            {"SUBSTRING", TFilterFunc::Substring, 2, 3}, {"TRIM", TFilterFunc::Trim, 1, 1},
            {"TRIMLEFT", TFilterFunc::TrimLeft, 1, 1},
            {"TRIMRIGHT", TFilterFunc::TrimRight, 1, 1},
            {"YEAR", TFilterFunc::Year, 1, 1},           {"MONTH", TFilterFunc::Month, 1, 1},
            {"DAY", TFilterFunc::Day, 1, 1},             {"HOUR", TFilterFunc::Hour, 1, 1},
            {"MINUTE", TFilterFunc::Minute, 1, 1},       {"SECOND", TFilterFunc::Second, 1, 1},
            {"GETDATE", TFilterFunc::GetDate, 0, 0},     {"DATE", TFilterFunc::Date, 1, 1},
            {"TIME", TFilterFunc::Time, 1, 1},
        };
        const std::string up = Utf8UpperCase(name);
        const Known* k = nullptr;
        for (const Known& x : kKnown)
            if (up == x.Name) k = &x;
        if (!k) Fail(S, pos, "unknown function '" + name + "'");
        auto n = std::make_unique<TFilterNode>(TFilterNode::Kind::Func, pos);
        n->Fn = k->Fn;
        n->Name = up;
        Advance();  // '('
        if (++Depth > 200) Fail(S, pos, "expression nested too deeply");
        if (Cur.T != Tok::RParen) {
            for (;;) {
                n->Kids.push_back(Value());
                if (Cur.T != Tok::Comma) break;
                Advance();
            }
        }
        --Depth;
        Expect(Tok::RParen, "',' or ')'");
        const int count = static_cast<int>(n->Kids.size());
        if (count < k->Min || count > k->Max)
            Fail(S, pos,
                 up + " takes " +
                     (k->Min == k->Max ? std::to_string(k->Min)
                                       : std::to_string(k->Min) + " or " + std::to_string(k->Max)) +
                     (k->Max == 1 ? " argument" : " arguments") + ", not " + std::to_string(count));
        return n;
    }

    std::unique_ptr<TFilterNode> Operand() {
        std::size_t pos = Cur.Pos;
        switch (Cur.T) {
            case Tok::LParen: {
                Advance();
                if (++Depth > 200) Fail(S, pos, "expression nested too deeply");
                auto n = Or();
                --Depth;
                Expect(Tok::RParen, "')'");
                return n;
            }
            case Tok::Name: {
                std::string name = Cur.Text;
                const bool bracketed = S[pos] == '[' || S[pos] == '"';
                Advance();
                if (Cur.T == Tok::LParen && !bracketed) return Call(pos, name);
                auto n = std::make_unique<TFilterNode>(TFilterNode::Kind::Field, pos);
                n->Name = std::move(name);
                return n;
            }
            case Tok::String:
            case Tok::Number: {
                auto n = std::make_unique<TFilterNode>(TFilterNode::Kind::Literal, pos);
                n->Lit = Cur.Lit;
                Advance();
                return n;
            }
            case Tok::Minus: {
                Advance();
                if (Cur.T != Tok::Number) Fail(S, pos, "a number expected after '-'");
                auto n = std::make_unique<TFilterNode>(TFilterNode::Kind::Literal, pos);
                n->Lit = Cur.Lit;
                n->Lit.Num = -n->Lit.Num;
                n->Lit.Text = "-" + n->Lit.Text;
                Advance();
                return n;
            }
            case Tok::Null:
            case Tok::True:
            case Tok::False: {
                auto n = std::make_unique<TFilterNode>(TFilterNode::Kind::Literal, pos);
                n->Lit.K = Cur.T == Tok::Null ? TFilterLiteral::Kind::Null : TFilterLiteral::Kind::Bool;
                n->Lit.BoolValue = Cur.T == Tok::True;
                Advance();
                return n;
            }
            case Tok::End: Fail(S, pos, "the expression ends where a value is expected");
            default: Fail(S, pos, "a field name or a value expected, found '" + Describe() + "'");
        }
    }

    const std::string& S;
    Lexer L;
    Token Cur;
    int Depth = 0;
};

// ---------------------------------------------------------------- binding

ValClass ClassOf(TFieldType t) {
    if (IsStringType(t) || t == TFieldType::ftMemo || t == TFieldType::ftWideMemo ||
        t == TFieldType::ftFmtMemo)
        return ValClass::Str;
    if (IsIntegerType(t)) return ValClass::Int;
    if (IsFloatType(t)) return ValClass::Float;
    if (IsDateTimeType(t)) return ValClass::Date;
    if (t == TFieldType::ftBoolean) return ValClass::Bool;
    return ValClass::Other;
}

struct Binder {
    const std::string& Text;
    const TFilterExpression::TResolver& Resolve;
    TFilterOptions Options;

    [[noreturn]] void Mismatch(const TFilterNode& n, const std::string& what) {
        Fail(Text, n.Pos, what);
    }

    void BindField(TFilterNode& n) {
        if (!Resolve(n.Name, n.Slot, n.Type))
            throw EDatabaseError("Field '" + n.Name + "' in filter expression \"" + Text +
                                 "\" not found");
    }

    // Converts a literal to the value class of the field it is compared with.
    void Convert(const TFilterLiteral& lit, TFieldType type, TFilterValue& out, std::string& storage,
                 const TFilterNode& at) {
        using LK = TFilterLiteral::Kind;
        if (lit.K == LK::Null) {
            out = TFilterValue::Null();
            return;
        }
        switch (ClassOf(type)) {
            case ValClass::Str:
                storage = lit.K == LK::Bool ? (lit.BoolValue ? "True" : "False") : lit.Text;
                if (Options.Contains(TFilterOption::foCaseInsensitive)) storage = Utf8LowerCase(storage);
                out = TFilterValue::FromStr(storage);
                return;
            case ValClass::Int:
            case ValClass::Float: {
                double v;
                bool isInt;
                if (lit.K == LK::Number) {
                    v = lit.Num;
                    isInt = lit.IsInt;
                } else if (lit.K == LK::Bool) {
                    v = lit.BoolValue;
                    isInt = true;
                } else {
                    try {
                        v = fieldtext::TextToFloat(lit.Text);
                    } catch (const Exception&) {
                        Mismatch(at, "'" + lit.Text + "' is not a number");
                    }
                    isInt = v == std::trunc(v) && std::fabs(v) < 9e18;
                }
                if (isInt && ClassOf(type) == ValClass::Int)
                    out = TFilterValue::FromInt(static_cast<std::int64_t>(v));
                else
                    out = TFilterValue::FromFloat(v);
                return;
            }
            case ValClass::Date:
                if (lit.K == LK::String) {
                    try {
                        out = TFilterValue::FromFloat(fieldtext::TextToDateTime(lit.Text, type));
                    } catch (const Exception&) {
                        Mismatch(at, "'" + lit.Text + "' is not a valid date or time");
                    }
                } else if (lit.K == LK::Number) {
                    out = TFilterValue::FromFloat(lit.Num);
                } else {
                    Mismatch(at, "a date cannot be compared with a boolean");
                }
                return;
            case ValClass::Bool:
                if (lit.K == LK::Bool) {
                    out = TFilterValue::FromBool(lit.BoolValue);
                } else if (lit.K == LK::Number) {
                    out = TFilterValue::FromBool(lit.Num != 0);
                } else {
                    std::string u = Utf8UpperCase(lit.Text);
                    if (u == "TRUE" || u == "T" || u == "YES" || u == "Y") out = TFilterValue::FromBool(true);
                    else if (u == "FALSE" || u == "F" || u == "NO" || u == "N") out = TFilterValue::FromBool(false);
                    else Mismatch(at, "'" + lit.Text + "' is not a boolean value");
                }
                return;
            case ValClass::Other:
                Mismatch(at, "fields of type " + FieldTypeName(type) + " cannot be filtered");
        }
    }

    // A literal with no field to follow keeps its own kind.
    void Own(TFilterNode& n) {
        using LK = TFilterLiteral::Kind;
        switch (n.Lit.K) {
            case LK::Null: n.Value = TFilterValue::Null(); break;
            case LK::Bool: n.Value = TFilterValue::FromBool(n.Lit.BoolValue); break;
            case LK::Number:
                n.Value = n.Lit.IsInt ? TFilterValue::FromInt(static_cast<std::int64_t>(n.Lit.Num))
                                      : TFilterValue::FromFloat(n.Lit.Num);
                break;
            case LK::String:
                n.Storage = n.Lit.Text;
                n.Value = TFilterValue::FromStr(n.Storage);
                break;
        }
    }

    static bool Numeric(ValClass c) { return c == ValClass::Int || c == ValClass::Float; }
    static bool Ordered(ValClass c) { return Numeric(c) || c == ValClass::Date; }
    static bool IsComputed(const TFilterNode& n) {
        return n.K == TFilterNode::Kind::Arith || n.K == TFilterNode::Kind::Func;
    }
    static TFieldType TypeOfClass(ValClass c) {
        switch (c) {
            case ValClass::Str: return TFieldType::ftString;
            case ValClass::Int: return TFieldType::ftLargeint;
            case ValClass::Float: return TFieldType::ftFloat;
            case ValClass::Date: return TFieldType::ftDateTime;
            case ValClass::Bool: return TFieldType::ftBoolean;
            default: return TFieldType::ftUnknown;
        }
    }

    // Binds a value: a field, a literal (converted to `want` when that is known), or a
    // computed value; returns what it yields.
    ValClass BindValue(TFilterNode& n, ValClass want = ValClass::Other) {
        using K = TFilterNode::Kind;
        switch (n.K) {
            case K::Field:
                BindField(n);
                return ClassOf(n.Type);
            case K::Literal:
                if (want != ValClass::Other && n.Lit.K != TFilterLiteral::Kind::Null) {
                    Convert(n.Lit, TypeOfClass(want), n.Value, n.Storage, n);
                    return want;
                }
                Own(n);
                switch (n.Value.Kind) {
                    case TFilterValueKind::Str: return ValClass::Str;
                    case TFilterValueKind::Int: return ValClass::Int;
                    case TFilterValueKind::Float: return ValClass::Float;
                    case TFilterValueKind::Bool: return ValClass::Bool;
                    default: return ValClass::Other;
                }
            case K::Arith: return n.Result = BindArith(n);
            case K::Func: return n.Result = BindFunc(n);
            default: Mismatch(n, "a value expected, found a condition");
        }
    }

    // A literal takes the kind of the other side; anything else is bound on its own.
    void BindPair(TFilterNode& a, TFilterNode& b, ValClass& ca, ValClass& cb) {
        const bool litA = a.K == TFilterNode::Kind::Literal;
        const bool litB = b.K == TFilterNode::Kind::Literal;
        ca = litA ? ValClass::Other : BindValue(a);
        cb = litB ? ValClass::Other : BindValue(b);
        if (litA) ca = BindValue(a, cb);
        if (litB) cb = BindValue(b, ca);
        if (ca == ValClass::Other || cb == ValClass::Other)
            Mismatch(ca == ValClass::Other ? a : b, "NULL cannot be used in a calculation");
    }

    ValClass BindArith(TFilterNode& n) {
        if (n.ArOp == 'n') {
            const ValClass c = BindValue(*n.Kids[0]);
            if (!Numeric(c)) Mismatch(n, "only numbers can be negated");
            return c;
        }
        ValClass ca, cb;
        TFilterNode& a = *n.Kids[0];
        TFilterNode& b = *n.Kids[1];
        // Literals keep their own kind here ('1' + 1 is no number, 'a' + 1 no text); a number
        // next to a date counts days.
        ca = BindValue(a);
        cb = BindValue(b);
        const bool ints = ca == ValClass::Int && cb == ValClass::Int;
        switch (n.ArOp) {
            case '+':
                if (ca == ValClass::Str && cb == ValClass::Str) return ValClass::Str;
                if (Numeric(ca) && Numeric(cb)) return ints ? ValClass::Int : ValClass::Float;
                if ((ca == ValClass::Date && Numeric(cb)) || (Numeric(ca) && cb == ValClass::Date))
                    return ValClass::Date;
                Mismatch(n, "these values cannot be added");
            case '-':
                if (Numeric(ca) && Numeric(cb)) return ints ? ValClass::Int : ValClass::Float;
                if (ca == ValClass::Date && Numeric(cb)) return ValClass::Date;
                if (ca == ValClass::Date && cb == ValClass::Date) return ValClass::Float;
                Mismatch(n, "these values cannot be subtracted");
            case '*':
                if (Numeric(ca) && Numeric(cb)) return ints ? ValClass::Int : ValClass::Float;
                Mismatch(n, "only numbers can be multiplied");
            default:
                if (Numeric(ca) && Numeric(cb)) return ValClass::Float;
                Mismatch(n, "only numbers can be divided");
        }
    }

    ValClass BindFunc(TFilterNode& n) {
        auto arg = [&](std::size_t i, ValClass want, const char* what) {
            const ValClass c = BindValue(*n.Kids[i], want);
            if (c != want && !(want == ValClass::Int && Numeric(c)))
                Mismatch(*n.Kids[i], n.Name + " needs " + what);
        };
        switch (n.Fn) {
            case TFilterFunc::Upper:
            case TFilterFunc::Lower:
            case TFilterFunc::Trim:
            case TFilterFunc::TrimLeft:
            case TFilterFunc::TrimRight:
                arg(0, ValClass::Str, "text");
                return ValClass::Str;
            case TFilterFunc::Substring:
                arg(0, ValClass::Str, "text");
                for (std::size_t i = 1; i < n.Kids.size(); ++i) arg(i, ValClass::Int, "a number");
                return ValClass::Str;
            case TFilterFunc::GetDate: return ValClass::Date;
            case TFilterFunc::Date:
            case TFilterFunc::Time: arg(0, ValClass::Date, "a date or time"); return ValClass::Date;
            default: arg(0, ValClass::Date, "a date or time"); return ValClass::Int;
        }
    }

    void Bind(TFilterNode& n) {
        using K = TFilterNode::Kind;
        switch (n.K) {
            case K::And:
            case K::Or:
            case K::Not:
                for (auto& k : n.Kids) Bind(*k);
                if (n.K == K::Not) RequirePredicate(*n.Kids[0]);
                else {
                    RequirePredicate(*n.Kids[0]);
                    RequirePredicate(*n.Kids[1]);
                }
                return;
            case K::Field: BindField(n); return;
            case K::Literal: Own(n); return;
            case K::Arith:
            case K::Func: BindValue(n); return;
            case K::IsNull:
                if (n.Kids[0]->K != K::Field && !IsComputed(*n.Kids[0]))
                    Mismatch(n, "IS NULL needs a field or a calculation");
                BindValue(*n.Kids[0]);
                return;
            case K::Compare: {
                TFilterNode* a = n.Kids[0].get();
                TFilterNode* b = n.Kids[1].get();
                if (IsComputed(*a) || IsComputed(*b)) {
                    ValClass ca, cb;
                    BindPair(*a, *b, ca, cb);
                    if (ca != cb && !(Ordered(ca) && Ordered(cb)))
                        Mismatch(n, "values of different kinds cannot be compared");
                    n.CaseInsensitive = Options.Contains(TFilterOption::foCaseInsensitive);
                    return;
                }
                if (a->K != K::Field && a->K != K::Literal) Mismatch(*a, "a field or a value expected");
                if (b->K != K::Field && b->K != K::Literal) Mismatch(*b, "a field or a value expected");
                if (a->K == K::Literal && b->K == K::Field) {
                    std::swap(n.Kids[0], n.Kids[1]);
                    static const TFilterOp mirror[] = {TFilterOp::Eq, TFilterOp::Ne, TFilterOp::Gt,
                                                       TFilterOp::Lt, TFilterOp::Ge, TFilterOp::Le};
                    n.Op = mirror[static_cast<int>(n.Op)];
                    a = n.Kids[0].get();
                    b = n.Kids[1].get();
                }
                if (a->K == K::Field) {
                    BindField(*a);
                    if (b->K == K::Field) {
                        BindField(*b);
                        ValClass ca = ClassOf(a->Type), cb = ClassOf(b->Type);
                        bool numA = ca == ValClass::Int || ca == ValClass::Float || ca == ValClass::Date;
                        bool numB = cb == ValClass::Int || cb == ValClass::Float || cb == ValClass::Date;
                        if (ca != cb && !(numA && numB))
                            Mismatch(n, "fields '" + a->Name + "' and '" + b->Name + "' cannot be compared");
                    } else {
                        Convert(b->Lit, a->Type, b->Value, b->Storage, *b);
                        std::string_view sv = b->Value.Str;
                        if (ClassOf(a->Type) == ValClass::Str &&
                            (n.Op == TFilterOp::Eq || n.Op == TFilterOp::Ne) &&
                            !Options.Contains(TFilterOption::foNoPartialCompare) && !sv.empty() &&
                            sv.back() == '*') {
                            n.Partial = true;
                            b->Value.Str = sv.substr(0, sv.size() - 1);
                        }
                    }
                } else {
                    Own(*a);
                    Own(*b);
                }
                n.CaseInsensitive = Options.Contains(TFilterOption::foCaseInsensitive);
                return;
            }
            case K::Like: {
                TFilterNode* a = n.Kids[0].get();
                if (a->K != K::Field && !IsComputed(*a))
                    Mismatch(*a, "LIKE needs a field on its left");
                if (BindValue(*a) != ValClass::Str)
                    Mismatch(n, a->K == K::Field
                                    ? "LIKE needs a text field, '" + a->Name + "' is " +
                                          FieldTypeName(a->Type)
                                    : std::string("LIKE needs text on its left"));
                TFilterNode* p = n.Kids[1].get();
                n.CaseInsensitive = Options.Contains(TFilterOption::foCaseInsensitive);
                p->Storage = n.CaseInsensitive ? Utf8LowerCase(p->Lit.Text) : p->Lit.Text;
                ShapeLike(n, *p);
                return;
            }
            case K::In: {
                TFilterNode* a = n.Kids[0].get();
                if (a->K != K::Field && !IsComputed(*a))
                    Mismatch(*a, "IN needs a field on its left");
                const ValClass left = BindValue(*a);
                const TFieldType leftType = a->K == K::Field ? a->Type : TypeOfClass(left);
                n.Set.clear();
                n.SetStorage.clear();
                // Values are kept in storage first; views are taken once it stops growing.
                std::vector<TFilterLiteral> items;
                for (std::size_t i = 1; i < n.Kids.size(); ++i) {
                    const TFilterLiteral& lit = n.Kids[i]->Lit;
                    // "1,2" read with a comma locale is two integers for an integer field.
                    if (lit.CommaFraction && ClassOf(leftType) == ValClass::Int) {
                        std::size_t c = lit.Text.find(',');
                        for (std::string part : {lit.Text.substr(0, c), lit.Text.substr(c + 1)}) {
                            TFilterLiteral x;
                            x.K = TFilterLiteral::Kind::Number;
                            x.Text = part;
                            x.Num = std::strtod(part.c_str(), nullptr);
                            x.IsInt = true;
                            items.push_back(x);
                        }
                    } else {
                        items.push_back(lit);
                    }
                }
                n.SetStorage.resize(items.size());
                n.Set.resize(items.size());
                for (std::size_t i = 0; i < items.size(); ++i)
                    Convert(items[i], leftType, n.Set[i], n.SetStorage[i], *n.Kids[std::min(i + 1, n.Kids.size() - 1)]);
                for (std::size_t i = 0; i < items.size(); ++i)
                    if (n.Set[i].Kind == TFilterValueKind::Str) n.Set[i].Str = n.SetStorage[i];
                n.CaseInsensitive = Options.Contains(TFilterOption::foCaseInsensitive);
                return;
            }
            case K::Const: return;
        }
    }

    void RequirePredicate(TFilterNode& n) {
        using K = TFilterNode::Kind;
        if (n.K == K::Field) {
            if (ClassOf(n.Type) != ValClass::Bool) Mismatch(n, "'" + n.Name + "' is not a condition");
        } else if (n.K == K::Literal) {
            if (n.Lit.K != TFilterLiteral::Kind::Bool) Mismatch(n, "a value is not a condition");
        } else if (IsComputed(n)) {
            Mismatch(n, "a calculation is not a condition");
        }
    }

    static void ShapeLike(TFilterNode& n, TFilterNode& p) {
        const std::string& s = p.Storage;
        bool inner = false;
        for (std::size_t i = 0; i < s.size(); ++i) {
            if (s[i] == '_') inner = true;
            if (s[i] == '%' && i != 0 && i + 1 != s.size()) inner = true;
        }
        std::size_t b = 0, e = s.size();
        bool lead = !s.empty() && s[0] == '%';
        bool trail = s.size() > (lead ? 1u : 0u) && s.back() == '%';
        if (lead) ++b;
        if (trail) --e;
        if (inner) {
            n.Shape = TFilterNode::LikeShape::General;
            p.Value = TFilterValue::FromStr(s);
            return;
        }
        p.Value = TFilterValue::FromStr(std::string_view(s).substr(b, e - b));
        n.Shape = lead && trail ? TFilterNode::LikeShape::Contains
                : lead          ? TFilterNode::LikeShape::Suffix
                : trail         ? TFilterNode::LikeShape::Prefix
                                : TFilterNode::LikeShape::Exact;
    }
};

// ---------------------------------------------------------------- evaluation

enum class Tri : std::uint8_t { False, True, Unknown };

Tri FromBool(bool b) { return b ? Tri::True : Tri::False; }

bool LikeGeneral(std::string_view s, std::string_view p) {
    // Iterative matcher with backtracking on the last '%'; '_' is one character.
    std::size_t si = 0, pi = 0, starP = std::string_view::npos, starS = 0;
    while (si < s.size()) {
        if (pi < p.size() && p[pi] == '%') {
            starP = ++pi;
            starS = si;
        } else if (pi < p.size() && p[pi] == '_') {
            si = Utf8Next(s, si);
            ++pi;
        } else if (pi < p.size() && p[pi] == s[si]) {
            ++si;
            ++pi;
        } else if (starP != std::string_view::npos) {
            pi = starP;
            starS = Utf8Next(s, starS);
            si = starS;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '%') ++pi;
    return pi == p.size();
}

// A number (whole or not) as a double.
double Num(const TFilterValue& v) {
    return v.Kind == TFilterValueKind::Float ? v.Float : static_cast<double>(v.Int);
}

int CompareValues(const TFilterValue& a, const TFilterValue& b, bool ci) {
    using VK = TFilterValueKind;
    if (a.Kind == VK::Str || b.Kind == VK::Str) {
        if (a.Kind != VK::Str || b.Kind != VK::Str) return a.Kind == VK::Str ? 1 : -1;
        int c = ci ? Utf8CompareText(a.Str, b.Str) : a.Str.compare(b.Str);
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    }
    if (a.Kind == VK::Int && b.Kind == VK::Int) return a.Int < b.Int ? -1 : a.Int > b.Int ? 1 : 0;
    double x = Num(a), y = Num(b);
    return x < y ? -1 : x > y ? 1 : 0;
}

bool OpHolds(TFilterOp op, int c) {
    switch (op) {
        case TFilterOp::Eq: return c == 0;
        case TFilterOp::Ne: return c != 0;
        case TFilterOp::Lt: return c < 0;
        case TFilterOp::Gt: return c > 0;
        case TFilterOp::Le: return c <= 0;
        case TFilterOp::Ge: return c >= 0;
    }
    return false;
}

struct Evaluator {
    const TFilterRow& Row;

    TFilterValue Operand(const TFilterNode& n) const {
        switch (n.K) {
            case TFilterNode::Kind::Field: return Row.Get(n.Slot);
            case TFilterNode::Kind::Arith: return Arith(n);
            case TFilterNode::Kind::Func: return Func(n);
            default: return n.Value;
        }
    }

    TFilterValue Arith(const TFilterNode& n) const {
        using VK = TFilterValueKind;
        const TFilterValue a = Operand(*n.Kids[0]);
        if (a.Kind == VK::Null) return a;
        if (n.ArOp == 'n')
            return a.Kind == VK::Int ? TFilterValue::FromInt(-a.Int)
                                     : TFilterValue::FromFloat(-a.Float);
        if (n.Result == ValClass::Str) {
            // The left text is copied first: reading the right side may reuse its buffer.
            n.Scratch.assign(a.Str);
            const TFilterValue b = Operand(*n.Kids[1]);
            if (b.Kind == VK::Null) return b;
            n.Scratch.append(b.Str);
            return TFilterValue::FromStr(n.Scratch);
        }
        const TFilterValue b = Operand(*n.Kids[1]);
        if (b.Kind == VK::Null) return b;
        if (n.Result == ValClass::Int) {
            std::int64_t r = 0;
            const bool over = n.ArOp == '+'   ? __builtin_add_overflow(a.Int, b.Int, &r)
                              : n.ArOp == '-' ? __builtin_sub_overflow(a.Int, b.Int, &r)
                                              : __builtin_mul_overflow(a.Int, b.Int, &r);
            if (!over) return TFilterValue::FromInt(r);
        }
        const double x = Num(a), y = Num(b);
        switch (n.ArOp) {
            case '+': return TFilterValue::FromFloat(x + y);
            case '-': return TFilterValue::FromFloat(x - y);
            case '*': return TFilterValue::FromFloat(x * y);
            default: return y == 0 ? TFilterValue::Null() : TFilterValue::FromFloat(x / y);
        }
    }

    TFilterValue Func(const TFilterNode& n) const {
        using VK = TFilterValueKind;
        if (n.Fn == TFilterFunc::GetDate) return TFilterValue::FromFloat(Now());
        const TFilterValue a = Operand(*n.Kids[0]);
        if (a.Kind == VK::Null) return a;
        auto text = [&](std::string v) {
            n.Scratch = std::move(v);
            return TFilterValue::FromStr(n.Scratch);
        };
        int y = 0, mo = 0, d = 0, h = 0, mi = 0, sec = 0, ms = 0;
        switch (n.Fn) {
            case TFilterFunc::Upper: return text(Utf8UpperCase(a.Str));
            case TFilterFunc::Lower: return text(Utf8LowerCase(a.Str));
            case TFilterFunc::Trim: return text(Trim(a.Str));
            case TFilterFunc::TrimLeft: return text(TrimLeft(a.Str));
            case TFilterFunc::TrimRight: return text(TrimRight(a.Str));
            case TFilterFunc::Substring: {
                // Characters counted from 1; a start before the first counts from the first.
                std::string source(a.Str);  // the next reads may reuse the row's buffer
                const TFilterValue from = Operand(*n.Kids[1]);
                if (from.Kind == VK::Null) return from;
                std::int64_t start = static_cast<std::int64_t>(Num(from));
                std::size_t count = std::string_view::npos;
                if (n.Kids.size() > 2) {
                    const TFilterValue len = Operand(*n.Kids[2]);
                    if (len.Kind == VK::Null) return len;
                    const double l = Num(len);
                    count = l <= 0 ? 0 : static_cast<std::size_t>(std::min(l, 1e9));
                }
                if (start < 1) start = 1;
                return text(Utf8Copy(source, static_cast<std::size_t>(start - 1), count));
            }
            case TFilterFunc::Date: return TFilterValue::FromFloat(std::trunc(Num(a)));
            case TFilterFunc::Time:
                return TFilterValue::FromFloat(std::fabs(Num(a) - std::trunc(Num(a))));
            default: break;
        }
        const double v = Num(a);
        if (!(std::fabs(v) < 3e6)) return TFilterValue::Null();  // no date: far out of range
        DecodeDate(v, y, mo, d);
        DecodeTime(v, h, mi, sec, ms);
        switch (n.Fn) {
            case TFilterFunc::Year: return TFilterValue::FromInt(y);
            case TFilterFunc::Month: return TFilterValue::FromInt(mo);
            case TFilterFunc::Day: return TFilterValue::FromInt(d);
            case TFilterFunc::Hour: return TFilterValue::FromInt(h);
            case TFilterFunc::Minute: return TFilterValue::FromInt(mi);
            default: return TFilterValue::FromInt(sec);
        }
    }

    Tri Eval(const TFilterNode& n) const {
        using K = TFilterNode::Kind;
        switch (n.K) {
            case K::And: {
                Tri a = Eval(*n.Kids[0]);
                if (a == Tri::False) return Tri::False;
                Tri b = Eval(*n.Kids[1]);
                if (b == Tri::False) return Tri::False;
                return a == Tri::True && b == Tri::True ? Tri::True : Tri::Unknown;
            }
            case K::Or: {
                Tri a = Eval(*n.Kids[0]);
                if (a == Tri::True) return Tri::True;
                Tri b = Eval(*n.Kids[1]);
                if (b == Tri::True) return Tri::True;
                return a == Tri::False && b == Tri::False ? Tri::False : Tri::Unknown;
            }
            case K::Not: {
                Tri a = Eval(*n.Kids[0]);
                return a == Tri::Unknown ? a : FromBool(a == Tri::False);
            }
            case K::Field:
            case K::Literal: {
                TFilterValue v = Operand(n);
                if (v.Kind == TFilterValueKind::Null) return Tri::Unknown;
                return FromBool(v.Int != 0);
            }
            case K::IsNull: {
                bool isNull = Operand(*n.Kids[0]).Kind == TFilterValueKind::Null;
                return FromBool(isNull != n.Negate);
            }
            case K::Compare: {
                TFilterValue a = Operand(*n.Kids[0]);
                TFilterValue b = Operand(*n.Kids[1]);
                if (a.Kind == TFilterValueKind::Null || b.Kind == TFilterValueKind::Null) return Tri::Unknown;
                if (n.Partial && a.Kind == TFilterValueKind::Str) {
                    std::string low;
                    std::string_view s = a.Str;
                    if (n.CaseInsensitive) {
                        low = Utf8LowerCase(s);
                        s = low;
                    }
                    bool eq = s.substr(0, b.Str.size()) == b.Str;
                    return FromBool(eq == (n.Op == TFilterOp::Eq));
                }
                return FromBool(OpHolds(n.Op, CompareValues(a, b, n.CaseInsensitive)));
            }
            case K::Like: {
                TFilterValue a = Operand(*n.Kids[0]);
                if (a.Kind == TFilterValueKind::Null) return Tri::Unknown;
                std::string low;
                std::string_view s = a.Str;
                if (n.CaseInsensitive) {
                    low = Utf8LowerCase(s);
                    s = low;
                }
                std::string_view p = n.Kids[1]->Value.Str;
                bool m;
                switch (n.Shape) {
                    case TFilterNode::LikeShape::Exact: m = s == p; break;
                    case TFilterNode::LikeShape::Prefix: m = s.substr(0, p.size()) == p; break;
                    case TFilterNode::LikeShape::Suffix:
                        m = s.size() >= p.size() && s.substr(s.size() - p.size()) == p;
                        break;
                    case TFilterNode::LikeShape::Contains: m = s.find(p) != std::string_view::npos; break;
                    default: m = LikeGeneral(s, p); break;
                }
                return FromBool(m != n.Negate);
            }
            case K::In: {
                TFilterValue a = Operand(*n.Kids[0]);
                if (a.Kind == TFilterValueKind::Null) return Tri::Unknown;
                bool found = false;
                for (const TFilterValue& v : n.Set)
                    if (v.Kind != TFilterValueKind::Null && CompareValues(a, v, n.CaseInsensitive) == 0) {
                        found = true;
                        break;
                    }
                return FromBool(found != n.Negate);
            }
            case K::Const: return Tri::True;
            case K::Arith:
            case K::Func: return Tri::Unknown;  // refused when bound
        }
        return Tri::Unknown;
    }
};

void CollectNames(const TFilterNode& n, std::vector<std::string>& out) {
    if (n.K == TFilterNode::Kind::Field) out.push_back(n.Name);
    for (const auto& k : n.Kids) CollectNames(*k, out);
}

}  // namespace

TFilterExpression::~TFilterExpression() = default;

std::unique_ptr<TFilterExpression> TFilterExpression::Parse(const std::string& text) {
    std::unique_ptr<TFilterExpression> e(new TFilterExpression());
    e->FText = text;
    Parser p(e->FText);
    e->FRoot = p.ParseAll();
    return e;
}

void TFilterExpression::Bind(const TResolver& resolve, TFilterOptions options) {
    FBound = false;
    Binder b{FText, resolve, options};
    b.Bind(*FRoot);
    b.RequirePredicate(*FRoot);
    FBound = true;
}

void TFilterExpression::Unbind() { FBound = false; }

bool TFilterExpression::Evaluate(const TFilterRow& row) const {
    if (!FBound) return true;
    return Evaluator{row}.Eval(*FRoot) == Tri::True;
}

std::vector<std::string> TFilterExpression::FieldNames() const {
    std::vector<std::string> out;
    CollectNames(*FRoot, out);
    return out;
}

}  // namespace vel
