#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "help/AboutBox.h"
#include "res/resource.h"
#include "support/DialogAnswerer.h"
#include "support/TestParent.h"

namespace {

struct Shown {
    std::string name, version, notice, description;
    LOGFONTA nameFont = {}, versionFont = {}, noticeFont = {};
};

LOGFONTA fontOf(HWND control) {
    LOGFONTA font = {};
    HFONT handle = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    if (handle) GetObjectA(handle, sizeof font, &font);
    return font;
}

Shown runAndRead(int button) {
    Shown shown;
    testsupport::DialogAnswerer answer(button, "バージョン情報 Quiltpad");
    answer.setInspector([&](HWND dialog) {
        HWND notice = aboutbox::noticeStatic(dialog);
        shown.name = testsupport::controlText(dialog, IDC_ABOUT_NAME);
        shown.version = testsupport::controlText(dialog, IDC_ABOUT_VERSION);
        shown.notice = testsupport::windowText(notice);
        shown.description = testsupport::controlText(dialog, IDC_ABOUT_DESCRIPTION);
        shown.nameFont = fontOf(GetDlgItem(dialog, IDC_ABOUT_NAME));
        shown.versionFont = fontOf(GetDlgItem(dialog, IDC_ABOUT_VERSION));
        shown.noticeFont = fontOf(notice);
    });
    testsupport::TestParent parent;
    aboutbox::runAboutBox(parent.window());
    EXPECT_EQ(answer.answered(), 1);
    return shown;
}

TEST(AboutBox, ShowsTheFourTextsInItsTwoFontsAndClosesWithOkOrEsc) {
    for (int button : {IDC_ABOUT_OK, IDCANCEL}) {
        const Shown shown = runAndRead(button);
        EXPECT_EQ(shown.name, "キルト帳");
        EXPECT_EQ(shown.version, "version 3.21");
        EXPECT_EQ(shown.notice.rfind("Copyright", 0), 0u) << shown.notice;
        EXPECT_NE(shown.description.find("公開日"), std::string::npos) << shown.description;
        EXPECT_NE(shown.description.find("\r\n作成日"), std::string::npos);
        EXPECT_EQ(shown.nameFont.lfHeight, 14);
        EXPECT_EQ(shown.versionFont.lfHeight, 12);
        EXPECT_EQ(shown.noticeFont.lfHeight, 12);
        EXPECT_EQ(shown.nameFont.lfWeight, 600);
        EXPECT_EQ(shown.nameFont.lfCharSet, SHIFTJIS_CHARSET);
    }
}

}  // namespace
