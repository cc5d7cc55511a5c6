// A book of a given shape loaded into the real main window, for the drag and
// search tests: "a F+(b c) d" names pages and folders in tree order, a folder's
// items in brackets, '+' after a folder's name when it is open. Every page's
// text is its title unless `texts` gives another (plain text, code page 932).
#pragma once
#include <windows.h>

#include <map>
#include <string>

#include "app/Book.h"
#include "app/MainControls.h"
#include "app/BookLoad.h"
#include "store/DataFile.h"
#include "tests/common/TreeShape.h"

namespace shapedbook {

inline std::string pageRtf(const std::string& text) {
    return "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 MS Gothic;}}\\pard\\f0\\fs20 " + text +
           "\\par\r\n}";
}

inline bool load(HWND window, const std::string& path, const std::string& shape,
                 const std::map<std::string, std::string>& texts = {}) {
    PageTable table;
    testcommon::forEachShapeItem(shape, [&](std::string name, int parent) {
        PageRecord r;
        r.isExpanded = name.back() == '+';
        if (r.isExpanded) name.pop_back();
        r.title = name;
        const auto text = texts.find(name);
        r.text = pageRtf(text == texts.end() ? name : text->second);
        r.order = table.count();
        r.parentOrder = parent;
        if (parent >= 0) table.recordAt(parent).isFolder = 1;
        table.appendRecord(r);
    });
    if (!writeDataFile(path, makeVersionBlock(SaveKind::ExitData, 1), false, table, newFileHeader())) return false;
    return bookload::loadIntoUi(window, path);
}

// The page list as a shape, with '+' for every open folder.
inline std::string shapeOf(ItemHandle first) {
    PageListControl& list = gControls.pageList;
    std::string out;
    for (ItemHandle i = first; i; i = list.NextSibling(i)) {
        if (!out.empty()) out += ' ';
        out += list.GetTitle(i);
        if (!list.FirstChild(i)) continue;
        if (list.IsExpanded(i)) out += '+';
        out += '(' + shapeOf(list.FirstChild(i)) + ')';
    }
    return out;
}
inline std::string shape() { return shapeOf(gControls.pageList.FirstChild(PageListControl::root())); }

// The item with this title, searched in tree order.
inline ItemHandle item(const std::string& title) {
    PageListControl& list = gControls.pageList;
    for (ItemHandle i = list.FirstChild(PageListControl::root()); i; i = list.NextInOrder(i))
        if (list.GetTitle(i) == title) return i;
    return NO_ITEM;
}

}  // namespace shapedbook
