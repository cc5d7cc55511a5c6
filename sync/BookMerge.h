// Two copies of one book edited apart (two PCs on a synced folder), merged page by page against
// the book as this PC last read or wrote it (the base), so that no edit of either side is lost:
// - a page added on one side is added in its place;
// - a page changed on one side takes that side's text, a title changed on one side that title;
// - a page changed on both sides is kept twice, the other side's copy titled with where it came from;
// - a page deleted on one side and changed on the other is kept;
// - a move follows the side that moved.
// Pages carry no identity: they are matched by their place and title (the n-th of a title among
// its siblings), then a page not found so by its text (moved or retitled without a change).
#pragma once

#include <string>
#include <vector>

namespace bookmerge {

// One page or folder of a book, in tree order.
struct Page {
    std::string title;  // code page 932
    int depth = 0;      // 0: the top level; a page is one deeper than the folder above it
    bool folder = false;
    std::string hash;   // of its text (a secure page's cipher): equal hashes, equal texts
};
using Book = std::vector<Page>;

enum class Side { Ours, Theirs };

// One page of the merged book: which side's page it is, its title and its depth.
struct Placed {
    Side side = Side::Ours;
    int index = 0;
    std::string title;
    int depth = 0;
};

struct Result {
    std::vector<Placed> pages;  // in tree order
    int added = 0;       // pages of theirs added
    int changed = 0;     // pages that took theirs' text or title
    int keptTwice = 0;   // changed on both sides: theirs' copy added beside ours
    int kept = 0;        // deleted on one side, changed on the other: kept
    int moved = 0;       // moved as theirs moved them
    int deleted = 0;     // deleted as theirs deleted them
};

// Without a base (none was kept on this PC): the pages both copies hold alike, at the same place
// with the same text, stand for it; every other difference is then kept from both sides.
Book commonBase(const Book& ours, const Book& theirs);

// `theirName` ends the title of theirs' copy of a page changed on both sides: "title (LAPTOP)".
Result merge(const Book& base, const Book& ours, const Book& theirs, const std::string& theirName);

}  // namespace bookmerge
