// Every window is complete at the display's pixels per inch: each label of each dialog
// template, of the texts the program puts into labels and of the long message boxes, and
// each line the program puts into its lists, is measured with its control's own font
// against the room the control gives it; no control lies outside its dialog; every button
// is reachable with Tab; the main window's menu bar and toolbar are whole. The test
// command runs this at 96, 144 and 192 pixels per inch (QP_EXPECT_DPI names the one expected).
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "app/AppMessages.h"
#include "app/ProgramFolder.h"
#include "backup/BackupMessages.h"
#include "backup/BackupSlots.h"
#include "editor/DateStamp.h"
#include "help/AboutBox.h"
#include "help/HelpMessages.h"
#include "help/UsageWindow.h"
#include "io/IoMessages.h"
#include "res/resource.h"
#include "secure/SecureMessages.h"
#include "settings/SettingsDialog.h"
#include "settings/SettingsMessages.h"
#include "store/FileFaultText.h"
#include "settings/WindowColours.h"
#include "support/DialogAnswerer.h"
#include "support/TestParent.h"
#include "tests/win/app/AppTestSupport.h"

namespace {

int displayDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

int scaled(int pixelsAt96) { return MulDiv(pixelsAt96, displayDpi(), 96); }

std::string classOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

LONG_PTR styleOf(HWND window) { return GetWindowLongPtrA(window, GWL_STYLE); }

// What a control's text may use of its client width: the box of a check box or radio
// button, the frame of a push button and the corners of a group box take the rest.
struct Room {
    bool label = false;  // a control that shows its text as a label
    bool wraps = false;  // its text breaks into lines
    bool prefix = true;  // '&' marks a mnemonic
    int reserved = 0;
};

Room roomOf(HWND control) {
    const LONG_PTR style = styleOf(control);
    const std::string name = classOf(control);
    Room room;
    if (name == "Static") {
        const LONG_PTR type = style & SS_TYPEMASK;
        room.label =
            type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_LEFTNOWORDWRAP || type == SS_SIMPLE;
        room.wraps = type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT;
        room.prefix = !(style & SS_NOPREFIX);
    } else if (name == "Button") {
        const LONG_PTR type = style & BS_TYPEMASK;
        room.label = type != BS_OWNERDRAW && type != BS_USERBUTTON;
        room.wraps = (style & BS_MULTILINE) != 0;
        if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON)
            room.reserved = 2 * scaled(3);
        else if (type == BS_GROUPBOX)
            room.reserved = 2 * scaled(6);
        else
            room.reserved = GetSystemMetrics(SM_CXMENUCHECK) + scaled(4);
    }
    return room;
}

std::string textOf(HWND control, bool prefix) {
    std::string text = testsupport::windowText(control);
    if (!prefix) return text;
    std::string shown;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i;  // "&&" shows one '&'
        shown += text[i];
    }
    return shown;
}

// Empty when the control's text fits its control; otherwise what is cut.
std::string cutOf(HWND control) {
    const Room room = roomOf(control);
    const std::string text = textOf(control, room.prefix);
    if (!room.label || text.empty()) return "";
    RECT client = {};
    GetClientRect(control, &client);
    const int width = client.right - room.reserved;
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    SIZE need = {};
    if (room.wraps || text.find('\n') != std::string::npos) {
        RECT r = {0, 0, width, 0};
        DrawTextA(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
        need = {r.right, r.bottom};
    } else {
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &need);
    }
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    const bool isGroup = classOf(control) == "Button" && (styleOf(control) & BS_TYPEMASK) == BS_GROUPBOX;
    if (need.cx <= width && (isGroup || need.cy <= client.bottom)) return "";
    return "\"" + text + "\" needs " + std::to_string(need.cx) + "x" + std::to_string(need.cy) + ", has " +
           std::to_string(width) + "x" + std::to_string(client.bottom);
}

std::string nameOf(HWND control) { return "control " + std::to_string(GetDlgCtrlID(control) & 0xFFFF); }

bool isButtonOfType(HWND control, std::initializer_list<LONG_PTR> types) {
    if (classOf(control) != "Button") return false;
    for (LONG_PTR type : types)
        if ((styleOf(control) & BS_TYPEMASK) == type) return true;
    return false;
}

