#include "platform/controls/Mask.h"

#include <algorithm>

#include "platform/classes/TypInfo.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Utf8.h"

namespace vel {

VEL_DEFINE_CLASS(TCustomMaskEdit, TCustomEdit)
VEL_DEFINE_CREATABLE_CLASS(TMaskEdit, TCustomMaskEdit)

VEL_PUBLISHED(TCustomMaskEdit) {
    Prop("EditMask", &T::GetEditMask, &T::SetEditMask).Default(std::string());
}

namespace {

std::vector<char32_t> Decode(std::string_view s) {
    std::vector<char32_t> out;
    std::size_t i = 0;
    while (i < s.size()) out.push_back(Utf8Decode(s, i));
    return out;
}

bool IsDigit(char32_t c) {
    return c >= U'0' && c <= U'9';
}
bool IsLetter(char32_t c) {
    if ((c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z')) return true;
    return c >= 0xC0 && (UnicodeToUpper(c) != c || UnicodeToLower(c) != c);
}

}  // namespace

// --- the mask ------------------------------------------------------------------------------

TEditMask::TEditMask(const std::string& Mask) : FMask(Mask) {
    const std::vector<char32_t> cs = Decode(Mask);
    // The sections: an unescaped ';' ends the mask proper.
    std::size_t end = cs.size();
    for (std::size_t i = 0; i < cs.size(); ++i) {
        if (cs[i] == U'\\') {
            ++i;
            continue;
        }
        if (cs[i] == U';') {
            end = i;
            break;
        }
    }
    if (end < cs.size()) {
        std::size_t j = end + 1;
        if (j < cs.size() && cs[j] != U';') FSaveLiterals = cs[j] != U'0';
        while (j < cs.size() && cs[j] != U';') ++j;
        if (j + 1 < cs.size()) FBlank = cs[j + 1];
    }
    int caseMode = 0;
    const TFormatSettings& fs = FormatSettings();
    for (std::size_t i = 0; i < end; ++i) {
        const char32_t c = cs[i];
        TSlot s;
        switch (c) {
            case U'!':
                FLeadingBlanks = true;
                continue;
            case U'>':
                caseMode = 1;
                continue;
            case U'<':
                if (i + 1 < end && cs[i + 1] == U'>') {
                    caseMode = 0;
                    ++i;
                } else {
                    caseMode = -1;
                }
                continue;
            case U'\\':
                if (i + 1 < end) ++i;
                s.Literal = cs[i];
                break;
            case U'0':
            case U'9':
            case U'#':
            case U'L':
            case U'l':
            case U'A':
            case U'a':
            case U'C':
            case U'c':
                s.Input = true;
                s.Kind = char(c);
                s.Case = caseMode;
                break;
            case U':':
                s.Literal = char32_t(static_cast<unsigned char>(fs.TimeSeparator));
                break;
            case U'/':
                s.Literal = char32_t(static_cast<unsigned char>(fs.DateSeparator));
                break;
            case U'_':
                s.Literal = U' ';
                break;
            default:
                s.Literal = c;
                break;
        }
        FSlots.push_back(s);
    }
}

std::string TEditMask::Describe(char Kind) {
    switch (Kind) {
        case '0':
        case '9':
            return "a digit";
        case '#':
            return "a digit or sign";
        case 'L':
        case 'l':
            return "a letter";
        case 'A':
        case 'a':
            return "a letter or digit";
        default:
            return "a character";
    }
}

char32_t TEditMask::Accept(int Index, char32_t Ch) const {
    if (!IsInput(Index) || Ch < U' ') return 0;
    const TSlot& s = FSlots[std::size_t(Index)];
    bool ok = false;
    switch (s.Kind) {
        case '0':
        case '9':
            ok = IsDigit(Ch);
            break;
        case '#':
            ok = IsDigit(Ch) || Ch == U'+' || Ch == U'-';
            break;
        case 'L':
        case 'l':
            ok = IsLetter(Ch);
            break;
        case 'A':
        case 'a':
            ok = IsLetter(Ch) || IsDigit(Ch);
            break;
        default:
            ok = true;
            break;
    }
    if (!ok) return 0;
    if (s.Case > 0) return UnicodeToUpper(Ch);
    if (s.Case < 0) return UnicodeToLower(Ch);
    return Ch;
}

int TEditMask::NextInput(int Index) const {
    int i = std::max(0, Index);
    while (i < Length() && !FSlots[std::size_t(i)].Input) ++i;
    return i;
}

int TEditMask::PrevInput(int Index) const {
    int i = std::min(Index, Length() - 1);
    while (i >= 0 && !FSlots[std::size_t(i)].Input) --i;
    return i;
}

std::string TEditMask::EmptyEditText() const {
    std::string s;
    for (const TSlot& slot : FSlots) Utf8Append(s, slot.Input ? FBlank : slot.Literal);
    return s;
}

std::string TEditMask::FormatText(const std::string& Value) const {
    const std::vector<char32_t> v = Decode(Value);
    const int n = Length();
    // Already an edit text: same length with every literal in place.
    if (int(v.size()) == n) {
        bool shaped = true;
        for (int i = 0; i < n && shaped; ++i)
            if (!FSlots[std::size_t(i)].Input)
                shaped = v[std::size_t(i)] == FSlots[std::size_t(i)].Literal;
        if (shaped) {
            std::string s;
            for (int i = 0; i < n; ++i) {
                const char32_t c = v[std::size_t(i)];
                if (!FSlots[std::size_t(i)].Input) {
                    Utf8Append(s, c);
                    continue;
                }
                const char32_t a = (c == FBlank || c == U' ') ? 0 : Accept(i, c);
                Utf8Append(s, a ? a : FBlank);
            }
            return s;
        }
    }
    std::vector<char32_t> out;
    for (const TSlot& slot : FSlots) out.push_back(slot.Input ? FBlank : slot.Literal);
    std::vector<char32_t> in = v;
    if (!FSaveLiterals && FLeadingBlanks) {
        // Right-justify a short value in the input slots.
        int inputs = 0;
        for (const TSlot& slot : FSlots) inputs += slot.Input ? 1 : 0;
        if (int(in.size()) < inputs) in.insert(in.begin(), std::size_t(inputs) - in.size(), U' ');
    }
    std::size_t k = 0;
    for (int i = 0; i < n && k < in.size(); ++i) {
        const TSlot& slot = FSlots[std::size_t(i)];
        if (!slot.Input) {
            if (FSaveLiterals && in[k] == slot.Literal) ++k;
            continue;
        }
        const char32_t c = in[k++];
        const char32_t a = (c == U' ' || c == FBlank) ? 0 : Accept(i, c);
        out[std::size_t(i)] = a ? a : FBlank;
    }
    std::string s;
    for (char32_t c : out) Utf8Append(s, c);
    return s;
}

std::string TEditMask::ExtractText(const std::string& EditText) const {
    const std::vector<char32_t> v = Decode(EditText);
    std::string s;
    for (int i = 0; i < Length() && i < int(v.size()); ++i) {
        const TSlot& slot = FSlots[std::size_t(i)];
        if (!slot.Input) {
            if (FSaveLiterals) Utf8Append(s, slot.Literal);
            continue;
        }
        const char32_t c = v[std::size_t(i)];
        Utf8Append(s, c == FBlank ? U' ' : c);
    }
    if (!FSaveLiterals) {
        if (FLeadingBlanks)
            s.erase(0, s.find_first_not_of(' ') == std::string::npos ? s.size()
                                                                     : s.find_first_not_of(' '));
        else
            s.erase(s.find_last_not_of(' ') + 1);
    }
    return s;
}

int TEditMask::FindIncomplete(const std::string& EditText) const {
    const std::vector<char32_t> v = Decode(EditText);
    for (int i = 0; i < Length(); ++i) {
        const TSlot& slot = FSlots[std::size_t(i)];
        if (!slot.Input || !slot.Required()) continue;
        const char32_t c = i < int(v.size()) ? v[std::size_t(i)] : FBlank;
        if (c == FBlank || c == U' ' || Accept(i, c) == 0) return i;
    }
    return -1;
}

// --- the masked edit -------------------------------------------------------------------------

TCustomMaskEdit::TCustomMaskEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}

TMaskedStates TCustomMaskEdit::GetMaskState() const {
    TMaskedStates s = FExtraState;
    if (IsMasked()) s.Include(TMaskedState::msMasked);
    return s;
}

void TCustomMaskEdit::SetMaskState(TMaskedStates Value) {
    Value.Exclude(TMaskedState::msMasked);
    FExtraState = Value;
}

void TCustomMaskEdit::SetEditMask(const std::string& Value) {
    if (Value == FMask.GetMask()) return;
    const std::string value = GetText();
    FMask = TEditMask(Value);
    const std::string edit = AdjustAssignedText(value);
    if (edit == GetEditText()) {
        SetSelStart(0);
        Invalidate();
    } else {
        TCustomEdit::SetText(edit);
    }
}

std::string TCustomMaskEdit::GetText() const {
    if (!IsMasked()) return GetEditText();
    return FMask.ExtractText(GetEditText());
}

void TCustomMaskEdit::SetEditText(const std::string& Value) {
    if (IsMasked()) {
        const std::vector<char32_t> v = Decode(Value);
        bool shaped = int(v.size()) == FMask.Length();
        for (int i = 0; shaped && i < FMask.Length(); ++i)
            if (!FMask.IsInput(i)) shaped = v[std::size_t(i)] == FMask.Slot(i).Literal;
        if (!shaped)
            throw EMaskError("'" + Value + "' does not fit the edit mask '" + FMask.GetMask() +
                             "' (expected " + std::to_string(FMask.Length()) +
                             " characters with the literals in place)");
    }
    TCustomEdit::SetText(Value);
}

std::string TCustomMaskEdit::AdjustAssignedText(const std::string& S) {
    const std::string s = TCustomEdit::AdjustAssignedText(S);
    return IsMasked() ? FMask.FormatText(s) : s;
}

void TCustomMaskEdit::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case CM_EXIT:
            if (IsMasked() && FMask.FindIncomplete(GetEditText()) >= 0 &&
                !GetComponentState().Contains(TComponentStateFlag::csDestroying) && CanFocus()) {
                // The user never left: coming back is no new entry (no OnEnter, no AutoSelect)
                // and the failed exit raises no OnExit. The exception ends the focus change.
                FExtraState.Include(TMaskedState::msReEnter);
                SetFocus();
                FExtraState.Exclude(TMaskedState::msReEnter);
                ValidateEdit();
            }
            break;
        case CM_ENTER:
            if (FExtraState.Contains(TMaskedState::msReEnter)) return;
            FOldEditText = GetEditText();
            break;
        default:
            break;
    }
    TCustomEdit::Dispatch(Message);
}

