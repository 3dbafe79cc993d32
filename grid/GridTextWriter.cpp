#include "grid/GridTextWriter.h"

#include <algorithm>

#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Utf8.h"

namespace vel {

namespace {

thread_local TWriteTextMatch gMatch;

std::vector<std::string> SplitLines(std::string_view Text) {
    std::vector<std::string> out(1);
    for (std::size_t i = 0; i < Text.size(); ++i) {
        const char c = Text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < Text.size() && Text[i + 1] == '\n') ++i;
            out.emplace_back();
        } else {
            out.back() += c;
        }
    }
    return out;
}

bool IsBreakChar(char c) { return c == ' ' || c == '-' || c == '\t'; }

bool IsWordChar(char32_t c) {
    return c == '_' || (c >= '0' && c <= '9') || UnicodeToUpper(c) != UnicodeToLower(c);
}

// Byte offset of the first match of What in Line, or npos.
std::size_t FindMatch(std::string_view Line, std::string_view What, TVelSearchOptions Options) {
    const bool cs = Options.Contains(TVelSearchOption::soCaseSensitive);
    const std::string hay = cs ? std::string(Line) : Utf8UpperCase(Line);
    const std::string needle = cs ? std::string(What) : Utf8UpperCase(What);
    // Case folding keeps byte lengths for the scripts we fold; fall back to exact search
    // when it does not.
    const bool sameLen = hay.size() == Line.size() && needle.size() == What.size();
    const std::string_view h = sameLen ? std::string_view(hay) : Line;
    const std::string_view n = sameLen ? std::string_view(needle) : What;
    for (std::size_t p = h.find(n); p != std::string_view::npos; p = h.find(n, p + 1)) {
        if (!Options.Contains(TVelSearchOption::soWholeWords)) return p;
        std::size_t q = p;
        const bool before = p > 0 && IsWordChar(Utf8Decode(Line, q = Utf8Prev(Line, p)));
        std::size_t e = p + n.size();
        const bool after = e < Line.size() && IsWordChar(Utf8Decode(Line, e));
        if (!before && !after) return p;
    }
    return std::string_view::npos;
}

// The longest prefix of Line (whole code points) not wider than Room.
std::size_t FittingBytes(TCanvas& Canvas, std::string_view Line, int Room) {
    std::size_t fit = 0;
    for (std::size_t p = Utf8Next(Line, 0); p <= Line.size(); p = Utf8Next(Line, p)) {
        if (Canvas.TextWidth(Line.substr(0, p)) > Room) break;
        fit = p;
        if (p == Line.size()) break;
    }
    return fit;
}

}  // namespace

const TWriteTextMatch& WriteTextMatch() { return gMatch; }

std::vector<std::string> WrapTextLines(TCanvas& Canvas, std::string_view Text, int Room,
                                       int MaxLines) {
    std::vector<std::string> out;
    const std::vector<std::string> paragraphs = SplitLines(Text);
    for (std::size_t pi = 0; pi < paragraphs.size(); ++pi) {
        std::string rest = paragraphs[pi];
        for (;;) {
            if (MaxLines > 0 && static_cast<int>(out.size()) == MaxLines - 1) {
                // The last line allowed takes everything left.
                for (std::size_t pj = pi + 1; pj < paragraphs.size(); ++pj)
                    rest += " " + paragraphs[pj];
                out.push_back(rest);
                return out;
            }
            if (Canvas.TextWidth(rest) <= Room) {
                out.push_back(rest);
                break;
            }
            const std::size_t fit = FittingBytes(Canvas, rest, Room);
            // The character that overflows may itself be the space to break at.
            std::size_t brk = std::string::npos;
            for (std::size_t i = std::min(fit, rest.size() - 1) + 1; i-- > 0;)
                if (IsBreakChar(rest[i]) && i > 0) {
                    brk = i;
                    break;
                }
            if (brk == std::string::npos) {
                // A word wider than the room stays whole up to its next break.
                for (std::size_t i = fit; i < rest.size(); ++i)
                    if (IsBreakChar(rest[i]) && i > 0) {
                        brk = i;
                        break;
                    }
                if (brk == std::string::npos) {
                    out.push_back(rest);
                    break;
                }
            }
            if (rest[brk] == ' ') {
                out.push_back(rest.substr(0, brk));
                rest.erase(0, brk + 1);
            } else {
                out.push_back(rest.substr(0, brk + 1));
                rest.erase(0, brk + 1);
            }
        }
    }
    return out;
}

