#include "pagelist/TreeMove.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace treemove {

bool acceptsDrop(const std::vector<ItemHandle>& subtree, ItemHandle target) {
    if (target == NO_ITEM) return false;
    return std::find(subtree.begin(), subtree.end(), target) == subtree.end();
}

long dropShift(std::size_t dragged, std::size_t target, std::size_t count) {
    const long k = static_cast<long>(dragged);
    const long t = static_cast<long>(target);
    return k < t ? t - k - static_cast<long>(count) : t - k;
}

// A rotation gives the same order as moving the block one neighbour swap at a
// time, in time linear in the block and the distance.
void moveBlock(std::vector<DropItem>& items, std::size_t from, std::size_t count, long shift) {
    if (shift == 0 || count == 0) return;
    const auto first = items.begin() + static_cast<long>(from);
    if (shift > 0)
        std::rotate(first, first + static_cast<long>(count), first + static_cast<long>(count) + shift);
    else
        std::rotate(first + shift, first, first + static_cast<long>(count));
}

std::size_t positionOf(const std::vector<DropItem>& items, ItemHandle item) {
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].item == item) return i;
    return items.size();
}

std::vector<ItemHandle> deletionRoots(const std::vector<DropItem>& items) {
    std::vector<ItemHandle> roots;
    std::unordered_set<ItemHandle> seen;
    for (const DropItem& d : items) {
        if (!seen.count(d.parent)) roots.push_back(d.item);
        seen.insert(d.item);
    }
    return roots;
}

bool rebuild(std::vector<DropItem>& items, ItemHandle dragged, ItemHandle target, std::size_t count,
             const InsertItem& insert) {
    std::size_t k = positionOf(items, dragged);
    std::size_t t = positionOf(items, target);
    if (k == items.size() || t == items.size() || k + count > items.size()) return false;
    moveBlock(items, k, count, dropShift(k, t, count));
    k = positionOf(items, dragged);
    t = positionOf(items, target);
    items[k].parent = items[t].parent;

    // old item -> new item of the elements re-created so far
    std::unordered_map<ItemHandle, ItemHandle> made;
    made.reserve(items.size());
    for (DropItem& d : items) {
        const auto mapped = made.find(d.parent);
        const ItemHandle parent = mapped == made.end() ? d.parent : mapped->second;
        d.moved = insert(d, parent);
        if (d.moved == NO_ITEM) return false;
        made.emplace(d.item, d.moved);
    }
    return true;
}

}  // namespace treemove
