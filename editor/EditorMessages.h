// Captions and texts of the memo editor's message boxes.
#pragma once

namespace editormessages {

// A paste that would carry the page past the editor's text limit is refused whole.
const char PASTE_TOO_LONG_CAPTION[] = "貼り付け";
// %lu: the text limit in characters.
const char PASTE_TOO_LONG_TEXT[] =
    "貼り付ける文字が多すぎるため、貼り付けられません。\r\n\r\n1ページに入る文字数は%lu文字までです。";

}  // namespace editormessages
