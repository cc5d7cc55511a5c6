#include <windows.h>
#include <richedit.h>

#include "soak/SoakModel.h"

#include <algorithm>
#include <sstream>

#include "secure/PageCrypt.h"
#include "soak/SoakDialogs.h"

namespace soak {

int Book::indexOf(int id) const {
    for (int i = 0; i < static_cast<int>(nodes.size()); ++i)
        if (nodes[i].id == id) return i;
    return -1;
}

int Book::subtreeEnd(int index) const {
    int end = index + 1;
    while (end < static_cast<int>(nodes.size()) && nodes[end].depth > nodes[index].depth) ++end;
    return end;
}

int Book::parentOf(int index) const {
    for (int i = index - 1; i >= 0; --i)
        if (nodes[i].depth < nodes[index].depth) return i;
    return -1;
}

int Book::appendUnder(int parent, std::vector<Node> run) {
    const int at = parent < 0 ? static_cast<int>(nodes.size()) : subtreeEnd(parent);
    const int base = parent < 0 ? 0 : nodes[parent].depth + 1;
    for (Node& n : run) {
        n.id = nextId++;
        n.depth += base;
    }
    nodes.insert(nodes.begin() + at, run.begin(), run.end());
    return at;
}

std::vector<Node> Book::copySubtree(int index) const {
    std::vector<Node> run(nodes.begin() + index, nodes.begin() + subtreeEnd(index));
    const int base = nodes[index].depth;
    for (Node& n : run) n.depth -= base;
    return run;
}

void Book::eraseSubtree(int index) {
    const int end = subtreeEnd(index);
    for (int i = index; i < end; ++i)
        if (nodes[i].id == bookmark) bookmark = 0;
    nodes.erase(nodes.begin() + index, nodes.begin() + end);
}

int Book::savedBookmark() const {
    const int at = indexOf(bookmark);
    return at >= 0 && !nodes[at].secure ? at : 0;
}

bool Book::moveBefore(int dragged, int target) {
    const int end = subtreeEnd(dragged);
    if (target >= dragged && target < end) return false;
    const int oldParentId = parentOf(dragged) < 0 ? 0 : nodes[parentOf(dragged)].id;
    std::vector<Node> run(nodes.begin() + dragged, nodes.begin() + end);
    const int targetId = nodes[target].id;
    nodes.erase(nodes.begin() + dragged, nodes.begin() + end);
    const int at = indexOf(targetId);
    const int shift = nodes[at].depth - run[0].depth;
    for (Node& n : run) n.depth += shift;
    nodes.insert(nodes.begin() + at, run.begin(), run.end());
    const int oldParent = indexOf(oldParentId);
    if (oldParentId != 0 && !hasChildren(oldParent)) {
        Node added;
        added.title = "自動追加ページ";
        appendUnder(oldParent, {added});
    }
    return true;
}

bool Book::anySecure() const {
    return std::any_of(nodes.begin(), nodes.end(), [](const Node& n) { return n.secure; });
}

std::string cutTitle(const std::string& title) {
    std::size_t at = 0;
    while (at < title.size()) {
        const unsigned char c = static_cast<unsigned char>(title[at]);
        const std::size_t width = ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) ? 2 : 1;
        if (at + width > 255) break;
        at += width;
    }
    return title.substr(0, at);
}

std::wstring fromCp932(const std::string& bytes) {
    if (bytes.empty()) return std::wstring();
    const int n = MultiByteToWideChar(932, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(932, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0], n);
    return text;
}

std::string toCp932(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int n = WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

std::string textFileBytes(const std::wstring& text, bool& utf8) {
    BOOL lost = FALSE;
    if (!text.empty())
        WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                            &lost);
    utf8 = lost != FALSE;
    if (!utf8) return toCp932(text);
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return "\xEF\xBB\xBF" + out;
}

namespace {

struct StreamSource {
    const std::string* text;
    std::size_t at;
};

DWORD CALLBACK readSource(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* got) {
    StreamSource* s = reinterpret_cast<StreamSource*>(cookie);
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(wanted), s->text->size() - s->at);
    std::copy(s->text->begin() + static_cast<std::ptrdiff_t>(s->at),
              s->text->begin() + static_cast<std::ptrdiff_t>(s->at + n), buffer);
    s->at += n;
    *got = static_cast<LONG>(n);
    return 0;
}

