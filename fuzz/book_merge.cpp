// The page-by-page merge of two copies of a book: whatever the base and whatever each side did
// to it (pages added, changed, deleted, moved into another folder), every page either side
// changed or added is in the merged book, and the merged book is a tree.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "sync/BookMerge.h"

namespace {

struct Bytes {
    const std::uint8_t* data;
    std::size_t size, at = 0;
    unsigned next(unsigned n) { return n == 0 ? 0 : (at < size ? data[at++] : 0) % n; }
};

// A page may be one deeper than the page before it only below a folder.
int deepest(const bookmerge::Book& book, std::size_t before) {
    if (before == 0) return 0;
    const bookmerge::Page& page = book[before - 1];
    return page.folder ? page.depth + 1 : page.depth;
}

bookmerge::Book edited(bookmerge::Book book, Bytes& in, char side) {
    for (unsigned e = 0, n = in.next(8); e < n; ++e) {
        const std::size_t at = book.empty() ? 0 : in.next(static_cast<unsigned>(book.size()));
        const unsigned what = in.next(4);
        if (what == 0 && !book.empty() && !book[at].folder) {
            book[at].hash = std::string(1, side) + std::to_string(e);
        } else if (what == 1) {
            bookmerge::Page page;
            page.title = "t" + std::to_string(in.next(3));
            page.hash = std::string(1, side) + "n" + std::to_string(e);
            page.depth = std::min(static_cast<int>(in.next(3)), deepest(book, at));
            // the page after it may not end up deeper than the new page allows
            if (at < book.size() && book[at].depth > page.depth) page.depth = book[at].depth;
            if (page.depth > deepest(book, at)) continue;
            book.insert(book.begin() + static_cast<long>(at), page);
        } else if (what == 2 && !book.empty() && (at + 1 == book.size() || book[at + 1].depth <= book[at].depth)) {
            book.erase(book.begin() + static_cast<long>(at));
        } else if (what == 3 && !book.empty() && !book[at].folder &&
                   (at + 1 == book.size() || book[at + 1].depth <= book[at].depth)) {
            // moved: to the end of the book, at the top level
            bookmerge::Page page = book[at];
            page.depth = 0;
            book.erase(book.begin() + static_cast<long>(at));
            book.push_back(page);
        }
    }
    return book;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes in{data, size};
    bookmerge::Book base;
    for (unsigned i = 0, n = in.next(16); i < n; ++i) {
        bookmerge::Page page;
        page.depth = static_cast<int>(in.next(static_cast<unsigned>(deepest(base, base.size()) + 1)));
        page.folder = in.next(4) == 0;
        page.title = "t" + std::to_string(in.next(3));
        if (!page.folder) page.hash = "b" + std::to_string(i);
        base.push_back(page);
    }
    const bookmerge::Book ours = edited(base, in, 'o'), theirs = edited(base, in, 't');
    const bookmerge::Result result = bookmerge::merge(base, ours, theirs, "PC2");
    std::vector<std::string> texts;
    int depth = -1;
    for (const bookmerge::Placed& p : result.pages) {
        if (p.depth > depth + 1 || p.depth < 0) std::abort();  // not a tree
        depth = p.depth;
        const bookmerge::Book& from = p.side == bookmerge::Side::Ours ? ours : theirs;
        if (p.index < 0 || static_cast<std::size_t>(p.index) >= from.size()) std::abort();
        texts.push_back(from[static_cast<std::size_t>(p.index)].hash);
    }
    for (const bookmerge::Book* side : {&ours, &theirs})
        for (const bookmerge::Page& page : *side)
            if (!page.folder && page.hash[0] != 'b' && std::find(texts.begin(), texts.end(), page.hash) == texts.end())
                std::abort();  // a page one side changed or added is lost
    return 0;
}
