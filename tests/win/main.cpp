// The in-process Windows tests: the program's own code, real controls, one UI thread.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "app/DataFileWatch.h"

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    testing::InitGoogleTest(&argc, argv);
    // tests write data files behind their windows; the look from outside is tested on its own
    datafilewatch::setEnabled(false);
    return RUN_ALL_TESTS();
}