BOOL CALLBACK addVisible(HWND control, LPARAM list) {
    if (IsWindowVisible(control)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(control);
    return TRUE;
}

// Every button Tab cannot reach, those on a shown tab page too; a group of radio buttons
// needs one of them reached (the arrow keys move inside the group).
void addTabProblems(HWND dialog, std::vector<std::string>& problems) {
    std::set<HWND> reached;
    HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE);
    for (HWND at = first; at && reached.insert(at).second;) at = GetNextDlgTabItem(dialog, at, FALSE);
    std::vector<HWND> shown;
    EnumChildWindows(dialog, addVisible, reinterpret_cast<LPARAM>(&shown));
    bool radios = false, radioReached = false;
    for (HWND control : shown) {
        const bool pressable = isButtonOfType(
            control, {BS_PUSHBUTTON, BS_DEFPUSHBUTTON, BS_CHECKBOX, BS_AUTOCHECKBOX, BS_3STATE, BS_AUTO3STATE});
        if (pressable && !reached.count(control)) problems.push_back(nameOf(control) + " is not reached by Tab");
        if (isButtonOfType(control, {BS_RADIOBUTTON, BS_AUTORADIOBUTTON})) {
            radios = true;
            radioReached = radioReached || reached.count(control) > 0;
        }
    }
    if (radios && !radioReached) problems.push_back("no radio button is reached by Tab");
}

// Every cut label, every control outside the dialog's client area, every button Tab cannot reach.
std::vector<std::string> problemsOf(HWND dialog) {
    std::vector<std::string> problems;
    RECT area = {};
    GetClientRect(dialog, &area);
    for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        const std::string cut = cutOf(control);
        if (!cut.empty()) problems.push_back(nameOf(control) + " is cut: " + cut);
        RECT r = {};
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        if (r.left < area.left || r.top < area.top || r.right > area.right || r.bottom > area.bottom)
            problems.push_back(nameOf(control) + " lies outside the dialog");
    }
    addTabProblems(dialog, problems);
    return problems;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const std::string& line : lines) all += "\n  " + line;
    return all;
}

INT_PTR CALLBACK plainProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

BOOL CALLBACK addTemplate(HMODULE, LPCSTR, LPSTR name, LONG_PTR list) {
    if (IS_INTRESOURCE(name)) reinterpret_cast<std::vector<int>*>(list)->push_back(static_cast<int>(LOWORD(name)));
    return TRUE;
}

std::vector<int> dialogTemplates() {
    std::vector<int> ids;
    EnumResourceNamesA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(5) /* RT_DIALOG */, addTemplate,
                       reinterpret_cast<LONG_PTR>(&ids));
    return ids;
}

// A template as its texts stand, shown; the tab pages (child templates) inside a window of their own.
HWND createShown(int id, HWND host) {
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), host, plainProc, 0);
    if (dialog) ShowWindow(dialog, SW_SHOWNA);
    return dialog;
}

TEST(LabelFit, TheDisplayHasTheExpectedPixelsPerInch) {
    const char* expected = std::getenv("QP_EXPECT_DPI");
    if (expected) {
        EXPECT_EQ(displayDpi(), std::atoi(expected));
    }
    RecordProperty("dpi", displayDpi());
}

TEST(LabelFit, EveryDialogTemplateIsComplete) {
    const std::vector<int> ids = dialogTemplates();
    ASSERT_GE(ids.size(), 12u) << "every dialog of the program";
    testsupport::TestParent host(1200, 760);
    for (int id : ids) {
        HWND dialog = createShown(id, host.window());
        ASSERT_NE(dialog, nullptr) << id;
        EXPECT_EQ(joined(problemsOf(dialog)), "") << "dialog " << id << " at " << displayDpi() << " dpi";
        DestroyWindow(dialog);
    }
}

// At a first start's size the menu bar keeps one row and every toolbar button lies on the bar.
TEST(LabelFit, TheMainWindowsMenuBarAndToolbarAreWhole) {
    testapp::TempFolder folder;
    HWND window = testapp::createMainWindowIn(folder.path());
    ASSERT_NE(window, nullptr);
    RECT frame = {}, first = {}, item = {}, bar = {};
    GetWindowRect(window, &frame);
    HMENU menu = GetMenu(window);
    GetMenuItemRect(window, menu, 0, &first);
    std::string problems;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        GetMenuItemRect(window, menu, i, &item);
        if (item.top != first.top || item.right > frame.right) problems += "\n  menu " + std::to_string(i);
    }
    HWND toolbar = gControls.toolbar;
    GetClientRect(toolbar, &bar);
    const int buttons = static_cast<int>(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < buttons; ++i) {
        SendMessageA(toolbar, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&item));
        if (item.right > bar.right || item.bottom > bar.bottom) problems += "\n  toolbar button " + std::to_string(i);
    }
    testapp::destroyMainWindow(window);
    EXPECT_GT(first.right, first.left) << "the menu bar is measured";
    EXPECT_GT(buttons, 0);
    EXPECT_EQ(problems, "") << displayDpi() << " dpi";
}

