#include "app/SplitLayout.h"

namespace splitlayout {

Panes computePanes(int width, int height, int toolbarHeight, int share) {
    const int listWidth = share * width / 100;
    const int paneHeight = height - toolbarHeight - BOTTOM_MARGIN;
    Panes p;
    p.list = {MARGIN, toolbarHeight, listWidth, paneHeight};
    p.memo = {listWidth + MARGIN + GAP, toolbarHeight, width - listWidth - 2 * MARGIN - GAP, paneHeight};
    return p;
}

bool inSplitterZone(int x, int y, int listWidth, int clientHeight) {
    return x > listWidth + MARGIN && x < listWidth + MARGIN + GAP && y > 0 && y < clientHeight;
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
