// Captions and texts of the backup and restore message boxes (code page 932).
#pragma once

namespace backup::messages {

// The restore dialog.
constexpr char RESTORE_CAPTION[] = "データの復元";
constexpr char RESTORE_CONFIRM[] = "バックアップデータを読み込みます。よろしいですか？";
constexpr char LOAD_FAILED_CAPTION[] = "データを読み込むことが出来ませんでした";
constexpr char LOAD_FAILED_TEXT[] = "利用不可能なデータファイルのため、\nデータを読み込むことが出来ませんでした。";
constexpr char RESTORED_CAPTION[] = "復元の完了";
constexpr char RESTORED_TEXT[] = "現在のデータは「復元前のデータ」として保存しました。";
// The current book could not be written first: restoring now would lose it.
constexpr char SAVE_FAILED_TEXT[] =
    "現在のデータをデータファイルに保存できなかったため、復元を中止しました。\n\n"
    "ディスクの空きや書き込み権限を確かめてから、もう一度お試しください。";
// The chosen slot is gone (or cut short) since the list was made; then its path.
constexpr char SLOT_GONE_TEXT[] =
    "選択したバックアップファイルが見つからないため、復元を中止しました。\n"
    "一覧を作り直しましたので、もう一度選んでください。\n\n";
// The restored book could not be written to the data file: the restore is taken
// back. When even that fails, or the book from before cannot take the slot's
// place, the file that keeps it is named after the text.
constexpr char RESTORE_STOPPED_CAPTION[] = "復元の中止";
constexpr char NOT_WRITTEN_UNDONE_TEXT[] =
    "復元したデータをデータファイルに保存できなかったため、復元を取り消しました。\n\n"
    "ディスクの空きや書き込み権限を確かめてから、もう一度お試しください。";
constexpr char NOT_KEPT_TEXT[] =
    "現在のデータを「復元前のデータ」としてバックアップに残すことが出来ませんでした。\n"
    "次のファイルに残してあります。別の場所にコピーしてください。\n\n";

// The automatic restore at start-up.
constexpr char AUTO_RESTORED_CAPTION[] = "読み込みデータの自動バックアップ";
constexpr char AUTO_RESTORED_TEXT[] =
    "データファイルの読み込みに失敗したため、自動的に最新のバックアップファイルを読み込みました。\n\n";
constexpr char AUTO_RESTORED_FILE[] = "読み込み失敗ファイル：";
constexpr char START_EMPTY_CAPTION[] = "データを読み込むことが出来ませんでした";
// A data file that cannot even be copied aside (another program holds it) is
// never replaced by a backup: the program ends without writing; then the path.
constexpr char DATA_FILE_BUSY_TEXT[] =
    "データファイルを読み込むことも、控えを残すことも出来ませんでした。\n"
    "ほかのプログラムが使っていないか確かめてから、もう一度起動してください。\n\n";
constexpr char START_EMPTY_QUESTION[] =
    "は\n利用不可能なデータファイルです\nまた、バックアップファイルからの自動復元は出来ませんでした。\n\n"
    "データファイルの内容を初期化してもよろしいですか？";
// The unusable data file still shows its book number, no backup of that book could be read,
// and another book's backups were passed over (they are never loaded in its place).
constexpr char NO_OWN_BACKUP_QUESTION[] =
    "は\n利用不可能なデータファイルです\nまた、このデータファイルのブックのバックアップファイルで"
    "読み込めるものが無かったため、自動復元は出来ませんでした。\n"
    "（別のブックのバックアップファイルは読み込みません）\n\n"
    "データファイルの内容を初期化してもよろしいですか？";

// A data file with bytes after its last record, kept aside before it is next written.
constexpr char EXTRA_BYTES_CAPTION[] = "データファイルの確認";
constexpr char EXTRA_BYTES_TEXT[] =
    "データファイルの最後のページの後ろに、読み込めない余分なデータがありました。\n"
    "ページはすべて読み込みました。元のファイルは次の名前で残してあります。\n\n";
// No copy could be made: the next save writes the book without those bytes; then the path.
constexpr char EXTRA_BYTES_NOT_KEPT_TEXT[] =
    "データファイルの最後のページの後ろに、読み込めない余分なデータがありました。\n"
    "ページはすべて読み込みましたが、元のファイルの控えを残すことが出来ませんでした。\n"
    "次の保存で余分なデータは失われます。残したい場合は、保存される前に次のファイルを別の場所へコピーしてください。\n"
    "\n";

}  // namespace backup::messages
