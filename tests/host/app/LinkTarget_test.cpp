#include "app/LinkTarget.h"

#include <gtest/gtest.h>

namespace {

using linktarget::resolveLink;
using linktarget::Verb;

TEST(LinkTarget, WebLinksOpenAsTheyAre) {
    auto a = resolveLink("https://example.com/x", "C:\\Q");
    EXPECT_EQ(a.verb, Verb::Default);
    EXPECT_EQ(a.target, "https://example.com/x");
    // the test is case-sensitive, as the program always was
    EXPECT_EQ(resolveLink("HTTP://example.com", "C:\\Q").verb, Verb::None);
}

TEST(LinkTarget, RelativeFileLinksResolveAgainstTheCurrentFolder) {
    EXPECT_EQ(resolveLink("file://./help/help00.html", "C:\\Q").target, "file://C:\\Q\\help/help00.html");
    EXPECT_EQ(resolveLink("file://.\\x.html", "C:\\Q").target, "file://C:\\Q\\x.html");
    EXPECT_EQ(resolveLink("file:///./x.html", "D:\\Notes").target, "file://D:\\Notes\\x.html");
    EXPECT_EQ(resolveLink("file:///.\\x.html", "D:\\Notes").target, "file://D:\\Notes\\x.html");
    auto a = resolveLink("file://./x.html", "C:\\Q");
    EXPECT_EQ(a.verb, Verb::Open);
}

TEST(LinkTarget, OtherFileLinksOpenUnchangedAndOthersDoNothing) {
    auto a = resolveLink("file:///C:/a.txt", "C:\\Q");
    EXPECT_EQ(a.verb, Verb::Open);
    EXPECT_EQ(a.target, "file:///C:/a.txt");
    EXPECT_EQ(resolveLink("mailto:a@b", "C:\\Q").verb, Verb::None);
    EXPECT_EQ(resolveLink("", "C:\\Q").verb, Verb::None);
}

}  // namespace
