// Control ids of the ColourSchemeDialog dialog template(s).
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)  // labels and notes
#endif

#define IDD_COLOUR_SCHEME           143
#define IDC_SCHEME_WINDOW_COLOURS   1023
#define IDC_SCHEME_LIST_TEXT        1024
#define IDC_SCHEME_MEMO_BACK        1025
#define IDC_SCHEME_LIST_BACK        1026
#define IDC_SCHEME_DEFAULTS         1027
