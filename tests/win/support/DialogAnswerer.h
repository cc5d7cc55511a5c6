// Answers the modal dialogs and message boxes that the code under test opens,
// so the real dialog code runs on the test's own thread.
//
// While an answerer lives, a thread timer looks every few milliseconds for a
// visible dialog (window class "#32770") of this thread whose caption contains
// the given text, and presses the given button in it. Modal loops dispatch
// thread timers, so the answer arrives from inside the dialog's own loop.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace testsupport {

class DialogAnswerer {
public:
    // `button`: the command id to press (IDOK, IDCANCEL, IDYES, ...).
    // `caption`: a part of the caption to look for (code page 932); empty for any dialog.
    explicit DialogAnswerer(int button = IDCANCEL, std::string caption = std::string());
    ~DialogAnswerer();
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;

    // Runs on each matching dialog just before the button is pressed.
    void setInspector(std::function<void(HWND dialog)> inspector) { inspector_ = std::move(inspector); }

    // How many dialogs were answered.
    int answered() const { return static_cast<int>(captions_.size()); }
    // Caption and message-box text (static control 0xFFFF) of each answered dialog.
    const std::vector<std::string>& captions() const { return captions_; }
    const std::vector<std::string>& texts() const { return texts_; }

private:
    static void CALLBACK onTimer(HWND, UINT, UINT_PTR id, DWORD);
    static BOOL CALLBACK visit(HWND window, LPARAM self);
    bool tryAnswer(HWND window);

    int button_;
    std::string caption_;
    UINT_PTR timer_ = 0;
    HWND lastAnswered_ = nullptr;
    std::vector<std::string> captions_;
    std::vector<std::string> texts_;
    std::function<void(HWND)> inspector_;
};

// Text of a window, code page 932.
std::string windowText(HWND window);

// For inspectors that fill in one of the program's own dialogs before the
// answerer presses its button (by control id, as the templates number them).
std::string controlText(HWND dialog, int id);
void setControlText(HWND dialog, int id, const std::string& text);
void setControlChecked(HWND dialog, int id, bool checked);
// Sends the control's click (BN_CLICKED through BM_CLICK) and waits for it to be handled.
void clickControl(HWND dialog, int id);
// Points the folder browser at `folder`; false when it will not show it.
bool pointFolderBrowser(HWND browser, const std::string& folder);
// The settings dialog's folders tab: a data folder and a backup folder (empty: the default).
void chooseFolders(HWND settingsDialog, const std::string& data, const std::string& backups);

}  // namespace testsupport