// The three pages of the settings dialog lie inside the tab control's display area, and Tab
// reaches the buttons of the page shown and of the frame.
TEST(LabelFit, TheSettingsPagesLieInsideTheirTabs) {
    IniSettings settings;
    paths::AppPaths paths = paths::derivePaths("C:\\prog", "", "");
    int pages = 0;
    std::string problems;
    testsupport::DialogAnswerer cancel(IDCANCEL, "設定");
    cancel.setInspector([&](HWND dialog) {
        HWND tab = GetDlgItem(dialog, IDC_SETTINGS_TAB);
        RECT display = {};
        GetClientRect(tab, &display);
        TabCtrl_AdjustRect(tab, FALSE, &display);
        problems += joined(problemsOf(dialog));  // the frame, and Tab into the page shown
        for (HWND page = GetWindow(tab, GW_CHILD); page; page = GetWindow(page, GW_HWNDNEXT), ++pages) {
            RECT r = {};
            GetWindowRect(page, &r);
            MapWindowPoints(nullptr, tab, reinterpret_cast<POINT*>(&r), 2);
            if (r.left < display.left || r.top < display.top || r.right > display.right || r.bottom > display.bottom)
                problems += "\n  a page lies outside the tab's display area";
        }
    });
    settingsdialog::runSettingsDialog(nullptr, settings, paths);
    EXPECT_EQ(pages, 3);
    EXPECT_EQ(problems, "") << displayDpi() << " dpi";
}

int textWidthIn(HWND control, const std::string& text) {
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    SIZE size = {};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return size.cx;
}

// The lines the program puts into its lists, each whole beside a scroll bar (or the drop button).
TEST(LabelFit, TheLinesOfTheListsFitBesideTheirScrollBars) {
    std::vector<std::string> restoreLines, dates, colours;
    for (int kind = 0; kind < 4; ++kind)
        restoreLines.push_back(backup::restoreLine({2026, 12, 28, 23, 59, 59}, "backup99.qpd", kind, true));
    for (int i = 0; i < datestamp::DATE_FORMAT_COUNT; ++i)
        dates.push_back(datestamp::FormatDateStamp(i, {2017, 1, 1, 12, 30, 59}));  // the dialog's sample
    for (int i = 0; i < windowcolours::COUNT; ++i) colours.push_back(windowcolours::nameOf(i));
    const struct {
        int dialog, control;
        const std::vector<std::string>& lines;
    } lists[] = {{IDD_RESTORE, IDC_RESTORE_LIST, restoreLines},
                 {IDD_SETTINGS_PAGES, IDC_SET_DATE_FORMAT, dates},
                 {IDD_COLOUR_SCHEME, IDC_SCHEME_WINDOW_COLOURS, colours}};
    testsupport::TestParent host(1200, 760);
    for (const auto& list : lists) {
        HWND dialog = createShown(list.dialog, host.window());
        ASSERT_NE(dialog, nullptr);
        HWND control = GetDlgItem(dialog, list.control);
        RECT client = {};
        GetClientRect(control, &client);
        const int room = client.right - GetSystemMetrics(SM_CXVSCROLL) - scaled(4);
        for (const std::string& line : list.lines)
            EXPECT_LE(textWidthIn(control, line), room) << line << " at " << displayDpi() << " dpi";
        DestroyWindow(dialog);
    }
}

// Each line of the usage window's three texts keeps to one line of its box.
TEST(LabelFit, TheUsageTextsKeepTheirLines) {
    HWND usage = usagewindow::create(0, 0, true);
    ASSERT_NE(usage, nullptr);
    const struct {
        int button;
        const char* text;
    } pages[] = {{IDC_USAGE_EASY, help::USAGE_EASY_TEXT},
                 {IDC_USAGE_BASIC, help::USAGE_BASIC_TEXT},
                 {IDC_USAGE_MORE, help::USAGE_MORE_TEXT}};
    for (const auto& page : pages) {
        SendMessageA(usage, WM_COMMAND, page.button, 0);
        int lines = 1;
        for (const char* p = std::strstr(page.text, "\r\n"); p; p = std::strstr(p + 2, "\r\n")) ++lines;
        EXPECT_EQ(SendDlgItemMessageA(usage, IDC_USAGE_TEXT, EM_GETLINECOUNT, 0, 0), lines)
            << page.button << " at " << displayDpi() << " dpi";
    }
    DestroyWindow(usage);
}

