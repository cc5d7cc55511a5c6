// Files and folders by their wide names, for the folders people really unpack into:
// names outside code page 932 (which the ANSI functions turn into '?') and paths
// near MAX_PATH. Every call takes an absolute path such as C:\Users\...\folder.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// Code page 932 bytes (the tests' own literals) as wide text.
std::wstring widen(const std::string& cp932);

// Creates the folder and every missing folder above it.
bool makeFolders(const std::wstring& folder);
// Copies every file below `from` into `to` (created), keeping the sub-folders.
bool copyTree(const std::wstring& from, const std::wstring& to);
// Removes the folder and everything below it.
void removeTree(const std::wstring& folder);
// Every file and folder below `folder` with its size, in a fixed order, one line each.
std::vector<std::wstring> listTree(const std::wstring& folder);

}  // namespace e2e