// What a rich edit of the program's kind shows for a stored page: a scratch control
// of our own reads the RTF, as the user would see it.
std::wstring plainTextOf(const std::string& rtf) {
    static HWND scratch = nullptr;
    if (!scratch) {
        LoadLibraryA("riched20.dll");
        scratch = CreateWindowExA(0, RICHEDIT_CLASSA, "", WS_POPUP | ES_MULTILINE, 0, 0, 100, 100, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
        SendMessageA(scratch, EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
    }
    StreamSource source = {&rtf, 0};
    EDITSTREAM es = {reinterpret_cast<DWORD_PTR>(&source), 0, readSource};
    const bool isRtf = rtf.compare(0, 5, "{\\rtf") == 0;
    SendMessageA(scratch, EM_STREAMIN, isRtf ? SF_RTF : SF_TEXT, reinterpret_cast<LPARAM>(&es));
    return richEditText(scratch);
}

}  // namespace

std::wstring richEditText(HWND edit) {
    GETTEXTLENGTHEX len = {GTL_DEFAULT, 1200};
    const LRESULT n = SendMessageW(edit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&len), 0);
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    GETTEXTEX get = {static_cast<DWORD>((n + 1) * sizeof(wchar_t)), GT_DEFAULT, 1200, nullptr, nullptr};
    text.resize(static_cast<std::size_t>(
        SendMessageW(edit, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(&text[0]))));
    return text;
}

DiskBook readDisk(const std::string& path, const std::string& password) {
    DiskBook disk;
    PageTable table;
    DataFileHeader header;
    VersionBlock version;
    if (!readDataFile(path, table, header, version)) {
        disk.error = "the data file cannot be read";
        return disk;
    }
    disk.kind = static_cast<SaveKind>(version.saveKind);
    disk.bookmarkOrder = header.bookmark;
    disk.registered = header.passwordRegistered != 0;
    disk.copyAsText = header.copyAsText != 0;
    disk.pasteAsText = header.pasteAsText != 0;
    pagecrypt::KeyMaterial key;
    if (disk.registered && !pagecrypt::checkPassword(header, password.data(), password.size(), key))
        disk.error = "the password does not open the book";
    std::vector<const PageRecord*> byOrder(static_cast<std::size_t>(table.count()), nullptr);
    for (int i = 0; i < table.count(); ++i) {
        const PageRecord& r = table.recordAt(i);
        if (r.order < 0 || r.order >= table.count() || byOrder[r.order]) {
            disk.error = "record orders are not a permutation";
            return disk;
        }
        byOrder[r.order] = &r;
    }
    for (const PageRecord* r : byOrder) {
        Node n;
        n.depth = r->parentOrder < 0 ? 0 : disk.nodes.at(static_cast<std::size_t>(r->parentOrder)).depth + 1;
        n.folder = r->isFolder != 0;
        n.secure = r->isSecure != 0;
        n.title = r->title;
        PageRecord copy = *r;
        if (n.secure && !(key.isSet() && pagecrypt::decryptPage(copy, key, true))) n.title += " [cannot decrypt]";
        n.text = plainTextOf(copy.text);
        disk.nodes.push_back(n);
    }
    return disk;
}

namespace {

std::string describe(const Node& n) {
    return std::string(n.folder ? "folder" : "page") + (n.secure ? " secure" : "") + " depth " +
           std::to_string(n.depth) + " \"" + n.title + "\"";
}

// A text for a message: line breaks shown as \r, on one line.
std::string shown(const std::wstring& text) {
    std::wstring out;
    for (wchar_t c : text)
        out += c == L'\r' ? std::wstring(L"\\r") : c == L'\n' ? std::wstring(L"\\n") : std::wstring(1, c);
    return toCp932(out);
}

std::wstring normalised(std::wstring text) {
    for (std::size_t at; (at = text.find(L"\r\n")) != std::wstring::npos;) text.erase(at + 1, 1);
    return text;
}

}  // namespace

