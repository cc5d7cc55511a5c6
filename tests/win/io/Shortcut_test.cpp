#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/AppState.h"
#include "app/MainControls.h"
#include "io/Shortcut.h"
#include "io/IoMessages.h"
#include "res/resource.h"
#include "support/TestApp.h"

namespace {

struct Link {
    std::string target, arguments, workingDirectory;
};

// What a link file says, read back through the shell's own link object.
Link readLink(const std::string& path) {
    Link link;
    CoInitialize(nullptr);
    IShellLinkA* shell = nullptr;
    IPersistFile* file = nullptr;
    WCHAR wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&shell)))) {
        if (SUCCEEDED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            if (SUCCEEDED(file->Load(wide, STGM_READ))) {
                char text[MAX_PATH] = {};
                shell->GetPath(text, MAX_PATH, nullptr, 0);
                link.target = text;
                shell->GetArguments(text, MAX_PATH);
                link.arguments = text;
                shell->GetWorkingDirectory(text, MAX_PATH);
                link.workingDirectory = text;
            }
            file->Release();
        }
        shell->Release();
    }
    CoUninitialize();
    return link;
}

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void touch(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    CloseHandle(file);
}

std::string executable() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

// A temporary folder stands in for the desktop, and for the program folder.
class ShortcutTest : public testing::Test {
protected:
    void SetUp() override { shortcut::setDesktopFolder(desktop.path()); }
    void TearDown() override { shortcut::setDesktopFolder(""); }
    testapp::TempFolder desktop;
    testapp::TempFolder program;
};

TEST_F(ShortcutTest, TheFirstFreeNameCountsUpPastTakenFiles) {
    struct Case {
        std::vector<std::string> present;
        const char* expected;
    };
    const Case cases[] = {
        {{}, "キルト帳"},
        {{"キルト帳.lnk"}, "キルト帳-1"},
        {{"キルト帳-1.lnk"}, "キルト帳-2"},  // with the earlier files
        {{"キルト帳-3.lnk"}, "キルト帳-2"},  // a gap is taken first
        {{"キルト帳-2"}, "キルト帳-2"},      // another file without the extension is no shortcut
    };
    for (const Case& c : cases) {
        for (const std::string& name : c.present) touch(desktop.file(name));
        EXPECT_EQ(shortcut::freeName(desktop.path()), c.expected);
    }
}

TEST_F(ShortcutTest, EachConfirmedCommandAddsALinkAndNamesIt) {
    const char* names[] = {"キルト帳", "キルト帳-1", "キルト帳-2"};
    for (const char* name : names) {
        testsupport::DialogAnswerer answer(IDOK, iomessages::SHORTCUT_CAPTION);
        EXPECT_TRUE(shortcut::offerShortcut(nullptr, program.path()));
        ASSERT_EQ(answer.answered(), 2);
        EXPECT_EQ(answer.texts()[0], iomessages::SHORTCUT_QUESTION);
        EXPECT_EQ(answer.texts()[1], std::string("デスクトップにショートカット 「 ") + name + " 」 を作成しました。");
        const Link link = readLink(desktop.file(std::string(name) + ".lnk"));
        EXPECT_EQ(link.target, executable());
        EXPECT_EQ(link.arguments, "");
        EXPECT_EQ(link.workingDirectory, program.path());
    }
}

TEST_F(ShortcutTest, CancelWritesNothingAndAFailedSaveIsNotConfirmed) {
    {
        testsupport::DialogAnswerer answer(IDCANCEL, iomessages::SHORTCUT_CAPTION);
        EXPECT_FALSE(shortcut::offerShortcut(nullptr, program.path()));
        EXPECT_EQ(answer.answered(), 1);
        EXPECT_FALSE(exists(desktop.file("キルト帳.lnk")));
    }
    shortcut::setDesktopFolder(desktop.file("gone"));
    testsupport::DialogAnswerer answer(IDOK, iomessages::SHORTCUT_CAPTION);
    EXPECT_TRUE(shortcut::offerShortcut(nullptr, program.path()));
    ASSERT_EQ(answer.answered(), 2);
    EXPECT_EQ(answer.texts()[1], iomessages::SHORTCUT_FAILED_TEXT);
}

// A first start asks before the first page is shown; a start with a book does not ask.
TEST_F(ShortcutTest, OnlyAFirstStartAsksAndBeforeAnyPageIsShown) {
    int pagesWhenAsked = -1;
    testsupport::DialogAnswerer first(IDCANCEL, iomessages::SHORTCUT_CAPTION);
    first.setInspector([&](HWND) { pagesWhenAsked = gControls.pageList.FirstChild(PageListControl::root()) ? 1 : 0; });
    HWND window = testapp::createMainWindowIn(program.path(), first);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(first.answered(), 1);
    EXPECT_EQ(pagesWhenAsked, 0);
    testapp::destroyMainWindow(window);
    ASSERT_TRUE(exists(program.file("data\\quiltpad.qpd")));

    testsupport::DialogAnswerer again(IDCANCEL, iomessages::SHORTCUT_CAPTION);
    window = testapp::createMainWindowIn(program.path(), again);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(again.answered(), 0);
    testapp::destroyMainWindow(window);
    EXPECT_FALSE(exists(desktop.file("キルト帳.lnk")));
}

}  // namespace
