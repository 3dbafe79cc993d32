#pragma once
// The text writer every text cell of the grid goes through: margins, the lines that fit, word
// wrap, ellipsis, vertical alignment, reading order, and the first search match it met.
#include <string>
#include <string_view>
#include <vector>

#include "grid/GridColumns.h"
#include "grid/GridSearch.h"
#include "platform/classes/Alignment.h"
#include "platform/graphics/Canvas.h"

namespace vel {

// One line as it is drawn: its text (cut and with "..." when it did not fit), where it starts
// and the rectangle it is clipped to.
struct TWrittenLine {
    std::string Text;
    int X = 0, Y = 0;
    TRect Clip;
};

// The first search match met by the last WriteText: the matched text and its rectangle.
struct TWriteTextMatch {
    bool Found = false;
    std::string Text;
    TRect Rect;
};

// Lays out the lines WriteText draws, measuring with the canvas's font; draws nothing.
std::vector<TWrittenLine> LayoutText(TCanvas& Canvas, TRect Rect, int DX, int DY,
                                     std::string_view Text, TAlignment Alignment, bool Ellipsis,
                                     bool WordWrap, TVAlignment VAlignment,
                                     std::string_view SearchText = {},
                                     TVelSearchOptions SearchOptions = {});

// Draws Text into Rect with the canvas's font and no background.
void WriteText(TCanvas& Canvas, const TRect& Rect, int DX, int DY, std::string_view Text,
               TAlignment Alignment, bool RightToLeft, bool Ellipsis, bool WordWrap,
               TVAlignment VAlignment, std::string_view SearchText = {},
               TVelSearchOptions SearchOptions = {});

// What the last LayoutText / WriteText on this thread recorded.
const TWriteTextMatch& WriteTextMatch();

// Breaks Text into lines no wider than Room; a space at a break is dropped, a break after
// '-' or a tab keeps it. A word wider than Room stays whole. With MaxLines > 0 the last line
// takes all the rest.
// Width of the widest line of a text broken at "\n" (a "\r" before it is dropped).
int WidestLineWidth(TCanvas& Canvas, std::string_view Text);

std::vector<std::string> WrapTextLines(TCanvas& Canvas, std::string_view Text, int Room,
                                       int MaxLines);

}  // namespace vel
