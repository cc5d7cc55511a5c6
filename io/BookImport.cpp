#include "io/BookImport.h"

#include <algorithm>
#include <cctype>

#include "io/FileNames.h"
#include "io/FileSystem.h"
#include "io/TextCodec.h"
#include "pagelist/PageListRules.h"
#include "store/FileReader.h"
#include "store/OldDataFile.h"

namespace bookimport {

namespace {

// Deeper than any book; stops a folder link that leads back into itself.
constexpr int MAX_DEPTH = 1000;

struct Entry {
    std::string name;
    std::string title;
    bool isDirectory = false;
    bool isRtf = false;
};

std::string lowered(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The directory's folders and page files in name order; `ownText` (the
// folder's own text file) is left out.
std::vector<Entry> pageEntries(const std::vector<iofs::DirEntry>& listing, const std::string& ownText) {
    std::vector<Entry> entries;
    for (const iofs::DirEntry& item : listing) {
        Entry entry;
        entry.name = item.name;
        entry.isDirectory = item.isDirectory;
        if (item.isDirectory) {
            entry.title = item.name;
        } else {
            const std::string extension = lowered(filenames::extensionOf(item.name));
            if ((extension != "rtf" && extension != "txt") || item.name == ownText) continue;
            entry.isRtf = extension == "rtf";
            entry.title = filenames::titleOfPath(item.name);
        }
        entries.push_back(entry);
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (a.title != b.title) return a.title < b.title;
        if (a.isDirectory != b.isDirectory) return a.isDirectory;
        return a.name < b.name;
    });
    return entries;
}

// The folder's own text file inside its directory: "<name>.rtf", or for a
// directory numbered because its title was taken ("F-(1)"), "<title>.rtf" of
// the title before the number, which then is the folder's title. Empty when
// there is none.
std::string ownTextFile(const std::string& directory, const std::string& name, std::string& title) {
    if (iofs::pathExists(iofs::joinPath(directory, name + ".rtf"))) return name + ".rtf";
    const std::size_t dash = name.rfind("-(");
    if (dash == std::string::npos || name.back() != ')' || dash + 3 >= name.size()) return std::string();
    for (std::size_t i = dash + 2; i + 1 < name.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) return std::string();
    const std::string base = name.substr(0, dash);
    if (!iofs::pathExists(iofs::joinPath(directory, base + ".rtf"))) return std::string();
    title = base;
    return base + ".rtf";
}

class Importer {
public:
    Importer(PageTable& table, ImportReport& report) : table_(table), report_(report) {}

    bool importDirectory(const std::string& path, const std::string& ownText, int parentOrder, int depth) {
        std::vector<iofs::DirEntry> listing;
        if (!iofs::listDirectory(path, listing)) return false;
        for (const Entry& entry : pageEntries(listing, ownText)) {
            const std::string entryPath = iofs::joinPath(path, entry.name);
            if (!entry.isDirectory) {
                std::string text;
                if (readText(entryPath, entry.isRtf, text)) add(entry.title, text, false, parentOrder);
                continue;
            }
            if (depth >= MAX_DEPTH) {
                report_.unreadable.push_back(entryPath);
                continue;
            }
            std::string title = entry.title;
            const std::string ownFile = ownTextFile(entryPath, entry.name, title);
            std::string text;
            if (!ownFile.empty()) readText(iofs::joinPath(entryPath, ownFile), true, text);
            const int order = add(title, text, true, parentOrder);
            if (!importDirectory(entryPath, ownFile, order, depth + 1)) report_.unreadable.push_back(entryPath);
        }
        return true;
    }

private:
    bool readText(const std::string& path, bool isRtf, std::string& text) {
        std::string bytes;
        if (readFileBytes(path, bytes) != ReadBytesResult::Ok) {
            report_.unreadable.push_back(path);
            return false;
        }
        text = pageTextOf(bytes, isRtf);
        return true;
    }

    int add(const std::string& title, const std::string& text, bool isFolder, int parentOrder) {
        PageRecord record;
        record.title = pagelist::cutTitle(title);
        record.text = text;
        record.isFolder = isFolder ? 1 : 0;
        record.isExpanded = isFolder ? 1 : 0;
        record.order = table_.count();
        record.parentOrder = parentOrder;
        table_.appendRecord(std::move(record));
        ++(isFolder ? report_.folders : report_.pages);
        return table_.count() - 1;
    }

    PageTable& table_;
    ImportReport& report_;
};

}  // namespace

std::string pageTextOf(const std::string& bytes, bool isRtf) {
    if (isRtf) return bytes;
    // a code page 932 file keeps its very bytes, as the book stores them
    if (textcodec::textFileKind(bytes) == textcodec::TextFileKind::CP932) return plainTextToRtf(bytes);
    return plainTextToRtf(textcodec::decodeTextFile(bytes));
}

bool importTree(const std::string& directory, PageTable& table, ImportReport& report) {
    table.clear();
    Importer importer(table, report);
    return importer.importDirectory(directory, std::string(), -1, 0);
}

}  // namespace bookimport
