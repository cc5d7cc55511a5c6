// Texts of the desktop shortcut command (code page 932 once compiled).
#pragma once

namespace shortcut {

const char CAPTION[] = "ショートカットの作成";
const char QUESTION[] =
    "デスクトップにショートカットを作成すると、すぐに起動できるので便利です。\r\n\r\n"
    "ショートカットを作成しますか？";
const char CREATED_FORMAT[] = "デスクトップにショートカット 「 %s 」 を作成しました。";
// Shown instead of the confirmation when no link file could be written.
const char FAILED_TEXT[] = "デスクトップにショートカットを作成できませんでした。";

const char BASE_NAME[] = "キルト帳";
const char NUMBERED_FORMAT[] = "キルト帳-%d";
const char EXTENSION[] = ".lnk";

}  // namespace shortcut
