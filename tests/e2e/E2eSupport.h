// End-to-end test support: a copy of quiltpad.exe in a temporary program folder,
// started as its own process and driven by window messages.
#pragma once
#include <windows.h>

#include <string>

#include "WideFiles.h"

#include "tests/common/FileBytes.h"

namespace e2e {

class ProgramCopy {
public:
    // Copies quiltpad.exe (found beside this test executable) into a new temporary folder.
    ProgramCopy();
    // The same below another folder (a small disk, say) instead of the temporary folder.
    explicit ProgramCopy(const std::string& baseFolder);
    // A copy of a whole unpacked package (every file below `package`) in the new folder
    // `folder` (absolute, created with the folders above it), which may hold characters
    // outside code page 932; the ANSI folder() then shows them as '?'.
    ProgramCopy(const std::wstring& folder, const std::wstring& package);
    ~ProgramCopy();
    ProgramCopy(const ProgramCopy&) = delete;
    ProgramCopy& operator=(const ProgramCopy&) = delete;

    const std::string& folder() const { return folder_; }
    const std::wstring& wideFolder() const { return wideFolder_; }
    // Later starts run the copy from another folder that shows the same files
    // (a read-only view of this one).
    void runFrom(const std::wstring& folder) { runFolder_ = folder; }
    std::string path(const std::string& relative) const { return folder_ + "\\" + relative; }

    // Starts one more process of this copy; returns false when it could not be started.
    bool start(int showCommand = SW_SHOWNORMAL);
    // The main window ("QUILTPAD") of the last started process, waiting up to timeoutMs.
    // A first start's shortcut question is declined on the way, so no desktop is touched.
    HWND waitForMainWindow(DWORD timeoutMs = 20000);
    // How many shortcut questions the waits above declined, and whether the main
    // window was still hidden at the first one.
    int shortcutQuestions() const { return shortcutQuestions_; }
    bool askedBeforeShown() const { return askedBeforeShown_; }
    // Waits for the last started process to end; returns its exit code, or -1 on time-out.
    long waitForExit(DWORD timeoutMs = 20000);
    // Posts WM_CLOSE to the main window and waits for the process to end.
    long close(DWORD timeoutMs = 20000);
    // Ends the process the hard way (only for clean-up after a failed test).
    void kill();
    DWORD processId() const { return process_.dwProcessId; }

private:
    std::string folder_;
    std::wstring wideFolder_;
    std::wstring runFolder_;
    PROCESS_INFORMATION process_ = {};
    int shortcutQuestions_ = 0;
    bool askedBeforeShown_ = false;
};

// The visible message box or dialog with this caption (code page 932) owned by the process, or null.
HWND findDialog(DWORD processId, const std::string& caption);

// The first top-level window of the class QUILTPAD owned by the given process, or null.
HWND findMainWindow(DWORD processId);

// The text of a message box, or the texts of a task dialog (its static controls, a line each).
std::string boxText(HWND box);
// Answers the next visible message box or dialog of the process (waiting up to 20 s)
// with `button`; returns its text, empty when none came.
std::string answerBox(DWORD processId, int button);

// Writes a data file of `pages` pages, each holding `textBytes` letters, titled p0, p1, ...
bool writeBook(const std::string& path, int pages, int textBytes);
// The number of pages of a data file, -1 when it does not read whole (extra bytes included).
int pagesIn(const std::string& path);
// True when some file in the folder matches the pattern ("data\\*~*").
bool anyFile(const std::string& pattern);

// Sets a file's last-write time to noon of 1 June of the year.
void setWriteTime(const std::string& path, WORD year);

bool fileExists(const std::string& path);
using testcommon::readFile;
using testcommon::writeFile;
void removeTree(const std::string& folder);

}  // namespace e2e
