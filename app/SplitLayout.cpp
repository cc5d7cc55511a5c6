#include "app/SplitLayout.h"

namespace splitlayout {

Spacing spacingAt(int dpi) {
    Spacing s;
    s.margin = dpi::scale(MARGIN, dpi);
    s.bottom = dpi::scale(BOTTOM_MARGIN, dpi);
    s.gap = dpi::scale(GAP, dpi);
    return s;
}

Panes computePanes(int width, int height, int toolbarHeight, int share, const Spacing& s) {
    const int listWidth = share * width / 100;
    const int paneHeight = height - toolbarHeight - s.bottom;
    Panes p;
    p.list = {s.margin, toolbarHeight, listWidth, paneHeight};
    p.memo = {listWidth + s.margin + s.gap, toolbarHeight, width - listWidth - 2 * s.margin - s.gap, paneHeight};
    return p;
}

bool inSplitterZone(int x, int y, int listWidth, int clientHeight, const Spacing& s) {
    return x > listWidth + s.margin && x < listWidth + s.margin + s.gap && y > 0 && y < clientHeight;
}

int dragShare(int x, int startX, int clientWidth, int startShare, int minShare, int maxShare) {
    if (clientWidth <= 0) return startShare;
    int share = (x - startX) * 100 / clientWidth + startShare;
    if (share < minShare) share = minShare;
    if (share > maxShare) share = maxShare;
    return share;
}

void widen(Share& share) {
    if (share.widened) return;
    share.percent += WIDENING;
    share.min = WIDE_MIN;
    share.max = WIDE_MAX;
    share.widened = true;
}

void narrow(Share& share) {
    if (!share.widened) return;
    share.percent -= WIDENING;
    share.min = NORMAL_MIN;
    share.max = NORMAL_MAX;
    share.widened = false;
}

int restingPercent(const Share& share) { return share.widened ? share.percent - WIDENING : share.percent; }

}  // namespace splitlayout
