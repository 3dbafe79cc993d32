#pragma once
// Edit masks and the masked edit control.
//
// The mask language (one slot of the edit text per character that is not a directive):
//   0 digit, required        9 digit, optional        # digit, + or -, optional
//   L letter, required       l letter, optional
//   A letter or digit, req.  a letter or digit, opt.
//   C any character, req.    c any character, optional
//   >  following letters upper case     <  lower case     <>  no conversion
//   !  optional blanks lead the text instead of trailing it
//   \  the next character is a literal  :  the time separator  /  the date separator
//   _  a literal blank       anything else is a literal
// Two optional sections follow, separated by ';': '0' in the first means Text leaves the
// literals out (they are saved otherwise); the first character of the second is the blank
// shown in empty slots ('_' by default). "!(999) 000-0000;1;_" is a phone number.
#include <string>
#include <vector>

#include "platform/controls/StdEdit.h"
#include "platform/rtl/Exceptions.h"

namespace vel {

// Raised by ValidateEdit when the text does not fill the mask.
VEL_DECLARE_EXCEPTION(EDBEditError, Exception)
// Raised for a text that cannot be put into the mask (SetEditText).
VEL_DECLARE_EXCEPTION(EMaskError, Exception)

class TEditMask {
public:
    struct TSlot {
        bool Input = false;
        char32_t Literal = 0;  // for literal slots
        char Kind = 0;         // mask character for input slots
        int Case = 0;          // 1 upper, -1 lower
        bool Required() const { return Kind == '0' || Kind == 'L' || Kind == 'A' || Kind == 'C'; }
    };

    TEditMask() = default;
    explicit TEditMask(const std::string& Mask);
    const std::string& GetMask() const { return FMask; }
    bool IsMasked() const { return !FMask.empty(); }
    bool SaveLiterals() const { return FSaveLiterals; }
    char32_t GetBlank() const { return FBlank; }
    bool LeadingBlanks() const { return FLeadingBlanks; }
    int Length() const { return int(FSlots.size()); }
    const TSlot& Slot(int Index) const { return FSlots.at(std::size_t(Index)); }
    bool IsInput(int Index) const {
        return Index >= 0 && Index < Length() && FSlots[std::size_t(Index)].Input;
    }

    // The character as the slot stores it (case applied), or 0 when the slot refuses it.
    char32_t Accept(int Index, char32_t Ch) const;
    // The edit text of an empty value: literals and blanks.
    std::string EmptyEditText() const;
    // Puts a value into the mask. An edit text (literals in place) is kept as it is; other
    // text fills the input slots in order, also skipping literals it contains when the mask
    // saves them. Characters a slot refuses leave it blank.
    std::string FormatText(const std::string& Value) const;
    // The value of an edit text: blanks become spaces, literals go unless saved; without
    // saved literals trailing (with '!' leading) spaces are trimmed.
    std::string ExtractText(const std::string& EditText) const;
    // The first required slot left blank or holding a refused character, -1 when complete.
    int FindIncomplete(const std::string& EditText) const;
    // The next input slot at or after Index (Length() when none), and the last before it (-1).
    int NextInput(int Index) const;
    int PrevInput(int Index) const;
    // What a slot expects, for messages ("a digit", "a letter", …).
    static std::string Describe(char Kind);

private:
    std::string FMask;
    std::vector<TSlot> FSlots;
    bool FSaveLiterals = true;
    char32_t FBlank = U'_';
    bool FLeadingBlanks = false;
};

enum class TMaskedState { msMasked, msReEnter, msDBSetText };
using TMaskedStates = TSet<TMaskedState>;

class TCustomMaskEdit : public TCustomEdit {
    VEL_CLASS(TCustomMaskEdit)
public:
    explicit TCustomMaskEdit(TComponent* AOwner);

    const std::string& GetEditMask() const { return FMask.GetMask(); }
    // The current value is carried over into the new mask.
    void SetEditMask(const std::string& Value);
    bool IsMasked() const { return FMask.IsMasked(); }
    const TEditMask& GetMaskInfo() const { return FMask; }
    TMaskedStates GetMaskState() const;
    void SetMaskState(TMaskedStates Value);

    // The text as shown: literals and blanks included (TControl::GetText reads the same).
    const std::string& GetEditText() const { return TCustomEdit::GetText(); }
    // Sets the shown text; EMaskError when it does not have the mask's shape.
    void SetEditText(const std::string& Value);
    // The value: what the mask's save rules make of the edit text. Note that this hides
    // TControl::GetText, which reads the edit text; SetText takes a value.
    std::string GetText() const;
    void SetText(const std::string& Value) { TCustomEdit::SetText(Value); }

    // Raises EDBEditError (and puts the caret on the slot) when a required slot is empty.
    virtual void ValidateEdit();

protected:
    // Leaving with required slots empty (CM_EXIT) brings the focus back and raises
    // EDBEditError through ValidateEdit; the text stays as typed. Escape abandons what was
    // typed since the edit was entered.
    void Dispatch(TMessage& Message) override;
    void EditKeyDown(unsigned Key, TShiftState Shift) override;
    void EditChar(char32_t Ch) override;
    void EditDelete(bool Forward, bool Word) override;
    void EditPaste(const std::string& S) override;
    void EditClearSelection() override;
    std::string AdjustAssignedText(const std::string& S) override;
    void MoveCaret(int Pos, bool Extend) override;

private:
    // The edit text as code points, one per slot.
    std::vector<char32_t> Slots() const;
    std::string Join(const std::vector<char32_t>& Cs) const;
    void BlankSelection(std::vector<char32_t>& Cs) const;

    TEditMask FMask;
    TMaskedStates FExtraState;
    std::string FOldEditText;  // when the edit was entered
};

class TMaskEdit : public TCustomMaskEdit {
    VEL_CLASS(TMaskEdit)
public:
    explicit TMaskEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) {}
};

}  // namespace vel
