// The book as a tree of folders and RTF files on disk: each folder a
// directory holding its own text as "<title>.rtf", each page "<title>.rtf",
// duplicates "<title>-(1).rtf" and on, the whole book under a directory named
// by a time stamp. The program's "save all pages" and qpdtool both use it.
#pragma once

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "store/PageTable.h"

namespace bookexport {

// Gives a secure page's plain RTF, decrypted in memory only; false when it
// cannot, and the page is then left out.
using PlainText = std::function<bool(const PageRecord& record, std::string& rtf)>;

struct ExportReport {
    int files = 0;                     // files written
    int failures = 0;                  // files and folders that could not be made
    std::vector<std::string> skipped;  // titles of secure pages left out
    std::string topFolder;             // the directory made for the whole book
};

// Exports from a table whose `order`, `parentOrder` and `isFolder` describe
// the tree (as after refreshFromTree).
class BookExport {
public:
    BookExport(const PageTable& table, PlainText securePlainText);

    // A folder record, or -1 for the whole book, into a new directory inside
    // `destination`: named by the folder's title, or by `stamp` for -1, with
    // "-(1)", "-(2)" ... while the name is taken. True when every file was written.
    bool exportFolder(int index, const std::string& destination, const std::string& stamp = std::string());
    // One record's text as "<title>.rtf" (or the first free "<title>-(n).rtf")
    // inside `destination`; true when the file was written.
    bool exportPage(int index, const std::string& destination);

    const ExportReport& report() const { return report_; }

private:
    bool exportFolderInto(int index, const std::string& destination, int depth);
    bool exportChildren(int parentOrder, const std::string& directory, int depth);

    const PageTable& table_;
    PlainText securePlainText_;
    // Records by parentOrder, each list in tree order.
    std::unordered_map<int, std::vector<int>> children_;
    ExportReport report_;
};

// The first of "<base><suffix>", "<base>-(1)<suffix>", ... (each cleaned)
// inside `folder` that names nothing yet; empty when none is free.
std::string freeName(const std::string& folder, const std::string& base, const std::string& suffix);

}  // namespace bookexport
