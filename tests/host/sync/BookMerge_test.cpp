#include "sync/BookMerge.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "sync/ConflictCopies.h"

namespace {

using bookmerge::Book;

// "F/ a b F/c" : a page is title=text, a folder ends with '/', its pages follow it indented by '.'
// ("F/ .a=1 .b=2 c=3": folder F holding a and b, then c at the top level). A page's text is
// after '=' (its hash here).
Book parse(const std::string& text) {
    Book book;
    std::istringstream words(text);
    std::string word;
    while (words >> word) {
        bookmerge::Page page;
        while (!word.empty() && word[0] == '.') ++page.depth, word.erase(0, 1);
        const std::string::size_type eq = word.find('=');
        page.folder = word.back() == '/';
        page.title = page.folder ? word.substr(0, word.size() - 1) : word.substr(0, eq);
        if (!page.folder && eq != std::string::npos) page.hash = word.substr(eq + 1);
        book.push_back(page);
    }
    return book;
}

std::string show(const bookmerge::Result& result, const Book& ours, const Book& theirs) {
    std::string out;
    for (const bookmerge::Placed& p : result.pages) {
        const bookmerge::Page& page = (p.side == bookmerge::Side::Ours ? ours : theirs)[static_cast<std::size_t>(p.index)];
        if (!out.empty()) out += ' ';
        std::string title = p.title;
        std::replace(title.begin(), title.end(), ' ', '_');
        out += std::string(static_cast<std::size_t>(p.depth), '.') + title + (page.folder ? "/" : "=" + page.hash);
    }
    return out;
}

TEST(BookMerge, EveryEditOfBothSidesIsInTheMergedBook) {
    struct Case {
        const char* name;
        const char* base;
        const char* ours;
        const char* theirs;
        const char* merged;
    } cases[] = {
        {"nothing changed", "a=1 b=2", "a=1 b=2", "a=1 b=2", "a=1 b=2"},
        {"added on each side in its place", "a=1 b=2", "a=1 n=9 b=2", "a=1 b=2 m=8", "a=1 n=9 b=2 m=8"},
        {"changed on theirs", "a=1 b=2", "a=1 b=2", "a=1 b=5", "a=1 b=5"},
        {"changed on ours", "a=1 b=2", "a=6 b=2", "a=1 b=2", "a=6 b=2"},
        {"changed alike on both", "a=1", "a=7", "a=7", "a=7"},
        {"changed on both: kept twice", "a=1 b=2", "a=6 b=2", "a=7 b=2", "a=6 a_(PC2)=7 b=2"},
        {"deleted on theirs", "a=1 b=2", "a=1 b=2", "a=1", "a=1"},
        {"deleted on ours", "a=1 b=2", "a=1", "a=1 b=2", "a=1"},
        {"deleted on theirs, changed on ours: kept", "a=1 b=2", "a=1 b=3", "a=1", "a=1 b=3"},
        {"deleted on ours, changed on theirs: kept", "a=1 b=2", "a=1", "a=1 b=3", "a=1 b=3"},
        {"moved on theirs into a folder", "F/ .x=1 a=2", "F/ .x=1 a=2", "F/ .x=1 .a=2", "F/ .x=1 .a=2"},
        {"moved on ours, changed on theirs", "F/ .x=1 a=2", "F/ .x=1 .a=2", "F/ .x=1 a=5", "F/ .x=1 .a=5"},
        {"retitled on theirs", "a=1 b=2", "a=1 b=2", "a=1 c=2", "a=1 c=2"},
        {"the same title repeated", "p=1 p=2 p=3", "p=1 p=9 p=3", "p=1 p=2 p=8", "p=1 p=9 p=8"},
        {"a folder deleted on theirs keeps what ours added in it", "F/ .x=1", "F/ .x=1 .y=4", "", "F/ .y=4"},
        {"a folder deleted on ours keeps what theirs changed in it", "F/ .x=1 .z=3", "", "F/ .x=2 .z=3", "F/ .x=2"},
        // a secure page's hash is its cipher's: locked pages changed on both sides are kept twice
        {"made secure on ours, changed on theirs", "s=1", "s=enc1", "s=2", "s=enc1 s_(PC2)=2"},
    };
    for (const Case& c : cases) {
        const Book base = parse(c.base), ours = parse(c.ours), theirs = parse(c.theirs);
        const bookmerge::Result result = bookmerge::merge(base, ours, theirs, "PC2");
        EXPECT_EQ(c.merged, show(result, ours, theirs)) << c.name;
    }
    // no base kept: what both hold alike stands for it, every other page is kept from both
    const Book ours = parse("F/ .x=1 .y=2 z=3"), theirs = parse("F/ .x=1 .y=5 z=3 n=4");
    const Book base = bookmerge::commonBase(ours, theirs);
    EXPECT_EQ("F/ .x=1 .y=5 .y=2 z=3 n=4", show(bookmerge::merge(base, ours, theirs, "PC2"), ours, theirs));
}

// Random pairs of books edited from one base: every page either side changed or added is in the
// merged book, and the merged book is a tree (each depth at most one below the one before).
TEST(BookMerge, NoChangedPageIsLostInRandomEdits) {
    unsigned seed = 12345;
    auto next = [&seed](unsigned n) { return (seed = seed * 1103515245u + 12345u) / 65536u % n; };
    for (int round = 0; round < 300; ++round) {
        Book base;
        int deepest = 0;  // a page may go one deeper only below a folder
        for (int i = 0; i < 12; ++i) {
            bookmerge::Page page;
            page.depth = static_cast<int>(next(static_cast<unsigned>(deepest + 1)));
            page.folder = next(4) == 0;
            page.title = "t" + std::to_string(next(4));
            if (!page.folder) page.hash = "h" + std::to_string(i);
            deepest = page.folder ? page.depth + 1 : page.depth;
            base.push_back(page);
        }
        auto edit = [&](Book book, const std::string& side) {
            for (int e = 0; e < 4; ++e) {
                const std::size_t at = book.empty() ? 0 : next(static_cast<unsigned>(book.size()));
                switch (next(3)) {
                    case 0:
                        if (!book.empty() && !book[at].folder) book[at].hash = side + std::to_string(e);
                        break;
                    case 1: {
                        bookmerge::Page page;
                        page.title = "new";
                        page.hash = side + "n" + std::to_string(e);
                        page.depth = at < book.size() ? book[at].depth : 0;
                        book.insert(book.begin() + static_cast<long>(std::min(at, book.size())), page);
                        break;
                    }
                    default:
                        // delete a page that holds nothing
                        if (!book.empty() && (at + 1 == book.size() || book[at + 1].depth <= book[at].depth)) book.erase(book.begin() + static_cast<long>(at));
                }
            }
            return book;
        };
        const Book ours = edit(base, "o"), theirs = edit(base, "t");
        const bookmerge::Result result = bookmerge::merge(base, ours, theirs, "PC2");
        std::vector<std::string> texts;
        int depth = -1;
        for (const bookmerge::Placed& p : result.pages) {
            const Book& from = p.side == bookmerge::Side::Ours ? ours : theirs;
            texts.push_back(from[static_cast<std::size_t>(p.index)].hash);
            ASSERT_LE(p.depth, depth + 1) << "round " << round;
            depth = p.depth;
        }
        for (const Book* side : {&ours, &theirs})
            for (const bookmerge::Page& page : *side) {
                if (page.folder || page.hash[0] == 'h') continue;
                EXPECT_NE(std::find(texts.begin(), texts.end(), page.hash), texts.end())
                    << "round " << round << ": " << page.hash << " lost";
            }
    }
}

TEST(ConflictCopies, TheNamesSyncClientsGiveASecondCopy) {
    struct Case {
        const char* name;
        const char* client;
        const char* origin;
    } cases[] = {
        {"quiltpad.sync-conflict-20261210-101500-ABCDEFG.qpd", "Syncthing", "ABCDEFG"},
        {"quiltpad (Taro's conflicted copy 2026-12-10).qpd", "Dropbox", "Taro"},
        {"quiltpad (conflicted copy 2026-12-10 101500).qpd", "Nextcloud", "2026-12-10 101500"},
        {"QUILTPAD-LAPTOP.QPD", "OneDrive", "LAPTOP"},
        {"quiltpad (1).qpd", "Google Drive", ""},
        {"quiltpad.qpd", "", ""},
        {"quiltpad.other.20261210-101500.qpd", "", ""},
        {"quiltpad.sync-conflict-2026.qpd", "", ""},
        {"quiltpad (notes).qpd", "", ""},
        {"backup01.qpd", "", ""},
        {"quiltpad (1).txt", "", ""},
    };
    for (const Case& c : cases) {
        const conflictcopies::Copy copy = conflictcopies::judge(c.name, "quiltpad.qpd");
        EXPECT_EQ(copy.client, c.client) << c.name;
        EXPECT_EQ(copy.origin, c.origin) << c.name;
        EXPECT_EQ(copy.conflicted, *c.client != '\0') << c.name;
    }
}

}  // namespace
