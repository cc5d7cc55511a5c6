// The data file held for its page texts: a handle that is let go (a drive that dropped, a share
// after sleep) is opened again by path, and only the file that was read is read from.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "store/TextSource.h"
#include "support/TestApp.h"
#include "tests/common/FileBytes.h"

namespace {

TEST(TextSourceWin, OpenedAgainOnlyWhenItIsTheFileThatWasRead) {
    const struct {
        const char* name;
        bool replaced;  // another file of the same size put in its place meanwhile
    } cases[] = {{"the same file back", false}, {"another file of the same size", true}};
    for (const auto& c : cases) {
        testapp::TempFolder folder;
        const std::string path = folder.file("book.qpd");
        ASSERT_TRUE(testcommon::writeFile(path, std::string(64, 'a')));
        const TextSourcePtr source = openTextSource(path);
        ASSERT_TRUE(source);
        source->release();  // the handle is gone, as after a drive dropped
        if (c.replaced) {
            const std::string other = folder.file("other.qpd");
            ASSERT_TRUE(testcommon::writeFile(other, std::string(64, 'b')));
            ASSERT_TRUE(MoveFileExA(other.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING));
        }
        char bytes[8] = {};
        EXPECT_EQ(!c.replaced, source->read(10, bytes, sizeof bytes)) << c.name;
        if (!c.replaced) {
            EXPECT_EQ(std::string(8, 'a'), std::string(bytes, sizeof bytes));
        }
    }
}

}  // namespace
