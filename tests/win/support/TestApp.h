// In-process test support: the real main window of the program, created in a
// temporary program folder so no test touches a user's files.
#pragma once
#include <windows.h>

#include <string>

#include "support/DialogAnswerer.h"

namespace testapp {

// A fresh empty folder below the temporary folder, removed with everything in it on destruction.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

// Deletes a folder and everything below it.
void removeTree(const std::string& folder);

// Points the process state at a program folder (paths derived as at start-up), then
// creates and shows the main window. Returns null on failure. A first start's
// shortcut question is declined, or left to the given answerer.
HWND createMainWindowIn(const std::string& programFolder);
HWND createMainWindowIn(const std::string& programFolder, testsupport::DialogAnswerer& shortcutAnswerer);

// Destroys the main window created above and swallows the quit message it posts.
void destroyMainWindow(HWND window);

// Dispatches the messages waiting in this thread's queue.
void pumpMessages();

}  // namespace testapp
