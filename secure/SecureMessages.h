// What the secure-page code says to the user: message-box captions and texts,
// and the red message line of the two password dialogs.
#pragma once

namespace securemsg {

// the password dialogs' message line
const char PASSWORD_TOO_SHORT[] = "パスワードは8文字以上 入力してください。";
const char PASSWORDS_DIFFER[] = "入力した２つのパスワードが異なっています。再入力してください。";
const char PASSWORD_WRONG[] = "パスワードが違います。";
const char PASSWORD_TOO_LONG[] = "パスワードは半角32文字（全角16文字）までです。";
// "%s" is the character: a password is kept in Shift_JIS, so the book stays openable with it
const char PASSWORD_CHARACTER_FORMAT[] = "パスワードの %s は Shift_JIS で表せないため使えません。";

// captions: the command or occasion the message belongs to
const char MAKE_SECURE_CAPTION[] = "セキュアページに指定";
const char MAKE_ORDINARY_CAPTION[] = "セキュアページを解除";
const char SECURE_PAGE_CAPTION[] = "セキュアページ";

const char ENCRYPT_FAILED[] = "暗号化に失敗しました。";
const char REGISTER_FAILED[] = "パスワードを登録できませんでした。";
const char DECRYPT_FAILED[] = "このページを復号できませんでした。\r\nページは暗号化されたまま変更されません。";

}  // namespace securemsg
