// Captions and texts of the settings dialogs' message boxes (code page 932 at compile time).
#pragma once

namespace settingsmessages {

constexpr char STANDARD_FONT_CAPTION[] = "標準フォントの適応";
constexpr char STANDARD_FONT_APPLY_TEXT[] = "全てのページに適応します。本当によろしいですか？";

constexpr char RESET_FONT_CAPTION[] = "このページのフォントを初期化";
constexpr char RESET_FONT_TEXT[] =
    "このページに設定しているフォント情報を削除してフォントを初期化します。\r\n"
    "（他のページには影響ありません。また、文字列は変わりません）\r\n本当によろしいですか？";

// The settings dialog's OK refused a folder; the dialog stays open.
constexpr char FOLDER_REFUSED_CAPTION[] = "保存先の変更";
constexpr char FOLDER_UNREACHABLE_TEXT[] =
    "選んだ保存先に届かないため、変更できません。\n別のフォルダを選ぶか、保存先を使えるようにしてからOKを押してください"
    "。\n\n";
// then the folder, the reason
constexpr char OTHER_BOOK_BACKUPS_TEXT[] =
    "選んだバックアップの保存先には、別のデータのバックアップファイルがあります。\n\n";
// then the folder
constexpr char OTHER_BOOK_BACKUPS_HINT[] =
    "\n\nこのまま使うと、それらが古いものから上書きされてしまいます。\n"
    "別のフォルダを選ぶか、そのフォルダを空にしてから選び直してください。";

// A name the files keep in Shift_JIS (a folder, a file, a font) holds a character that
// Shift_JIS cannot hold: "%s" is that character; the name is not taken.
constexpr char PATH_CHARACTER_CAPTION[] = "使えない文字";
constexpr char PATH_CHARACTER_FORMAT[] =
    "名前にある %s は Shift_JIS で表せない文字のため、この場所は使えません。\n別の名前の場所を選んでください。";
constexpr char FONT_CHARACTER_FORMAT[] =
    "フォント名にある %s は Shift_JIS で表せない文字のため、このフォントは使えません。";
constexpr char FOLDER_CHARACTER_FORMAT[] =
    "保存先にある %s は Shift_JIS で表せない文字のため、設定ファイルに保存できません。\n別の名前のフォルダを選んでください。";

}  // namespace settingsmessages
