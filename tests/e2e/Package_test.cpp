// The release zip as a user gets it: unpacked, copied into the folders people really
// use, started, and refused where it cannot keep its files.
//   QP_PACKAGE          the unpacked quiltpad-3.21 folder (scripts/test-wine.sh runs
//                       scripts/package.sh --unpack into a folder with a Japanese name)
//   QP_READONLY_SOURCE  a folder, and QP_READONLY_VIEW a read-only view of the same files
//                       (test-wine.sh mounts one where the machine allows it)
// Without them the tests are skipped.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "E2eSupport.h"
#include "WideFiles.h"
#include "app/ProgramFolder.h"
#include "res/resource.h"
#include "store/DataFile.h"

namespace {

std::wstring environment(const wchar_t* name) {
    wchar_t value[2048] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, 2048);
    return length > 0 && length < 2048 ? value : L"";
}

const std::wstring PACKAGE = environment(L"QP_PACKAGE");

#define NEED(value, what)                                                                       \
    do {                                                                                        \
        if ((value).empty()) GTEST_SKIP() << what " is not set (scripts/test-wine.sh sets it)"; \
    } while (false)

// A fresh folder of this run below the temporary folder, for the copies.
std::wstring testBase() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    return temp + (L"qppkg" + std::to_wstring(GetCurrentProcessId()));
}

// A folder below the test base whose path is exactly `bytes` long (ASCII names).
std::wstring folderOfLength(size_t bytes) {
    std::wstring folder = testBase() + L"\\long";
    while (folder.size() < bytes) {
        size_t step = std::min<size_t>(bytes - folder.size(), 100);
        if (bytes - folder.size() - step == 1) --step;  // leave room for one more "\x"
        folder += L"\\" + std::wstring(step - 1, L'x');
    }
    return folder;
}

// Every test's copies live below testBase(), which goes when the test ends.
class Package : public testing::Test {
protected:
    void TearDown() override { e2e::removeTree(testBase()); }
};

// The editor's text of every page, walking the tree from its first page.
std::vector<std::string> pageTexts(HWND main, int pages) {
    HWND editor = GetDlgItem(main, IDC_MEMO_EDITOR);
    std::vector<std::string> texts;
    for (int i = 0; i < pages; ++i) SendMessageA(main, WM_COMMAND, IDM_PREVIOUS_PAGE, 0);
    for (int i = 0; i < pages; ++i) {
        if (i > 0) SendMessageA(main, WM_COMMAND, IDM_NEXT_PAGE, 0);
        char text[1024] = {};
        SendMessageA(editor, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
        texts.push_back(text);
    }
    return texts;
}

// Runs the packaged qpdtool.exe with the arguments in the program's folder; its exit code.
long runTool(const e2e::ProgramCopy& program, const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + program.wideFolder() + L"\\qpdtool.exe\" " + arguments;
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, program.wideFolder().c_str(),
                        &si, &pi))
        return -1;
    DWORD code = 99;
    if (WaitForSingleObject(pi.hProcess, 30000) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return static_cast<long>(code);
}

