#pragma once
// Translatable texts: each is a named, assignable string with its shipped text. A unit
// defines its texts with VEL_RESOURCESTRING at namespace scope in one .cpp and declares them
// `extern TResourceString SName;` in its header; an application assigns them directly or by
// name (a translation file of Name=Text lines).
#include <string>
#include <vector>

namespace vel {

class TStrings;

class TResourceString {
public:
    TResourceString(const char* Name, const char* DefaultText);
    TResourceString(const TResourceString&) = delete;
    TResourceString& operator=(const TResourceString&) = delete;
    ~TResourceString();

    const char* GetName() const { return FName; }
    const char* GetDefaultText() const { return FDefault; }
    const std::string& Get() const { return FText; }
    void Set(const std::string& Text) { FText = Text; }
    void Reset() { FText = FDefault; }
    operator const std::string&() const { return FText; }
    TResourceString& operator=(const std::string& Text) {
        FText = Text;
        return *this;
    }

private:
    const char* FName;
    const char* FDefault;
    std::string FText;
};

// Every text linked into the program, in name order.
std::vector<TResourceString*> GetResourceStrings();
// nullptr for an unknown name (names compare case-insensitively, ASCII).
TResourceString* FindResourceString(const std::string& Name);
// Raises EInvalidArgument naming an unknown text.
void SetResourceString(const std::string& Name, const std::string& Text);
// Name=Text lines; blank lines and lines starting with ';' are skipped. Every name is
// checked before anything is assigned, so a bad list changes nothing.
void LoadResourceStrings(const TStrings& Lines);
void ResetResourceStrings();

}  // namespace vel

#define VEL_RESOURCESTRING(Name, Text) ::vel::TResourceString Name{#Name, Text};
