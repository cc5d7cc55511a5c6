// Runs the qpdtool executable that is built beside the test program.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <string>

#include "../store/TestBooks.h"
#include "store/DataFile.h"
#include "store/OldDataFile.h"
#include "secure/PageCrypt.h"

using namespace testbooks;

namespace {

std::string toolPath() {
    char self[PATH_MAX] = {};
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string path(self, n > 0 ? static_cast<std::size_t>(n) : 0);
    return path.substr(0, path.rfind('/') + 1) + "qpdtool";
}

struct ToolRun {
    int code = -1;
    std::string out, err;
};

ToolRun qpdtool(const TempFolder& folder, const std::string& args) {
    ToolRun run;
    std::string errFile = folder.file("stderr.txt");
    std::string command = "'" + toolPath() + "' " + args + " 2>'" + errFile + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[65536];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, got);
    int status = pclose(pipe);
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.err = readFile(errFile);
    return run;
}

bool readBook(const std::string& path, PageTable& table, DataFileHeader& header, VersionBlock& version) {
    return readDataFile(path, table, header, version);
}

TEST(Qpdtool, GenIsRepeatableAndLaidOutAsTheWriterLaysOutFiles) {
    TempFolder folder;
    ASSERT_EQ(0, qpdtool(folder, "gen --pages 40 --folders 9 --text-bytes 600 --secure 3 --seed 11 --scroll " +
                                     folder.file("a.qpd"))
                     .code);
    ASSERT_EQ(0, qpdtool(folder, "gen --seed 11 --pages 40 --folders 9 --text-bytes 600 --secure 3 --scroll " +
                                     folder.file("b.qpd"))
                     .code);
    ASSERT_EQ(0, qpdtool(folder, "gen --pages 40 --folders 9 --seed 12 " + folder.file("c.qpd")).code);
    std::string a = readFile(folder.file("a.qpd"));
    EXPECT_EQ(a, readFile(folder.file("b.qpd")));
    EXPECT_NE(a, readFile(folder.file("c.qpd")));

    PageTable table;
    DataFileHeader header;
    VersionBlock version;
    ASSERT_TRUE(readBook(folder.file("a.qpd"), table, header, version));
    ASSERT_EQ(49, table.count());
    int folders = 0, secure = 0, nested = 0;
    for (int i = 0; i < table.count(); ++i) {
        const PageRecord& r = table.recordAt(i);
        EXPECT_EQ(i, r.order);
        EXPECT_LT(r.parentOrder, i);
        if (r.parentOrder >= 0) {
            EXPECT_EQ(1, table.recordAt(r.parentOrder).isFolder);
            ++nested;
        }
        folders += r.isFolder;
        secure += r.isSecure;
        if (!r.isSecure) {
            EXPECT_NEAR(600.0, static_cast<double>(r.text.size()), 120.0);
        }
    }
    EXPECT_EQ(9, folders);
    EXPECT_EQ(3, secure);
    EXPECT_GT(nested, 0);
    EXPECT_EQ(1, header.passwordRegistered);
    EXPECT_EQ(a, buildDataFile(table, header, version, true)) << "the bytes the program would write";
}

TEST(Qpdtool, DumpShowsOlderGenerationsAsPlainPagesOfANewBook) {
    TempFolder folder;
    Bytes b;
    b.padded("quiltpad097", 12).i32(2).zeros(84);
    b.i32(4).padded("ページ", 64).raw("a\"b").u8(0);
    b.i32(1).raw(std::string(64, 'x')).u8(0);
    writeFile(folder.file("old.qpd"), b.str());
    ToolRun run = qpdtool(folder, "dump " + folder.file("old.qpd"));
    ASSERT_EQ(0, run.code) << run.err;
    const std::string& json = run.out;
    EXPECT_NE(std::string::npos, json.find("\"format\": \"quiltpad097\""));
    EXPECT_NE(std::string::npos, json.find("\"saveKind\": null"));
    EXPECT_NE(std::string::npos, json.find(u8"\"standardFontFace\": \"ＭＳ ゴシック\""));
    EXPECT_NE(std::string::npos, json.find("\"customWindowColour\": 12632256"));
    EXPECT_NE(std::string::npos, json.find(u8"\"title\": \"ページ\""));
    EXPECT_NE(std::string::npos, json.find("\"text\": \"a\\\"b\""));
    EXPECT_NE(std::string::npos, json.find("\"title\": \"" + std::string(64, 'x') + "\""));
    EXPECT_NE(std::string::npos, json.find("\"parentOrder\": -1"));

    ToolRun check = qpdtool(folder, "check " + folder.file("old.qpd"));
    EXPECT_EQ("ok: 2 records\n", check.out);
}

