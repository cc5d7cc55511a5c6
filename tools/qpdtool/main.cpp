// qpdtool: looks inside, checks, converts and generates Quiltpad data files.
//
// Exit codes: 0 done, 1 wrong usage, 2 unusable or damaged file (or a failed
// write), 3 missing file. Failures print one line on stderr.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Book.h"
#include "Dump.h"
#include "ExportImport.h"
#include "Generate.h"
#include "SalvageCommand.h"
#include "store/DataFile.h"

using namespace qpdtool;

namespace {

const char USAGE[] =
    "usage: qpdtool dump FILE\n"
    "       qpdtool check FILE\n"
    "       qpdtool convert IN OUT\n"
    "       qpdtool salvage BOOK OUT\n"
    "       qpdtool gen --pages N [--folders F] [--text-bytes B] [--secure S] [--seed X] [--scroll] [--expanded] OUT\n"
    "       qpdtool export BOOK DIR [--password P]\n"
    "       qpdtool import DIR BOOK\n";

int usage(const std::string& problem) {
    std::fprintf(stderr, "qpdtool: %s\n%s", problem.c_str(), USAGE);
    return EXIT_USAGE;
}

int load(const std::string& path, Book& book) {
    std::string reason;
    int code = loadBook(path, book, reason);
    return code == EXIT_OK ? EXIT_OK : fail(path, reason, code);
}

int dumpCommand(const std::string& path) {
    Book book;
    int code = load(path, book);
    if (code != EXIT_OK) return code;
    std::string json = dumpJson(book);
    std::fwrite(json.data(), 1, json.size(), stdout);
    return std::fflush(stdout) == 0 ? EXIT_OK : EXIT_UNUSABLE;
}

int checkCommand(const std::string& path) {
    Book book;
    int code = load(path, book);
    if (code != EXIT_OK) return code;
    if (book.extraBytes > 0)
        std::fprintf(stderr, "qpdtool: %s: warning: %lld bytes follow the last record (not part of the book)\n",
                     path.c_str(), static_cast<long long>(book.extraBytes));
    std::printf("ok: %d records\n", book.table.count());
    return EXIT_OK;
}

int save(const Book& book, const std::string& out) {
    if (!writeDataFile(out, book.version, book.scrollBlocks, book.table, book.header))
        return fail(out, "cannot be written", EXIT_UNUSABLE);
    return EXIT_OK;
}

int convertCommand(const std::string& in, const std::string& out) {
    Book book;
    int code = load(in, book);
    if (code != EXIT_OK) return code;
    modernise(book, freshBookNumber());
    return save(book, out);
}

bool parseNumber(const std::string& text, long long low, long long high, long long& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    value = std::strtoll(text.c_str(), &end, 10);
    return *end == '\0' && value >= low && value <= high;
}

int genCommand(const std::vector<std::string>& args) {
    GenOptions options;
    std::string out;
    bool havePages = false;
    const long long MAX_RECORDS = 10000000;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        long long value = 0;
        if (arg == "--scroll") {
            options.scroll = true;
            continue;
        }
        if (arg == "--expanded") {
            options.expandAll = true;
            continue;
        }
        if (arg.size() > 2 && arg.compare(0, 2, "--") == 0) {
            if (i + 1 >= args.size()) return usage(arg + " needs a value");
            const std::string& text = args[++i];
            bool seed = arg == "--seed";
            if (!parseNumber(text, 0, seed ? 0x7FFFFFFFFFFFFFFFll : MAX_RECORDS, value))
                return usage("bad value for " + arg + ": " + text);
            if (arg == "--pages") {
                options.pages = static_cast<int>(value);
                havePages = true;
            } else if (arg == "--folders") {
                options.folders = static_cast<int>(value);
            } else if (arg == "--text-bytes") {
                options.textBytes = static_cast<int>(value);
            } else if (arg == "--secure") {
                options.secure = static_cast<int>(value);
            } else if (seed) {
                options.seed = static_cast<std::uint64_t>(value);
            } else {
                return usage("unknown option " + arg);
            }
        } else if (out.empty()) {
            out = arg;
        } else {
            return usage("more than one output file");
        }
    }
    if (!havePages || out.empty()) return usage("gen needs --pages and an output file");
    if (options.secure > options.pages) return usage("--secure cannot exceed --pages");
    Book book;
    generateBook(options, book);
    return save(book, out);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return usage("no command");
    const std::string command = args[0];
    args.erase(args.begin());
    if (command == "dump" && args.size() == 1) return dumpCommand(args[0]);
    if (command == "check" && args.size() == 1) return checkCommand(args[0]);
    if (command == "convert" && args.size() == 2) return convertCommand(args[0], args[1]);
    if (command == "salvage" && args.size() == 2) return salvageCommand(args[0], args[1]);
    if (command == "gen") return genCommand(args);
    if (command == "export") return exportCommand(args);
    if (command == "import" && args.size() == 2) return importCommand(args[0], args[1]);
    return usage("unknown command or wrong number of arguments: " + command);
}
