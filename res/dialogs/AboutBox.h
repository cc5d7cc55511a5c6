// Control ids of the AboutBox dialog template(s).
#pragma once

#define IDD_ABOUT              103
#define IDC_ABOUT_DESCRIPTION  1000  // read-only text: string 107
#define IDC_ABOUT_NAME         1001  // product name: string 104
#define IDC_ABOUT_VERSION      1002  // version text: string 105
#define IDC_ABOUT_OK           1003
// The rights notice sits in the one unnumbered text static (id -1, like the icon).

#define IDS_ABOUT_NOTICE       106   // rights notice
#define IDS_ABOUT_DESCRIPTION  107   // what the program is, release and creation dates
