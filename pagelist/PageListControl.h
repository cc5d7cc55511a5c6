#pragma once
// The page list: the tree-view control on the left of the main window that
// shows every page and folder. Items carry no data of their own; an item's
// handle is its page's identity while the program runs.

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "pagelist/TreeShadow.h"

#include "res/resource.h"

using ItemHandle = std::uintptr_t;

// One item of a pre-order walk with its neighbours (0 where there is none).
struct ItemLink {
    ItemHandle item;
    ItemHandle parent;  // 0 for top-level items and for the root
    ItemHandle firstChild;
    int spare;  // always 0
};

// One item of a subtree; `moved` is filled by a drop with the re-created item.
struct ItemMove {
    ItemHandle item;
    ItemHandle moved;
};

struct ItemImages {
    int image;
    int selected;
};

// An item's image and expanded state bit, read in one question.
struct ItemState {
    int image;
    bool expanded;
};

class PageListControl {
public:
    static constexpr int CONTROL_ID = IDC_PAGE_LIST;
    static constexpr DWORD STYLE = 0x50B0102F;

    // Called by the subclass when the control gains (true) or loses (false) the focus.
    using FocusHook = void (*)(bool gained);

    // The tree's own root: walks from it list it first.
    static ItemHandle root() { return reinterpret_cast<ItemHandle>(TVI_ROOT); }

    // Creates the control (zero size), its sixteen icons and its subclass.
    HWND Create(HWND parent);
    void BuildImageList(const HICON icons[16]);
    // The control is now on a monitor of the display scale `dpi`: icons of that scale
    // (16 pixels at 96 dots per inch, 24 at 144, 32 at 192) and the system's font at it.
    void FollowDpi(int dpi);
    // Puts the control's own window procedure back (shutdown).
    void RestoreWindowProc();
    // At exit: takes the control out of the main window, so that destroying the
    // window does not free its items one by one; they go with the process.
    void LetGoAtExit();

    void setFocusHook(FocusHook hook) { focusHook_ = hook; }
    // Window that Enter in the page list sends the focus to (the memo editor).
    void setEnterTarget(HWND target) { enterTarget_ = target; }

    HWND window() const { return window_; }

    ItemHandle GetSelection() const;
    void Select(ItemHandle item);
    ItemHandle NextInOrder(ItemHandle item) const;
    ItemHandle PreviousInOrder(ItemHandle item) const;
    int Depth(ItemHandle item) const;
    std::string GetTitle(ItemHandle item) const;
    void SetTitle(ItemHandle item, const std::string& title);
    bool IsExpanded(ItemHandle item) const;
    ItemImages GetImages(ItemHandle item) const;
    ItemState GetState(ItemHandle item) const;
    void SetImages(ItemHandle item, int image, int selected);
    void Resize(int width, int height);
    // Appends an item as the last child of `parent` (0 or root() for the top level).
    // An image of -1 is left unset. `expanded` inserts it open, as if expanded
    // once its children are there.
    ItemHandle InsertItem(const std::string& title, int image, ItemHandle parent, int selected, bool expanded = false);
    // Inserts an item right after its sibling `after` (NO_ITEM: as the first child).
    ItemHandle InsertItemAfter(const std::string& title, int image, ItemHandle parent, ItemHandle after, int selected);
    std::vector<ItemMove> DeleteItem(ItemHandle item);
    // Empties the control (a new book), without walking it first.
    void DeleteAll();
    void CommitLabelEdit(const TVITEMW& edited);
    void Reveal(ItemHandle item);
    std::vector<ItemMove> CollectSubtree(ItemHandle item) const;
    std::vector<ItemLink> CollectSubtreeLinks(ItemHandle item) const;

    // Moving an item with its subtree by dragging it (pagelist/DragDrop.cpp).
    // BeginDrag takes the drag-begins notification and the window that gets the
    // mouse capture (it then receives every move and the release); DragMove takes
    // the cursor in that window's client coordinates. EndDrag drops the item in
    // front of the last item hovered and returns the re-created items (old, new)
    // in the order they were made; empty when nothing moved. A drag begins only while
    // the button is still down once the item is selected (a password dialog may have
    // taken the release). CancelDrag ends a drag without a move (the capture was lost).
    void BeginDrag(const NMTREEVIEWW& info, HWND captureWindow);
    void DragMove(POINT inCaptureWindow);
    std::vector<ItemMove> EndDrag();
    bool CancelDrag();  // false when no drag was cancelled
    bool IsDragging() const { return drag_.dragging; }

    // The lines option: has-buttons, has-lines and lines-at-root together.
    void SetLines(bool on);
    bool HasLines() const;
    void SetTextColour(COLORREF colour);
    void SetBackColour(COLORREF colour);

    // Tree navigation of the control itself (0 where there is none).
    ItemHandle Parent(ItemHandle item) const;
    ItemHandle FirstChild(ItemHandle item) const;
    ItemHandle NextSibling(ItemHandle item) const;
    ItemHandle PreviousSibling(ItemHandle item) const;

    // The shape as this object inserted, deleted and drew it; walks over the whole
    // list read it when it agrees with the control (ShadowMatches).
    const TreeShadow& shadow() const { return shadow_; }
    bool ShadowMatches() const;
    void ReserveShadow(int items) { shadow_.reserve(items > 0 ? static_cast<std::size_t>(items) : 0); }

private:
    ItemHandle insert(const std::string& title, int image, ItemHandle parent, ItemHandle after, int selected,
                      bool expanded);
    static LRESULT CALLBACK subclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT onFocus(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT onKeyDown(WPARAM wParam, LPARAM lParam);
    LRESULT onChar(WPARAM wParam, LPARAM lParam);
    LRESULT callPrevious(UINT msg, WPARAM wParam, LPARAM lParam);
    ItemHandle relative(ItemHandle item, UINT relation) const;
    int ancestorCount(ItemHandle item) const;

    std::vector<ItemMove> dropOnTarget();

    struct DragState {
        bool dragging = false;
        ItemHandle item = 0;
        ItemHandle target = 0;  // the last item hovered; 0 until one is
        HIMAGELIST image = nullptr;
        HWND captureWindow = nullptr;
        int scrollCounter = 0;  // moves inside a scroll zone; kept from drag to drag
        bool ending = false;    // the capture is let go on purpose: not a lost capture
    } drag_;

    void releaseDrag();

    void deleteOne(ItemHandle item);
    void loadIcons();

    HWND window_ = nullptr;
    TreeShadow shadow_;
    WNDPROC previousProc_ = nullptr;
    HIMAGELIST imageList_ = nullptr;
    int iconSize_ = 16;
    HFONT font_ = nullptr;  // the font for a scale other than the session's; none before
    FocusHook focusHook_ = nullptr;
    HWND enterTarget_ = nullptr;
};
