// The built-in texts of the help windows (code page 932 once compiled).
#pragma once

namespace help {

// The usage window's three texts: a framed heading, two empty lines, then the lines.
const char USAGE_EASY_TEXT[] =
    "** キルト帳はかんたんな操作でメモをとれるソフトです **\r\n"
    "\r\n"
    "\r\n"
    "ウィンドウ左側のページ一覧でページを選んで、\r\n"
    "右側のメモ欄にメモを書き込みます。\r\n"
    "\r\n"
    "データは自動的に保存されるので、いつ終了してもかまいません。";

const char USAGE_BASIC_TEXT[] =
    "** よく使用する基本操作です **\r\n"
    "\r\n"
    "\r\n"
    "■ページ追加\r\n"
    "　ツールバーの一番左のボタンを押します。\r\n"
    "\r\n"
    "■フォルダ追加\r\n"
    "　ツールバーの左から２番目のボタンを押します。\r\n"
    "\r\n"
    "■タイトル変更\r\n"
    "　ツールバーの左から３番目のボタンを押します。";

const char USAGE_MORE_TEXT[] =
    "** その他の機能について **\r\n"
    "\r\n"
    "\r\n"
    "キルト帳には、このほかにも便利な機能がそろっています。\r\n"
    "詳しい内容は メニューから[ヘルプ]→[HTML説明書] に画像付きで紹介しています。\r\n"
    "\r\n"
    "・大切なページの暗号化機能\r\n"
    "・バックアップ機能\r\n"
    "・ドラッグ＆ドロップによるページの移動\r\n"
    "・テキスト形式でのコピー/ペースト\r\n"
    "・背景色のカスタマイズ";

// The about box's two fonts.
const char ABOUT_FONT_FACE[] = "ＭＳ ゴシック";

}  // namespace help