TEST_F(Package, RunsFromAJapaneseFolderWithSpacesAndKeepsItsPagesAcrossARestart) {
    NEED(PACKAGE, "QP_PACKAGE");
    e2e::ProgramCopy program(testBase() + e2e::widen("\\山田 太郎\\ドキュメント\\キルト帳 2026"), PACKAGE);
    ASSERT_TRUE(program.start());
    HWND main = program.waitForMainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(program.shortcutQuestions(), 1) << "a first start asks about the desktop shortcut";
    const std::vector<std::string> added = {"memo-1 山田さんの買い物", "memo-2 表示とソフトの予定"};
    for (const std::string& text : added) {
        SendMessageA(main, WM_COMMAND, IDM_ADD_PAGE, 0);
        SendMessageA(GetDlgItem(main, IDC_MEMO_EDITOR), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
    }
    EXPECT_EQ(program.close(), 0);
    EXPECT_EQ(e2e::pagesIn(program.path("data\\quiltpad.qpd")), 5);
    EXPECT_EQ(e2e::pagesIn(program.path("data\\backup\\backup00.qpd")), 5) << "the exit backup";

    ASSERT_TRUE(program.start());
    main = program.waitForMainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(program.shortcutQuestions(), 1) << "asked at the first start only";
    const std::vector<std::string> texts = pageTexts(main, 5);
    for (const std::string& text : added)
        EXPECT_EQ(std::set<std::string>(texts.begin(), texts.end()).count(text), 1u) << text;
    EXPECT_EQ(program.close(), 0);

    EXPECT_EQ(runTool(program, L"check data\\quiltpad.qpd"), 0);
    EXPECT_EQ(runTool(program, L"check \"" + e2e::widen(program.path("data\\quiltpad.qpd")) + L"\""), 0);
    EXPECT_EQ(runTool(program, L"check data\\missing.qpd"), 3) << "the tool can fail";
}

TEST_F(Package, WorksFromTheLongestFolderItAccepts) {
    NEED(PACKAGE, "QP_PACKAGE");
    e2e::ProgramCopy program(folderOfLength(programfolder::LONGEST_FOLDER), PACKAGE);
    ASSERT_EQ(program.folder().size(), programfolder::LONGEST_FOLDER);
    ASSERT_TRUE(program.start());
    HWND main = program.waitForMainWindow();
    ASSERT_NE(main, nullptr);
    SendMessageA(main, WM_COMMAND, IDM_ADD_PAGE, 0);
    EXPECT_EQ(program.close(), 0);
    EXPECT_EQ(e2e::pagesIn(program.path("data\\quiltpad.qpd")), 4);
    EXPECT_EQ(e2e::pagesIn(program.path("data\\backup\\backup00.qpd")), 4);
    EXPECT_TRUE(e2e::fileExists(program.path("data\\quiltpad.ini")));
}

// What Explorer shows in the properties of quiltpad.exe.
TEST_F(Package, TheProgramCarriesItsVersionInJapanese) {
    NEED(PACKAGE, "QP_PACKAGE");
    const std::wstring exe = PACKAGE + L"\\quiltpad.exe";
    std::vector<char> info(GetFileVersionInfoSizeW(exe.c_str(), nullptr));
    ASSERT_FALSE(info.empty());
    ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &size));
    EXPECT_EQ(fixed->dwFileVersionMS, (3u << 16) | 21u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, (3u << 16) | 21u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);
    WORD* translation = nullptr;
    ASSERT_TRUE(
        VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &size));
    ASSERT_GE(size, 4u);
    EXPECT_EQ(translation[0], 0x0411) << "Japanese";
    EXPECT_EQ(translation[1], 1200) << "Unicode strings";
    const struct {
        const wchar_t* key;
        std::string start;
    } strings[] = {{L"ProductName", "キルト帳"},
                   {L"FileDescription", "キルト帳 ("},
                   {L"LegalCopyright", "Copyright (C) 2026 Quiltpad 開発チーム"},
                   {L"FileVersion", "3.21.0.0"},
                   {L"ProductVersion", "3.21.0.0"}};
    for (const auto& entry : strings) {
        wchar_t* value = nullptr;
        const std::wstring key = std::wstring(L"\\StringFileInfo\\041104B0\\") + entry.key;
        ASSERT_TRUE(VerQueryValueW(info.data(), key.c_str(), reinterpret_cast<void**>(&value), &size)) << entry.start;
        EXPECT_EQ(std::wstring(value).rfind(e2e::widen(entry.start), 0), 0u) << entry.start;
    }
}

