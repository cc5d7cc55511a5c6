// The installation's settings file quiltpad.ini: the in-memory record, its
// reader and its writer. Portable: the same code runs on Windows and on the
// host, where it is unit-tested.
//
// The file is read once at start-up and rewritten in whole once at exit;
// dialogs only change the record in between.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

enum class FileFault;

// One record of plain fields, grouped by the section each key lives in.
// Field names are the key names of the file.
struct IniSettings {
    struct Window {
        int32_t PosX = 0;  // restored rectangle of the main window;
        int32_t PosY = 0;  // the caller centres it on the desktop
        int32_t Width = 640;
        int32_t Height = 480;
        int32_t TvWidthPer = 25;  // page list share of the client width, percent
        bool Maximize = false;
        bool AutoView = true;
        bool AutoEdit = false;
        bool AutoDate = false;
        int32_t DateString = 0;  // date format 0-19
        bool DeleteDialog = true;
        bool AutoBookmark = false;
        bool ExitBookmark = false;
        bool ExitScroll = false;
        bool ParentSec = false;
        std::array<int32_t, 16> FontColor{};  // FontColor00..15, 0x00BBGGRR, most recent first
        int32_t BgSaveInterval = 5;           // minutes; -1 = never
    } window;

    struct Setting {
        int32_t BackupFileSize = 50;  // slots in use, 1-100
        int32_t BackupInterval = 10;  // minutes
        bool TimeBackup = true;
        bool ExitBackup = true;
        bool DeleteBackup = false;
        // Folder overrides, code page 932, at most 259 bytes each.
        std::string QpdDirPath;     // empty: the data folder below the program folder
        std::string BackupDirPath;  // empty: the backup folder below that data folder
    } setting;

    struct HowToWindow {
        bool Visible = true;
        int32_t PosX = 0;
        int32_t PosY = 0;
    } howToWindow;

    struct SearchWindow {
        bool Visible = false;  // read but never acted on; always written as 0
        int32_t PosX = 0;
        int32_t PosY = 0;
        int32_t Target = 0;  // 0-3
        bool MatchCase = true;
        bool Down = true;
    } searchWindow;

    struct Ime {
        bool OnOff = true;
        int32_t Conversion = 65535;  // 65535 in both: no input-method state saved yet
        int32_t Sentence = 65535;
    } ime;
};

// Value meaning "never" for BgSaveInterval.
constexpr int32_t BG_SAVE_OFF = -1;
// Input-method mode value meaning "nothing saved".
constexpr int32_t IME_NOT_SAVED = 65535;
// The longest backup interval a window timer can count, in minutes
// (USER_TIMER_MAXIMUM, 0x7FFFFFFF ms).
constexpr int32_t BACKUP_INTERVAL_MAX = 35791;
// Limits of the page list share (the splitter's normal range).
constexpr int32_t TV_WIDTH_MIN = 10;
constexpr int32_t TV_WIDTH_MAX = 70;

namespace ini {

// The defaults of every key. The main window's default position centres a
// 640 x 480 window on a desktop of the given size.
IniSettings defaultSettings(int32_t desktopWidth, int32_t desktopHeight);

// Reads the file at iniPath. A missing or unreadable file gives the defaults; `unreadable`,
// when given, tells the second from the first (a file that is there, or may be, but
// could not be read: the caller must not write its defaults over it).
IniSettings readIni(const std::string& iniPath, const IniSettings& defaults, FileFault* unreadable = nullptr);

// The same from the file's bytes.
IniSettings parseIni(const std::string& text, const IniSettings& defaults);

// Rewrites the whole file from the record, through a temporary file that
// replaces the old one in one step. False when the file could not be
// written; the old file is then left as it was.
bool writeIni(const std::string& iniPath, const IniSettings& settings);

// The bytes writeIni writes.
std::string formatIni(const IniSettings& settings);

struct IniEntry {
    std::string key;
    std::string value;
};

// Appends one section, "[name]" and one "key = value" line per entry, each
// ended by CR LF, to the file text being built.
void writeIniSection(std::string& fileText, const std::string& section, const std::vector<IniEntry>& entries);

// The profile lookup rules, exposed for the tests and for anyone who needs
// one raw value: section and key compare case-insensitively, the first
// occurrence wins. False when the key is missing.
bool findIniValue(const std::string& text, const std::string& section, const std::string& key, std::string& value);

// A number as the profile functions read it: optional sign, decimal digits,
// stop at the first other character. Empty text gives the default; text that
// does not begin with a number gives 0.
int32_t parseIniInt(const std::string& text, int32_t defaultValue);

}  // namespace ini
