#include "platform/controls/StdEdit.h"

#include <algorithm>
#include <cstring>

#include "platform/classes/Alignment.h"
#include "platform/classes/TypInfo.h"
#include "platform/controls/Application.h"
#include "platform/controls/Clipbrd.h"
#include "platform/controls/SystemProfile.h"
#include "platform/controls/WindowBackend.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Utf8.h"

namespace vel {

VEL_DEFINE_CLASS(TCustomEdit, TCustomControl)
VEL_DEFINE_CREATABLE_CLASS(TEdit, TCustomEdit)
VEL_ENUM_INFO(TEditCharCase, ecNormal, ecUpperCase, ecLowerCase)

VEL_PUBLISHED(TCustomEdit) {
    Prop("Alignment", &T::GetAlignment, &T::SetAlignment, TAlignment::taLeftJustify);
    Prop("AutoSelect", &T::GetAutoSelect, &T::SetAutoSelect, true);
    Prop("BorderStyle", &T::GetBorderStyle, &T::SetBorderStyle, TBorderStyle::bsSingle);
    Prop("CharCase", &T::GetCharCase, &T::SetCharCase, TEditCharCase::ecNormal);
    Prop("HideSelection", &T::GetHideSelection, &T::SetHideSelection, true);
    Prop("MaxLength", &T::GetMaxLength, &T::SetMaxLength, 0);
    Prop("PasswordChar", &T::GetPasswordChar, &T::SetPasswordChar);
    Prop("ReadOnly", &T::GetReadOnly, &T::SetReadOnly, false);
}

namespace {

constexpr WPARAM CaretBlinkTimer = 0xCA7;

// Offscreen on the wall clock nobody sees the caret, and a timer always pending would keep
// the message loop from ever finding itself idle.
bool CaretCanBlink() {
    return Backend().CanReceiveInput() || !dynamic_cast<const TRealClock*>(&Clock());
}

bool IsBlank(char32_t c) {
    return c == U' ' || c == U'\t' || c == 0xA0 || c == 0x3000;
}

std::vector<char32_t> Decode(const std::string& s) {
    std::vector<char32_t> out;
    std::size_t i = 0;
    while (i < s.size()) out.push_back(Utf8Decode(s, i));
    return out;
}

}  // namespace

TCustomEdit::TCustomEdit(TComponent* AOwner) : TCustomControl(AOwner) {
    SetBounds(0, 0, 121, 23);
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
    SetCursor(crIBeam);
    SetControlStyle(GetControlStyle() + TControlStyleFlag::csCaptureMouse +
                    TControlStyleFlag::csOpaque + TControlStyleFlag::csDoubleClicks);
}

TCustomEdit::~TCustomEdit() = default;

void TCustomEdit::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    if (FBorderStyle == TBorderStyle::bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

// --- properties ---------------------------------------------------------------------------

int TCustomEdit::TextLength() const {
    return int(Utf8Length(GetText()));
}

int TCustomEdit::GetSelStart() const {
    return std::min(FAnchor, FCaret);
}
int TCustomEdit::GetSelLength() const {
    return std::abs(FCaret - FAnchor);
}

void TCustomEdit::SetSelStart(int Value) {
    Value = std::clamp(Value, 0, TextLength());
    FAnchor = FCaret = Value;
    FTyping = false;
    ScrollCaretIntoView();
    Invalidate();
}

void TCustomEdit::SetSelLength(int Value) {
    const int start = GetSelStart();
    SetSel(start, start + std::max(0, Value));
}

void TCustomEdit::SetSel(int Start, int End) {
    const int n = TextLength();
    FAnchor = std::clamp(Start, 0, n);
    FCaret = std::clamp(End, 0, n);
    FTyping = false;
    ScrollCaretIntoView();
    Invalidate();
}

void TCustomEdit::SelectAll() {
    SetSel(0, TextLength());
}

std::string TCustomEdit::GetSelText() const {
    return Utf8Copy(GetText(), std::size_t(GetSelStart()), std::size_t(GetSelLength()));
}

void TCustomEdit::SetSelText(const std::string& Value) {
    Perform(EM_REPLACESEL, 1, LPARAM(Value.c_str()));
}

void TCustomEdit::ClearSelection() {
    Perform(WM_CLEAR);
}
void TCustomEdit::CutToClipboard() {
    Perform(WM_CUT);
}
void TCustomEdit::CopyToClipboard() {
    Perform(WM_COPY);
}
void TCustomEdit::PasteFromClipboard() {
    Perform(WM_PASTE);
}
void TCustomEdit::Undo() {
    Perform(WM_UNDO);
}

void TCustomEdit::SetMaxLength(int Value) {
    if (Value < 0)
        throw EInvalidArgument("MaxLength must not be negative (got " + std::to_string(Value) +
                               ")");
    FMaxLength = Value;
}

void TCustomEdit::SetCharCase(TEditCharCase Value) {
    if (Value == FCharCase) return;
    FCharCase = Value;
    const std::string s = ApplyCharCase(GetText());
    if (s != GetText()) {
        SetTextQuietly(s);
        Change();
    }
}

void TCustomEdit::SetPasswordChar(char32_t Value) {
    if (Value == FPasswordChar) return;
    FPasswordChar = Value;
    FPositionsValid = false;
    ScrollCaretIntoView();
    Invalidate();
}

void TCustomEdit::SetReadOnly(bool Value) {
    if (Value == FReadOnly) return;
    FReadOnly = Value;
    Invalidate();
}

void TCustomEdit::SetBorderStyle(TBorderStyle Value) {
    if (Value == FBorderStyle) return;
    FBorderStyle = Value;
    RecreateWnd();
    ResetFormatRect();
}

void TCustomEdit::SetAlignment(TAlignment Value) {
    if (Value == FAlignment) return;
    FAlignment = Value;
    Invalidate();
}

void TCustomEdit::SetHideSelection(bool Value) {
    if (Value == FHideSelection) return;
    FHideSelection = Value;
    Invalidate();
}

TRect TCustomEdit::GetFormatRect() const {
    if (FFormatRectSet) return FFormatRect;
    // A small margin inside the client area, as the classic control leaves.
    const TRect c = GetClientRect();
    return TRect{c.Left + 1, c.Top + 1, std::max(c.Left + 1, c.Right - 1), c.Bottom};
}

void TCustomEdit::SetFormatRect(const TRect& R) {
    FFormatRect = R;
    FFormatRectSet = true;
    ScrollCaretIntoView();
    Invalidate();
}

void TCustomEdit::ResetFormatRect() {
    FFormatRectSet = false;
    ScrollCaretIntoView();
    Invalidate();
}

void TCustomEdit::Resize() {
    TCustomControl::Resize();
    ScrollCaretIntoView();
}

void TCustomEdit::FontChanged() {
    TCustomControl::FontChanged();
    FPositionsValid = false;
}

// --- text and change bookkeeping -------------------------------------------------------------

std::string TCustomEdit::ApplyCharCase(const std::string& S) const {
    switch (FCharCase) {
        case TEditCharCase::ecUpperCase:
            return Utf8UpperCase(S);
        case TEditCharCase::ecLowerCase:
            return Utf8LowerCase(S);
        default:
            return S;
    }
}

std::string TCustomEdit::AdjustAssignedText(const std::string& S) {
    return ApplyCharCase(S);
}

void TCustomEdit::SetTextQuietly(const std::string& S) {
    FQuiet = true;
    {
        TScopeExit cleanup([&] { FQuiet = false; });
        SetText(S);
    }
    FPositionsValid = false;
    const int n = TextLength();
    FAnchor = std::min(FAnchor, n);
    FCaret = std::min(FCaret, n);
}

// The text was set by code: the caret goes to the start, undo and Modified are reset.
void TCustomEdit::TextAssigned() {
    const std::string adjusted = AdjustAssignedText(GetText());
    if (adjusted != GetText()) SetTextQuietly(adjusted);
    FPositionsValid = false;
    FAnchor = FCaret = 0;
    FScrollX = 0;
    FUndo.clear();
    FTyping = false;
    FModified = false;
    Invalidate();
    Change();
}

void TCustomEdit::Change() {
    if (FOnChange) FOnChange(this);
}

void TCustomEdit::ApplyEdit(const std::string& Text, int Anchor, int Caret, bool Coalesce) {
    if (Text == GetText()) {
        SetSel(Anchor, Caret);
        return;
    }
    if (!(Coalesce && FTyping && !FUndo.empty())) FUndo.push_back({GetText(), FAnchor, FCaret});
    FTyping = Coalesce;
    SetTextQuietly(Text);
    const int n = TextLength();
    FAnchor = std::clamp(Anchor, 0, n);
    FCaret = std::clamp(Caret, 0, n);
    FModified = true;
    ScrollCaretIntoView();
    Invalidate();
    Change();
}

bool TCustomEdit::ReplaceRange(int A, int B, const std::string& S, bool Coalesce) {
    const std::string& t = GetText();
    const int n = TextLength();
    A = std::clamp(A, 0, n);
    B = std::clamp(B, A, n);
    std::string ins = ApplyCharCase(S);
    if (FMaxLength > 0) {
        const int room = std::max(0, FMaxLength - (n - (B - A)));
        ins = Utf8Copy(ins, 0, std::size_t(room));
    }
    if (ins.empty() && A == B) return false;
    const std::size_t a = Utf8ByteOffset(t, std::size_t(A));
    const std::size_t b = Utf8ByteOffset(t, std::size_t(B));
    const std::string s = t.substr(0, a) + ins + t.substr(b);
    const int caret = A + int(Utf8Length(ins));
    ApplyEdit(s, caret, caret, Coalesce);
    return true;
}

// --- layout --------------------------------------------------------------------------------

TCanvas& TCustomEdit::Measure() {
    if (!FMeasure) FMeasure = std::make_unique<TCanvas>();
    return *FMeasure;
}

std::string TCustomEdit::GetDisplayText() const {
    if (FPasswordChar == 0) return GetText();
    const std::string one = Utf8Encode(FPasswordChar);
    std::string s;
    for (int i = TextLength(); i > 0; --i) s += one;
    return s;
}

std::vector<int>& TCustomEdit::Positions() {
    if (FPositionsValid) return FPositions;
    TCanvas& c = Measure();
    c.Font().Assign(&Font());
    const std::string t = GetDisplayText();
    FPositions.assign(1, 0);
    std::size_t i = 0;
    // Advances are whole pixels, so the width of a prefix is the sum of its characters.
    while (i < t.size()) {
        const std::size_t from = i;
        Utf8Decode(t, i);
        FPositions.push_back(FPositions.back() +
                             c.TextWidth(std::string_view(t).substr(from, i - from)));
    }
    FPositionsValid = true;
    return FPositions;
}

int TCustomEdit::TextOriginX() {
    const TRect fr = GetFormatRect();
    const int room = fr.Width() - Positions().back();
    if (room <= 0 || FAlignment == TAlignment::taLeftJustify) return fr.Left - FScrollX;
    // The caret needs a pixel after the last character.
    return fr.Left + (FAlignment == TAlignment::taRightJustify ? room - 1 : room / 2);
}

int TCustomEdit::CharPosX(int Index) {
    const std::vector<int>& p = Positions();
    Index = std::clamp(Index, 0, int(p.size()) - 1);
    return TextOriginX() + p[std::size_t(Index)];
}

int TCustomEdit::CharIndexAt(int X) {
    const std::vector<int>& p = Positions();
    const int x = X - TextOriginX();
    for (std::size_t i = 0; i + 1 < p.size(); ++i)
        if (x < (p[i] + p[i + 1] + 1) / 2) return int(i);
    return int(p.size()) - 1;
}

void TCustomEdit::ScrollCaretIntoView() {
    const std::vector<int>& p = Positions();
    const int width = std::max(1, GetFormatRect().Width());
    const int total = p.back();
    const int caretX = p[std::size_t(std::clamp(FCaret, 0, int(p.size()) - 1))];
    int s = FScrollX;
    if (caretX - s < 0) s = caretX;
    if (caretX - s > width - 1) s = caretX - width + 1;
    // Never leave empty room at the right while text is scrolled out at the left.
    s = std::clamp(s, 0, std::max(0, total - width + 1));
    if (s != FScrollX) {
        FScrollX = s;
        Invalidate();
    }
    RestartCaretBlink();
}

void TCustomEdit::RestartCaretBlink() {
    if (!FCaretOn) Invalidate();
    FCaretOn = true;
    if (!HandleAllocated()) return;
    const unsigned interval = SystemProfile().CaretBlinkTime;
    if (Focused() && FAnchor == FCaret && interval != 0 && CaretCanBlink())
        SetTimer(GetHandle(), CaretBlinkTimer, interval);
    else
        KillTimer(GetHandle(), CaretBlinkTimer);
}

bool TCustomEdit::GetCaretVisible() const {
    return Focused() && (FCaretOn || FAnchor != FCaret);
}

// --- words ---------------------------------------------------------------------------------

int TCustomEdit::WordLeft(int Pos) const {
    const std::vector<char32_t> cs = Decode(GetText());
    int i = std::min(Pos, int(cs.size()));
    while (i > 0 && IsBlank(cs[std::size_t(i - 1)])) --i;
    while (i > 0 && !IsBlank(cs[std::size_t(i - 1)])) --i;
    return i;
}

int TCustomEdit::WordRight(int Pos) const {
    const std::vector<char32_t> cs = Decode(GetText());
    const int n = int(cs.size());
    int i = std::max(0, Pos);
    while (i < n && !IsBlank(cs[std::size_t(i)])) ++i;
    while (i < n && IsBlank(cs[std::size_t(i)])) ++i;
    return i;
}

// --- native handling -------------------------------------------------------------------------

void TCustomEdit::MoveCaret(int Pos, bool Extend) {
    FCaret = std::clamp(Pos, 0, TextLength());
    if (!Extend) FAnchor = FCaret;
    FTyping = false;
    ScrollCaretIntoView();
    Invalidate();
}

void TCustomEdit::EditKeyDown(unsigned Key, TShiftState Shift) {
    const bool shift = Shift.Contains(TShiftStateFlag::ssShift);
    const bool ctrl = Shift.Contains(TShiftStateFlag::ssCtrl);
    const int n = TextLength();
    switch (Key) {
        case VK_LEFT:
        case VK_UP:
            if (ctrl)
                MoveCaret(WordLeft(FCaret), shift);
            else if (!shift && FAnchor != FCaret)
                MoveCaret(GetSelStart(), false);
            else
                MoveCaret(FCaret - 1, shift);
            break;
        case VK_RIGHT:
        case VK_DOWN:
            if (ctrl)
                MoveCaret(WordRight(FCaret), shift);
            else if (!shift && FAnchor != FCaret)
                MoveCaret(GetSelStart() + GetSelLength(), false);
            else
                MoveCaret(FCaret + 1, shift);
            break;
        case VK_HOME:
            MoveCaret(0, shift);
            break;
        case VK_END:
            MoveCaret(n, shift);
            break;
        case VK_DELETE:
            if (shift)
                Perform(WM_CUT);
            else if (FAnchor != FCaret)
                Perform(WM_CLEAR);
            else if (EditCanModify())
                EditDelete(true, ctrl);
            break;
        case VK_INSERT:
            if (ctrl)
                Perform(WM_COPY);
            else if (shift)
                Perform(WM_PASTE);
            break;
        default:
            break;
    }
}

void TCustomEdit::EditDelete(bool Forward, bool Word) {
    const int n = TextLength();
    if (Forward) {
        if (FCaret >= n) return;
        ReplaceRange(FCaret, Word ? WordRight(FCaret) : FCaret + 1, {});
    } else {
        if (FCaret <= 0) return;
        ReplaceRange(Word ? WordLeft(FCaret) : FCaret - 1, FCaret, {});
    }
}

void TCustomEdit::EditClearSelection() {
    if (FAnchor == FCaret) return;
    ReplaceRange(GetSelStart(), GetSelStart() + GetSelLength(), {});
}

void TCustomEdit::EditPaste(const std::string& S) {
    // A single-line edit keeps only the first line.
    const std::size_t eol = S.find_first_of("\r\n");
    ReplaceRange(GetSelStart(), GetSelStart() + GetSelLength(), S.substr(0, eol));
}

void TCustomEdit::EditChar(char32_t Ch) {
    switch (Ch) {
        case 1:
            SelectAll();
            return;  // Ctrl+A
        case 3:
            Perform(WM_COPY);
            return;  // Ctrl+C
        case 22:
            Perform(WM_PASTE);
            return;  // Ctrl+V
        case 24:
            Perform(WM_CUT);
            return;  // Ctrl+X
        case 26:
            Perform(WM_UNDO);
            return;  // Ctrl+Z
        case 8:
        case 0x7F:  // Backspace, Ctrl+Backspace
            if (!EditCanModify()) return;
            if (FAnchor != FCaret)
                EditClearSelection();
            else
                EditDelete(false, Ch == 0x7F);
            return;
        default:
            break;
    }
    if (Ch < U' ' || !EditCanModify()) return;
    ReplaceRange(GetSelStart(), GetSelStart() + GetSelLength(), Utf8Encode(Ch), true);
}

void TCustomEdit::CopySelection() {
    if (FPasswordChar != 0 || FAnchor == FCaret) return;
    Clipboard().SetAsText(GetSelText());
}

void TCustomEdit::DefaultHandler(TMessage& Message) {
    switch (Message.Msg) {
        case WM_KEYDOWN:
            EditKeyDown(unsigned(Message.WParam), KeyDataToShiftState(Message.LParam));
            return;
        case WM_CHAR:
            EditChar(char32_t(Message.WParam));
            return;
        case WM_COPY:
            CopySelection();
            return;
        case WM_CUT:
            if (FPasswordChar != 0 || FAnchor == FCaret) return;
            CopySelection();
            if (EditCanModify()) EditClearSelection();
            return;
        case WM_CLEAR:
            if (EditCanModify()) EditClearSelection();
            return;
        case WM_PASTE:
            if (EditCanModify() && Clipboard().HasFormat(CF_TEXT))
                EditPaste(Clipboard().GetAsText());
            return;
        case WM_UNDO:
        case EM_UNDO:
            Message.Result = 0;
            if (FUndo.empty() || !EditCanModify()) return;
            {
                const TUndoStep step = FUndo.back();
                FUndo.pop_back();
                SetTextQuietly(step.Text);
                FAnchor = std::min(step.Anchor, TextLength());
                FCaret = std::min(step.Caret, TextLength());
                FTyping = false;
                FModified = true;
                ScrollCaretIntoView();
                Invalidate();
                Change();
            }
            Message.Result = 1;
            return;
        case EM_CANUNDO:
            Message.Result = FUndo.empty() ? 0 : 1;
            return;
        case EM_EMPTYUNDOBUFFER:
            FUndo.clear();
            return;
        case EM_GETSEL: {
            const int a = GetSelStart(), b = a + GetSelLength();
            if (Message.WParam) *reinterpret_cast<int*>(Message.WParam) = a;
            if (Message.LParam) *reinterpret_cast<int*>(Message.LParam) = b;
            Message.Result = MakeLParam(a, b);
            return;
        }
        case EM_SETSEL: {
            // Classic: a start of -1 removes the selection, an end of -1 means the text's end.
            const int a = int(std::intptr_t(Message.WParam));
            const int b = int(Message.LParam);
            if (a < 0)
                SetSelStart(FCaret);
            else
                SetSel(a, b < 0 ? TextLength() : b);
            return;
        }
        case EM_REPLACESEL: {
            const char* s = reinterpret_cast<const char*>(Message.LParam);
            const int a = GetSelStart(), b = a + GetSelLength();
            const std::string& t = GetText();
            const std::string ins = s ? s : "";
            const std::size_t ba = Utf8ByteOffset(t, std::size_t(a));
            const std::size_t bb = Utf8ByteOffset(t, std::size_t(b));
            const int caret = a + int(Utf8Length(ins));
            if (Message.WParam)
                ApplyEdit(t.substr(0, ba) + ins + t.substr(bb), caret, caret);
            else {
                SetTextQuietly(t.substr(0, ba) + ins + t.substr(bb));
                FAnchor = FCaret = caret;
                FModified = true;
                ScrollCaretIntoView();
                Invalidate();
                Change();
            }
            return;
        }
        case EM_LIMITTEXT:
            SetMaxLength(int(Message.WParam));
            return;
        case EM_GETMODIFY:
            Message.Result = FModified ? 1 : 0;
            return;
        case EM_SETMODIFY:
            FModified = Message.WParam != 0;
            return;
        case EM_SETREADONLY:
            SetReadOnly(Message.WParam != 0);
            Message.Result = 1;
            return;
        case EM_SETPASSWORDCHAR:
            SetPasswordChar(char32_t(Message.WParam));
            return;
        case EM_GETRECT:
            if (Message.LParam) *reinterpret_cast<TRect*>(Message.LParam) = GetFormatRect();
            return;
        case EM_SETRECT:
        case EM_SETRECTNP:
            if (Message.LParam)
                SetFormatRect(*reinterpret_cast<const TRect*>(Message.LParam));
            else
                ResetFormatRect();
            return;
        case EM_SCROLLCARET:
            ScrollCaretIntoView();
            return;
        case WM_GETTEXT: {
            // WParam: buffer size in bytes with the terminating zero; the text is cut at a
            // code-point boundary.
            char* buf = reinterpret_cast<char*>(Message.LParam);
            const std::size_t cap = std::size_t(Message.WParam);
            Message.Result = 0;
            if (!buf || cap == 0) return;
            const std::string& t = GetText();
            std::size_t n = std::min(t.size(), cap - 1);
            while (n > 0 && n < t.size() && (static_cast<unsigned char>(t[n]) & 0xC0) == 0x80) --n;
            std::memcpy(buf, t.data(), n);
            buf[n] = '\0';
            Message.Result = LRESULT(n);
            return;
        }
        case WM_SETTEXT: {
            const char* s = reinterpret_cast<const char*>(Message.LParam);
            SetText(s ? s : "");
            Message.Result = 1;
            return;
        }
        default:
            TCustomControl::DefaultHandler(Message);
    }
}

void TCustomEdit::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case WM_GETDLGCODE:
            Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL;
            return;
        case CM_TEXTCHANGED:
            if (!FQuiet) TextAssigned();
            Invalidate();
            return;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            FMouseSelecting = false;
            Invalidate();
            TCustomControl::Dispatch(Message);
            RestartCaretBlink();
            return;
        case WM_TIMER:
            if (Message.WParam != CaretBlinkTimer) break;
            FCaretOn = !FCaretOn;
            Invalidate();
            return;
        default:
            break;
    }
    TCustomControl::Dispatch(Message);
}

