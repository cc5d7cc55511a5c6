#include <windows.h>

#include "soak/SoakDialogs.h"

#include "app/AppState.h"
#include "res/dialogs/PasswordDialogs.h"
#include "res/dialogs/RestoreDialog.h"
#include "soak/SoakDriver.h"
#include "support/DialogAnswerer.h"

namespace soak {

const char* const PASSWORD = "soakパス1234";
const char* const WRONG_PASSWORD = "wrong-pass";

namespace {

constexpr UINT POLL_MS = 10;
Answerer* current = nullptr;  // one at a time; thread timers carry no context

bool captionHas(HWND window, const char* part) {
    return testsupport::windowText(window).find(part) != std::string::npos;
}

// The two digits after "backup" in a restore list line: the slot the line names.
int slotOfLine(const std::string& line) {
    const std::size_t at = line.find("backup");
    if (at == std::string::npos || at + 8 > line.size()) return -1;
    return (line[at + 6] - '0') * 10 + (line[at + 7] - '0');
}

}  // namespace

PasswordAnswer passwordAnswerOf(std::uint32_t choice) {
    static const PasswordAnswer answers[] = {PasswordAnswer::Right, PasswordAnswer::Right,
                                             PasswordAnswer::WrongThenRight, PasswordAnswer::Cancel,
                                             PasswordAnswer::WrongThenCancel};
    return answers[choice % 5];
}

Answerer::Answerer(Driver& driver) : driver_(driver) {
    current = this;
    timer_ = SetTimer(nullptr, 0, POLL_MS, onTimer);
}

Answerer::~Answerer() {
    KillTimer(nullptr, timer_);
    current = nullptr;
}

void Answerer::begin(const Plan& plan) {
    plan_ = plan;
    seen_.clear();
    answered_.clear();
    chosenSlot_ = -1;
    savedAll_ = false;
}

void CALLBACK Answerer::onTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (current) EnumThreadWindows(GetCurrentThreadId(), visit, reinterpret_cast<LPARAM>(current));
}

BOOL CALLBACK Answerer::visit(HWND window, LPARAM self) {
    return reinterpret_cast<Answerer*>(self)->answer(window) ? FALSE : TRUE;
}

void Answerer::press(HWND dialog, int id) {
    answered_.insert(dialog);
    // the user clicks the button: a mouse button held for a drag is up from here on
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_LBUTTON] = 0;
    SetKeyboardState(keys);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

bool Answerer::answer(HWND dialog) {
    char cls[64] = {};
    GetClassNameA(dialog, cls, sizeof cls);
    if (std::string(cls) != "#32770" || !IsWindowVisible(dialog) || !IsWindowEnabled(dialog) || answered_.count(dialog) ||
        dialog == gApp.searchWindow)  // the search window stays open beside the main window
        return false;
    std::string name;
    if (captionHas(dialog, "パスワード登録"))
        name = "register";
    else if (captionHas(dialog, "認証"))
        name = "auth";
    else if (captionHas(dialog, "削除"))
        name = "delete";
    else if (captionHas(dialog, "フォントを初期化"))
        name = "reset font";
    else if (GetDlgItem(dialog, IDC_RESTORE_LIST))
        name = "restore";
    else if (captionHas(dialog, "データの復元"))
        name = "restore question";
    else if (captionHas(dialog, "復元の完了"))
        name = "restored";
    else if (captionHas(dialog, "ページの貼り付け"))
        name = "paste refused";
    else if (captionHas(dialog, "ページの保存"))
        name = "saved as utf-8";
    else if (captionHas(dialog, "名前を付けて保存"))
        name = "save as";
    else if (testsupport::windowText(dialog) == "設定")
        name = "settings";
    else if (captionHas(dialog, "保存先の変更"))
        name = "folder told";
    else if (FindWindowExA(dialog, nullptr, "SysTreeView32", nullptr))
        name = "choose folder";
    else if (captionHas(dialog, "ページ保存の完了"))
        name = "save all done";
    else if (testsupport::windowText(dialog) == "ページ保存")
        name = "save all refused";
    else
        name = "unexpected: " + testsupport::windowText(dialog) + " / " +
               testsupport::windowText(GetDlgItem(dialog, 0xFFFF));
    seen_.push_back(name);
    if (plan_.tickInFirstDialog && seen_.size() == 1 && name != "restore" && name != "restore question") {
        answered_.insert(dialog);  // the tick may pump messages; do not answer twice
        driver_.tickInDialog();
    }
    if (plan_.outside != Outside::None && seen_.size() == plan_.outsideIn + 1) {
        answered_.insert(dialog);
        driver_.inDialog(dialog);
        if (!IsWindow(dialog)) return true;
    }
    if (name == "register" || name == "auth")
        answerPassword(dialog, name == "register");
    else if (name == "delete" || name == "restore question" || name == "reset font")
        press(dialog, plan_.confirm ? IDOK : IDCANCEL);
    else if (name == "restore")
        answerRestore(dialog);
    else if (name == "save as")
        answerSave(dialog);
    else if (name == "settings") {
        testsupport::chooseFolders(dialog, plan_.dataFolder, "");
        press(dialog, plan_.confirm ? IDOK : IDCANCEL);
    } else if (name == "choose folder") {
        answered_.insert(dialog);  // pointing it pumps messages
        if (!testsupport::pointFolderBrowser(dialog, plan_.exportTo)) seen_.push_back("the browser would not show the folder");
        press(dialog, IDOK);
    } else {
        if (name == "save all done") savedAll_ = testsupport::windowText(GetDlgItem(dialog, 0xFFFF)) == "全てのページを保存しました。";
        press(dialog, name == "restored" || name == "folder told" || name == "save all done" ? IDOK : IDCANCEL);
    }
    return true;
}

