// Captions and texts of the settings dialogs' message boxes (code page 932 at compile time).
#pragma once

namespace settingsmessages {

constexpr char STANDARD_FONT_CAPTION[] = "標準フォントの適応";
constexpr char STANDARD_FONT_APPLY_TEXT[] = "全てのページに適応します。本当によろしいですか？";

constexpr char RESET_FONT_CAPTION[] = "このページのフォントを初期化";
constexpr char RESET_FONT_TEXT[] =
    "このページに設定しているフォント情報を削除してフォントを初期化します。\r\n"
    "（他のページには影響ありません。また、文字列は変わりません）\r\n本当によろしいですか？";

}  // namespace settingsmessages
