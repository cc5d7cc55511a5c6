// Control ids of the UsageWindow dialog template(s).
#pragma once

#define IDD_USAGE              140
#define IDC_USAGE_TEXT         1010  // the read-only text box
#define IDC_USAGE_BASIC        1011  // "基本操作"
#define IDC_USAGE_EASY         1012  // "簡単な使い方"
#define IDC_USAGE_CLOSE        1013  // "閉じる"
#define IDC_HOWTO_DONT_SHOW    1014  // "次回から起動時に表示しない", read at exit
#define IDC_USAGE_MORE         1015  // "その他の機能"
