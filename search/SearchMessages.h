// The four status texts of the search window: every press ends with one of them.
#pragma once

namespace search {

constexpr char FOUND_IN_TITLE[] = "タイトルに見つかりました。";
constexpr char FOUND_IN_MEMO[] = "メモに見つかりました。";
constexpr char SEARCHED_TO_END[] = "最後まで検索しました。";
constexpr char BACK_AT_START_PAGE[] = "開始ページまで検索しました。";

}  // namespace search