void Answerer::answerPassword(HWND dialog, bool registration) {
    const PasswordAnswer a = plan_.password;
    if (a == PasswordAnswer::WrongThenRight || a == PasswordAnswer::WrongThenCancel) {
        testsupport::setControlText(dialog, IDC_PASSWORD, WRONG_PASSWORD);
        if (registration) testsupport::setControlText(dialog, IDC_PASSWORD_AGAIN, PASSWORD);  // a mismatch
        testsupport::clickControl(dialog, IDC_PASSWORD_OK);
        if (!IsWindow(dialog)) {
            seen_.push_back("a wrong password closed the dialog");
            return;
        }
    }
    if (!opens(a)) {
        press(dialog, IDC_PASSWORD_CANCEL);
        return;
    }
    testsupport::setControlText(dialog, IDC_PASSWORD, PASSWORD);
    if (registration) testsupport::setControlText(dialog, IDC_PASSWORD_AGAIN, PASSWORD);
    press(dialog, IDC_PASSWORD_OK);
}

// The file name goes into the dialog's name box (an edit, or the edit of a combo box), then "保存".
void Answerer::answerSave(HWND dialog) {
    for (int id : {0x480, 0x47c})  // edt1, cmb13
        if (GetDlgItem(dialog, id)) SetDlgItemTextA(dialog, id, plan_.saveTo.c_str());
    press(dialog, IDOK);
}

void Answerer::answerRestore(HWND dialog) {
    HWND list = GetDlgItem(dialog, IDC_RESTORE_LIST);
    const LRESULT lines = SendMessageA(list, LB_GETCOUNT, 0, 0);
    if (lines <= 0 || !plan_.restore) {
        press(dialog, IDCANCEL);
        return;
    }
    const auto slotAt = [list](int at) {
        char text[512] = {};
        if (SendMessageA(list, LB_GETTEXTLEN, at, 0) < static_cast<LRESULT>(sizeof text))
            SendMessageA(list, LB_GETTEXT, at, reinterpret_cast<LPARAM>(text));
        return slotOfLine(text);
    };
    // a replay names the slot a run chose: the lines go by the files' times, which differ from run to run
    int line = static_cast<int>(plan_.line % static_cast<std::uint32_t>(lines));
    if (plan_.line >= SLOT_CHOSEN)
        for (int at = 0; at < lines; ++at)
            if (slotAt(at) == static_cast<int>(plan_.line - SLOT_CHOSEN)) line = at;
    SendMessageA(list, LB_SETCURSEL, line, 0);
    driver_.checkRestoreLines(list);
    chosenSlot_ = slotAt(line);
    driver_.restoring(chosenSlot_);
    press(dialog, IDOK);
}

}  // namespace soak
