// The page list seen by the page store: a tree it walks before a save
// (refreshFromTree) and builds after a load (rebuildTree).
#pragma once
#include <windows.h>

#include "pagelist/PageListControl.h"
#include "store/TreeSource.h"

class PageListTree : public TreeSource, public TreeBuilder {
public:
    // Walks read the list's shadow when it agrees with the control, else the control.
    explicit PageListTree(PageListControl& list, bool useShadow = true)
        : list_(list), shadow_(useShadow && list.ShadowMatches()) {}

    ItemHandle firstRoot() const override;
    ItemHandle nextSibling(ItemHandle item) const override;
    // The control is asked only whether a folder is open.
    TreeItemFacts facts(ItemHandle item) const override;

    ItemHandle insertLast(ItemHandle parent, const std::string& title, int image, int selectedImage,
                          bool expanded = false) override;
    ItemHandle insertAfter(ItemHandle parent, ItemHandle after, const std::string& title, int image,
                           int selectedImage) override;
    // Drawing off while filling: the control then neither repaints nor lays out
    // its visible items and scroll bars per insertion, only once at the end.
    void beginFill(int items) override;
    void endFill() override;

private:
    PageListControl& list_;
    bool shadow_;
};
