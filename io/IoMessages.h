// Captions and texts of the message boxes of reading and writing files.
#pragma once

namespace iomessages {

// Saving all pages: refused without the password, then the closing message.
inline constexpr char SAVE_ALL_CAPTION[] = "ページ保存";
inline constexpr char NOT_AUTHENTICATED_TEXT[] = "未認証のため保存できません。";
inline constexpr char SAVE_ALL_DONE_CAPTION[] = "ページ保存の完了";
inline constexpr char SAVE_ALL_OK_TEXT[] = "全てのページを保存しました。";
inline constexpr char SAVE_ALL_FAILED_TEXT[] = "ページの保存に失敗しました。";

}  // namespace iomessages
