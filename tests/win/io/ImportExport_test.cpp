// Pages from files and the book as a folder tree, in the real main window.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "app/Commands.h"
#include "app/BookLoad.h"
#include "io/FileNames.h"
#include "io/ImportExport.h"
#include "io/TextFiles.h"
#include "io/IoMessages.h"
#include "res/resource.h"
#include "store/AtomicFile.h"
#include "support/DialogAnswerer.h"
#include "tests/common/FileBytes.h"
#include "tests/win/app/AppTestSupport.h"

using namespace apptest;
using testsupport::DialogAnswerer;

namespace {

TEST(FileNamesOnWindows, TheCleaningTableIsThePlatformsPathCharacterTest) {
    for (int c = 0; c < 256; ++c) {
        const UINT type = PathGetCharTypeA(static_cast<UCHAR>(c));
        const bool platform = type == GCT_INVALID || (type & (GCT_WILD | GCT_SEPARATOR)) != 0;
        EXPECT_EQ(platform, filenames::isReplacedInName(static_cast<unsigned char>(c))) << c;
    }
}

void writeBytes(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (std::string(found.cFileName) != "." && std::string(found.cFileName) != "..")
            names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

bool firstCharacterBold() {
    setEditorSelection(0, 1);
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    SendMessageA(editor(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return (format.dwEffects & CFE_BOLD) != 0;
}

// A drop handle as the shell builds it: DROPFILES and a double-zero list of ANSI paths.
HDROP makeDrop(const std::vector<std::string>& paths) {
    std::string list;
    for (const std::string& path : paths) list += path + '\0';
    list += '\0';
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size());
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = FALSE;
    memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), list.data(), list.size());
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

const char NOTE_RTF[] = "{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil MS UI Gothic;}}\\f0\\b Bold\\b0  rest\\par}";
const char NOTE_TEXT[] = "{\\b not rtf}\r\nsecond";

class ImportExportTest : public MainWindowTest {
protected:
    std::string selectedTitle() { return list().GetTitle(list().GetSelection()); }
};

TEST_F(ImportExportTest, RtfAndTextFilesBecomeFormattedAndPlainPagesTitledByTheirNames) {
    writeBytes(folder.file("note.rtf"), NOTE_RTF);
    writeBytes(folder.file("note.txt"), NOTE_TEXT);
    const int before = gBook.pages.count();

    ASSERT_TRUE(importexport::importFile(importexport::FILE_RTF, folder.file("note.rtf"), window, commands::ioShell()));
    EXPECT_EQ(before + 1, gBook.pages.count());
    EXPECT_EQ("note", selectedTitle());
    EXPECT_EQ("note", recordOf(list().GetSelection()).title);
    EXPECT_EQ(0u, editorText().find("Bold rest"));
    EXPECT_TRUE(firstCharacterBold());

    ASSERT_TRUE(
        importexport::importFile(importexport::FILE_TEXT, folder.file("note.txt"), window, commands::ioShell()));
    EXPECT_EQ(before + 2, gBook.pages.count());
    EXPECT_EQ("note", selectedTitle());
    EXPECT_EQ(0u, editorText().find(NOTE_TEXT));
    EXPECT_FALSE(firstCharacterBold());
}

// With the automatic title edit on, the edit opened for the new page holds the file's name:
// ending it with Enter keeps that title.
TEST_F(ImportExportTest, TheAutomaticTitleEditOfAnImportedPageHoldsTheFilesName) {
    writeBytes(folder.file("note.txt"), NOTE_TEXT);
    gApp.ini.window.AutoEdit = true;
    ASSERT_TRUE(importexport::importFile(importexport::FILE_TEXT, folder.file("note.txt"), window, commands::ioShell()));
    gApp.ini.window.AutoEdit = false;
    HWND edit = TreeView_GetEditControl(list().window());
    ASSERT_NE(nullptr, edit);
    EXPECT_EQ("note", testsupport::windowText(edit));
    SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
    testapp::pumpMessages();
    EXPECT_EQ("note", selectedTitle());
    EXPECT_EQ("note", recordOf(list().GetSelection()).title);
}

TEST_F(ImportExportTest, DroppedFilesBecomePagesInOrder) {
    writeBytes(folder.file("a.rtf"), NOTE_RTF);
    writeBytes(folder.file("b.log"), "log text");
    writeBytes(folder.file("c.RTF"), NOTE_TEXT);
    const int before = gBook.pages.count();
    SendMessageA(window, WM_DROPFILES,
                 reinterpret_cast<WPARAM>(makeDrop({folder.file("a.rtf"), folder.file("b.log"), folder.file("c.RTF")})),
                 0);
    testapp::pumpMessages();

    ASSERT_EQ(before + 3, gBook.pages.count());
    EXPECT_EQ("c", selectedTitle());
    EXPECT_EQ(0u, editorText().find(NOTE_TEXT));
    const ItemHandle c = list().GetSelection();
    select(itemAt(before));
    EXPECT_EQ("a", selectedTitle());
    EXPECT_EQ(0u, editorText().find("Bold rest"));
    select(itemAt(before + 1));
    EXPECT_EQ("b", selectedTitle());
    EXPECT_EQ(0u, editorText().find("log text"));
    EXPECT_NE(c, itemAt(before + 1));
}

TEST_F(ImportExportTest, NothingIsReadWhenNoPageCanBeAdded) {
    // a new page in a secure folder needs the password, which is not given
    gApp.ini.window.ParentSec = true;
    command(IDM_ADD_FOLDER);
    gBook.pages.recordOfItem(list().Parent(list().GetSelection())).isSecure = 1;
    typeText("keep me");
    const int before = gBook.pages.count();
    writeBytes(folder.file("note.txt"), NOTE_TEXT);
    DialogAnswerer cancel(IDCANCEL);
    EXPECT_FALSE(
        importexport::importFile(importexport::FILE_TEXT, folder.file("note.txt"), window, commands::ioShell()));
    EXPECT_EQ(before, gBook.pages.count());
    EXPECT_EQ(0u, editorText().find("keep me"));
}

// The name field of a file dialog, as the test sets it before pressing OK.
void typeFileName(HWND dialog, const std::string& path) {
    testsupport::setControlText(dialog, GetDlgItem(dialog, cmb13) ? cmb13 : edt1, path);
}

// Reading a file while a page of more than 1,000 lines is shown: adding the page
// puts a fresh editor in place of the long page's, and the file goes into that one.
TEST_F(ImportExportTest, AFileReadWhileALongPageIsShownFillsTheNewPage) {
    writeBytes(folder.file("note.txt"), NOTE_TEXT);
    const std::string path = folder.file("note.txt");
    const struct {
        const char* name;
        std::function<void()> read;
    } ways[] = {
        {"read command", [&] {
             DialogAnswerer open(IDOK, "開く");
             open.setInspector([&](HWND dialog) { typeFileName(dialog, path); });
             command(IDM_READ_PAGE);
         }},
        {"drop", [&] {
             SendMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(makeDrop({path})), 0);
             testapp::pumpMessages();
         }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        select(itemAt(0));
        std::string lines;
        for (int i = 0; i < 1200; ++i) lines += "line\r\n";
        typeText(lines.c_str());
        ASSERT_GT(SendMessageA(editor(), EM_GETLINECOUNT, 0, 0), 1000);
        const int before = gBook.pages.count();
        DialogAnswerer unexpected(IDOK, iomessages::READ_CAPTION);
        way.read();
        EXPECT_EQ(0, unexpected.answered()) << (unexpected.answered() ? unexpected.texts()[0] : "");
        ASSERT_EQ(before + 1, gBook.pages.count());
        EXPECT_EQ("note", selectedTitle());
        EXPECT_EQ(0u, editorText().find(NOTE_TEXT));
        select(itemAt(before));  // stored and shown again
        EXPECT_EQ(0u, editorText().find(NOTE_TEXT));
    }
}

// Dropped files that cannot come in are each reported and leave no page;
// the readable one among them still becomes a page.
TEST_F(ImportExportTest, AFileThatCannotBeReadIsReportedAndAddsNoPage) {
    writeBytes(folder.file("good.txt"), NOTE_TEXT);
    writeBytes(folder.file("held.txt"), "held");
    writeBytes(folder.file("huge.txt"), std::string(static_cast<size_t>(gBook.header.textLimit) + 10, 'a'));
    HANDLE held = CreateFileA(folder.file("held.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    const struct {
        const char* file;
        const char* told;  // the start of the message
    } bad[] = {
        {"missing.txt", "ファイルを読み込めませんでした。"},
        {"held.txt", "ファイルを読み込めませんでした。"},
        {"huge.rtf", "ファイルを読み込めませんでした。"},  // missing, read as RTF
        {"huge.txt", "ファイルが大きすぎるため読み込めません。"},
    };
    std::vector<std::string> paths;
    for (const auto& b : bad) paths.push_back(folder.file(b.file));
    paths.push_back(folder.file("good.txt"));
    const int before = gBook.pages.count();
    DialogAnswerer told(IDOK, iomessages::READ_CAPTION);
    SendMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(makeDrop(paths)), 0);
    testapp::pumpMessages();
    CloseHandle(held);

    ASSERT_EQ(std::size(bad), told.texts().size());
    for (size_t i = 0; i < std::size(bad); ++i) {
        EXPECT_EQ(0u, told.texts()[i].find(bad[i].told)) << told.texts()[i];
        EXPECT_NE(std::string::npos, told.texts()[i].find(paths[i])) << told.texts()[i];
    }
    ASSERT_EQ(before + 1, gBook.pages.count()) << "only the readable file";
    EXPECT_EQ("good", selectedTitle());
    EXPECT_EQ(0u, editorText().find(NOTE_TEXT));
}

// "Save this page" into a file whose write fails at any of its steps (a full
// disk, a refused replace): the user is told, and no file is left under the name.
TEST_F(ImportExportTest, SaveThisPageReportsAFailedWrite) {
    setEditorSelection(0, -1);
    typeText("page text");
    const auto save = [&](const std::string& path) {
        DialogAnswerer dialog(IDOK, "名前を付けて保存");
        dialog.setInspector([&](HWND box) { typeFileName(box, path); });
        DialogAnswerer told(IDOK, iomessages::SAVE_PAGE_CAPTION);
        command(IDM_SAVE_PAGE);
        EXPECT_EQ(1, dialog.answered());
        return told.texts();
    };
    atomicfaults::failOperation(0);
    ASSERT_TRUE(save(folder.file("clean.txt")).empty());
    const long operations = atomicfaults::operationsCounted();
    ASSERT_EQ("page text", testcommon::readFile(folder.file("clean.txt")));
    for (long k = 1; k <= operations; ++k) {
        const std::string path = folder.file("failed" + std::to_string(k) + ".txt");
        atomicfaults::failOperation(k);
        const std::vector<std::string> texts = save(path);
        atomicfaults::failOperation(0);
        ASSERT_EQ(1u, texts.size()) << "operation " << k << " of " << operations;
        EXPECT_EQ(std::string("ファイルに書き込めませんでした。\r\n") + path, texts[0]);
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path.c_str())) << "operation " << k;
    }
}

