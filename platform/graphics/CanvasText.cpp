// Text on a canvas: runs in visual order, TextOut/TextRect and the DrawText layout.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/graphics/Canvas.h"
#include "platform/graphics/Text.h"
#include "platform/rtl/Utf8.h"

namespace vel {

namespace {

std::u32string Decode(std::string_view s) {
    std::u32string out;
    out.reserve(s.size());
    for (std::size_t p = 0; p < s.size();) out.push_back(Utf8Decode(s, p));
    return out;
}

std::string Encode(const std::u32string& s) {
    std::string out;
    for (char32_t c : s) Utf8Append(out, c);
    return out;
}

enum class BidiClass { L, R, EN, N };

BidiClass Classify(char32_t c) {
    if ((c >= 0x0590 && c <= 0x08FF) || (c >= 0xFB1D && c <= 0xFDFF) ||
        (c >= 0xFE70 && c <= 0xFEFF))
        return BidiClass::R;
    if (c < 0x80) {
        if (c >= '0' && c <= '9') return BidiClass::EN;
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return BidiClass::L;
        return BidiClass::N;
    }
    if ((c >= 0x2000 && c <= 0x206F) || (c >= 0x00A0 && c <= 0x00BF) || c == 0x00D7 || c == 0x00F7)
        return BidiClass::N;
    return BidiClass::L;
}

// Display order of a line: right-to-left runs reversed, and with a right-to-left paragraph
// the runs themselves placed from right to left.
std::u32string VisualOrder(const std::u32string& s, bool rtl) {
    bool any = rtl;
    for (char32_t c : s)
        if (Classify(c) == BidiClass::R) any = true;
    if (!any || s.empty()) return s;
    const std::size_t n = s.size();
    std::vector<BidiClass> cls(n);
    for (std::size_t i = 0; i < n; ++i) cls[i] = Classify(s[i]);
    const BidiClass para = rtl ? BidiClass::R : BidiClass::L;
    // Digits after left-to-right text are left-to-right text.
    BidiClass lastStrong = para;
    for (std::size_t i = 0; i < n; ++i) {
        if (cls[i] == BidiClass::L || cls[i] == BidiClass::R)
            lastStrong = cls[i];
        else if (cls[i] == BidiClass::EN && lastStrong == BidiClass::L)
            cls[i] = BidiClass::L;
    }
    // Neutrals take the direction of the strong text around them when both sides agree.
    for (std::size_t i = 0; i < n;) {
        if (cls[i] != BidiClass::N) {
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j < n && cls[j] == BidiClass::N) ++j;
        // Numbers count as right-to-left for the neutrals around them.
        auto strong = [](BidiClass c) { return c == BidiClass::EN ? BidiClass::R : c; };
        const BidiClass before = i == 0 ? para : strong(cls[i - 1]);
        const BidiClass after = j == n ? para : strong(cls[j]);
        const BidiClass use = before == after ? before : para;
        for (std::size_t k = i; k < j; ++k) cls[k] = use;
        i = j;
    }
    std::vector<int> level(n);
    for (std::size_t i = 0; i < n; ++i)
        level[i] = cls[i] == BidiClass::R ? 1 : cls[i] == BidiClass::EN ? 2 : rtl ? 2 : 0;
    std::u32string out = s;
    const int maxLevel = *std::max_element(level.begin(), level.end());
    for (int lv = maxLevel; lv >= 1; --lv) {
        for (std::size_t i = 0; i < n;) {
            if (level[i] < lv) {
                ++i;
                continue;
            }
            std::size_t j = i;
            while (j < n && level[j] >= lv) ++j;
            std::reverse(out.begin() + std::ptrdiff_t(i), out.begin() + std::ptrdiff_t(j));
            std::reverse(level.begin() + std::ptrdiff_t(i), level.begin() + std::ptrdiff_t(j));
            i = j;
        }
    }
    return out;
}

int Width(TFontFace& f, const std::u32string& s) {
    int w = 0;
    for (char32_t c : s) w += f.Advance(c);
    return w;
}

struct Line {
    std::u32string Text;
    int Underline = -1;  // index of the prefixed character, -1 for none
};

}  // namespace

void TCanvas::DrawTextRun(int x, int y, std::string_view text, bool rtl, const TRect* clip) {
    if (!FTarget) return;
    TFontFace& face = FontFace();
    const std::u32string visual = VisualOrder(Decode(text), rtl);
    const TPixel color = PixelFromColor(FFont->GetColor());
    const TPoint o = ToDevice(TPoint{x, y});
    const int baseline = o.Y + face.Ascent();
    TRect limit = clip ? ToDevice(*clip) : TRect{-(1 << 28), -(1 << 28), 1 << 28, 1 << 28};
    const std::vector<TRect>& rects = DeviceClipRects();
    int pen = o.X;
    for (char32_t cp : visual) {
        const TFontFace::Glyph& g = face.GetGlyph(cp);
        if (g.Width > 0) {
            const TRect gr = Bounds(pen + g.Left, baseline - g.Top, g.Width, g.Height);
            for (const TRect& c : rects) {
                TRect i;
                if (!IntersectRect(i, c, gr) || !IntersectRect(i, i, limit)) continue;
                for (int yy = i.Top; yy < i.Bottom; ++yy) {
                    TPixel* row = FTarget->ScanLine(yy);
                    const std::uint8_t* cov =
                        g.Coverage.data() + std::size_t(yy - gr.Top) * g.Width - gr.Left;
                    for (int xx = i.Left; xx < i.Right; ++xx)
                        if (cov[xx]) row[xx] = BlendPixel(row[xx], color, cov[xx]);
                }
            }
        }
        pen += g.Advance;
    }
    const TFontStyles st = FFont->GetStyle();
    auto bar = [&](int top) {
        TRect r{o.X, top, pen, top + face.LineThickness()};
        if (clip) r = Intersection(r, limit);
        FillDeviceRect(r, color);
    };
    if (st.Contains(TFontStyle::fsUnderline)) bar(baseline + face.UnderlinePosition());
    if (st.Contains(TFontStyle::fsStrikeOut)) bar(baseline - face.Ascent() * 3 / 10);
}

void TCanvas::TextOut(int x, int y, std::string_view text) {
    if (!FTarget) return;
    const bool rtl = FOrientation == TCanvasOrientation::coRightToLeft;
    if (FBrush->GetStyle() != TBrushStyle::bsClear) {
        const TSize ext = TextExtent(text);
        FillRectColor(Bounds(x, y, ext.cx, ext.cy), FBrush->GetColor());
    }
    DrawTextRun(x, y, text, rtl, nullptr);
    FPenPos = {x + TextWidth(text), y};
}

void TCanvas::TextRect(const TRect& r, int x, int y, std::string_view text) {
    if (!FTarget) return;
    if (FBrush->GetStyle() != TBrushStyle::bsClear) FillRectColor(r, FBrush->GetColor());
    DrawTextRun(x, y, text, FOrientation == TCanvasOrientation::coRightToLeft, &r);
}

int TCanvas::TextWidth(std::string_view text) {
    return FontFace().TextWidth(text);
}

int TCanvas::TextHeight(std::string_view) {
    return FontFace().Height();
}

TSize TCanvas::TextExtent(std::string_view text) {
    return {TextWidth(text), TextHeight(text)};
}

TTextMetric TCanvas::GetTextMetrics() {
    TFontFace& f = FontFace();
    TTextMetric tm;
    tm.tmAscent = f.Ascent();
    tm.tmDescent = f.Descent();
    tm.tmHeight = f.Height();
    tm.tmInternalLeading = std::max(0, f.Height() - f.EmPixels());
    tm.tmAveCharWidth = f.AveCharWidth();
    tm.tmMaxCharWidth = f.MaxCharWidth();
    tm.tmWeight = FFont->GetStyle().Contains(TFontStyle::fsBold) ? 700 : 400;
    tm.tmItalic = FFont->GetStyle().Contains(TFontStyle::fsItalic);
    tm.tmUnderlined = FFont->GetStyle().Contains(TFontStyle::fsUnderline);
    tm.tmStruckOut = FFont->GetStyle().Contains(TFontStyle::fsStrikeOut);
    return tm;
}

int TCanvas::DrawText(std::string_view text, TRect& r, unsigned flags) {
    TFontFace& face = FontFace();
    const bool single = flags & DT_SINGLELINE;
    const bool rtl = flags & DT_RTLREADING;
    const int room = r.Width();

    // Prefix characters: "&x" underlines x, "&&" is a literal ampersand.
    std::vector<Line> paragraphs(1);
    for (std::size_t p = 0; p < text.size();) {
        char32_t c = Utf8Decode(text, p);
        Line& cur = paragraphs.back();
        if (c == U'&' && !(flags & DT_NOPREFIX)) {
            if (p < text.size()) {
                std::size_t q = p;
                const char32_t next = Utf8Decode(text, q);
                p = q;
                if (next != U'&' && !(flags & DT_HIDEPREFIX)) cur.Underline = int(cur.Text.size());
                c = next;
            } else {
                continue;
            }
        }
        if (c == U'\r' || c == U'\n') {
            if (single) continue;
            if (c == U'\r' && p < text.size() && text[p] == '\n') ++p;
            paragraphs.emplace_back();
            continue;
        }
        if (c == U'\t' && (flags & DT_EXPANDTABS)) {
            const int tab = std::max(1, face.AveCharWidth() * 8);
            const int w = Width(face, cur.Text);
            const int spaces = std::max(1, ((w / tab + 1) * tab - w + face.Advance(U' ') - 1) /
                                               std::max(1, face.Advance(U' ')));
            cur.Text.append(std::size_t(spaces), U' ');
            continue;
        }
        cur.Text.push_back(c);
    }

    std::vector<Line> lines;
    if ((flags & DT_WORDBREAK) && !single) {
        for (Line& para : paragraphs) {
            const std::u32string& s = para.Text;
            std::size_t start = 0;
            if (s.empty()) lines.push_back(para);
            while (start < s.size()) {
                // Longest run from start that fits, ending before a space.
                std::size_t end = start, lastBreak = std::u32string::npos;
                int w = 0;
                while (end < s.size()) {
                    const int adv = face.Advance(s[end]);
                    if (s[end] == U' ') lastBreak = end;
                    if (w + adv > room && end > start && s[end] != U' ') break;
                    w += adv;
                    ++end;
                }
                std::size_t cut = end;
                if (end < s.size()) {
                    if (lastBreak != std::u32string::npos && lastBreak > start)
                        cut = lastBreak;
                    else if (!(flags & DT_EDITCONTROL)) {
                        // A word wider than the room stays whole.
                        while (cut < s.size() && s[cut] != U' ') ++cut;
                    }
                }
                Line l;
                l.Text = s.substr(start, cut - start);
                while (!l.Text.empty() && l.Text.back() == U' ') l.Text.pop_back();
                if (para.Underline >= int(start) && para.Underline < int(cut))
                    l.Underline = para.Underline - int(start);
                lines.push_back(std::move(l));
                start = cut;
                while (start < s.size() && s[start] == U' ') ++start;
            }
        }
    } else {
        lines = std::move(paragraphs);
    }

    if (flags & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS)) {
        const std::u32string dots = U"...";
        const int dotsWidth = Width(face, dots);
        for (Line& l : lines) {
            if (Width(face, l.Text) <= room) continue;
            std::size_t keep = l.Text.size();
            int w = Width(face, l.Text);
            // At least one character stays before the dots.
            while (keep > 1 && w + dotsWidth > room) w -= face.Advance(l.Text[--keep]);
            l.Text = l.Text.substr(0, keep) + dots;
            if (l.Underline >= int(keep)) l.Underline = -1;
        }
    }

