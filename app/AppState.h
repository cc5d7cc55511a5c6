// The process-wide state of the program: one of each long-lived object, for the whole run.
#pragma once
#include <windows.h>

#include <array>
#include <cstdint>
#include <string>

#include "app/SplitLayout.h"
#include "settings/AppPaths.h"
#include "settings/IniSettings.h"

struct AppState {
    HINSTANCE instance = nullptr;
    std::string title;  // "キルト帳　　version 3.21"
    paths::AppPaths paths;

    // settings file: read before the first window, written once at exit (app/SettingsIo.cpp)
    IniSettings ini;
    std::array<std::uint32_t, 16> customColours{};  // the colour chooser's custom colours, most recent first

    HWND mainWindow = nullptr;
    HWND usageWindow = nullptr;  // modeless tool windows join the message loop when they exist
    HWND searchWindow = nullptr;

    // the page list's share of the client width, in percent, and its limits
    splitlayout::Share splitter;

    bool alwaysOnTop = false;
};

extern AppState gApp;
