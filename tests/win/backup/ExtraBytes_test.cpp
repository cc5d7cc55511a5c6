// A data file with bytes after its last record loads, and the whole file is kept aside.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>

#include "app/BookLoad.h"
#include "app/PageDisplay.h"
#include "backup/BackupMessages.h"
#include "support/DialogAnswerer.h"
#include "tests/common/FileBytes.h"
#include "tests/win/app/AppTestSupport.h"

namespace {

using namespace apptest;

using ExtraBytesTest = MainWindowTest;

TEST_F(ExtraBytesTest, TheBookLoadsWholeAndTheOriginalIsKeptBesideIt) {
    const std::string data = gApp.paths.dataFilePath;
    select(itemAt(2));
    typeText("third page");
    pagedisplay::storeShownPage();
    ASSERT_TRUE(bookload::saveFromUi(data, SaveKind::ExitData));
    gBook.pages.clear();  // the program lets go of its data file before another one writes it
    std::ofstream(data, std::ios::binary | std::ios::app) << "stray";
    const std::string original = testcommon::readFile(data);

    testsupport::DialogAnswerer told(IDOK, backup::messages::EXTRA_BYTES_CAPTION);
    ASSERT_TRUE(bookload::loadIntoUi(window, data));
    ASSERT_EQ(told.answered(), 1);
    EXPECT_EQ(gBook.pages.count(), 3) << "every counted record";
    select(itemAt(2));
    EXPECT_EQ(editorText(), "third page");

    const std::string& text = told.texts()[0];
    const std::string intro = backup::messages::EXTRA_BYTES_TEXT;
    ASSERT_EQ(text.compare(0, intro.size(), intro), 0) << text;
    const std::string kept = text.substr(intro.size());
    EXPECT_EQ(kept.compare(0, data.size() + 1, data + "."), 0) << kept;
    EXPECT_EQ(kept.size(), data.size() + 15) << "a 14-digit stamp";
    EXPECT_EQ(testcommon::readFile(kept), original);
}

}  // namespace