    const int lh = face.Height();
    const int total = lh * int(lines.size());
    if (flags & DT_CALCRECT) {
        int maxW = 0;
        for (const Line& l : lines) maxW = std::max(maxW, Width(face, l.Text));
        r.Right = r.Left + maxW;
        r.Bottom = r.Top + total;
        return total;
    }

    int y = r.Top;
    if (single) {
        if (flags & DT_VCENTER)
            y = r.Top + (r.Height() - lh) / 2;
        else if (flags & DT_BOTTOM)
            y = r.Bottom - lh;
    }
    const TRect* clip = (flags & DT_NOCLIP) ? nullptr : &r;
    const bool opaque = FBrush->GetStyle() != TBrushStyle::bsClear;
    for (const Line& l : lines) {
        const int w = Width(face, l.Text);
        int x = r.Left;
        if (flags & DT_CENTER)
            x = r.Left + (r.Width() - w) / 2;
        else if (flags & DT_RIGHT)
            x = r.Right - w;
        const std::string utf8 = Encode(l.Text);
        if (opaque) {
            TRect back = Bounds(x, y, w, lh);
            if (clip) back = Intersection(back, r);
            FillRectColor(back, FBrush->GetColor());
        }
        if (!(flags & DT_PREFIXONLY)) DrawTextRun(x, y, utf8, rtl, clip);
        if (l.Underline >= 0 && !rtl) {
            const int ux = x + Width(face, l.Text.substr(0, std::size_t(l.Underline)));
            const int uw = face.Advance(l.Text[std::size_t(l.Underline)]);
            TRect u =
                Bounds(ux, y + face.Ascent() + face.UnderlinePosition(), uw, face.LineThickness());
            if (clip) u = Intersection(u, r);
            FillRectColor(u, FFont->GetColor());
        }
        y += lh;
    }
    return single && (flags & (DT_VCENTER | DT_BOTTOM)) ? y - r.Top : total;
}

int DrawText(TCanvas& canvas, std::string_view text, TRect& rect, unsigned flags) {
    return canvas.DrawText(text, rect, flags);
}

}  // namespace vel
