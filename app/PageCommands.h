// The page commands: add, retitle, copy, paste and delete pages and folders,
// the bookmark, walking the pages, collapsing folders.
#pragma once
#include <windows.h>

#include <string>

namespace pagecommands {

void editTitle(HWND window);
void addPage(HWND window);
void addFolder(HWND window);
void deletePage(HWND window);
void copyPage(HWND window);
void pastePage(HWND window);
void setBookmark(HWND window);
void openBookmark(HWND window);
void nextPage(HWND window);
void previousPage(HWND window);
void collapseFolders(HWND window);

// Title of a new page: today's date when AutoDate is on, else "ページ (n)".
std::string newPageTitle(bool allowDate);

}  // namespace pagecommands