void TCustomMaskEdit::ValidateEdit() {
    if (!IsMasked()) return;
    const int bad = FMask.FindIncomplete(GetEditText());
    if (bad < 0) return;
    SetSel(bad, bad);
    throw EDBEditError("Invalid input value '" + GetEditText() + "' for the mask '" +
                       FMask.GetMask() + "': position " + std::to_string(bad + 1) + " needs " +
                       TEditMask::Describe(FMask.Slot(bad).Kind) +
                       ". Use Escape to abandon the changes.");
}

std::vector<char32_t> TCustomMaskEdit::Slots() const {
    std::vector<char32_t> cs = Decode(GetEditText());
    // Keep one code point per slot whatever happened to the text.
    const std::vector<char32_t> empty = Decode(FMask.EmptyEditText());
    cs.resize(empty.size(), FMask.GetBlank());
    for (int i = 0; i < FMask.Length(); ++i)
        if (!FMask.IsInput(i)) cs[std::size_t(i)] = empty[std::size_t(i)];
    return cs;
}

std::string TCustomMaskEdit::Join(const std::vector<char32_t>& Cs) const {
    std::string s;
    for (char32_t c : Cs) Utf8Append(s, c);
    return s;
}

void TCustomMaskEdit::BlankSelection(std::vector<char32_t>& Cs) const {
    const int a = GetSelStart(), b = a + GetSelLength();
    for (int i = a; i < b && i < int(Cs.size()); ++i)
        if (FMask.IsInput(i)) Cs[std::size_t(i)] = FMask.GetBlank();
}