// The readme a user opens first: code page 932 with CR LF, and what it must tell.
TEST_F(Package, TheReadmeIsJapaneseInCodePage932WithCrLf) {
    NEED(PACKAGE, "QP_PACKAGE");
    const std::wstring path = PACKAGE + L"\\" + e2e::widen("お読みください.txt");
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    std::string text(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    ReadFile(file, &text[0], static_cast<DWORD>(text.size()), &read, nullptr);
    CloseHandle(file);
    ASSERT_GT(read, 1000u);
    EXPECT_GT(MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0), 0)
        << "not code page 932";
    for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
        ASSERT_TRUE(at > 0 && text[at - 1] == '\r') << "a line ends without CR at byte " << at;
    const char* tells[] = {"キルト帳とは",         "Windows 7、8、8.1、10、11", "Program Files",
                           "data\\quiltpad.qpd",   "data\\quiltpad.ini",        "backup00.qpd",
                           "別のパソコンへの移動", "［ツール］→［復元する］",   "qpdtool check",
                           "qpdtool salvage",      "フォルダごと削除",          "Copyright (C) 2026"};
    for (const char* phrase : tells) EXPECT_NE(text.find(phrase), std::string::npos) << phrase;
}

// Starts the copy, expects the box with `text` before any window, and no change below `watched`.
void expectRefusal(e2e::ProgramCopy& program, const std::wstring& watched, const char* text) {
    const std::vector<std::wstring> before = e2e::listTree(watched);
    ASSERT_TRUE(program.start());
    const std::string shown = e2e::answerBox(program.processId(), IDOK);
    EXPECT_EQ(shown.find(text), 0u) << shown;
    EXPECT_EQ(program.waitForExit(), 0);
    EXPECT_EQ(program.shortcutQuestions(), 0);
    EXPECT_TRUE(e2e::listTree(watched) == before) << "something was written";
}

struct Unusable {
    const char* what;
    std::wstring folder;
    const char* text;
};

TEST_F(Package, FoldersItCannotUseAreNamedAtStartAndNothingIsWritten) {
    NEED(PACKAGE, "QP_PACKAGE");
    const Unusable cases[] = {
        {"Korean", testBase() + L"\\한국어 폴더", programfolder::OUTSIDE_CODE_PAGE_TEXT},
        {"emoji", testBase() + L"\\" + e2e::widen("メモ ") + L"\U0001F4DD", programfolder::OUTSIDE_CODE_PAGE_TEXT},
        {"one byte too long", folderOfLength(programfolder::LONGEST_FOLDER + 1), programfolder::TOO_LONG_TEXT},
    };
    for (const Unusable& c : cases) {
        SCOPED_TRACE(c.what);
        e2e::ProgramCopy program(c.folder, PACKAGE);
        ASSERT_NE(GetFileAttributesW((L"\\\\?\\" + c.folder + L"\\quiltpad.exe").c_str()), INVALID_FILE_ATTRIBUTES);
        expectRefusal(program, testBase(), c.text);
    }
}

TEST_F(Package, AReadOnlyFolderIsNamedAtStartAndItsBookStaysAsItWas) {
    NEED(PACKAGE, "QP_PACKAGE");
    const std::wstring source = environment(L"QP_READONLY_SOURCE"), view = environment(L"QP_READONLY_VIEW");
    NEED(view, "QP_READONLY_VIEW");
    for (bool withBook : {false, true}) {
        SCOPED_TRACE(withBook ? "with a book" : "fresh");
        const std::wstring name = e2e::widen(withBook ? "\\キルト帳 CD ブック" : "\\キルト帳 CD");
        e2e::ProgramCopy program(source + name, PACKAGE);
        const std::string book = program.path("data\\quiltpad.qpd");
        if (withBook) {
            ASSERT_TRUE(CreateDirectoryA(program.path("data").c_str(), nullptr) && e2e::writeBook(book, 3, 100));
        }
        const std::string bookBytes = withBook ? e2e::readFile(book) : std::string();
        program.runFrom(view + name);
        expectRefusal(program, source, programfolder::NOT_WRITABLE_TEXT);
        if (withBook) {
            EXPECT_EQ(e2e::readFile(book), bookBytes);
        }
    }
}

}  // namespace
