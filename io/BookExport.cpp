#include "io/BookExport.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "io/FileNames.h"
#include "io/FileSystem.h"

namespace bookexport {

namespace {

constexpr int MAX_SUFFIX = 100000;
// Deeper than any tree the page list can hold; stops a damaged book whose
// parent numbers run in a circle.
constexpr int MAX_DEPTH = 10000;
const char RTF_SUFFIX[] = ".rtf";

// Creates or truncates the file and writes the text up to its first zero byte.
bool writeText(const std::string& path, const std::string& text) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const std::size_t length = std::strlen(text.c_str());
    const bool written = std::fwrite(text.data(), 1, length, file) == length;
    return std::fclose(file) == 0 && written;
}

}  // namespace

std::string freeName(const std::string& folder, const std::string& base, const std::string& suffix) {
    const std::string safeBase = filenames::creatableBase(base);
    for (int n = 0; n <= MAX_SUFFIX; ++n) {
        std::string name = safeBase;
        if (n > 0) {
            char number[24];
            std::snprintf(number, sizeof number, "-(%d)", n);
            name += number;
        }
        name += suffix;
        filenames::cleanFileName(name);
        const std::string path = iofs::joinPath(folder, name);
        if (!iofs::pathTaken(path)) return path;
    }
    return std::string();
}

BookExport::BookExport(const PageTable& table, PlainText securePlainText)
    : table_(table), securePlainText_(std::move(securePlainText)) {
    for (int i = 0; i < table_.count(); ++i) children_[table_.recordAt(i).parentOrder].push_back(i);
    for (auto& entry : children_)
        std::stable_sort(entry.second.begin(), entry.second.end(),
                         [this](int a, int b) { return table_.recordAt(a).order < table_.recordAt(b).order; });
}

bool BookExport::exportFolder(int index, const std::string& destination, const std::string& stamp) {
    if (index >= 0) return exportFolderInto(index, destination, 0);
    const std::string directory = freeName(destination, stamp, std::string());
    if (directory.empty() || !iofs::createDirectory(directory)) {
        ++report_.failures;
        return false;
    }
    report_.topFolder = directory;
    return exportChildren(-1, directory, 0);
}

bool BookExport::exportFolderInto(int index, const std::string& destination, int depth) {
    const PageRecord& folder = table_.recordAt(index);
    const std::string directory = freeName(destination, folder.title, std::string());
    if (directory.empty() || !iofs::createDirectory(directory)) {
        ++report_.failures;
        return false;
    }
    const bool ok = exportPage(index, directory);
    return exportChildren(folder.order, directory, depth + 1) && ok;
}

bool BookExport::exportChildren(int parentOrder, const std::string& directory, int depth) {
    auto found = children_.find(parentOrder);
    if (found == children_.end()) return true;
    bool ok = true;
    for (int child : found->second) {
        const PageRecord& record = table_.recordAt(child);
        if (!record.isFolder) {
            ok = exportPage(child, directory) && ok;
        } else if (record.order > parentOrder && depth < MAX_DEPTH) {
            ok = exportFolderInto(child, directory, depth) && ok;
        } else {
            // a folder's children come after it in tree order; anything else is damage
            ++report_.failures;
            ok = false;
        }
    }
    return ok;
}

bool BookExport::exportPage(int index, const std::string& destination) {
    const PageRecord& record = table_.recordAt(index);
    std::string secureText;
    if (record.isSecure && !(securePlainText_ && securePlainText_(record, secureText))) {
        report_.skipped.push_back(record.title);
        return false;
    }
    std::string plainText;  // a text at its place in the data file is read for its write
    if (!record.isSecure && !loadText(record, plainText)) {
        ++report_.failures;
        return false;
    }
    const std::string& text = record.isSecure ? secureText : plainText;
    const std::string path = freeName(destination, record.title, RTF_SUFFIX);
    const bool written = !path.empty() && writeText(path, text);
    // a secure page's plain text lives no longer than its write
    std::fill(secureText.begin(), secureText.end(), '\0');
    if (!written) {
        ++report_.failures;
        return false;
    }
    ++report_.files;
    return true;
}

}  // namespace bookexport
