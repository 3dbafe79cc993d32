#include "platform/controls/Clipbrd.h"

namespace vel {

std::string TClipboard::GetAsText() const {
    return FHasText ? FText : std::string();
}

void TClipboard::SetAsText(const std::string& Value) {
    FText = Value;
    FHasText = true;
    ++FSequence;
}

bool TClipboard::HasFormat(unsigned Format) const {
    return FHasText && (Format == CF_TEXT || Format == CF_UNICODETEXT);
}

void TClipboard::Clear() {
    FText.clear();
    FHasText = false;
    ++FSequence;
}

TClipboard& Clipboard() {
    static TClipboard clipboard;
    return clipboard;
}

}  // namespace vel
