// Control ids of the SearchWindow dialog template(s).
#pragma once

#define IDD_SEARCH             146
#define IDC_SEARCH_NEXT        1028
#define IDC_SEARCH_TEXT        1029
#define IDC_SEARCH_MATCH_CASE  1030
#define IDC_SEARCH_UP          1031
#define IDC_SEARCH_ALL         1032
#define IDC_SEARCH_TITLES      1033
#define IDC_SEARCH_MEMOS       1034
#define IDC_SEARCH_THIS_MEMO   1035
#define IDC_SEARCH_STATUS      1036