void TCustomMaskEdit::MoveCaret(int Pos, bool Extend) {
    // The caret rests before an input slot (or at the very end), never before a literal.
    if (IsMasked() && !Extend) {
        const int next = FMask.NextInput(Pos);
        Pos = next < FMask.Length() ? next : std::max(Pos, FMask.PrevInput(FMask.Length() - 1) + 1);
    }
    TCustomEdit::MoveCaret(Pos, Extend);
}

void TCustomMaskEdit::EditKeyDown(unsigned Key, TShiftState Shift) {
    if (Key == VK_ESCAPE && IsMasked() && GetModified() && EditCanModify()) {
        SetText(FOldEditText);
        return;
    }
    if (!IsMasked() || Shift.Contains(TShiftStateFlag::ssCtrl) ||
        Shift.Contains(TShiftStateFlag::ssShift)) {
        TCustomEdit::EditKeyDown(Key, Shift);
        return;
    }
    const int first = FMask.NextInput(0);
    const int end = FMask.PrevInput(FMask.Length() - 1) + 1;
    switch (Key) {
        case VK_LEFT:
        case VK_UP: {
            if (GetSelLength() > 0) {
                TCustomEdit::MoveCaret(GetSelStart(), false);
                return;
            }
            const int p = FMask.PrevInput(FCaret - 1);
            TCustomEdit::MoveCaret(p < 0 ? first : p, false);
            return;
        }
        case VK_RIGHT:
        case VK_DOWN: {
            if (GetSelLength() > 0) {
                TCustomEdit::MoveCaret(GetSelStart() + GetSelLength(), false);
                return;
            }
            const int p = FMask.NextInput(FCaret + 1);
            TCustomEdit::MoveCaret(std::min(p, end), false);
            return;
        }
        case VK_HOME:
            TCustomEdit::MoveCaret(first, false);
            return;
        case VK_END:
            TCustomEdit::MoveCaret(end, false);
            return;
        default:
            TCustomEdit::EditKeyDown(Key, Shift);
    }
}