std::string firstDifference(const Book& model, const DiskBook& disk) {
    if (!disk.error.empty()) return disk.error;
    const std::size_t count = std::max(model.nodes.size(), disk.nodes.size());
    for (std::size_t i = 0; i < count; ++i) {
        if (i >= disk.nodes.size()) return "record " + std::to_string(i) + " missing: " + describe(model.nodes[i]);
        if (i >= model.nodes.size()) return "record " + std::to_string(i) + " extra: " + describe(disk.nodes[i]);
        const Node& m = model.nodes[i];
        const Node& d = disk.nodes[i];
        if (describe(m) != describe(d))
            return "record " + std::to_string(i) + ": model " + describe(m) + ", file " + describe(d);
        const std::wstring mt = normalised(m.text), dt = normalised(d.text);
        if (mt != dt) {
            std::size_t at = 0;
            while (at < mt.size() && at < dt.size() && mt[at] == dt[at]) ++at;
            const auto code = [](const std::wstring& t, std::size_t k) {
                return k < t.size() ? std::to_string(static_cast<unsigned>(t[k])) : std::string("end");
            };
            return "record " + std::to_string(i) + " " + describe(m) + " text from character " + std::to_string(at) +
                   " (model " + code(mt, at) + ", file " + code(dt, at) + "): model \"" + shown(m.text) +
                   "\", file \"" + shown(d.text) + "\"";
        }
    }
    if (model.savedBookmark() != disk.bookmarkOrder)
        return "bookmark: model " + std::to_string(model.savedBookmark()) + ", file " +
               std::to_string(disk.bookmarkOrder);
    if (model.copyAsText != disk.copyAsText || model.pasteAsText != disk.pasteAsText)
        return "copy/paste as text: model " + std::to_string(model.copyAsText) + "/" +
               std::to_string(model.pasteAsText) + ", file " + std::to_string(disk.copyAsText) + "/" +
               std::to_string(disk.pasteAsText);
    if (model.anySecure() && !disk.registered) return "secure pages but no password registered";
    return std::string();
}

namespace {

// Every string as "x" and its code units in hex, so none is ever empty or holds a blank.
template <typename S>
std::string hexOf(const S& text) {
    std::string out = "x";
    char unit[8];
    for (auto c : text) {
        wsprintfA(unit, "%04x", static_cast<unsigned>(static_cast<std::make_unsigned_t<typename S::value_type>>(c)));
        out += unit;
    }
    return out;
}

template <typename S>
bool fromHex(const std::string& hex, S& text) {
    if (hex.empty() || hex[0] != 'x' || (hex.size() - 1) % 4) return false;
    text.clear();
    for (std::size_t at = 1; at < hex.size(); at += 4)
        text += static_cast<typename S::value_type>(std::stoul(hex.substr(at, 4), nullptr, 16));
    return true;
}

}  // namespace

bool sameBook(const Book& a, const Book& b) {
    DiskBook disk;
    disk.nodes = b.nodes;
    disk.bookmarkOrder = b.savedBookmark();
    disk.registered = b.anySecure();
    disk.copyAsText = b.copyAsText;
    disk.pasteAsText = b.pasteAsText;
    return firstDifference(a, disk).empty();
}

std::string serialise(const Book& b) {
    std::ostringstream out;
    out << b.nextId << ' ' << b.bookmark << ' ' << b.copyAsText << ' ' << b.pasteAsText << ' ' << b.registration << ' '
        << b.nodes.size();
    for (const Node& n : b.nodes)
        out << ' ' << n.id << ' ' << n.depth << ' ' << n.folder << ' ' << n.secure << ' ' << hexOf(n.title) << ' '
            << hexOf(n.text);
    return out.str();
}

bool parseBook(const std::string& line, Book& b) {
    std::istringstream in(line);
    std::size_t count = 0;
    b = Book();
    if (!(in >> b.nextId >> b.bookmark >> b.copyAsText >> b.pasteAsText >> b.registration >> count)) return false;
    for (std::size_t i = 0; i < count; ++i) {
        Node n;
        std::string title, text;
        if (!(in >> n.id >> n.depth >> n.folder >> n.secure >> title >> text) || !fromHex(title, n.title) ||
            !fromHex(text, n.text))
            return false;
        b.nodes.push_back(n);
    }
    return true;
}

int matchFile(const std::string& path, const std::vector<Book>& candidates, SaveKind& kind, std::string& why) {
    const DiskBook disk = readDisk(path, PASSWORD);
    kind = disk.kind;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const std::string difference = firstDifference(candidates[i], disk);
        if (difference.empty()) return static_cast<int>(i);
        if (i == 0) why = difference;
    }
    if (candidates.empty()) why = "no book could be there";
    return -1;
}

}  // namespace soak
