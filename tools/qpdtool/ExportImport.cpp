#include "ExportImport.h"

#include <cstdio>

#include "Book.h"
#include "Text.h"
#include "editor/DateStamp.h"
#include "io/BookExport.h"
#include "io/BookImport.h"
#include "io/FileSystem.h"
#include "secure/PageCrypt.h"
#include "store/DataFile.h"

namespace qpdtool {

namespace {

void warn(const std::string& what, const std::string& cp932) {
    std::fprintf(stderr, "qpdtool: warning: %s: %s\n", what.c_str(), cp932ToUtf8(cp932).c_str());
}

struct ExportArgs {
    std::string book, directory, password;
    bool havePassword = false;
};

bool parseExportArgs(const std::vector<std::string>& args, ExportArgs& out) {
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--password") {
            if (i + 1 >= args.size()) return false;
            out.password = args[++i];
            out.havePassword = true;
        } else {
            positional.push_back(args[i]);
        }
    }
    if (positional.size() != 2) return false;
    out.book = positional[0];
    out.directory = positional[1];
    return true;
}

// A secure page's plain RTF with the key of the book's password.
bookexport::PlainText decryptingWith(const pagecrypt::KeyMaterial& key) {
    return [&key](const PageRecord& record, std::string& rtf) {
        PageRecord copy;
        copyFields(record, copy, 0);
        if (!pagecrypt::decryptPage(copy, key, false)) return false;
        rtf = copy.text;
        pagecrypt::wipeString(copy.text);
        return true;
    };
}

}  // namespace

int exportCommand(const std::vector<std::string>& args) {
    ExportArgs parsed;
    if (!parseExportArgs(args, parsed)) {
        std::fprintf(stderr, "usage: qpdtool export BOOK DIR [--password P]\n");
        return EXIT_USAGE;
    }
    Book book;
    std::string reason;
    const int code = loadBook(parsed.book, book, reason);
    if (code != EXIT_OK) return fail(parsed.book, reason, code);
    // the tree order the program would number before saving
    modernise(book, 0);
    if (!iofs::directoryExists(parsed.directory) && !iofs::createDirectory(parsed.directory))
        return fail(parsed.directory, "cannot be created", EXIT_UNUSABLE);

    pagecrypt::KeyMaterial key;
    if (parsed.havePassword) {
        if (!pagecrypt::checkPassword(book.header, parsed.password.data(), parsed.password.size(), key))
            std::fprintf(stderr, "qpdtool: warning: the password is not the book's; secure pages are skipped\n");
        pagecrypt::wipeString(parsed.password);
    }
    bookexport::BookExport exporter(book.table, key.isSet() ? decryptingWith(key) : nullptr);
    exporter.exportFolder(-1, parsed.directory, datestamp::CurrentDateStamp(datestamp::DATE_FORMAT_FILE_STAMP));
    const bookexport::ExportReport& report = exporter.report();
    for (const std::string& title : report.skipped) warn("secure page skipped", title);
    if (report.failures > 0)
        return fail(parsed.directory, std::to_string(report.failures) + " files or folders could not be written",
                    EXIT_UNUSABLE);
    std::printf("%s\n", report.topFolder.c_str());
    return EXIT_OK;
}

int importCommand(const std::string& directory, const std::string& bookPath) {
    if (!iofs::directoryExists(directory)) return fail(directory, "no such folder", EXIT_MISSING);
    PageTable table;
    bookimport::ImportReport report;
    if (!bookimport::importTree(directory, table, report)) return fail(directory, "cannot be read", EXIT_UNUSABLE);
    for (const std::string& path : report.unreadable)
        std::fprintf(stderr, "qpdtool: warning: cannot be read: %s\n", path.c_str());
    const VersionBlock version = makeVersionBlock(SaveKind::ExitData, freshBookNumber());
    if (!writeDataFile(bookPath, version, false, table, newFileHeader()))
        return fail(bookPath, "cannot be written", EXIT_UNUSABLE);
    std::printf("imported %d pages and %d folders\n", report.pages, report.folders);
    return EXIT_OK;
}

}  // namespace qpdtool
