// Captions and texts of the message boxes of reading and writing files.
#pragma once

namespace iomessages {

// Saving all pages: refused without the password, then the closing message.
inline constexpr char SAVE_ALL_CAPTION[] = "ページ保存";
inline constexpr char NOT_AUTHENTICATED_TEXT[] = "未認証のため保存できません。";
inline constexpr char SAVE_ALL_DONE_CAPTION[] = "ページ保存の完了";
inline constexpr char SAVE_ALL_OK_TEXT[] = "全てのページを保存しました。";
inline constexpr char SAVE_ALL_FAILED_TEXT[] = "ページの保存に失敗しました。";

// A file whose text would not fit a page: the path and the page's limit are filled in.
inline constexpr char READ_CAPTION[] = "ファイルの読み込み";
inline constexpr char TOO_LARGE_FORMAT[] =
    "ファイルが大きすぎるため読み込めません。\r\n%s\r\n\r\n1ページに入る文字数は%lu文字までです。";

// A file that could not be opened or read: the path is filled in.
inline constexpr char NOT_READ_FORMAT[] = "ファイルを読み込めませんでした。\r\n%s";

// A page that could not be written to the chosen file: the path is filled in.
inline constexpr char SAVE_PAGE_CAPTION[] = "ページの保存";
inline constexpr char NOT_WRITTEN_FORMAT[] = "ファイルに書き込めませんでした。\r\n%s";
// A page holding characters that Shift_JIS cannot hold was written as UTF-8.
inline constexpr char SAVED_AS_UTF8_TEXT[] =
    "このページには Shift_JIS で保存できない文字があるため、UTF-8 (BOM 付き) で保存しました。";

// The desktop shortcut: the question, the confirmation naming the link, and the
// report when no link file could be written; the link's names.
inline constexpr char SHORTCUT_CAPTION[] = "ショートカットの作成";
inline constexpr char SHORTCUT_QUESTION[] =
    "デスクトップにショートカットを作成すると、すぐに起動できるので便利です。\r\n\r\n"
    "ショートカットを作成しますか？";
inline constexpr char SHORTCUT_CREATED_FORMAT[] = "デスクトップにショートカット 「 %s 」 を作成しました。";
inline constexpr char SHORTCUT_FAILED_TEXT[] = "デスクトップにショートカットを作成できませんでした。";
inline constexpr char SHORTCUT_BASE_NAME[] = "キルト帳";
inline constexpr char SHORTCUT_NUMBERED_FORMAT[] = "キルト帳-%d";
inline constexpr char SHORTCUT_EXTENSION[] = ".lnk";

}  // namespace iomessages
