#pragma once
// Arithmetic of the main window's layout and splitter: the page list on the
// left, the memo editor on the right, a 10-pixel splitter gap between them.
// The pixels are those of a 96-dpi display; `spacingAt` takes them to another.

#include "settings/IniSettings.h"
#include "ui/DpiScale.h"

namespace splitlayout {

constexpr int MARGIN = 5;  // left and right edges
constexpr int BOTTOM_MARGIN = 10;
constexpr int GAP = 10;                   // the splitter zone between the two panes
constexpr int NORMAL_MIN = TV_WIDTH_MIN;  // share limits in percent of the client width,
constexpr int NORMAL_MAX = TV_WIDTH_MAX;  // the same range the settings file allows
constexpr int WIDENING = 17;              // extra share while the page list has the focus
constexpr int WIDE_MIN = 27;
constexpr int WIDE_MAX = 87;
constexpr int MIN_TRACK_SIZE = 400;  // smallest window, both ways

// The margins and the splitter gap in pixels at one display scale.
struct Spacing {
    int margin = MARGIN;
    int bottom = BOTTOM_MARGIN;
    int gap = GAP;
};
Spacing spacingAt(int dpi);

struct Box {
    int x, y, width, height;
};

struct Panes {
    Box list;
    Box memo;
};

// Where the two panes go in a client area of `width` x `height` below a toolbar
// `toolbarHeight` high, with the page list taking `share` percent of the width.
Panes computePanes(int width, int height, int toolbarHeight, int share, const Spacing& spacing = Spacing());

// Whether a client point lies in the splitter zone beside a page list `listWidth` wide.
bool inSplitterZone(int x, int y, int listWidth, int clientHeight, const Spacing& spacing = Spacing());

// The share while the splitter is dragged: the pointer's travel since the drag
// began, in percent of the client width, added to the share at the start, kept
// within [minShare, maxShare].
int dragShare(int x, int startX, int clientWidth, int startShare, int minShare, int maxShare);

// The share and its limits, with the widening of the focused page list: the splitter's whole state.
struct Share {
    int percent = 25;
    int min = NORMAL_MIN;
    int max = NORMAL_MAX;
    bool widened = false;
};

// Widening adds 17 points and moves the limits to 27-87; narrowing undoes it.
// Each does nothing when the share is already in that state, so an unmatched
// focus message cannot push the share away for good.
void widen(Share& share);
void narrow(Share& share);

// The share to keep in the settings: the one without the widening.
int restingPercent(const Share& share);

}  // namespace splitlayout
