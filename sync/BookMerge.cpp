#include "sync/BookMerge.h"

#include <algorithm>
#include <map>

namespace bookmerge {

namespace {

constexpr int NONE = -1;

// Each page's folder (NONE at the top level).
std::vector<int> parentsOf(const Book& book) {
    std::vector<int> parents(book.size(), NONE), open;
    for (std::size_t i = 0; i < book.size(); ++i) {
        const int depth = std::max(0, std::min(book[i].depth, static_cast<int>(open.size())));
        open.resize(static_cast<std::size_t>(depth));
        parents[i] = open.empty() ? NONE : open.back();
        open.push_back(static_cast<int>(i));
    }
    return parents;
}

// Where a page is: its folders' titles and its own, with the n-th of its title among its siblings.
std::vector<std::string> placesOf(const Book& book, const std::vector<int>& parents) {
    std::vector<std::string> places(book.size());
    std::map<std::pair<int, std::string>, int> seen;
    for (std::size_t i = 0; i < book.size(); ++i) {
        const int parent = parents[i];
        const int nth = seen[{parent, book[i].title}]++;
        places[i] = (parent == NONE ? std::string() : places[static_cast<std::size_t>(parent)] + '\x1f') +
                    book[i].title + '\x1e' + std::to_string(nth) + (book[i].folder ? "/" : "");
    }
    return places;
}

// For each base page, the side's page that is it (NONE: deleted there); by place, then by text.
std::vector<int> match(const Book& base, const Book& side) {
    const std::vector<std::string> basePlaces = placesOf(base, parentsOf(base));
    const std::vector<std::string> sidePlaces = placesOf(side, parentsOf(side));
    std::map<std::string, int> byPlace;
    for (std::size_t i = 0; i < side.size(); ++i) byPlace.emplace(sidePlaces[i], static_cast<int>(i));
    std::vector<int> of(base.size(), NONE);
    std::vector<bool> taken(side.size(), false);
    for (std::size_t b = 0; b < base.size(); ++b) {
        const auto at = byPlace.find(basePlaces[b]);
        if (at != byPlace.end() && !taken[static_cast<std::size_t>(at->second)]) {
            of[b] = at->second;
            taken[static_cast<std::size_t>(at->second)] = true;
        }
    }
    // moved or retitled: the same text (a page) or the same title (a folder), not matched yet
    for (std::size_t b = 0; b < base.size(); ++b) {
        if (of[b] != NONE) continue;
        for (std::size_t s = 0; s < side.size(); ++s) {
            if (taken[s] || side[s].folder != base[b].folder) continue;
            const bool same = base[b].folder ? side[s].title == base[b].title
                                             : !base[b].hash.empty() && side[s].hash == base[b].hash;
            if (!same) continue;
            of[b] = static_cast<int>(s);
            taken[s] = true;
            break;
        }
    }
    return of;
}

std::vector<int> inverse(const std::vector<int>& of, std::size_t size) {
    std::vector<int> back(size, NONE);
    for (std::size_t b = 0; b < of.size(); ++b)
        if (of[b] != NONE) back[static_cast<std::size_t>(of[b])] = static_cast<int>(b);
    return back;
}

// The merged book as a tree: ours to begin with, theirs' changes applied to it.
struct Node {
    Side side;
    int index;
    std::string title;
    int parent;
    std::vector<int> kids;
    bool gone = false;
};

class Tree {
public:
    std::vector<Node> nodes;
    std::vector<int> top;

