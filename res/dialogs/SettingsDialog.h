// Control ids of the SettingsDialog dialog template(s).
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)  // labels and notes
#endif

// the frame: tab control, OK and Cancel
#define IDD_SETTINGS              138
#define IDC_SETTINGS_TAB          1019

// tab "ページ一覧"
#define IDD_SETTINGS_PAGES        141
#define IDC_SET_AUTO_BOOKMARK     1019
#define IDC_SET_AUTO_EDIT         1017
#define IDC_SET_AUTO_DATE         1037
#define IDC_SET_DATE_FORMAT       1038
#define IDC_SET_PARENT_SEC        1021
#define IDC_SET_DELETE_DIALOG     1016
#define IDC_SET_EXIT_BOOKMARK     1020
#define IDC_SET_EXIT_SCROLL       1049

// tab "バックアップ"
#define IDD_SETTINGS_BACKUP       148
#define IDC_SET_TIME_BACKUP       1005
#define IDC_SET_BACKUP_INTERVAL   1006
#define IDC_SET_EXIT_BACKUP       1007
#define IDC_SET_DELETE_BACKUP     1008
#define IDC_SET_BACKUP_FILES      1041

// tab "拡張設定"
#define IDD_SETTINGS_FOLDERS      142
#define IDC_SET_USE_DATA_DIR      1042
#define IDC_SET_USE_BACKUP_DIR    1043
#define IDC_SET_BROWSE_DATA_DIR   1044
#define IDC_SET_DATA_DIR          1045
#define IDC_SET_BROWSE_BACKUP_DIR 1046
#define IDC_SET_BACKUP_DIR        1047
