#include <windows.h>
#include <imm.h>

#include "app/SettingsIo.h"

#include <vector>

#include "app/AppMessages.h"
#include "app/AppState.h"
#include "app/InstanceKey.h"
#include "app/SplitLayout.h"
#include "app/Splitter.h"
#include "help/UsageWindow.h"
#include "res/resource.h"
#include "settings/IniSettings.h"
#include "settings/Monitors.h"
#include "ui/Dpi.h"
#include "store/FileFaultText.h"
#include "ui/WideText.h"

namespace settingsio {

namespace {

// A settings file from another machine (or edited by hand) may put the window where
// no monitor shows it, or make it larger than the screen: it is fitted to a monitor,
// and the fitted rectangle is what the exit saves.
void keepMainWindowOnScreen(IniSettings::Window& w) {
    screenfit::Placement saved;
    saved.x = w.PosX;
    saved.y = w.PosY;
    saved.width = w.Width;
    saved.height = w.Height;
    const screenfit::Placement placed =
        monitors::keepOnScreen(saved, dpi::scale(splitlayout::MIN_TRACK_SIZE, dpi::ofSystem()));
    w.PosX = placed.x;
    w.PosY = placed.y;
    w.Width = placed.width;
    w.Height = placed.height;
}

// A first start's window is 640 x 480 at 96 dots per inch, larger on a display of a larger
// scale, centred on the desktop as the defaults centre it. Saved sizes stay as saved.
void scaleDefaultWindow(IniSettings::Window& w, int desktopWidth, int desktopHeight) {
    const int scale = dpi::ofSystem();
    if (scale == dpi::BASE) return;
    w.Width = dpi::scale(w.Width, scale);
    w.Height = dpi::scale(w.Height, scale);
    w.PosX = desktopWidth / 2 - w.Width / 2;
    w.PosY = desktopHeight / 2 - w.Height / 2;
}

// The page list's focus widening is for systems before version 6; on later
// ones, or when the version cannot be told, it is off for this run.
bool systemAllowsAutoView() {
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExW(&version)) return false;
    return version.dwMajorVersion < 6;
}

// Left and top of a tool window's normal placement, when the window exists.
void readToolWindowCorner(HWND window, int32_t& x, int32_t& y) {
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (window == nullptr || !GetWindowPlacement(window, &placement)) return;
    x = placement.rcNormalPosition.left;
    y = placement.rcNormalPosition.top;
}

// The memo editor's input-method state, kept for the next start.
void collectInputMethod(HWND mainWindow) {
    HWND editor = GetDlgItem(mainWindow, IDC_MEMO_EDITOR);
    HIMC context = editor ? ImmGetContext(editor) : nullptr;
    if (context == nullptr) return;
    DWORD conversion = 0;
    DWORD sentence = 0;
    gApp.ini.ime.OnOff = ImmGetOpenStatus(context) != FALSE;
    if (ImmGetConversionStatus(context, &conversion, &sentence)) {
        gApp.ini.ime.Conversion = static_cast<int32_t>(conversion);
        gApp.ini.ime.Sentence = static_cast<int32_t>(sentence);
    }
    ImmReleaseContext(editor, context);
}

// What the windows know at exit goes into the record; values whose windows
// do not exist keep what was read at start-up.
void collectWindowValues(HWND mainWindow) {
    IniSettings::Window& w = gApp.ini.window;
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (GetWindowPlacement(mainWindow, &placement)) {
        const RECT& r = placement.rcNormalPosition;
        w.PosX = r.left;
        w.PosY = r.top;
        w.Width = r.right - r.left;
        w.Height = r.bottom - r.top;
        w.Maximize = placement.showCmd == SW_SHOWMAXIMIZED;
    }
    // the share without the temporary widening of a focused page list
    w.TvWidthPer = splitter::restingPercent();
    for (size_t i = 0; i < w.FontColor.size(); ++i) w.FontColor[i] = static_cast<int32_t>(gApp.customColours[i]);

    if (gApp.usageWindow != nullptr) gApp.ini.howToWindow.Visible = usagewindow::visibleNextTime(gApp.usageWindow);
    readToolWindowCorner(gApp.usageWindow, gApp.ini.howToWindow.PosX, gApp.ini.howToWindow.PosY);
    readToolWindowCorner(gApp.searchWindow, gApp.ini.searchWindow.PosX, gApp.ini.searchWindow.PosY);
    gApp.ini.searchWindow.Visible = false;
    collectInputMethod(mainWindow);
}

// The settings file is there but cannot be read (another program holds it): the defaults would
// name the default data folder, which may hold an older copy of the book. Asked again or ended.
bool retrySettings(const std::string& iniPath, FileFault fault) {
    const std::string text = appmessages::SETTINGS_UNREADABLE_TEXT + iniPath + "\n\n" + fileFaultText(fault);
    return wide::messageBox(nullptr, text, appmessages::SETTINGS_UNREADABLE_CAPTION,
                            MB_RETRYCANCEL | MB_ICONWARNING | MB_SETFOREGROUND) == IDRETRY;
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

bool readStartupSettings(const std::string& appFolder) {
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    IniSettings defaults = ini::defaultSettings(desktop.right - desktop.left, desktop.bottom - desktop.top);
    scaleDefaultWindow(defaults.window, desktop.right - desktop.left, desktop.bottom - desktop.top);

    // the settings file never moves; the folders it names decide the other paths
    const std::string iniPath = paths::derivePaths(appFolder, "", "").iniPath;
    for (;;) {
        FileFault unreadable = FileFault::None;
        gApp.ini = ini::readIni(iniPath, defaults, &unreadable);
        if (unreadable == FileFault::None) break;
        if (!retrySettings(iniPath, unreadable)) return false;
    }
    gApp.paths = paths::derivePaths(appFolder, gApp.ini.setting.QpdDirPath, gApp.ini.setting.BackupDirPath);
    gApp.paths.instanceKey = instancekey::forBook(gApp.paths.dataFilePath);  // one window per book

    if (!systemAllowsAutoView()) gApp.ini.window.AutoView = false;
    for (size_t i = 0; i < gApp.customColours.size(); ++i)
        gApp.customColours[i] = static_cast<std::uint32_t>(gApp.ini.window.FontColor[i]);
    gApp.splitter = splitlayout::Share();
    gApp.splitter.percent = gApp.ini.window.TvWidthPer;
    keepMainWindowOnScreen(gApp.ini.window);
    return true;
}

RECT savedMainWindowRect() {
    const IniSettings::Window& w = gApp.ini.window;
    // hand-edited numbers must not overflow the sums
    auto clamp = [](int64_t v) { return static_cast<LONG>(v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : v); };
    RECT r;
    r.left = w.PosX;
    r.top = w.PosY;
    r.right = clamp(int64_t(w.PosX) + w.Width);
    r.bottom = clamp(int64_t(w.PosY) + w.Height);
    return r;
}

int firstShowCommand(int processShowCommand) {
    return gApp.ini.window.Maximize ? SW_SHOWMAXIMIZED : processShowCommand;
}

bool collectAndSaveSettings(HWND mainWindow) {
    // the settings stay in the data folder below the program, wherever the book lives
    CreateDirectoryW(wide::from932(folderOf(gApp.paths.iniPath)).c_str(), nullptr);
    collectWindowValues(mainWindow);
    return ini::writeIni(gApp.paths.iniPath, gApp.ini);
}

}  // namespace settingsio
