// Control ids of the RestoreDialog dialog template(s).
#pragma once

#define IDD_RESTORE        139
#define IDC_RESTORE_LIST   1009
