#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/AppTestSupport.h"
#include "app/Startup.h"
#include "pagelist/ShapedBook.h"
#include "editor/RtfStream.h"
#include "res/resource.h"
#include "search/MemoText.h"
#include "search/SearchWindow.h"
#include "store/Cp932.h"
#include "ui/Dialog.h"

namespace {

using apptest::list;

HWND searchWindow() { return gApp.searchWindow; }

struct Options {
    int target = 0;  // 0-3: all, titles, memos, this page's memo
    bool matchCase = false;
    bool down = true;
};

void setOptions(const Options& o) {
    for (int i = 0; i < 4; ++i) ui::setChecked(searchWindow(), IDC_SEARCH_ALL + i, i == o.target);
    ui::setChecked(searchWindow(), IDC_SEARCH_MATCH_CASE, o.matchCase);
    ui::setChecked(searchWindow(), IDC_SEARCH_UP, !o.down);
}

// One press of "次を検索": the status (T, M, E, S for its four texts), the
// selected page, and for a memo match the editor's selection.
std::string press() {
    SendMessageA(searchWindow(), WM_COMMAND, MAKEWPARAM(IDC_SEARCH_NEXT, BN_CLICKED), 0);
    testapp::pumpMessages();
    const std::string status = ui::itemText(searchWindow(), IDC_SEARCH_STATUS);
    const char* code = status == "タイトルに見つかりました。"     ? "T"
                       : status == "メモに見つかりました。"       ? "M"
                       : status == "最後まで検索しました。"       ? "E"
                       : status == "開始ページまで検索しました。" ? "S"
                                                                  : "?";
    std::string out = std::string(code) + " " + list().GetTitle(list().GetSelection());
    if (*code == 'M') {
        CHARRANGE r = {};
        SendMessageA(apptest::editor(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
        out += " " + std::to_string(r.cpMin) + "-" + std::to_string(r.cpMax);
    }
    return out;
}

class SearchWindowTest : public apptest::MainWindowTest {
protected:
    void TearDown() override {
        search::setRuleOut(true);
        apptest::MainWindowTest::TearDown();
    }
    void loadBook(const char* shape, const std::map<std::string, std::string>& texts = {}) {
        ASSERT_TRUE(shapedbook::load(window, folder.file("book.qpd"), shape, texts));
    }
    void startOn(const char* title, const char* text, const Options& o) {
        apptest::select(shapedbook::item(title));
        ui::setItemText(searchWindow(), IDC_SEARCH_TEXT, text);
        setOptions(o);
    }
};

struct Script {
    const char* book;
    std::map<std::string, std::string> texts;
    const char* start;
    const char* text;
    Options options;
    std::vector<std::string> presses;
};

// Each script runs twice: with pages ruled out from their stored text, and with
// every page shown and searched by the editor. Both must end every press alike.
TEST_F(SearchWindowTest, PressesFollowTheSearchSteps) {
    const Script scripts[] = {
        // three matches in the memo, then on through the tree to the next one, then back at the start
        {"p1 p2 p3",
         {{"p1", "ab ab ab"}, {"p3", "xx ab"}},
         "p1",
         "ab",
         {},
         {"M p1 0-2", "M p1 3-5", "M p1 6-8", "M p3 3-5", "S p1"}},
        {"p1 p2", {{"p2", "NOTE here"}}, "p1", "note", {}, {"M p2 0-4"}},
        {"p1 p2", {{"p2", "NOTE here"}}, "p1", "note", {0, true, true}, {"S p1"}},
        {"p1 Notes", {}, "p1", "notes", {1, false, true}, {"T Notes"}},
        // titles only: a page whose memo holds the word is passed over
        {"p1 p2 word", {{"p2", "word"}}, "p1", "word", {1, false, true}, {"T word", "S p1"}},
        // memos only: a title is not a match
        {"p1 ab", {{"ab", "zz"}}, "p1", "ab", {2, false, true}, {"S p1"}},
        // this page's memo: never moves, starts over after the end
        {"p1 p2",
         {{"p1", "ab ab"}, {"p2", "ab"}},
         "p1",
         "ab",
         {3, false, true},
         {"M p1 0-2", "M p1 3-5", "E p1", "M p1 0-2"}},
        // from the last page downwards: around to the first and back to the start
        {"p1 p2 p3", {}, "p3", "zz", {}, {"S p3"}},
        {"p1", {{"p1", "aaa"}}, "p1", "aa", {}, {"M p1 0-2", "M p1 1-3", "S p1"}},  // overlapping
        {"p1 p2 p3", {{"p1", "ab ab"}}, "p3", "ab", {0, false, false}, {"M p1 3-5", "M p1 0-2", "S p3"}},
        // a title match selects the page; the next press looks in its memo
        {"p1 ab", {{"ab", "x ab"}}, "p1", "ab", {}, {"T ab", "M ab 2-4"}},
        {"p1 F(p2 G(p3)) p4", {{"p3", "word"}, {"p4", "word"}}, "p1", "word", {}, {"M p3 0-4", "M p4 0-4", "S p1"}},
        {"p1 F(p2 G(p3)) p4", {{"p3", "word"}}, "p4", "word", {0, false, false}, {"M p3 0-4", "S p4"}},
        // RTF as other programs write it, as the editor shows it: no field instruction,
        // bookmark name or ignorable group; a picture as a blank; an object's result,
        // the first part of a two-part Unicode group, no footnote; hidden text;
        // \\u characters and nested groups
        {"p1 p2", {{"p2", "see {\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt here}} now"}}, "p1", "see  now",
         {2, false, true}, {"M p2 0-8", "S p1"}},
        {"p1 p2", {{"p2", "see {\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt here}} now"}}, "p1", "HYPERLINK",
         {2, false, true}, {"S p1"}},
        {"p1 p2", {{"p2", "a{\\*\\bkmkstart mark}b{\\*\\bkmkend mark}c"}}, "p1", "abc", {2, false, true},
         {"M p2 0-3", "S p1"}},
        {"p1 p2", {{"p2", "x{\\*\\madeup {\\b bold} words}yz"}}, "p1", "xyz", {2, false, true}, {"M p2 0-3", "S p1"}},
        {"p1 p2", {{"p2", "a{\\pict\\wmetafile8\\picw100\\pich100 010009000003}b"}}, "p1", "a b", {2, false, true},
         {"M p2 0-3", "S p1"}},
        {"p1 p2", {{"p2", "a{\\object\\objemb{\\*\\objclass Paint}{\\*\\objdata 0102}{\\result text}}b"}}, "p1",
         "atext", {2, false, true}, {"M p2 0-5", "S p1"}},
        {"p1 p2", {{"p2", "a{\\upr{ansi}{\\*\\ud{uni}}}b"}}, "p1", "ansib", {2, false, true}, {"M p2 1-6", "S p1"}},
        {"p1 p2", {{"p2", "a{\\footnote note}b"}}, "p1", "ab", {2, false, true}, {"M p2 0-2", "S p1"}},
        {"p1 p2", {{"p2", "see {\\v hidden} here"}}, "p1", "hidden", {2, false, true}, {"M p2 4-10", "S p1"}},
        {"p1 p2", {{"p2", "x\\u12354?y{\\uc2 \\u12356\\'82\\'a2}z"}}, "p1", "x\x82\xa0y\x82\xa2z", {2, false, true},
         {"M p2 0-5", "S p1"}},
        {"p1 p2", {{"p2", "{a{\\b b}{{c}}}d"}}, "p1", "abcd", {2, false, true}, {"M p2 0-4", "S p1"}},
    };
    for (bool ruleOut : {true, false}) {
        search::setRuleOut(ruleOut);
        for (const Script& s : scripts) {
            loadBook(s.book, s.texts);
            startOn(s.start, s.text, s.options);
            std::vector<std::string> got;
            for (size_t i = 0; i < s.presses.size(); ++i) got.push_back(press());
            EXPECT_EQ(got, s.presses) << s.book << " / " << s.text << (ruleOut ? "" : " (every page shown)");
        }
    }
}

// Every piece of text the editor finds in a page, the rule-out lets through:
// each page below is shown in the real editor, and every run of one to six of
// the characters it shows is searched both ways, in either case setting.
TEST_F(SearchWindowTest, TheRuleOutNeverSkipsAPageTheEditorFindsTextIn) {
    const char* bodies[] = {
        "see {\\field{\\*\\fldinst{HYPERLINK \"x\"}}{\\fldrslt{here}}} now",
        "a{\\*\\bkmkstart m}b{\\*\\bkmkend m}c{\\*\\madeup {\\b B} w}d",
        "a{\\pict\\wmetafile8\\picw100\\pich100 010009000003}b{\\*\\shppict{\\pict\\pngblip 00}}c",
        "a{\\object\\objemb{\\*\\objclass P}{\\*\\objdata 01}{\\result text}}b",
        "a{\\upr{ansi}{\\*\\ud{uni}}}b{\\footnote note}{\\header head}c",
        "see {\\v hidden} here\\v0  end",
        "x\\u12354?y{\\uc2 \\u12356\\'82\\'a2}z\\u-3?w",
        "{a{\\b b}{{c\\i d}}}e\\line f\\tab g\\par h",
        "a\\-b\\~c\\_d\\emdash e\\bullet f\\ldblquote g\\rdblquote",
        "\\'83\\'81\\'83\\'82 Memo {\\f1 \\'e9t\\'e9} \\'b6\\'c5",
        "x\\par\\trowd\\cellx1000\\cellx2000\\intbl a\\cell b\\cell\\row\\pard y\\page z\\sect w",
        "{\\*\\pn\\pnlvlblt{\\pntxtb B}}a{\\*\\shpinst{\\sp{\\sn t}{\\sv 1}}}b\\bin2 {}c",
    };
    for (const char* body : bodies) {
        const std::string rtf = "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 MS Gothic;}"
                                "{\\f1\\fswiss\\fcharset0 Arial;}}\\pard\\f0\\fs20 " +
                                std::string(body) + "\\par\r\n}";
        rtfstream::StreamInRtf(apptest::editor(), rtf.c_str());
        const std::string shown = apptest::editorText();
        std::vector<size_t> starts;  // where each character of the shown text begins
        for (size_t i = 0; i < shown.size(); i += cp932::isLeadByte(static_cast<unsigned char>(shown[i])) ? 2 : 1)
            starts.push_back(i);
        starts.push_back(shown.size());
        for (size_t from = 0; from + 1 < starts.size(); ++from) {
            for (size_t to = from + 1; to < starts.size() && to <= from + 6; ++to) {
                const std::string piece = shown.substr(starts[from], starts[to] - starts[from]);
                for (bool matchCase : {false, true}) {
                    FINDTEXTEXA find = {{0, -1}, piece.c_str(), {0, 0}};
                    const WPARAM flags = FR_DOWN | (matchCase ? FR_MATCHCASE : 0);
                    if (SendMessageA(apptest::editor(), EM_FINDTEXTEX, flags, reinterpret_cast<LPARAM>(&find)) < 0)
                        continue;
                    EXPECT_TRUE(search::memoMayContain(rtf, piece, matchCase)) << body << " / [" << piece << "]";
                }
            }
        }
    }
}

TEST_F(SearchWindowTest, AChangeBetweenPressesStartsANewSearchTitleFirst) {
    loadBook("p1 ab", {{"ab", "ab ab"}});
    startOn("ab", "ab", {});
    EXPECT_EQ(press(), "T ab");
    EXPECT_EQ(press(), "M ab 0-2");
    setOptions({0, false, false});  // upwards now
    EXPECT_EQ(press(), "T ab");
    EXPECT_EQ(press(), "M ab 3-5");
    apptest::select(shapedbook::item("p1"));  // another page by hand: upwards from it, around to the last
    EXPECT_EQ(press(), "T ab");
}

TEST_F(SearchWindowTest, FoldersPassedThroughAreClosedAgainAndThePathToTheFoundPageStaysOpen) {
    loadBook("p1 F(p2) G(H(p3) p4) p5", {{"p4", "word"}});
    startOn("p1", "word", {});
    EXPECT_EQ(press(), "M p4 0-4");
    EXPECT_EQ(shapedbook::shape(), "p1 F(p2) G+(H(p3) p4) p5");
}

TEST_F(SearchWindowTest, SearchCommandShowsTheWindowWithTheEditorsSelectionAndOptionsAreStoredAsClicked) {
    apptest::typeText("first line\rsecond");
    gControls.memo.SelectAll();
    command(IDM_SEARCH);
    EXPECT_TRUE(IsWindowVisible(searchWindow()));
    EXPECT_EQ(ui::itemText(searchWindow(), IDC_SEARCH_TEXT), "first line");
    EXPECT_EQ(GetFocus(), GetDlgItem(searchWindow(), IDC_SEARCH_TEXT));

    const IniSettings::SearchWindow& o = gApp.ini.searchWindow;
    const bool matchCase = o.MatchCase;
    SendDlgItemMessageA(searchWindow(), IDC_SEARCH_MATCH_CASE, BM_CLICK, 0, 0);
    SendDlgItemMessageA(searchWindow(), IDC_SEARCH_UP, BM_CLICK, 0, 0);
    SendDlgItemMessageA(searchWindow(), IDC_SEARCH_MEMOS, BM_CLICK, 0, 0);
    EXPECT_EQ(o.MatchCase, !matchCase);
    EXPECT_EQ(o.Down, !ui::isChecked(searchWindow(), IDC_SEARCH_UP));
    EXPECT_EQ(o.Target, 2);

    SendMessageA(searchWindow(), WM_COMMAND, IDCANCEL, 0);  // Esc
    EXPECT_FALSE(IsWindowVisible(searchWindow()));
    EXPECT_TRUE(IsWindow(searchWindow()));
}

// A saved corner that no monitor shows (another machine, a monitor gone) is fitted onto the screen.
TEST_F(SearchWindowTest, ASavedPlaceOffEveryMonitorIsFittedOntoTheScreen) {
    RECT work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    for (const POINT& place : {POINT{5000, 4000}, POINT{-3000, 200}}) {
        DestroyWindow(gApp.searchWindow);
        DestroyWindow(gApp.usageWindow);
        gApp.ini.searchWindow.PosX = place.x;
        gApp.ini.searchWindow.PosY = place.y;
        startup::createToolWindows();
        RECT r = {};
        GetWindowRect(searchWindow(), &r);
        EXPECT_TRUE(r.left >= work.left && r.top >= work.top && r.right <= work.right && r.bottom <= work.bottom)
            << place.x << "," << place.y << " -> " << r.left << "," << r.top;
    }
}

}  // namespace
