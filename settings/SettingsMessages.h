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

}  // namespace settingsmessages