TEST(Qpdtool, FailuresGiveTheirExitCodeAndOneLine) {
    TempFolder folder;
    ASSERT_EQ(0, qpdtool(folder, "gen --pages 3 " + folder.file("good.qpd")).code);
    std::string good = readFile(folder.file("good.qpd"));
    writeFile(folder.file("cut.qpd"), good.substr(0, good.size() - 10));
    writeFile(folder.file("short.qpd"), "qpad300");
    writeFile(folder.file("foreign.qpd"), std::string(64, 'z'));

    struct Case {
        std::string args;
        int code;
        std::string says;
    } cases[] = {
        {"check " + folder.file("cut.qpd"), 2, "damaged at offset"},
        {"dump " + folder.file("short.qpd"), 2, "shorter than 32 bytes"},
        {"check " + folder.file("foreign.qpd"), 2, "not a data file"},
        {"dump " + folder.file("none.qpd"), 3, "does not exist"},
        {"convert " + folder.file("none.qpd") + " " + folder.file("out.qpd"), 3, "does not exist"},
        {"check", 1, "usage"},
        {"gen --pages -2 " + folder.file("x.qpd"), 1, "usage"},
        {"gen --pages 2 --secure 3 " + folder.file("x.qpd"), 1, "usage"},
        {"frobnicate x", 1, "usage"},
    };
    for (const Case& c : cases) {
        ToolRun run = qpdtool(folder, c.args);
        EXPECT_EQ(c.code, run.code) << c.args;
        EXPECT_NE(std::string::npos, run.err.find(c.says)) << c.args << ": " << run.err;
        if (c.code != 1) {
            EXPECT_EQ(1, std::count(run.err.begin(), run.err.end(), '\n')) << run.err;
        }
        EXPECT_TRUE(run.out.empty()) << c.args;
    }
    EXPECT_NE(std::string::npos, qpdtool(folder, "check " + folder.file("cut.qpd")).err.find("cut.qpd"));
}

TEST(Qpdtool, ConvertWritesTheCurrentGenerationInTreeOrder) {
    TempFolder folder;
    Bytes old;
    old.padded("qpad110.1", 12).i32(2).zeros(84);
    old.i32(6).padded("one", 64).raw("x{y}\n").u8(0);
    old.i32(1).padded("two", 64).u8(0);
    writeFile(folder.file("old.qpd"), old.str());
    ASSERT_EQ(0, qpdtool(folder, "convert " + folder.file("old.qpd") + " " + folder.file("new.qpd")).code);
    PageTable table;
    DataFileHeader header;
    VersionBlock version;
    ASSERT_TRUE(readBook(folder.file("new.qpd"), table, header, version));
    EXPECT_EQ("qpad300", magicOf(version));
    ASSERT_EQ(2, table.count());
    EXPECT_EQ(plainTextToRtf("x{y}\n"), table.recordAt(0).text);
    EXPECT_EQ(std::string(EMPTY_PAGE_RTF), table.recordAt(1).text);

    // Records whose file order is not the tree's pre-order: folder F (0),
    // top page P (1), page in F (2). The tree is F > [in F], P.
    PageTable mixed;
    auto add = [&](const char* title, int parent, int folder) {
        PageRecord r;
        r.order = mixed.count();
        r.parentOrder = parent;
        r.isFolder = static_cast<std::uint8_t>(folder);
        r.title = title;
        r.text = title;
        mixed.appendRecord(r);
    };
    add("F", -1, 1);
    add("P", -1, 0);
    add("in F", 0, 0);
    DataFileHeader marked = newFileHeader();
    marked.bookmark = 1;
    writeFile(folder.file("mixed.qpd"), buildDataFile(mixed, marked, makeVersionBlock(SaveKind::Periodic, 99), false));
    ASSERT_EQ(0, qpdtool(folder, "convert " + folder.file("mixed.qpd") + " " + folder.file("tree.qpd")).code);
    ASSERT_TRUE(readBook(folder.file("tree.qpd"), table, header, version));
    EXPECT_EQ("F", table.recordAt(0).title);
    EXPECT_EQ("in F", table.recordAt(1).title);
    EXPECT_EQ(0, table.recordAt(1).parentOrder);
    EXPECT_EQ("P", table.recordAt(2).title);
    EXPECT_EQ(2, header.bookmark) << "the bookmark follows its page";
    EXPECT_EQ(99, version.bookNumber);
    EXPECT_EQ(1, version.saveKind);
}

// Title of a record's folder, "" at the top.
std::string parentTitle(const PageTable& table, const PageRecord& record) {
    for (int i = 0; i < table.count(); ++i)
        if (table.recordAt(i).order == record.parentOrder) return table.recordAt(i).title;
    return "";
}

