// Message-box captions and texts of the page import and export.
#pragma once

namespace iomessages {

constexpr char SAVE_ALL_CAPTION[] = "ページ保存";
constexpr char NOT_AUTHENTICATED_TEXT[] = "未認証のため保存できません。";
constexpr char SAVE_ALL_DONE_CAPTION[] = "ページ保存の完了";
constexpr char SAVE_ALL_OK_TEXT[] = "全てのページを保存しました。";
constexpr char SAVE_ALL_FAILED_TEXT[] = "ページの保存に失敗しました。";

}  // namespace iomessages
