// Control ids of the StandardFontDialog dialog template(s).
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)  // labels and notes
#endif

#define IDD_STANDARD_FONT           147
#define IDC_STDFONT_CHOOSE_FONT     1040
#define IDC_STDFONT_CHOOSE_COLOUR   1041
#define IDC_STDFONT_APPLY_FONT      1039
#define IDC_STDFONT_APPLY_COLOUR    4
#define IDC_STDFONT_APPLY_BOTH      5