// Runs "save all pages" with the folder browser pointed at `destination`;
// the texts of the dialogs answered (the browser's, then the closing message).
// A browser that will not go there is cancelled, so nothing is written elsewhere.
std::vector<std::string> saveAllInto(HWND window, const std::string& destination) {
    DialogAnswerer ok(IDOK);
    ok.setInspector([&](HWND dialog) {
        if (FindWindowExA(dialog, nullptr, "SysTreeView32", nullptr) && !testsupport::pointFolderBrowser(dialog, destination))
            SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    SendMessageA(window, WM_COMMAND, IDM_SAVE_ALL_RTF, 0);
    testapp::pumpMessages();
    return ok.texts();
}

// The only folder inside `destination`: the time-stamped top of an export.
std::string exportTop(const std::string& destination) {
    const std::vector<std::string> tops = namesIn(destination);
    return tops.size() == 1 && tops[0].size() >= 14 ? destination + "\\" + tops[0] : std::string();
}

TEST_F(ImportExportTest, SaveAllWritesTheBookUnderATimeStampedFolder) {
    command(IDM_ADD_FOLDER);
    typeText("in the folder");
    const std::string pageTitle = selectedTitle();
    const std::string destination = folder.file("out");
    CreateDirectoryA(destination.c_str(), nullptr);
    const std::vector<std::string> texts = saveAllInto(window, destination);

    ASSERT_EQ(2u, texts.size());
    EXPECT_EQ(iomessages::SAVE_ALL_OK_TEXT, texts[1]);
    const std::string top = exportTop(destination);
    ASSERT_FALSE(top.empty());
    // the first start's three pages share one title
    for (const char* name : {"ページ.rtf", "ページ-(1).rtf", "ページ-(2).rtf", "Folder\\Folder.rtf"})
        EXPECT_TRUE(PathFileExistsA((top + "\\" + name).c_str())) << name;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(GetFileAttributesExA((top + "\\Folder\\Folder.rtf").c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(0u, data.nFileSizeLow);
    EXPECT_TRUE(PathFileExistsA((top + "\\Folder\\" + pageTitle + ".rtf").c_str())) << pageTitle;
}

// A name whose whole path is longer than the file system can check is never taken as free:
// two pages of one long title went into one file, and the save said every page was saved.
TEST_F(ImportExportTest, SaveAllTellsOfPagesWhosePathIsTooLongToCheck) {
    const std::string destination = folder.file("out");
    CreateDirectoryA(destination.c_str(), nullptr);
    const std::string title(270 - destination.size() - sizeof "\\20261208120000\\.rtf" + 1, 'x');  // 270 bytes in all
    for (int i : {0, 1}) commands::ioShell().setTitle(itemAt(i), title);
    const std::vector<std::string> texts = saveAllInto(window, destination);
    ASSERT_EQ(2u, texts.size());
    if (texts[1] == iomessages::SAVE_ALL_OK_TEXT) {  // a system whose wide calls take such a path: both kept
        const std::string top = exportTop(destination);
        for (const std::string& name : {title + ".rtf", title + "-(1).rtf"})
            EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(wide::from932(top + "\\" + name).c_str()));
    } else {
        EXPECT_EQ(iomessages::SAVE_ALL_FAILED_TEXT, texts[1]);
    }
}

// Every file below `folder` as "relative path" -> bytes.
void collectTree(const std::string& folder, const std::string& prefix, std::map<std::string, std::string>& files) {
    for (const std::string& name : namesIn(folder)) {
        const std::string path = folder + "\\" + name;
        if (GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY) {
            files[prefix + name + "\\"] = "";
            collectTree(path, prefix + name + "\\", files);
        } else {
            std::string bytes;
            textfiles::ReadWholeFile(path.c_str(), bytes, 1 << 20);
            files[prefix + name] = bytes;
        }
    }
}

int runTool(const std::string& commandLine) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string line =
        "\"" + std::string(self).substr(0, std::string(self).rfind('\\') + 1) + "qpdtool.exe\" " + commandLine;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                        &process))
        return -1;
    WaitForSingleObject(process.hProcess, 60000);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

TEST_F(ImportExportTest, QpdtoolExportsTheSameTreeAsTheProgram) {
    command(IDM_ADD_FOLDER);
    typeText("text of the page in the folder");
    commands::ioShell().setTitle(list().GetSelection(), "a/b:c メモ");
    select(itemAt(0));
    typeText("first page");
    const std::string program = folder.file("program");
    const std::string tool = folder.file("tool");
    CreateDirectoryA(program.c_str(), nullptr);
    ASSERT_EQ(2u, saveAllInto(window, program).size());
    ASSERT_TRUE(bookload::saveFromUi(folder.file("book.qpd"), SaveKind::ExitData));
    ASSERT_EQ(0, runTool("export \"" + folder.file("book.qpd") + "\" \"" + tool + "\""));

    std::map<std::string, std::string> byProgram, byTool;
    collectTree(exportTop(program), "", byProgram);
    collectTree(exportTop(tool), "", byTool);
    EXPECT_EQ(6u, byProgram.size());  // three pages, the folder with its text and its page
    EXPECT_TRUE(byProgram.count("Folder\\a_b_c メモ.rtf"));
    EXPECT_EQ(byProgram, byTool);
}

TEST_F(ImportExportTest, RefusedAuthenticationWritesNothing) {
    gBook.header.passwordRegistered = 1;
    bool folderBrowserShown = false;
    DialogAnswerer cancel(IDCANCEL);
    cancel.setInspector([&](HWND dialog) {
        folderBrowserShown = folderBrowserShown || FindWindowExA(dialog, nullptr, "SysTreeView32", nullptr);
    });
    command(IDM_SAVE_ALL_RTF);
    ASSERT_GE(cancel.answered(), 1);
    EXPECT_EQ(iomessages::SAVE_ALL_CAPTION, cancel.captions().back());
    EXPECT_EQ(iomessages::NOT_AUTHENTICATED_TEXT, cancel.texts().back());
    EXPECT_FALSE(folderBrowserShown);
}

}  // namespace
