// The desktop shortcut: a shell link to the program, made through COM.
#pragma once
#include <windows.h>

#include <string>

namespace shortcut {

// The file-system folder of the user's desktop, or the folder given to
// setDesktopFolder; empty when the shell cannot tell.
std::string desktopFolder();
// Puts shortcuts into `folder` instead of the desktop (tests); empty: the desktop again.
void setDesktopFolder(const std::string& folder);

// The first name not taken in `folder`: "キルト帳", then "キルト帳-1", "キルト帳-2" …
// (without the extension).
std::string freeName(const std::string& folder);

// Writes a shell link at `linkPath` that starts `target` with no arguments in
// `workingDirectory`. False when the link object cannot be made or saved.
bool createLink(const std::string& linkPath, const std::wstring& target, const std::string& workingDirectory);

// The command: asks on `owner`, puts the link to this executable on the desktop
// with `appFolder` as its working directory, and says what it made. False when
// the user declined.
bool offerShortcut(HWND owner, const std::string& appFolder);

}  // namespace shortcut
