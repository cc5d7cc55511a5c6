// One window per book on a PC: the key of the single-instance mutex and of the window
// property that a second start finds the first by.
#pragma once

#include <windows.h>

#include <string>

namespace instancekey {

// The key of the book at `dataFilePath`: its data folder as the file system resolves it (the
// final path of the nearest folder that exists, with the folders not yet made below it), folded
// to upper case, never the text it was given: another spelling (case, an 8.3 name, a mapped
// drive) or a second program folder whose settings name the same data folder finds the same key,
// before and after the data folder is made. A path with no folder in reach falls back to its text.
std::string forBook(const std::string& dataFilePath);

// The name of the mutex for `key`: in the global namespace, so that it holds across the user
// sessions of one PC.
std::wstring mutexName(const std::string& key);

// Takes the mutex of `key` for the run; false (nothing held) when another instance has it.
bool hold(const std::string& key);
// The data folder moved: the run holds the new book's key instead, mutex and the main window's
// property, so that a second start reading the new settings finds this window.
void follow(HWND window, const std::string& oldKey, const std::string& newKey);
// At the end of the run.
void letGo();

}  // namespace instancekey
