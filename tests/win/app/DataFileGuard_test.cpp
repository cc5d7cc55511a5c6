// Another program puts a book where the data file is while the program runs (a sync client
// bringing the other PC's copy): the next save never overwrites it unseen, whichever version
// the user keeps. (A rename over the file the program holds open is refused under Wine, so the
// other version arrives where the first start has no data file yet.)
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/AppMessages.h"
#include "app/BookLoad.h"
#include "app/DataFileGuard.h"
#include "app/DataFileWatch.h"
#include "app/Lifecycle.h"
#include "app/PageDisplay.h"
#include "store/DataFile.h"
#include "tests/win/app/AppTestSupport.h"

using namespace apptest;

namespace {

// The text of the second page of the book in `path`; empty when it cannot be read.
std::string secondPageText(const std::string& path) {
    PageTable table;
    DataFileHeader header;
    VersionBlock version;
    if (!readDataFile(path, table, header, version) || table.count() < 2) return std::string();
    return table.recordAt(1).text;
}

class DataFileGuardTest : public MainWindowTest {
protected:
    // The other PC's book arrives by rename; this window then saves with the answer given.
    void arrive() {
        CreateDirectoryA(gApp.paths.backupFolder.c_str(), nullptr);
        select(itemAt(1));
        typeText("from the other PC");
        const std::string other = folder.file("other.qpd");
        pagedisplay::storeShownPage();  // as every save's caller does
        ASSERT_TRUE(bookload::saveFromUi(other, SaveKind::ExitData));
        typeText(" and from this window");
        ASSERT_TRUE(MoveFileExA(other.c_str(), data().c_str(), MOVEFILE_REPLACE_EXISTING)) << GetLastError();
    }
    void arriveAndSave(int answer) {
        arrive();
        testsupport::DialogAnswerer choose(answer, appmessages::OTHER_VERSION_CAPTION);
        pagedisplay::storeShownPage();
        EXPECT_TRUE(lifecycle::saveBook(window, false));
        ASSERT_EQ(1, choose.answered());
        checkAsked(choose);
    }
    void checkAsked(const testsupport::DialogAnswerer& choose) {
        kept = datafileguard::lastKeptAside();
        EXPECT_NE(std::string::npos, choose.texts()[0].find(kept)) << "the user is told where it went";
        keptText = secondPageText(kept);
        EXPECT_NE(std::string::npos, keptText.find("from the other PC"));
        EXPECT_EQ(std::string::npos, keptText.find("this window"));
        testsupport::DialogAnswerer none(IDCANCEL, appmessages::OTHER_VERSION_CAPTION);
        EXPECT_TRUE(lifecycle::saveBook(window, false));
        EXPECT_EQ(0, none.answered()) << "asked once: the version chosen is the program's own again";
    }
    std::string data() const { return gApp.paths.dataFilePath; }
    std::string kept, keptText;
};

TEST_F(DataFileGuardTest, KeepingThisWindowsBookSavesItAndTheOtherStaysAside) {
    arriveAndSave(IDNO);
    EXPECT_NE(std::string::npos, secondPageText(data()).find("and from this window"));
}

TEST_F(DataFileGuardTest, LoadingTheOtherVersionKeepsThisWindowsBookInABackupSlot) {
    arriveAndSave(IDYES);
    EXPECT_EQ(keptText, secondPageText(data()));
    EXPECT_NE(std::string::npos, secondPageText(gApp.paths.backupSlotPaths[0]).find("and from this window"));
    select(itemAt(1));
    EXPECT_EQ(std::string::npos, editorText().find("this window"));
}

// No save needed: the folder reports the change, and keeping this window's book writes it back
// at once (the other version aside).
TEST_F(DataFileGuardTest, AChangeTheFolderReportsIsLookedAtBeforeAnySave) {
    datafilewatch::setEnabled(true);
    datafilewatch::watch(window, data(), lifecycle::lookAtDataFile);
    arrive();
    testsupport::DialogAnswerer choose(IDNO, appmessages::OTHER_VERSION_CAPTION);
    for (int i = 0; i < 200 && choose.answered() == 0; ++i) {
        Sleep(50);
        testapp::pumpMessages();
    }
    datafilewatch::stop();
    datafilewatch::setEnabled(false);
    ASSERT_EQ(1, choose.answered());
    checkAsked(choose);
    EXPECT_NE(std::string::npos, secondPageText(data()).find("and from this window"));
}

}  // namespace

namespace {

// The third answer: the two versions merged page by page; the page both changed is kept twice.
TEST_F(DataFileGuardTest, MergingKeepsBothVersionsOfAPageChangedOnBothSides) {
    arrive();
    testsupport::DialogAnswerer choose(1000, appmessages::OTHER_VERSION_CAPTION), told(IDOK, appmessages::MERGE_CAPTION);
    pagedisplay::storeShownPage();
    EXPECT_TRUE(lifecycle::saveBook(window, false));
    ASSERT_EQ(1, choose.answered());
    ASSERT_EQ(1, told.answered());
    PageTable table;
    DataFileHeader header;
    VersionBlock version;
    ASSERT_TRUE(readDataFile(data(), table, header, version));
    int ours = 0, theirs = 0;
    for (int i = 0; i < table.count(); ++i) {
        const std::string& text = table.recordAt(i).text;
        if (text.find("and from this window") != std::string::npos) ++ours;
        else if (text.find("from the other PC") != std::string::npos) ++theirs;
    }
    EXPECT_EQ(1, ours);
    EXPECT_EQ(1, theirs);
}

}  // namespace
