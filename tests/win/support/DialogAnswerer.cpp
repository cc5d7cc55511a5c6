#include <windows.h>

#include "support/DialogAnswerer.h"

#include <commctrl.h>
#include <shlobj.h>

#include <map>

#include "res/dialogs/SettingsDialog.h"
#include "store/Wide932.h"
#include "support/TestApp.h"

namespace testsupport {
namespace {

constexpr UINT POLL_MS = 30;

// Thread timers carry no context of their own: the answerers by timer id.
std::map<UINT_PTR, DialogAnswerer*>& answerers() {
    static std::map<UINT_PTR, DialogAnswerer*> map;
    return map;
}

}  // namespace

// The program's windows are wide; the tests read and write their texts in code page 932,
// whatever the system's code page.
std::string windowText(HWND window) {
    wchar_t text[1024] = {};
    if (window) GetWindowTextW(window, text, 1024);
    return wide::to932(text);
}

std::string controlText(HWND dialog, int id) { return windowText(GetDlgItem(dialog, id)); }

void setControlText(HWND dialog, int id, const std::string& text) {
    SetDlgItemTextW(dialog, id, wide::from932(text).c_str());
}

void setControlChecked(HWND dialog, int id, bool checked) {
    CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

void clickControl(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

bool pointFolderBrowser(HWND browser, const std::string& folder) {
    HWND tree = FindWindowExA(browser, nullptr, "SysTreeView32", nullptr);
    const std::string leaf = folder.substr(folder.rfind('\\') + 1);
    const auto selection = [tree] {
        wchar_t text[MAX_PATH] = {};
        TVITEMW item{};
        item.mask = TVIF_TEXT;
        item.hItem = TreeView_GetSelection(tree);
        item.pszText = text;
        item.cchTextMax = MAX_PATH;
        if (item.hItem) SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        return wide::to932(text);
    };
    // the browser fills its tree while it opens: select until it shows the folder
    for (int i = 0; tree && i < 50 && selection() != leaf; ++i) {
        testapp::pumpMessages();
        SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(wide::from932(folder).c_str()));
        Sleep(10);
    }
    return tree && selection() == leaf;
}

void chooseFolders(HWND dialog, const std::string& data, const std::string& backups) {
    HWND page = GetWindow(GetDlgItem(dialog, IDC_SETTINGS_TAB), GW_CHILD);
    for (; page && !GetDlgItem(page, IDC_SET_DATA_DIR); page = GetWindow(page, GW_HWNDNEXT)) {}
    setControlChecked(page, IDC_SET_USE_DATA_DIR, !data.empty());
    setControlText(page, IDC_SET_DATA_DIR, data);
    setControlChecked(page, IDC_SET_USE_BACKUP_DIR, !backups.empty());
    setControlText(page, IDC_SET_BACKUP_DIR, backups);
}

DialogAnswerer::DialogAnswerer(int button, std::string caption) : button_(button), caption_(std::move(caption)) {
    timer_ = SetTimer(nullptr, 0, POLL_MS, onTimer);
    answerers()[timer_] = this;
}

DialogAnswerer::~DialogAnswerer() {
    KillTimer(nullptr, timer_);
    answerers().erase(timer_);
}

void CALLBACK DialogAnswerer::onTimer(HWND, UINT, UINT_PTR id, DWORD) {
    auto it = answerers().find(id);
    if (it == answerers().end()) return;
    EnumThreadWindows(GetCurrentThreadId(), visit, reinterpret_cast<LPARAM>(it->second));
}

BOOL CALLBACK DialogAnswerer::visit(HWND window, LPARAM self) {
    return reinterpret_cast<DialogAnswerer*>(self)->tryAnswer(window) ? FALSE : TRUE;
}

namespace {
// A task dialog has no message-box text control: its texts are its static controls.
BOOL CALLBACK addStaticText(HWND child, LPARAM all) {
    char cls[16] = {};
    GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") == 0) *reinterpret_cast<std::string*>(all) += windowText(child) + "\n";
    return TRUE;
}
std::string staticTexts(HWND dialog) {
    std::string all;
    EnumChildWindows(dialog, addStaticText, reinterpret_cast<LPARAM>(&all));
    return all;
}
}  // namespace

bool DialogAnswerer::tryAnswer(HWND window) {
    char cls[64] = {};
    GetClassNameA(window, cls, sizeof cls);
    // A dialog disabled under a message box of its own cannot be answered until that box is gone.
    if (std::string(cls) != "#32770" || !IsWindowVisible(window) || !IsWindowEnabled(window) || window == lastAnswered_)
        return false;
    const std::string caption = windowText(window);
    if (!caption_.empty() && caption.find(caption_) == std::string::npos) return false;
    lastAnswered_ = window;
    captions_.push_back(caption);
    texts_.push_back(GetDlgItem(window, 0xFFFF) ? windowText(GetDlgItem(window, 0xFFFF)) : staticTexts(window));
    if (inspector_) inspector_(window);
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(button_, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, button_)));
    return true;
}

}  // namespace testsupport
