// Whether the program can keep its files in its own folder: checked once at start,
// before anything is read or written. A folder the program cannot use is named
// to the user with what to do, and the program ends without writing anything.
#pragma once
#include <windows.h>

#include <cstddef>
#include <string>

namespace programfolder {

enum class Problem {
    None,
    OutsideCodePage,  // the folder's path holds a character code page 932 cannot hold
    TooLong,          // the longest file the program makes below the folder passes 259 bytes
    NotWritable,      // a read-only folder, a CD, a folder of another user
};

// The texts of the box; each is followed by an empty line and the folder.
inline constexpr char OUTSIDE_CODE_PAGE_TEXT[] =
    "キルト帳のフォルダの場所に、日本語のWindowsで扱えない文字（韓国語の文字や絵文字など）が含まれているため、"
    "データを保存する場所を決められません。キルト帳を終了します。\n\n"
    "キルト帳のフォルダを、日本語と英数字だけの名前のフォルダ（例: ドキュメント）へ移動してから起動し直してください。";
inline constexpr char TOO_LONG_TEXT[] =
    "キルト帳のフォルダの場所が長すぎるため、データを保存できません。キルト帳を終了します。\n\n"
    "キルト帳のフォルダを、もっと短い場所（例: D:\\Tools）へ移動してから起動し直してください。";
inline constexpr char NOT_WRITABLE_TEXT[] =
    "キルト帳のフォルダに書き込むことが出来ないため、ブックや設定を保存できません。キルト帳を終了します。\n"
    "（読み取り専用のフォルダやCD-ROM、「Program Files」の中には保存できません。）\n\n"
    "キルト帳のフォルダを、書き込みのできる場所（例: ドキュメント）へコピーしてから起動し直してください。";

// The longest name the program forms below its folder: a stamped copy of an unusable
// book, "\data\quiltpad.qpd" + ".YYYYMMDDhhmmss" + "-(99)" (38 bytes).
inline constexpr std::size_t LONGEST_TAIL = sizeof "\\data\\quiltpad.qpd.20261207153000-(99)" - 1;
// So the folder itself may be at most this long, in code page 932 bytes.
inline constexpr std::size_t LONGEST_FOLDER = MAX_PATH - 1 - LONGEST_TAIL;

// The folder of the executable as the wide functions see it, without a trailing backslash.
std::wstring wideFolder();

// Checks the folder of the running executable in the order of Problem. The write
// check makes a file that goes away when its handle closes.
Problem check();

// Checks, and tells the user when the folder cannot be used (a box with this caption).
// Returns false when the program must end.
bool usable(const std::string& caption);

}  // namespace programfolder
