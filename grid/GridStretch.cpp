#include "grid/GridStretch.h"

#include <algorithm>

namespace vel {

TStretchLock TVelStretchLayout::LockFor(const TStretchItem& Item, long long Share,
                                        int& Held) const {
    if (Item.WidthMin != -1 && Share < Item.WidthMin) {
        Held = Item.WidthMin;
        return TStretchLock::slWidthMin;
    }
    if (Item.WidthMax != -1 && Share > Item.WidthMax) {
        Held = Item.WidthMax;
        return TStretchLock::slWidthMax;
    }
    // The grid's bounds apply only where the column has none of its own, and never push a
    // column past the bound it does have.
    if (Item.WidthMin == -1 && FStretchMin != -1 && Share < FStretchMin) {
        Held = Item.WidthMax != -1 ? std::min(FStretchMin, Item.WidthMax) : FStretchMin;
        return TStretchLock::slStretchMin;
    }
    if (Item.WidthMax == -1 && FStretchMax != -1 && Share > FStretchMax) {
        Held = Item.WidthMin != -1 ? std::max(FStretchMax, Item.WidthMin) : FStretchMax;
        return TStretchLock::slStretchMax;
    }
    return TStretchLock::slFree;
}

int TVelStretchLayout::Clamp(const TStretchItem& Item, int Width) const {
    if (Item.WidthMin == -1 && FStretchMin != -1) Width = std::max(Width, FStretchMin);
    if (Item.WidthMax == -1 && FStretchMax != -1) Width = std::min(Width, FStretchMax);
    if (Item.WidthMin != -1) Width = std::max(Width, Item.WidthMin);
    if (Item.WidthMax != -1) Width = std::min(Width, Item.WidthMax);
    return Width;
}

void TVelStretchLayout::Stretch(std::vector<TStretchItem>& Items, int Space) {
    long long w = Space, b = 0;
    for (TStretchItem& item : Items) {
        item.Lock = TStretchLock::slFree;
        b += item.BaseWidth;
    }
    if (b <= 0) {
        for (TStretchItem& item : Items) item.Width = Clamp(item, item.BaseWidth);
        FGridWidth = int(w);
        FColsWidth = int(b);
        return;
    }
    std::vector<int> held(Items.size(), 0);
    bool firstPass = true;
    bool changed;
    do {
        changed = false;
        const long long w0 = w, b0 = b;
        for (std::size_t i = 0; i < Items.size(); ++i) {
            TStretchItem& item = Items[i];
            if (item.Lock != TStretchLock::slFree) continue;
            const long long share = item.BaseWidth * w0 / b0;
            item.Lock = LockFor(item, share, held[i]);
            if (item.Lock == TStretchLock::slFree) continue;
            b -= item.BaseWidth;
            w -= held[i];
            changed = true;
        }
        // Everything hit a bound with room to spare: the columns held at a minimum were
        // only held because the maximum-bound ones took their share; let them grow.
        if (firstPass && b <= 0 && w >= 1) {
            firstPass = false;
            for (std::size_t i = 0; i < Items.size(); ++i) {
                TStretchItem& item = Items[i];
                if (item.Lock != TStretchLock::slWidthMin && item.Lock != TStretchLock::slStretchMin)
                    continue;
                item.Lock = TStretchLock::slFree;
                b += item.BaseWidth;
                w += held[i];
            }
        }
    } while (changed && w >= 1 && b >= 1);

    FGridWidth = int(w);
    FColsWidth = int(b);
    for (std::size_t i = 0; i < Items.size(); ++i) {
        TStretchItem& item = Items[i];
        if (item.Lock != TStretchLock::slFree) {
            item.Width = held[i];
            continue;
        }
        int width;
        if (w < 1) {
            width = FStretchMin == -1 ? 0 : FStretchMin;
        } else if (b <= 0) {
            width = 0;
        } else {
            width = int(item.BaseWidth * w / b);
            b -= item.BaseWidth;
            w -= width;
        }
        // The remainder a column picks up from the ones before it may carry it a pixel or
        // two past a bound; the bound wins.
        item.Width = Clamp(item, width);
    }
}

}  // namespace vel
