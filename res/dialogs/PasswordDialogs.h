// Control ids of the PasswordDialogs dialog template(s).
#pragma once

#define IDD_PASSWORD_REGISTER  149   // "パスワード登録"
#define IDD_PASSWORD_CHECK     150   // "認証"

#define IDC_PASSWORD_OK        1003  // "登録" / "OK"
#define IDC_PASSWORD_CANCEL    1004  // "キャンセル"
#define IDC_PASSWORD           1046
#define IDC_PASSWORD_AGAIN     1047  // registration only
#define IDC_PASSWORD_MESSAGE   1048  // red, on a transparent background