void TCustomEdit::DoEnter() {
    if (FAutoSelect && !GetControlState().Contains(TControlStateFlag::csLButtonDown)) SelectAll();
    TCustomControl::DoEnter();
}

// --- mouse ---------------------------------------------------------------------------------

void TCustomEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == TMouseButton::mbLeft) {
        if (CanFocus() && !Focused()) SetFocus();
        if (Shift.Contains(TShiftStateFlag::ssDouble)) {
            // A double click selects the word (or the run of blanks) under the pointer.
            const std::vector<char32_t> cs = Decode(GetText());
            const int n = int(cs.size());
            int i = std::min(CharIndexAt(X), n);
            if (i == n && i > 0) --i;
            if (n > 0 && FPasswordChar == 0) {
                const bool blank = IsBlank(cs[std::size_t(i)]);
                int a = i, b = i;
                while (a > 0 && IsBlank(cs[std::size_t(a - 1)]) == blank) --a;
                while (b < n && IsBlank(cs[std::size_t(b)]) == blank) ++b;
                SetSel(a, b);
            } else {
                SelectAll();
            }
            FMouseSelecting = false;
        } else {
            MoveCaret(CharIndexAt(X), Shift.Contains(TShiftStateFlag::ssShift));
            FMouseSelecting = true;
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomEdit::MouseMove(TShiftState Shift, int X, int Y) {
    if (FMouseSelecting && Shift.Contains(TShiftStateFlag::ssLeft)) MoveCaret(CharIndexAt(X), true);
    TCustomControl::MouseMove(Shift, X, Y);
}

void TCustomEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == TMouseButton::mbLeft) FMouseSelecting = false;
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

// --- painting ------------------------------------------------------------------------------

void TCustomEdit::Paint() {
    TCanvas& C = Canvas();
    const TRect client = GetClientRect();
    C.Brush().SetStyle(TBrushStyle::bsSolid);
    C.Brush().SetColor(GetColor());
    C.FillRect(client);
    C.Font().Assign(&Font());
    if (!GetEnabled()) C.Font().SetColor(clGrayText);
    const TRect fr = GetFormatRect();
    const std::string t = GetDisplayText();
    const std::vector<int>& p = Positions();
    const int h = C.TextHeight("Wg");
    const int x0 = TextOriginX();
    const int saved = C.SaveDC();
    C.IntersectClipRect(fr);
    C.Brush().SetStyle(TBrushStyle::bsClear);
    C.TextOut(x0, fr.Top, t);
    const bool showSel = FAnchor != FCaret && (Focused() || !FHideSelection);
    if (showSel) {
        const int a = GetSelStart(), b = a + GetSelLength();
        const TRect sel{x0 + p[std::size_t(a)], fr.Top, x0 + p[std::size_t(b)], fr.Top + h};
        C.Brush().SetStyle(TBrushStyle::bsSolid);
        C.Brush().SetColor(clHighlight);
        C.FillRect(sel);
        C.Brush().SetStyle(TBrushStyle::bsClear);
        C.Font().SetColor(clHighlightText);
        C.TextOut(sel.Left, fr.Top, Utf8Copy(t, std::size_t(a), std::size_t(b - a)));
    }
    if (GetCaretVisible()) {
        const int cx = x0 + p[std::size_t(std::clamp(FCaret, 0, int(p.size()) - 1))];
        C.Brush().SetStyle(TBrushStyle::bsSolid);
        C.Brush().SetColor(clWindowText);
        C.FillRect(TRect{cx, fr.Top, cx + 1, fr.Top + h});
    }
    C.RestoreDC(saved);
    C.Brush().SetStyle(TBrushStyle::bsSolid);
}

}  // namespace vel