std::vector<TWrittenLine> LayoutText(TCanvas& Canvas, TRect Rect, int DX, int DY,
                                     std::string_view Text, TAlignment Alignment, bool Ellipsis,
                                     bool WordWrap, TVAlignment VAlignment,
                                     std::string_view SearchText, TVelSearchOptions SearchOptions) {
    gMatch = TWriteTextMatch{};
    const int margin = Alignment == TAlignment::taLeftJustify    ? DX
                       : Alignment == TAlignment::taRightJustify ? DX + 1
                                                                 : 0;
    const int lh = std::max(1, Canvas.TextHeight("Wg"));
    const int fits = (Rect.Height() - 2 * DY + 1) / lh;
    if (fits == 0) VAlignment = TVAlignment::tvTopJustify;
    const int room = Rect.Width() - margin;
    const int maxLines = std::max(fits, 1);

    std::vector<std::string> lines = WordWrap ? WrapTextLines(Canvas, Text, room, Ellipsis ? maxLines : 0)
                                              : SplitLines(Text);
    const int count = std::min(static_cast<int>(lines.size()), maxLines);
    const int spare = std::max(0, Rect.Height() - 2 * DY - count * lh);
    if (VAlignment == TVAlignment::tvBottomJustify) DY += spare;
    else if (VAlignment == TVAlignment::tvCenter) DY += spare / 2;

    std::vector<TWrittenLine> out;
    for (int i = 0; i < count; ++i) {
        std::string line = std::move(lines[static_cast<std::size_t>(i)]);
        if (Ellipsis && Canvas.TextWidth(line) > room) {
            std::size_t keep = FittingBytes(Canvas, line, room - Canvas.TextWidth("..."));
            if (keep == 0 && !line.empty()) keep = Utf8Next(line, 0);
            line = line.substr(0, keep) + "...";
        }
        const int tw = Canvas.TextWidth(line);
        const int x = Alignment == TAlignment::taLeftJustify    ? Rect.Left + DX
                      : Alignment == TAlignment::taRightJustify ? Rect.Right - tw - DX - 1
                                                                : Rect.Left + Rect.Width() / 2 - tw / 2;
        const int y = Rect.Top + DY;
        if (!SearchText.empty() && !gMatch.Found && line.size() >= SearchText.size()) {
            const std::size_t at = FindMatch(line, SearchText, SearchOptions);
            if (at != std::string::npos) {
                gMatch.Found = true;
                gMatch.Text = line.substr(at, SearchText.size());
                const int left = x + Canvas.TextWidth(std::string_view(line).substr(0, at));
                gMatch.Rect = TRect{left, y, left + Canvas.TextWidth(gMatch.Text) - 1, y + lh};
            }
        }
        out.push_back(TWrittenLine{std::move(line), x, y, Rect});
        Rect.Top += DY + lh;
        DY = 0;
    }
    return out;
}

void WriteText(TCanvas& Canvas, const TRect& Rect, int DX, int DY, std::string_view Text,
               TAlignment Alignment, bool RightToLeft, bool Ellipsis, bool WordWrap,
               TVAlignment VAlignment, std::string_view SearchText,
               TVelSearchOptions SearchOptions) {
    const std::vector<TWrittenLine> lines = LayoutText(Canvas, Rect, DX, DY, Text, Alignment, Ellipsis,
                                                       WordWrap, VAlignment, SearchText, SearchOptions);
    const TBrushStyle oldStyle = Canvas.Brush().GetStyle();
    const TCanvasOrientation oldOrientation = Canvas.GetCanvasOrientation();
    TScopeExit restore([&] {
        Canvas.Brush().SetStyle(oldStyle);
        Canvas.SetCanvasOrientation(oldOrientation);
    });
    // The background is the caller's; the text only adds its glyphs.
    Canvas.Brush().SetStyle(TBrushStyle::bsClear);
    Canvas.SetCanvasOrientation(RightToLeft ? TCanvasOrientation::coRightToLeft
                                            : TCanvasOrientation::coLeftToRight);
    for (const TWrittenLine& l : lines) Canvas.TextRect(l.Clip, l.X, l.Y, l.Text);
}

int WidestLineWidth(TCanvas& Canvas, std::string_view Text) {
    int widest = 0;
    for (std::size_t start = 0; start <= Text.size();) {
        std::size_t end = Text.find('\n', start);
        if (end == std::string_view::npos) end = Text.size();
        std::string_view line = Text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        widest = std::max(widest, Canvas.TextWidth(std::string(line)));
        start = end + 1;
    }
    return widest;
}

}  // namespace vel
