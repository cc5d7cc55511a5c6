// What the random user does with the page list, the editor and secure pages,
// and what each action means for the model.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <algorithm>

#include "res/resource.h"
#include "soak/SoakDriver.h"
#include "tests/common/FileBytes.h"

namespace soak {

namespace {

// Typed texts: ASCII, double-byte (some with 0x5C as second byte), line breaks, RTF's own characters.
const char* const TEXTS[] = {
    "abc",
    "こんにちは",
    "表ソ能十",
    "\r",
    "line one\rline two",
    "ｶﾀｶﾅ",
    "x",
    "{\\rtf1 not rtf}",
    "日本語のテキストと English の混在",
    "\\par }{",
    "①②ⅰ〜",
    "         ",
    "long line long line long line long line long line long line long line long line",
};
const char* const TITLES[] = {
    "タイトル",
    "a",
    "表示\\ソフト",
    "name with spaces",
    "<>:|?*\"/",
    "ｶﾅ title",
    "",
    "長い長い長い長い長い長い長い長い長い長い長い長い長い長い長い長い長い長い長い長い長い長い長い長い長い長い長い長い長"
    "い長い"
    "長い長い長い長い長い長い長い長い長い長い長い長い長い長い長い長い長い長い長い長い長い長い長い長い長い長い長い長い長"
    "い長い"
    "長い長い長い長い長い長い長い長い長い長い長い長い長い長い長い長い長い長い長い長い長い長い長い長い長い長い長い長い長"
    "い長い",
    "x表",
};

template <typename T, std::size_t N>
const T& pick(const T (&table)[N], std::uint32_t n) {
    return table[n % N];
}

std::string dateStamp() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    char text[32];
    wsprintfA(text, "%d/%02d/%02d", t.wYear, t.wMonth, t.wDay);
    return text;
}

// The clipboard's text, line breaks as CR alone.
std::wstring clipboardText() {
    std::wstring text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
        if (const wchar_t* p = static_cast<const wchar_t*>(GlobalLock(h))) {
            text = p;
            GlobalUnlock(h);
        }
    }
    CloseClipboard();
    for (std::size_t at; (at = text.find(L"\r\n")) != std::wstring::npos;) text.erase(at + 1, 1);
    return text;
}

}  // namespace

// Under load the system's clipboard takes a moment to hold what was copied: a user looks
// before pasting. Never holding it is a difference.
void Driver::waitForClipboard() {
    for (int tries = 0; tries < 500; ++tries) {
        if (clipboardText() == s_.clip) return;
        testapp::pumpMessages();
        Sleep(10);
    }
    std::wstring held = clipboardText();
    for (std::size_t at; (at = held.find(L'\r')) != std::wstring::npos;) held.replace(at, 1, L"\\r");
    fail("the clipboard does not hold the copied text \"" + toCp932(s_.clip) + "\" but \"" + toCp932(held) +
         "\" (copy as text " + std::to_string(s_.book.copyAsText) + ")");
}

// Another program's text on the clipboard (Unicode only), then Ctrl+V.
void Driver::pasteOwn(const std::wstring& text) {
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
        if (wchar_t* p = static_cast<wchar_t*>(GlobalLock(h))) {
            std::copy(text.c_str(), text.c_str() + text.size() + 1, p);
            GlobalUnlock(h);
        }
        SetClipboardData(CF_UNICODETEXT, h);
        CloseClipboard();
    }
    s_.clip = text;
    s_.clipIsText = true;
    s_.hasClip = true;
    waitForClipboard();
    command(IDM_PASTE);
}