TEST(Qpdtool, ExportThenImportKeepsTreeTitlesAndTextsAndSkipsLockedPages) {
    TempFolder folder;
    ASSERT_EQ(0, qpdtool(folder, "gen --pages 30 --folders 4 --secure 2 --seed 3 " + folder.file("b.qpd")).code);
    ToolRun exported = qpdtool(folder, "export " + folder.file("b.qpd") + " " + folder.file("out"));
    ASSERT_EQ(0, exported.code) << exported.err;
    EXPECT_EQ(2, std::count(exported.err.begin(), exported.err.end(), '\n')) << exported.err;
    EXPECT_NE(std::string::npos, exported.err.find("secure page skipped"));
    const std::string top = exported.out.substr(0, exported.out.find('\n'));
    ASSERT_EQ(0, qpdtool(folder, "import '" + top + "' " + folder.file("back.qpd")).code);

    PageTable original, back;
    DataFileHeader header;
    VersionBlock version;
    ASSERT_TRUE(readBook(folder.file("b.qpd"), original, header, version));
    ASSERT_TRUE(readBook(folder.file("back.qpd"), back, header, version));
    ASSERT_EQ(original.count() - 2, back.count());
    for (int i = 0; i < back.count(); ++i) {
        const PageRecord& got = back.recordAt(i);
        int match = 0;
        while (match < original.count() && original.recordAt(match).title != got.title) ++match;
        ASSERT_LT(match, original.count()) << got.title;
        const PageRecord& want = original.recordAt(match);
        EXPECT_FALSE(want.isSecure);
        EXPECT_EQ(want.isFolder, got.isFolder) << got.title;
        EXPECT_EQ(want.text, got.text) << got.title;
        EXPECT_EQ(parentTitle(original, want), parentTitle(back, got)) << got.title;
    }
}

TEST(Qpdtool, ExportWritesSecurePagesOnlyWithTheRightPassword) {
    TempFolder folder;
    PageTable table;
    DataFileHeader header = newFileHeader();
    pagecrypt::KeyMaterial key;
    ASSERT_TRUE(pagecrypt::registerPassword(header, "password1", 9, key));
    table.addPage(1, "{\\rtf1 the secret\\par}", "locked", false);
    table.recordAt(0).isSecure = 1;
    ASSERT_TRUE(pagecrypt::encryptPage(table.recordAt(0), key));
    writeFile(folder.file("s.qpd"), buildDataFile(table, header, makeVersionBlock(SaveKind::ExitData, 1), false));

    const struct {
        const char* password;
        bool written;
    } cases[] = {{" --password password1", true}, {" --password password2", false}, {"", false}};
    for (const auto& c : cases) {
        const std::string out = folder.file(std::string("out") + (c.written ? "1" : c.password[0] ? "2" : "3"));
        ToolRun run = qpdtool(folder, "export " + folder.file("s.qpd") + " " + out + c.password);
        ASSERT_EQ(0, run.code) << c.password << run.err;
        const std::string top = run.out.substr(0, run.out.find('\n'));
        EXPECT_EQ(c.written ? "{\\rtf1 the secret\\par}" : "", readFile(top + "/locked.rtf")) << c.password;
        EXPECT_EQ(c.written, run.err.empty()) << c.password << run.err;
    }
}

}  // namespace

TEST(Qpdtool, SalvageKeepsWholeRecordsAndLeavesTheBookAlone) {
    TempFolder folder;
    const std::string book = folder.file("book.qpd"), out = folder.file("out.qpd");
    ASSERT_EQ(0, qpdtool(folder, "gen --pages 5 --seed 3 " + book).code);
    const std::string good = readFile(book);

    ToolRun whole = qpdtool(folder, "salvage " + book + " " + out);
    ASSERT_EQ(0, whole.code) << whole.err;
    EXPECT_EQ(good, readFile(out)) << "a book that reads is copied unchanged";

    const std::string cut = good.substr(0, good.size() - 3);
    writeFile(book, cut);
    ToolRun run = qpdtool(folder, "salvage " + book + " " + out);
    ASSERT_EQ(0, run.code) << run.err;
    EXPECT_NE(std::string::npos, run.out.find("kept records 0-3 (bytes 324-")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("lost record 4 (bytes ")) << run.out;
    EXPECT_EQ(cut, readFile(book)) << "the damaged book is never written";
    PageTable table;
    DataFileHeader header;
    VersionBlock version;
    ASSERT_TRUE(readBook(out, table, header, version));
    EXPECT_EQ(4, table.count());
    EXPECT_EQ(1, qpdtool(folder, "salvage " + book + " " + book).code) << "never over the book itself";
    EXPECT_EQ(cut, readFile(book));
}

TEST(Qpdtool, ExtraBytesAfterTheLastRecordAreReportedNotRefused) {
    TempFolder folder;
    const std::string book = folder.file("book.qpd");
    ASSERT_EQ(0, qpdtool(folder, "gen --pages 2 --seed 3 " + book).code);
    writeFile(book, readFile(book) + "xyz");
    ToolRun check = qpdtool(folder, "check " + book);
    EXPECT_EQ(0, check.code);
    EXPECT_EQ("ok: 2 records\n", check.out);
    EXPECT_NE(std::string::npos, check.err.find("warning: 3 bytes follow the last record")) << check.err;
    ToolRun dump = qpdtool(folder, "dump " + book);
    EXPECT_EQ(0, dump.code);
    EXPECT_NE(std::string::npos, dump.out.find("\"extraBytes\": 3"));
}
