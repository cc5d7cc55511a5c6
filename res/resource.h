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

// ---- child windows of the main window
#define IDC_MEMO_EDITOR        1000
#define IDC_PAGE_LIST          1004
#define IDC_TOOLBAR            1006

// ---- commands
#define IDM_ABOUT              104
#define IDM_EXIT               105
#define IDM_BLANK              1011  // toolbar spacers: no handler
#define IDM_UNDO               32778
#define IDM_REDO               32779
#define IDM_CUT                32780
#define IDM_COPY               32781
#define IDM_PASTE              32782
#define IDM_CLEAR              32783
#define IDM_SELECT_ALL         32784
#define IDM_EDIT_TITLE         32789
#define IDM_ADD_PAGE           32790
#define IDM_ADD_FOLDER         32791
#define IDM_DELETE_PAGE        32792
#define IDM_LIST_LINES         32799
#define IDM_WORD_WRAP          32800
#define IDM_LINK_DISPLAY       32823
#define IDM_COPY_AS_TEXT       32827
#define IDM_PASTE_AS_TEXT      32828
#define IDM_SET_BOOKMARK       32831
#define IDM_ALWAYS_ON_TOP      32835
#define IDM_FONT               32838
#define IDM_TEXT_COLOUR        32839
#define IDM_STANDARD_FONT      32842
#define IDM_SETTINGS           32844
#define IDM_SAVE_PAGE          32846
#define IDM_SHORTCUT           32850
#define IDM_READ_PAGE          32852
#define IDM_RESTORE            32856
#define IDM_USAGE              32859
#define IDM_MANUAL             32861
#define IDM_FOCUS_LIST         32868
#define IDM_FOCUS_EDITOR       32869
#define IDM_MAXIMIZE           32877
#define IDM_MINIMIZE           32882
#define IDM_RESTORE_WINDOW     32887
#define IDM_COLOUR_SCHEME      32899
#define IDM_SEARCH             32901
#define IDM_INSERT_DATE        32905
#define IDM_FACE               32917
#define IDM_SIZE               32918
#define IDM_BOLD               32919
#define IDM_ITALIC             32920
#define IDM_UNDERLINE          32923
#define IDM_STRIKE_OUT         32924
#define IDM_LAST_COLOUR        32945
#define IDM_LAST_FONT          32946
#define IDM_RESET_PAGE_FONT    32958
#define IDM_COPY_PAGE          32962
#define IDM_PASTE_PAGE         32963
#define IDM_SAVE_ALL_RTF       32969
#define IDM_MAKE_SECURE        32974
#define IDM_MAKE_ORDINARY      32976
#define IDM_NEXT_PAGE          32981
#define IDM_PREVIOUS_PAGE      32983
#define IDM_COLLAPSE_FOLDERS   32992
#define IDM_OPEN_BOOKMARK      32994

// ---- dialogs: one template file and one id header per dialog, in res/dialogs/
#include "dialogs/AboutBox.h"
#include "dialogs/ColourSchemeDialog.h"
#include "dialogs/PasswordDialogs.h"
#include "dialogs/RestoreDialog.h"
#include "dialogs/SearchWindow.h"
#include "dialogs/SettingsDialog.h"
#include "dialogs/StandardFontDialog.h"
#include "dialogs/UsageWindow.h"
