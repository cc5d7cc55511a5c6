// The process-wide state of the program: one of each long-lived object, for the whole run.
#pragma once
#include <windows.h>

#include <string>

#include "settings/AppPaths.h"

struct AppState {
    HINSTANCE instance = nullptr;
    std::string title;            // "キルト帳　　version 3.21"
    paths::AppPaths paths;

    HWND mainWindow = nullptr;
    HWND usageWindow = nullptr;   // modeless tool windows join the message loop when they exist
    HWND searchWindow = nullptr;

    // splitter: the page list's share of the client width, in percent
    int splitterPercent = 25;
    int splitterMin = 10;
    int splitterMax = 70;

    bool alwaysOnTop = false;
    bool saveAtExit = true;       // cleared when the user refuses to start an empty book
};

extern AppState gApp;
