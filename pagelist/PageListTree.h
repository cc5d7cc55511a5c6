// The page list seen by the page store: a tree it walks before a save
// (refreshFromTree) and builds after a load (rebuildTree).
#pragma once
#include <windows.h>

#include "pagelist/PageListControl.h"
#include "store/TreeSource.h"

class PageListTree : public TreeSource, public TreeBuilder {
public:
    explicit PageListTree(PageListControl& list) : list_(list) {}

    ItemHandle firstRoot() const override;
    ItemHandle firstChild(ItemHandle item) const override { return list_.FirstChild(item); }
    ItemHandle nextSibling(ItemHandle item) const override { return list_.NextSibling(item); }
    ItemHandle parent(ItemHandle item) const override { return list_.Parent(item); }
    ItemHandle nextVisible(ItemHandle item) const override;
    int image(ItemHandle item) const override { return list_.GetImages(item).image; }

    ItemHandle insertLast(ItemHandle parent, const std::string& title, int image, int selectedImage) override;
    void setExpanded(ItemHandle item, bool expanded) override;

private:
    PageListControl& list_;
};