void TCustomMaskEdit::EditChar(char32_t Ch) {
    if (!IsMasked() || (Ch < U' ' && Ch != 8 && Ch != 0x7F)) {
        TCustomEdit::EditChar(Ch);
        return;
    }
    if (!EditCanModify()) return;
    std::vector<char32_t> cs = Slots();
    if (Ch == 8 || Ch == 0x7F) {
        if (GetSelLength() > 0) {
            EditClearSelection();
            return;
        }
        const int p = FMask.PrevInput(FCaret - 1);
        if (p < 0) return;
        cs[std::size_t(p)] = FMask.GetBlank();
        ApplyEdit(Join(cs), p, p);
        return;
    }
    const int start = GetSelStart();
    // Typing a literal where it stands just steps over it.
    if (start < FMask.Length() && !FMask.IsInput(start) && FMask.Slot(start).Literal == Ch &&
        GetSelLength() == 0) {
        MoveCaret(start + 1, false);
        return;
    }
    const int q = FMask.NextInput(start);
    if (q >= FMask.Length()) return;
    const char32_t c = FMask.Accept(q, Ch);
    if (c == 0) return;  // refused: the text stays as it was
    BlankSelection(cs);
    cs[std::size_t(q)] = c;
    const int next = FMask.NextInput(q + 1);
    const int caret = next < FMask.Length() ? next : q + 1;
    ApplyEdit(Join(cs), caret, caret, true);
}

void TCustomMaskEdit::EditDelete(bool Forward, bool Word) {
    if (!IsMasked()) {
        TCustomEdit::EditDelete(Forward, Word);
        return;
    }
    std::vector<char32_t> cs = Slots();
    const int p = Forward ? FMask.NextInput(FCaret) : FMask.PrevInput(FCaret - 1);
    if (p < 0 || p >= FMask.Length()) return;
    cs[std::size_t(p)] = FMask.GetBlank();
    const int caret = Forward ? FCaret : p;
    ApplyEdit(Join(cs), caret, caret);
}

void TCustomMaskEdit::EditClearSelection() {
    if (!IsMasked()) {
        TCustomEdit::EditClearSelection();
        return;
    }
    if (GetSelLength() == 0) return;
    std::vector<char32_t> cs = Slots();
    BlankSelection(cs);
    const int caret = std::min(FMask.NextInput(GetSelStart()), FMask.Length());
    ApplyEdit(Join(cs), caret, caret);
}

void TCustomMaskEdit::EditPaste(const std::string& S) {
    if (!IsMasked()) {
        TCustomEdit::EditPaste(S);
        return;
    }
    // The pasted characters go into the slots from the selection on, stepping over literals
    // they repeat; one that a slot refuses refuses the whole paste.
    std::vector<char32_t> cs = Slots();
    BlankSelection(cs);
    int pos = GetSelStart();
    for (char32_t ch : Decode(S)) {
        if (pos < FMask.Length() && !FMask.IsInput(pos) && FMask.Slot(pos).Literal == ch) {
            ++pos;
            continue;
        }
        const int q = FMask.NextInput(pos);
        if (q >= FMask.Length()) return;
        const char32_t c = FMask.Accept(q, ch);
        if (c == 0) return;
        cs[std::size_t(q)] = c;
        pos = q + 1;
    }
    const int next = FMask.NextInput(pos);
    const int caret = next < FMask.Length() ? next : pos;
    ApplyEdit(Join(cs), caret, caret);
}

}  // namespace vel
