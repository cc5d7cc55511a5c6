// F1 asks the shell for the manual beside the program; the request is recorded, no browser starts.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "help/Manual.h"
#include "res/resource.h"
#include "tests/win/app/AppTestSupport.h"

namespace {

struct Request {
    int count = 0;
    HWND owner = nullptr;
    std::string verb, file;
    INT show = -1;
};
Request gRequest;

HINSTANCE WINAPI recordRequest(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR, LPCSTR, INT show) {
    gRequest = {gRequest.count + 1, owner, verb ? verb : "", file ? file : "", show};
    return reinterpret_cast<HINSTANCE>(33);
}

using ManualTest = apptest::MainWindowTest;

TEST_F(ManualTest, F1OpensHelpHtmlBesideTheProgramInANormallyShownWindow) {
    manual::setShellExecute(recordRequest);
    gRequest = {};
    const std::string page = folder.file("help.html");
    DeleteFileA(page.c_str());
    command(IDM_MANUAL);
    EXPECT_EQ(gRequest.count, 0) << "without the manual nothing is asked";

    HANDLE file = CreateFileA(page.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    command(IDM_MANUAL);
    manual::setShellExecute(nullptr);
    EXPECT_EQ(gRequest.count, 1);
    EXPECT_EQ(gRequest.owner, window);
    EXPECT_EQ(gRequest.verb, "") << "the default action";
    EXPECT_EQ(gRequest.file, page);
    EXPECT_EQ(gRequest.show, SW_SHOWNORMAL);
}

}  // namespace