// Texts the program puts into labels while a dialog is open.
TEST(LabelFit, TheMessagesOfThePasswordDialogsFit) {
    const struct {
        int dialog;
        const char* text;
    } rows[] = {{IDD_PASSWORD_REGISTER, securemsg::PASSWORD_TOO_SHORT},
                {IDD_PASSWORD_REGISTER, securemsg::PASSWORDS_DIFFER},
                {IDD_PASSWORD_REGISTER, securemsg::REGISTER_FAILED},
                {IDD_PASSWORD_CHECK, securemsg::PASSWORD_WRONG}};
    for (const auto& row : rows) {
        HWND dialog = createShown(row.dialog, nullptr);
        ASSERT_NE(dialog, nullptr);
        SetDlgItemTextA(dialog, IDC_PASSWORD_MESSAGE, row.text);
        EXPECT_EQ(cutOf(GetDlgItem(dialog, IDC_PASSWORD_MESSAGE)), "") << displayDpi() << " dpi";
        DestroyWindow(dialog);
    }
}

TEST(LabelFit, TheAboutBoxWithItsOwnFontsAndTextsIsComplete) {
    std::string problems = "not shown";
    testsupport::DialogAnswerer close(IDCANCEL, "バージョン情報");
    close.setInspector([&](HWND dialog) { problems = joined(problemsOf(dialog)); });
    aboutbox::runAboutBox(nullptr);
    EXPECT_EQ(problems, "") << displayDpi() << " dpi";
}

// The system sizes a message box to its text; the box must still fit on the screen.
TEST(LabelFit, TheLongMessageBoxesAreCompleteOnTheScreen) {
    const std::string path = "C:\\Users\\キルト帳の利用者\\Documents\\キルト帳\\data\\quiltpad.qpd";
    const std::string texts[] = {
        std::string(appmessages::SAVE_FAILED_TEXT) + path + appmessages::SAVE_FAILED_HINT,
        appmessages::DELETE_FOLDER_TEXT,
        std::string(appmessages::OTHER_BOOK_KEPT_TEXT) + path + ".20261207211500",
        std::string(appmessages::OTHER_BOOK_BUSY_TEXT) + path,
        std::string(appmessages::OTHER_BACKUPS_TEXT) + "C:\\Users\\キルト帳の利用者\\Documents\\バックアップ",
        std::string(backup::messages::DATA_FILE_BUSY_TEXT) + path,
        path + backup::messages::START_EMPTY_QUESTION,
        std::string(backup::messages::EXTRA_BYTES_TEXT) + path + ".20261207211500",
        iomessages::SHORTCUT_QUESTION,
        std::string(programfolder::OUTSIDE_CODE_PAGE_TEXT) + "\n\n" + path,
        std::string(programfolder::TOO_LONG_TEXT) + "\n\n" + path,
        std::string(programfolder::NOT_WRITABLE_TEXT) + "\n\n" + path,
        settingsmessages::RESET_FONT_TEXT,
        securemsg::DECRYPT_FAILED,
        appmessages::UNREACHABLE_TEXT + path + appmessages::UNREACHABLE_REASON + fileFaultText(FileFault::Offline) +
            appmessages::UNREACHABLE_HINT,
        std::string(appmessages::REBUILD_FAILED_TEXT) + path,
        path + backup::messages::NO_OWN_BACKUP_QUESTION,
        std::string(backup::messages::EXTRA_BYTES_NOT_KEPT_TEXT) + path,
        settingsmessages::OTHER_BOOK_BACKUPS_TEXT + path + settingsmessages::OTHER_BOOK_BACKUPS_HINT,
    };
    RECT work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    for (const std::string& text : texts) {
        std::string problems = "not shown";
        RECT box = {};
        testsupport::DialogAnswerer answer(IDCANCEL, "LabelFit");
        answer.setInspector([&](HWND dialog) {
            problems = joined(problemsOf(dialog));
            GetWindowRect(dialog, &box);
        });
        MessageBoxA(nullptr, text.c_str(), "LabelFit", MB_OKCANCEL | MB_ICONQUESTION);
        EXPECT_EQ(problems, "") << text;
        EXPECT_TRUE(box.right - box.left <= work.right - work.left && box.bottom - box.top <= work.bottom - work.top)
            << text;
    }
}

}  // namespace
