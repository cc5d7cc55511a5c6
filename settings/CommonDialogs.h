#pragma once
// Thin wrappers over the common dialogs: file, folder, colour and font choosers.
// Each runs its dialog modally, owned by `owner`, and touches the caller's
// value only when the user confirms. Texts are code page 932 bytes.

#include <windows.h>

#include <string>

#include "settings/ColourList.h"

namespace dialogs {

// Filter numbers returned by chooseSaveFile.
constexpr int FILTER_TEXT = 1;
constexpr int FILTER_RTF = 2;
constexpr int FILTER_ALL = 3;

// Save dialog starting at `path`; on OK `path` is the chosen file and the
// number of the chosen filter (1 text, 2 RTF, 3 all files) is returned; 0 when cancelled.
int chooseSaveFile(HWND owner, std::string& path);

// Open dialog starting at `path`; the file must exist.
bool chooseOpenFile(HWND owner, std::string& path);
// The same, returning the number of the chosen filter (1 text, 2 RTF, 3 all
// files), 0 when cancelled.
int chooseOpenFileFilter(HWND owner, std::string& path);

// Folder browser; `folder` receives the chosen folder.
bool chooseFolder(HWND owner, std::string& folder);

// As chooseFolder, but the browser opens at `start`.
bool chooseFolderFrom(HWND owner, const std::string& start, std::string& folder);

// Colour chooser starting at `colour`; its custom colours start black every time.
bool chooseColour(HWND owner, COLORREF& colour);

// Colour chooser whose custom colours are `recent`; a confirmed colour is moved
// to the front of `recent` (see colourlist::rememberRecentColour).
bool chooseColourRecent(HWND owner, COLORREF& colour, colourlist::Colours& recent);

// What the full font chooser starts from and returns. `height` is a LOGFONT
// height in pixels (negative: character height).
struct StyledFont {
    std::string face;
    int height = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
};

bool chooseFontStyled(HWND owner, StyledFont& font);
bool chooseFontNameSize(HWND owner, std::string& face, int& height);
bool chooseFontName(HWND owner, std::string& face);
bool chooseFontSize(HWND owner, int& height);

}  // namespace dialogs
