// Resource ids of the program. Numbers are fixed: strings and resources are looked up by them.
#pragma once

// ---- strings: start-up, paths and names
#define IDS_APP_TITLE          104   // "キルト帳"
#define IDS_APP_VERSION        105   // "version 3.21"
#define IDS_CLASS_NAME         109   // "QUILTPAD"
#define IDS_SOFT_ID            114   // "qpad300"
#define IDS_SOFT_ID2           115   // "qpad300"
#define IDS_INI_NAME           116   // "quiltpad.ini"
#define IDS_INI_FOLDER         117   // "data"
#define IDS_DATA_NAME          118   // "quiltpad.qpd"
#define IDS_DATA_FOLDER        119   // "data"
#define IDS_BACKUP_DATA_FOLDER 122   // "data"
#define IDS_BACKUP_PATTERN     123   // "backup%02d.qpd"
#define IDS_BACKUP_FOLDER      124   // "backup"

// ---- menu and accelerators
#define IDM_MAIN               109
#define IDA_MAIN               109

// ---- icons
#define IDI_APP                129
#define IDI_APP_SMALL          135

// ---- toolbar tooltips, page-list icons, toolbar bitmap (main window)
#define IDS_TIP_ADD_PAGE       108   // "新しいページを追加します"
#define IDS_TIP_ADD_FOLDER     110   // "新しいフォルダを追加します"
#define IDS_TIP_DELETE         111   // "ページやフォルダを削除します"
#define IDS_TIP_TOPMOST        112   // "常に前面に表示します"
#define IDS_TIP_EDIT_TITLE     113   // "タイトルを編集します"
#define IDS_TIP_TEXT_COLOUR    120   // "文字色を変更します"
#define IDS_TIP_FONT           121   // "フォントを変更します"
#define IDB_TOOLBAR            134   // seven 40 x 36 button images
#define IDI_PAGE               130   // page-list icons, by image index: 0
#define IDI_PAGE_SEL           131   // 1
#define IDI_FOLDER             132   // 2
#define IDI_FOLDER_SEL         133   // 3
#define IDI_FOLDER_MARK        136   // 6, 7
#define IDI_PAGE_MARK          137   // 4, 5
#define IDI_SPAGE_MARK         148   // 12, 13
#define IDI_SPAGE              149   // 8
#define IDI_SPAGE_SEL          150   // 9
#define IDI_SFOLDER_MARK       151   // 14, 15
#define IDI_SFOLDER            152   // 10
#define IDI_SFOLDER_SEL        153   // 11

// ---- commands

// ---- dialogs
