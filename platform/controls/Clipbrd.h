#pragma once
// The clipboard (text only). One process-wide clipboard kept in memory: the offscreen backend
// has no desktop to share it with, and under X11 the text stays in this process too (owning
// the X selection would need the backend to answer selection requests; nothing needs that
// yet).
#include <string>

namespace vel {

// Clipboard formats (classic numbers).
enum : unsigned { CF_TEXT = 1, CF_UNICODETEXT = 13 };

class TClipboard {
public:
    // The text on the clipboard; "" when it holds none.
    std::string GetAsText() const;
    void SetAsText(const std::string& Value);
    // CF_TEXT and CF_UNICODETEXT are the same UTF-8 text here.
    bool HasFormat(unsigned Format) const;
    void Clear();
    // Bumped by every change (lets a paste command know whether to re-enable itself).
    unsigned GetSequenceNumber() const { return FSequence; }

private:
    std::string FText;
    bool FHasText = false;
    unsigned FSequence = 0;
};

TClipboard& Clipboard();

}  // namespace vel