    int add(Side side, int index, const std::string& title, int parent, int after) {
        nodes.push_back(Node{side, index, title, parent, {}, false});
        const int id = static_cast<int>(nodes.size()) - 1;
        place(id, parent, after);
        return id;
    }
    // Under `parent` (NONE: the top level), right after `after` (NONE: first).
    void place(int id, int parent, int after) {
        nodes[static_cast<std::size_t>(id)].parent = parent;
        std::vector<int>& list = kidsOf(parent);
        const auto at = std::find(list.begin(), list.end(), after);
        list.insert(at == list.end() ? list.begin() : at + 1, id);
    }
    bool inside(int id, int ancestor) const {
        for (int at = id; at != NONE; at = nodes[static_cast<std::size_t>(at)].parent)
            if (at == ancestor) return true;
        return false;
    }
    void detach(int id) {
        std::vector<int>& list = kidsOf(nodes[static_cast<std::size_t>(id)].parent);
        list.erase(std::find(list.begin(), list.end(), id));
    }
    // A folder deleted on one side keeps whatever is kept inside it.
    bool keep(int id) {
        Node& node = nodes[static_cast<std::size_t>(id)];
        bool inside = false;
        for (int kid : node.kids) inside = keep(kid) || inside;
        if (inside) node.gone = false;
        return !node.gone;
    }
    void write(const std::vector<int>& list, int depth, std::vector<Placed>& out) const {
        for (int id : list) {
            const Node& node = nodes[static_cast<std::size_t>(id)];
            if (node.gone) continue;
            out.push_back(Placed{node.side, node.index, node.title, depth});
            write(node.kids, depth + 1, out);
        }
    }

private:
    std::vector<int>& kidsOf(int parent) { return parent == NONE ? top : nodes[static_cast<std::size_t>(parent)].kids; }
};

}  // namespace

Book commonBase(const Book& ours, const Book& theirs) {
    const std::vector<int> ourParents = parentsOf(ours);
    const std::vector<std::string> ourPlaces = placesOf(ours, ourParents), theirPlaces = placesOf(theirs, parentsOf(theirs));
    std::map<std::string, std::string> theirHash;
    for (std::size_t t = 0; t < theirs.size(); ++t) theirHash.emplace(theirPlaces[t], theirs[t].hash);
    // a page stays when it is alike on both sides; the folders above it stay with it
    std::vector<bool> kept(ours.size(), false);
    for (std::size_t o = 0; o < ours.size(); ++o) {
        const auto at = theirHash.find(ourPlaces[o]);
        if (at == theirHash.end() || at->second != ours[o].hash) continue;
        for (int p = static_cast<int>(o); p != NONE && !kept[static_cast<std::size_t>(p)]; p = ourParents[static_cast<std::size_t>(p)])
            kept[static_cast<std::size_t>(p)] = true;
    }
    Book base;
    for (std::size_t o = 0; o < ours.size(); ++o)
        if (kept[o]) base.push_back(ours[o]);
    return base;
}

Result merge(const Book& base, const Book& ours, const Book& theirs, const std::string& theirName) {
    Result result;
    const std::vector<int> ourOf = match(base, ours), theirOf = match(base, theirs);
    const std::vector<int> baseOfTheirs = inverse(theirOf, theirs.size());
    const std::vector<int> baseParents = parentsOf(base), theirParents = parentsOf(theirs);

    Tree tree;
    std::vector<int> nodeOfOurs(ours.size(), NONE);
    {
        const std::vector<int> ourParents = parentsOf(ours);
        std::vector<int> last(ours.size() + 1, NONE);  // the last node placed under each folder
        for (std::size_t o = 0; o < ours.size(); ++o) {
            const int parent = ourParents[o] == NONE ? NONE : nodeOfOurs[static_cast<std::size_t>(ourParents[o])];
            const std::size_t slot = parent == NONE ? ours.size() : static_cast<std::size_t>(ourParents[o]);
            nodeOfOurs[o] = tree.add(Side::Ours, static_cast<int>(o), ours[o].title, parent, last[slot]);
            last[slot] = nodeOfOurs[o];
        }
    }
    // theirs' pages as nodes of the merged tree, filled in theirs' order
    std::vector<int> nodeOfTheirs(theirs.size(), NONE);
    for (std::size_t b = 0; b < base.size(); ++b)
        if (theirOf[b] != NONE && ourOf[b] != NONE)
            nodeOfTheirs[static_cast<std::size_t>(theirOf[b])] = nodeOfOurs[static_cast<std::size_t>(ourOf[b])];

    // Texts and titles, and pages deleted on one side.
    for (std::size_t b = 0; b < base.size(); ++b) {
        const int o = ourOf[b], t = theirOf[b];
        if (o == NONE) {
            // deleted here: comes back below only when theirs changed it
            continue;
        }
        Node& node = tree.nodes[static_cast<std::size_t>(nodeOfOurs[static_cast<std::size_t>(o)])];
        const Page& mine = ours[static_cast<std::size_t>(o)];
        const bool oursChanged = mine.hash != base[b].hash;
        if (t == NONE) {
            if (oursChanged && !mine.folder) {
                ++result.kept;
            } else {
                node.gone = true;
                ++result.deleted;
            }
            continue;
        }
        const Page& other = theirs[static_cast<std::size_t>(t)];
        const bool theirsChanged = other.hash != base[b].hash;
        if (!mine.folder && theirsChanged && other.hash != mine.hash) {
            if (!oursChanged) {
                node.side = Side::Theirs;
                node.index = t;
                ++result.changed;
            } else {
                const int id = nodeOfOurs[static_cast<std::size_t>(o)];
                tree.add(Side::Theirs, t, other.title + " (" + theirName + ")", node.parent, id);
                ++result.keptTwice;
            }
        }
        Node& same = tree.nodes[static_cast<std::size_t>(nodeOfOurs[static_cast<std::size_t>(o)])];
        if (mine.title == base[b].title && other.title != base[b].title) {
            same.title = other.title;
            if (same.side == Side::Ours) ++result.changed;
        }
    }

    // Theirs' additions, pages theirs changed that ours deleted, and theirs' moves, in theirs' order.
    for (std::size_t t = 0; t < theirs.size(); ++t) {
        const int b = baseOfTheirs[t];
        const int theirParent = theirParents[t];
        const int parent = theirParent == NONE ? NONE : nodeOfTheirs[static_cast<std::size_t>(theirParent)];
        // after the page before it under the same folder in theirs, where that one is now
        int after = NONE;
        for (int p = static_cast<int>(t) - 1; p > theirParent; --p)
            if (theirParents[static_cast<std::size_t>(p)] == theirParent) {
                const int candidate = nodeOfTheirs[static_cast<std::size_t>(p)];
                if (candidate != NONE && tree.nodes[static_cast<std::size_t>(candidate)].parent == parent) after = candidate;
                break;
            }
        if (b == NONE || ourOf[static_cast<std::size_t>(b)] == NONE) {
            const bool changedThere = b == NONE || theirs[t].hash != base[static_cast<std::size_t>(b)].hash;
            // deleted on ours and left as it was on theirs: stays deleted (a folder only when nothing comes back in it)
            if (!changedThere && !theirs[t].folder) continue;
            nodeOfTheirs[t] = tree.add(Side::Theirs, static_cast<int>(t), theirs[t].title, parent, after);
            if (b == NONE)
                ++result.added;
            else if (theirs[t].folder)
                tree.nodes[static_cast<std::size_t>(nodeOfTheirs[t])].gone = true;  // kept only for what it holds
            else
                ++result.kept;
            continue;
        }
        // moved on theirs (another folder than in the base) and not on ours: it follows theirs
        const int id = nodeOfTheirs[t];
        const int baseParent = baseParents[static_cast<std::size_t>(b)];
        const int theirsOfBaseParent = baseParent == NONE ? NONE : theirOf[static_cast<std::size_t>(baseParent)];
        const int ourParentNow = tree.nodes[static_cast<std::size_t>(id)].parent;
        const int ourBaseParent = baseParent == NONE ? NONE
                                  : ourOf[static_cast<std::size_t>(baseParent)] == NONE
                                      ? NONE - 1
                                      : nodeOfOurs[static_cast<std::size_t>(ourOf[static_cast<std::size_t>(baseParent)])];
        const bool theirsMoved = theirsOfBaseParent != theirParent;
        const bool oursMoved = ourParentNow != ourBaseParent;
        if (theirsMoved && !oursMoved && !tree.inside(parent, id)) {
            tree.detach(id);
            tree.place(id, parent, after);
            ++result.moved;
        }
    }

    for (int id : tree.top) tree.keep(id);
    tree.write(tree.top, 0, result.pages);
    return result;
}

}  // namespace bookmerge