void Driver::setEditorSelection(int from, int to) {
    CHARRANGE range = {from, to};
    SendMessageA(editor(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

void Driver::pushUndo() {
    const int at = s_.book.indexOf(s_.selected);
    s_.undo.push_back(s_.book.nodes[at].text);
    s_.redo.clear();
}

// Cut, copy, clear and paste of the selection [from, to) of the shown page.
void Driver::clipboardAction(Kind kind, int from, int to) {
    std::wstring& text = s_.book.nodes[s_.book.indexOf(s_.selected)].text;
    const bool range = from < to;
    if (kind == Kind::Paste) {
        if (!s_.hasClip) return;
        waitForClipboard();
        command(IDM_PASTE);
        pushUndo();
        // every character goes in as it is, another program's Unicode text too
        const std::wstring& pasted = s_.clip;
        text.replace(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from), pasted);
        // A plain text (copied as text) that ends with a line break is followed by two more,
        // pasted on their own, as the editor always had it.
        if (s_.clipIsText && !s_.clip.empty() && s_.clip.back() == L'\r') {
            pushUndo();
            text.insert(static_cast<std::size_t>(from) + pasted.size(), L"\r\r");
        }
        return;
    }
    if (!range) return;  // greyed
    command(kind == Kind::Cut ? IDM_CUT : kind == Kind::Copy ? IDM_COPY : IDM_CLEAR);
    if (kind != Kind::Clear) {
        s_.clip = text.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
        s_.clipIsText = s_.book.copyAsText;
        s_.hasClip = true;
        waitForClipboard();
    }
    if (kind == Kind::Copy) return;
    pushUndo();
    text.erase(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
}

void Driver::editorAction(const Action& action) {
    const int at = s_.book.indexOf(s_.selected);
    if (at < 0 || s_.locked) return;  // nothing to type into: the user does something else
    std::wstring& text = s_.book.nodes[at].text;
    const std::uint32_t length = static_cast<std::uint32_t>(text.size()) + 1;
    int from = static_cast<int>(action.b % length), to = static_cast<int>(action.c % length);
    if (from > to) std::swap(from, to);
    if (action.kind == Kind::Type && action.a % 3 == 0) to = from;
    if (action.kind == Kind::LongPage || action.kind == Kind::PasteEmpty) from = to = static_cast<int>(length) - 1;
    now_.b = static_cast<std::uint32_t>(from);
    if (action.kind != Kind::ResetFont) now_.c = static_cast<std::uint32_t>(to);  // there it is the answer
    const bool range = from < to;
    setEditorSelection(from, to);
    switch (action.kind) {
        case Kind::Type:
        case Kind::LongPage: {
            // a page past the editor's renewal at 1,000 lines
            const std::string typed = action.textGiven                ? action.text
                                      : action.kind == Kind::LongPage ? std::string(1000, '\r') + "end of a long page"
                                                                      : pick(TEXTS, action.a / 3);
            now_.text = typed;
            now_.textGiven = true;
            SendMessageW(editor(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(fromCp932(typed).c_str()));
            pushUndo();
            text.replace(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from), fromCp932(typed));
            break;
        }
        case Kind::Cut:
        case Kind::Copy:
        case Kind::Clear:
        case Kind::Paste:
            clipboardAction(action.kind, from, to);
            break;
        case Kind::PasteUnicode: {  // Hangul, an accent, the euro, an emoji, 𠮷: none is in code page 932
            const std::wstring world = L"\xD55C\xAE00 \x00FC\x20AC \xD83D\xDE00 \xD842\xDFB7 x";
            if (action.a % 2) {  // typed through an input method, one character message each
                for (wchar_t c : world) SendMessageW(editor(), WM_CHAR, c, 1);
            } else {
                pasteOwn(world);
            }
            pushUndo();
            text.replace(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from), world);
            break;
        }
        case Kind::PasteEmpty:  // pastes nothing, and takes back nothing the user did
            pasteOwn(L"");
            s_.hasClip = false;
            break;
        case Kind::Undo:
        case Kind::Redo: {
            std::vector<std::wstring>& from = action.kind == Kind::Undo ? s_.undo : s_.redo;
            std::vector<std::wstring>& to = action.kind == Kind::Undo ? s_.redo : s_.undo;
            if (from.empty()) return;  // greyed
            command(action.kind == Kind::Undo ? IDM_UNDO : IDM_REDO);
            to.push_back(text);
            text = from.back();
            from.pop_back();
            break;
        }
        case Kind::Bold:
        case Kind::Colour:
            if (!range) return;
            command(action.kind == Kind::Bold ? IDM_BOLD : IDM_LAST_COLOUR);
            pushUndo();
            break;
        case Kind::ResetFont:  // asks first
            expected_.push_back("reset font");
            command(IDM_RESET_PAGE_FONT);
            if (action.c % 4) {  // the editor's history starts afresh: nothing before the reset comes back
                s_.undo.clear();
                s_.redo.clear();
            }
            break;
        case Kind::TextClipboard:  // the text stays the same either way
            if (action.a % 2) {
                command(IDM_COPY_AS_TEXT);
                s_.book.copyAsText = !s_.book.copyAsText;
            } else {
                command(IDM_PASTE_AS_TEXT);
                s_.book.pasteAsText = !s_.book.pasteAsText;
            }
            break;
        case Kind::DateStamp: {
            const std::string stamp = dateStamp();
            command(IDM_INSERT_DATE);
            pushUndo();
            text.replace(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from), fromCp932(stamp));
            break;
        }
        default:
            break;
    }
}

void Driver::retitle(const Action& action, bool cancel) {
    const int at = s_.book.indexOf(s_.selected);
    if (at < 0) return;
    command(IDM_EDIT_TITLE);
    HWND edit = TreeView_GetEditControl(tree());
    if (!edit) {
        // a focus change the display delivers late closes a fresh edit: the user presses F2 again
        command(IDM_EDIT_TITLE);
        edit = TreeView_GetEditControl(tree());
    }
    if (!edit) {
        fail("no title editor after the edit-title command");
        return;
    }
    const std::string title = action.textGiven ? action.text : std::string(pick(TITLES, action.b));
    now_.text = title;
    now_.textGiven = true;
    SetWindowTextA(edit, title.c_str());
    // Esc or Enter in the title editor, as the user ends the edit
    SendMessageA(edit, WM_KEYDOWN, cancel ? VK_ESCAPE : VK_RETURN, 0);
    testapp::pumpMessages();
    if (TreeView_GetEditControl(tree())) fail("the title editor stayed open after Esc or Enter");
    if (!cancel) s_.book.nodes[at].title = cutTitle(title);
}

void Driver::deletePage(const Action& action) {
    const int at = s_.book.indexOf(s_.selected);
    if (at < 0) return;
    expected_.push_back("delete");
    if (action.c % 4) expectBackup(SaveKind::BeforeDelete);
    command(IDM_DELETE_PAGE);
    if (action.c % 4 == 0) return;  // cancelled
    const int parent = s_.book.parentOf(at);
    const int parentId = parent < 0 ? 0 : s_.book.nodes[parent].id;
    predictBackup(SaveKind::BeforeDelete, s_.book);
    const int next = selectionAfterDelete(at);  // as the list moves it, seen by nobody
    s_.book.eraseSubtree(at);
    const int p = s_.book.indexOf(parentId);
    if (parentId == 0 ? s_.book.nodes.empty() : !s_.book.hasChildren(p)) {
        Node added;
        added.title = "自動追加ページ";
        s_.book.appendUnder(p, {added});
    }
    // the top level emptied: the page added there
    show(next ? s_.book.indexOf(next) : static_cast<int>(s_.book.nodes.size()) - 1, action.a);
}

// The item the list selects when the selected one goes: its next sibling, else its parent,
// else its previous sibling; 0 when none.
int Driver::selectionAfterDelete(int at) const {
    const Book& b = s_.book;
    const int end = b.subtreeEnd(at);
    if (end < static_cast<int>(b.nodes.size()) && b.nodes[end].depth == b.nodes[at].depth) return b.nodes[end].id;
    const int parent = b.parentOf(at);
    if (parent >= 0) return b.nodes[parent].id;
    for (int i = at - 1; i >= 0; --i)
        if (b.nodes[i].depth == 0) return b.nodes[i].id;
    return 0;
}

// A page, or a folder with its page, as the last child of the selected item's parent.
void Driver::addPage(const Action& action, int selected) {
    Book& b = s_.book;
    const std::string title = "ページ (" + std::to_string(b.nodes.size() + 1) + ")";
    std::vector<Node> run(1);
    if (action.kind == Kind::NewFolder) {
        run[0].folder = true;
        run[0].title = "Folder";
        run.push_back(Node());
        run[1].depth = 1;
    }
    run.back().title = title;
    const int first = b.appendUnder(b.parentOf(selected), run);
    command(action.kind == Kind::NewPage ? IDM_ADD_PAGE : IDM_ADD_FOLDER);
    show(first + static_cast<int>(run.size()) - 1, action.a);
}

void Driver::pageListAction(const Action& action) {
    Book& b = s_.book;
    const int n = static_cast<int>(b.nodes.size());
    const int at = b.indexOf(s_.selected);
    if (action.kind != Kind::Select && at < 0) return;
    switch (action.kind) {
        case Kind::Select: {
            const int target = static_cast<int>(action.b % static_cast<std::uint32_t>(n));
            now_.b = static_cast<std::uint32_t>(target);
            if (target == at) return;
            clickItem(target);
            show(target, action.a);
            break;
        }
        case Kind::NextPage:
        case Kind::PreviousPage: {
            const int target = at + (action.kind == Kind::NextPage ? 1 : -1);
            if (target < 0 || target >= n) return;
            command(action.kind == Kind::NextPage ? IDM_NEXT_PAGE : IDM_PREVIOUS_PAGE);
            show(target, action.a);
            break;
        }
        case Kind::NewPage:
        case Kind::NewFolder:
            addPage(action, at);
            break;
        case Kind::Retitle:
        case Kind::RetitleEsc:
            retitle(action, action.kind == Kind::RetitleEsc);
            break;
        case Kind::Delete:
            deletePage(action);
            break;
        case Kind::CopyPage:
            command(IDM_COPY_PAGE);
            s_.pageClip = b.copySubtree(at);
            s_.pageClipRegistration = b.registration;
            s_.hasPageClip = true;
            break;
        case Kind::PastePage: {
            if (!s_.hasPageClip) return;
            const bool secure =
                std::any_of(s_.pageClip.begin(), s_.pageClip.end(), [](const Node& x) { return x.secure; });
            if (secure && s_.pageClipRegistration != b.registration) {
                if (b.registration) {  // another password's texts: refused, and said so
                    expected_.push_back("paste refused");
                    command(IDM_PASTE_PAGE);
                    return;
                }
                b.registration = s_.pageClipRegistration;
            }
            const int first = b.appendUnder(b.parentOf(at), s_.pageClip);
            midState_ = b;
            command(IDM_PASTE_PAGE);
            show(first, action.a);
            break;
        }
        case Kind::Bookmark:
            command(IDM_SET_BOOKMARK);
            b.bookmark = s_.selected;
            break;
        case Kind::Collapse:  // the shape stays; next, previous and clicks open what they need
            command(IDM_COLLAPSE_FOLDERS);
            break;
        case Kind::OpenBookmark: {
            const int target = b.indexOf(b.bookmark);
            if (target < 0) return;
            command(IDM_OPEN_BOOKMARK);
            if (target != at) show(target, action.a);
            break;
        }
        default:
            break;
    }
}

// このページを保存 as text: a locked page asks for its password first (cancelled: nothing is
// written); the file holds the page as the model has it, whatever comes from outside meanwhile.
void Driver::savePage(const Action& action) {
    const int at = s_.book.indexOf(s_.selected);
    if (at < 0) return;
    DeleteFileA(answerer_->plan().saveTo.c_str());
    // a page shown locked after the password was given elsewhere (a save of all pages) opens without it
    const bool locked = s_.locked, asks = locked && !s_.authenticated;
    const bool opened = !asks || opens(passwordAnswerOf(action.a));
    if (asks) expected_.push_back("auth");
    std::wstring text = s_.book.nodes[at].text;
    for (std::size_t i = 0; (i = text.find(L'\r', i)) != std::wstring::npos; i += 2) text.insert(i + 1, 1, L'\n');
    bool utf8 = false;
    const std::string expected = textFileBytes(text, utf8);
    if (opened) expected_.push_back("save as");
    if (opened && utf8) expected_.push_back("saved as utf-8");
    command(IDM_SAVE_PAGE);
    if (locked && opened) s_.locked = false, s_.authenticated = true;
    if (afterEnd_) return;
    const std::string saved = testcommon::readFile(answerer_->plan().saveTo);
    if (!opened) {
        if (!saved.empty()) fail("the locked page was saved to a file without its password");
        return;
    }
    if (saved != expected)
        fail("the saved page holds \"" + saved.substr(0, 200) + "\", the model \"" + toCp932(text.substr(0, 200)) + "\"");
}

void Driver::secureAction(const Action& action) {
    const int at = s_.book.indexOf(s_.selected);
    if (at < 0) return;
    Node& node = s_.book.nodes[at];
    const bool opened = opens(passwordAnswerOf(action.a));
    if (action.kind == Kind::MakeSecure) {
        if (node.secure) return;  // greyed
        const bool registered = s_.book.registration != 0;
        if (!registered || !s_.authenticated) expected_.push_back(registered ? "auth" : "register");
        command(IDM_MAKE_SECURE);
        if (s_.authenticated || opened) {
            if (!registered) s_.book.registration = s_.nextRegistration++;
            s_.authenticated = true;
            node.secure = true;
        }
        return;
    }
    if (!node.secure) return;  // greyed
    if (!s_.authenticated) expected_.push_back("auth");
    command(IDM_MAKE_ORDINARY);
    if (s_.authenticated || opened) {
        s_.authenticated = true;
        s_.locked = false;
        node.secure = false;
    }
}

}  // namespace soak
