// Captions and texts of the application shell's message boxes, in one place.
#pragma once

namespace appmessages {

// Saving at exit failed: the box's caption is the program's title.
inline constexpr char SAVE_FAILED_TEXT[] = "データファイルに書き込むことが出来ませんでした。\n\n";  // then the path
inline constexpr char SAVE_FAILED_HINT[] =
    "\n\nディスクの空きや書き込み権限を確かめてから「再試行」を押してください。"
    "\nキャンセルを押すと、変更は保存されずに終了します。";

// The data file's place cannot be reached at start (a missing drive or folder, a share
// offline, a device not ready, no permission, held by another program): nothing has been
// written; Retry reads again, Cancel ends without writing anything.
inline constexpr char UNREACHABLE_CAPTION[] = "データファイルを開けません";
inline constexpr char UNREACHABLE_TEXT[] = "データファイルを読み込むことが出来ませんでした。\n\n";  // then the path
inline constexpr char UNREACHABLE_REASON[] = "\n\n理由：";                                          // then the reason
inline constexpr char UNREACHABLE_HINT[] =
    "\n\n保存先を使えるようにしてから「再試行」を押してください。"
    "\nキャンセルを押すと、何も保存せずに終了します。";

// The settings file is there but cannot be read: this run uses the defaults and leaves the file as it is.
inline constexpr char SETTINGS_UNREADABLE_CAPTION[] = "設定ファイルを読み込めません";
inline constexpr char SETTINGS_UNREADABLE_TEXT[] =
    "設定ファイルを読み込むことが出来ません。\n"
    "他のプログラムが使っていないか確かめてから［再試行］を押してください。\n"
    "［キャンセル］を押すと、何も書き換えずに終了します。\n\n";  // then the path, the reason

// The page list could not be built for every page of the book just read: a save now would
// drop the pages it lacks, so nothing is written until another book is read whole.
inline constexpr char REBUILD_FAILED_CAPTION[] = "ページ一覧を作れません";
inline constexpr char REBUILD_FAILED_TEXT[] =
    "ページ一覧を作ることが出来なかったため、一部のページが表示されていません。\n"
    "ページを失わないよう、データファイルとバックアップには保存しません。\n"
    "ほかのプログラムを終了してから、キルト帳を起動し直してください。\n\n";  // then the path

// Deleting a page or a folder.
inline constexpr char DELETE_CAPTION[] = "削除";
inline constexpr char DELETE_PAGE_TEXT[] = "このページを削除します、本当によろしいですか？";
inline constexpr char DELETE_FOLDER_TEXT[] =
    "削除しようとしているのはフォルダです。\nフォルダを削除すると、フォルダ内のすべてのページも削除されます。\n\n"
    "本当によろしいですか？";

// Link display switched.
inline constexpr char LINK_CHANGED_CAPTION[] = "URLのリンク表示";
inline constexpr char LINK_CHANGED_TEXT[] = "URLのリンク表示を変更しました。\r\n次回のページ表示から有効になります。";

// Secure pages copied under another password than this book's: they could never be opened here.
inline constexpr char PASTE_CAPTION[] = "ページの貼り付け";
inline constexpr char PASTE_OTHER_PASSWORD_TEXT[] =
    "コピーしたページには、このブックとは別のパスワードで暗号化されたセキュアページが含まれているため、"
    "貼り付けられません。\n\nコピーする前に、セキュアページを解除してください。";

// The data folder or the backup folder changed to one that holds another book's files.
inline constexpr char FOLDER_CHANGED_CAPTION[] = "保存先の変更";
inline constexpr char OTHER_VERSION_MOVED_TEXT[] =
    "新しい保存先には、このブックの別の版がありました。\n"
    "このウィンドウのブックを保存する前に、その内容を次のファイルに保存しました。\n\n";  // then the copy
inline constexpr char OTHER_BOOK_KEPT_TEXT[] =
    "新しい保存先には、別のデータファイルがありました。\n"
    "上書きしないよう、次の名前に変えて残しました。\n\n";  // then the new name
inline constexpr char OTHER_BOOK_BUSY_TEXT[] =
    "新しい保存先にある別のデータファイルを、名前を変えて残すことが出来ませんでした。\n"
    "上書きしないよう、データファイルの保存先は変更していません。\n\n";  // then the path
inline constexpr char FOLDER_UNREACHABLE_TEXT[] =
    "新しい保存先に届かないため、データファイルの保存先は変更していません。\n\n";  // then the folder, the reason
inline constexpr char FOLDER_UNWRITABLE_TEXT[] =
    "新しい保存先にデータを書き込めなかったため、データファイルの保存先は変更していません。\n\n";  // then the path
inline constexpr char OTHER_BACKUPS_TEXT[] =
    "新しいバックアップの保存先には、別のデータのバックアップファイルがあります。\n"
    "これらもバックアップの順番に加わり、古いものから上書きされます。\n"
    "残したい場合は、先に別の場所へ移してください。\n\n";  // then the folder

// Why the session may not end yet, shown by Windows while a dialog or a command is in progress.
// A second start on a book that another user of this PC has open (its window cannot be raised).
inline constexpr char BOOK_OPEN_ELSEWHERE_TEXT[] =
    "このブックは、このパソコンの別のユーザーが開いています。\n"
    "そのユーザーがキルト帳を終了してから起動してください。\n\n";  // then the path
// A start on a book whose marker names another PC: the machine, the user and the time are filled in.
inline constexpr char OPEN_ON_ANOTHER_PC_TEXT[] = "このブックは、別のパソコン「";
inline constexpr char OPEN_ON_ANOTHER_PC_USER[] = "」で「";
inline constexpr char OPEN_ON_ANOTHER_PC_SINCE[] = "」さんが開いています（";
inline constexpr char OPEN_ON_ANOTHER_PC_QUESTION[] =
    " から）。\n\nこのまま開きますか？\n"
    "両方で編集しても、データファイルが書き換えられたときは確認し、どちらの内容もファイルに残します。\n\n"
    "［いいえ］開かずに終了します。";
// A conflicted copy a sync client left beside the data file: the question names it.
inline constexpr char MERGE_CAPTION[] = "同期ソフトが残したコピー";
inline constexpr char MERGE_QUESTION_TEXT[] =
    "同期ソフトが、二台のパソコンで同時に書き換えられたこのブックのコピーを残しました。\n";  // then the path
inline constexpr char MERGE_QUESTION_ASK[] =
    "\n\nこのコピーを、ページごとにこのブックへ結合しますか？\n"
    "両方で変更されたページは二つとも残します。結合する前のブックはバックアップに残します。\n\n"
    "［いいえ］結合しません（コピーはそのまま残ります）。";
inline constexpr char MERGED_FORMAT[] =
    "コピーを結合しました。\n\n"
    "追加したページ: %d\n変更を取り込んだページ: %d\n両方で変更されたため二つとも残したページ: %d\n"
    "一方で削除され、もう一方で変更されたため残したページ: %d\n移動したページ: %d\n削除したページ: %d\n\n"
    "コピーは次の名前で残しました。\n";  // then the new name
inline constexpr char MERGE_FAILED_TEXT[] = "コピーを結合できませんでした。ブックもコピーもそのままです。\n\n";  // then the path
inline constexpr wchar_t SESSION_WAITS_REASON[] = L"キルト帳の処理が終わるまでお待ちください。";
inline constexpr wchar_t EXIT_SAVE_WAITS_REASON[] =
    L"キルト帳のデータを保存できていません。キルト帳の画面で［再試行］か［キャンセル］を選んでください。";
// A page whose text stays in the data file, when the file can no longer be read there.
inline constexpr char UNREADABLE_PAGE_CAPTION[] = "ページの表示";
inline constexpr char UNREADABLE_PAGE_TEXT[] =
    "このページをデータファイルから読み込めませんでした。\n"
    "データファイルのあるドライブやネットワークが使えるか確かめてください。\n\n"
    "読み込めないあいだ、このページは表示されず、データファイルへの保存も出来ません。";

// A title edit holding a character the data file cannot keep: "%s" is that character.
inline constexpr char TITLE_CHARACTER_CAPTION[] = "タイトルの変更";
inline constexpr char TITLE_CHARACTER_FORMAT[] =
    "タイトルにある %s は Shift_JIS で表せない文字のため、タイトルに使えません。\n"
    "タイトルは元のままです。";

// Another program replaced the data file: its version was copied aside; the user chooses.
inline constexpr char OTHER_VERSION_CAPTION[] = "データファイルが置き換えられました";
inline constexpr char OTHER_VERSION_TEXT[] = "別のプログラム（同期ソフトなど）が、データファイルを書き換えました。\n";  // then the path
inline constexpr char OTHER_VERSION_KEPT[] = "\n\nその内容は、次のファイルに保存しました。\n";  // then the copy
inline constexpr char OTHER_VERSION_MERGE[] = "結合する";
inline constexpr char OTHER_VERSION_OPEN[] = "その内容を開く";
inline constexpr char OTHER_VERSION_KEEP[] = "このブックを使う";
inline constexpr char OTHER_VERSION_CHOICES[] =
    "\n\n結合する：ページごとに結合します。両方で変更したページは二つとも残します。\n"
    "その内容を開く：このウィンドウのブックはバックアップに残します。\n"
    "このブックを使う：このウィンドウのブックをデータファイルに保存します。";
// The same three choices where the task dialog is missing (a message box).
inline constexpr char OTHER_VERSION_QUESTION[] =
    "\n\n［はい］その内容を開きます。このウィンドウのブックはバックアップに残します。\n"
    "［いいえ］このウィンドウのブックを使い続け、データファイルに保存します。\n"
    "［キャンセル］ページごとに結合します。両方で変更したページは二つとも残します。";
// A page changed on both sides: the other version's copy is titled "title (データファイル)".
inline constexpr char OTHER_VERSION_ORIGIN[] = "データファイル";

}  // namespace appmessages
