#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>
#include <shlobj.h>

#include <cstdlib>
#include <cstring>

#include "settings/CommonDialogs.h"
#include "settings/SettingsMessages.h"
#include "ui/WideText.h"

namespace dialogs {
namespace {

constexpr int PATH_BYTES = 260;

// Pairs of label and pattern, ending with an empty pair.
const char FILE_FILTER[] =
    "テキストファイル(*.txt)\0*.txt\0"
    "リッチテキスト形式(*.rtf)\0*.rtf\0"
    "すべてのファイル(*.*)\0*.*\0";

void copyBounded(wchar_t* dst, size_t size, const std::string& src) {
    const std::wstring text = wide::from932(src);
    size_t n = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(dst, text.data(), n * sizeof(wchar_t));
    dst[n] = 0;
}

// The chosen path in code page 932, which every file of the program keeps its paths in;
// a path it cannot spell is refused with a message naming the character.
bool chosenPath(HWND owner, const wchar_t* chosen, std::string& path) {
    if (wide::to932(chosen, path)) return true;
    wide::messageBox(owner, wide::refusalNaming(settingsmessages::PATH_CHARACTER_FORMAT, chosen),
                     settingsmessages::PATH_CHARACTER_CAPTION, MB_OK | MB_ICONWARNING);
    return false;
}

OPENFILENAMEW fileDialog(HWND owner, wchar_t* path, const wchar_t* title, DWORD flags) {
    static const std::wstring filter = wide::from932(std::string(FILE_FILTER, sizeof FILE_FILTER));
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path;
    ofn.nMaxFile = PATH_BYTES;
    ofn.lpstrTitle = title;
    // The current directory stays put: relative links in the pages ("file://./")
    // are resolved against it.
    ofn.Flags = flags | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    return ofn;
}

int CALLBACK folderBrowserProc(HWND hwnd, UINT msg, LPARAM, LPARAM data) {
    if (msg == BFFM_INITIALIZED && data) SendMessageW(hwnd, BFFM_SETSELECTIONW, TRUE, data);
    return 0;
}

bool browseFolder(HWND owner, const char* start, std::string& folder) {
    wchar_t display[PATH_BYTES] = {};
    static const std::wstring title = wide::from932("保存先を選択してください");
    const std::wstring startAt = wide::from932(start ? start : "");
    BROWSEINFOW bi{};
    bi.hwndOwner = owner;
    bi.pszDisplayName = display;
    bi.lpszTitle = title.c_str();
    bi.ulFlags = BIF_RETURNONLYFSDIRS;
    if (start) {
        bi.lpfn = folderBrowserProc;
        bi.lParam = reinterpret_cast<LPARAM>(startAt.c_str());
    }
    LPITEMIDLIST pidl = SHBrowseForFolderW(&bi);
    if (!pidl) return false;
    wchar_t path[MAX_PATH] = {};
    bool ok = SHGetPathFromIDListW(pidl, path) != FALSE;
    CoTaskMemFree(pidl);
    return ok && chosenPath(owner, path, folder);
}

bool runColourDialog(HWND owner, COLORREF& colour, COLORREF* custom) {
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof(cc);
    cc.hwndOwner = owner;
    cc.rgbResult = colour;
    cc.lpCustColors = custom;
    cc.Flags = CC_FULLOPEN | CC_RGBINIT;
    if (!ChooseColorW(&cc)) return false;
    colour = cc.rgbResult;
    return true;
}

// Boxes of the font chooser that a wrapper greys out.
enum FontBox : LPARAM { FACE_BOX = 1, STYLE_BOX = 2, SIZE_BOX = 4, COLOUR_BOX = 8 };

UINT_PTR CALLBACK fontHookProc(HWND dlg, UINT msg, WPARAM, LPARAM lParam) {
    if (msg != WM_INITDIALOG) return 0;
    LPARAM boxes = reinterpret_cast<CHOOSEFONTW*>(lParam)->lCustData;
    const struct {
        LPARAM bit;
        int id;
    } map[] = {{FACE_BOX, cmb1}, {STYLE_BOX, cmb2}, {SIZE_BOX, cmb3}, {COLOUR_BOX, cmb4}};
    for (const auto& m : map) {
        if (HWND box = GetDlgItem(dlg, m.id); box && (boxes & m.bit)) EnableWindow(box, FALSE);
    }
    return TRUE;
}

// The chosen face in code page 932, which the book keeps it in; refused when it cannot be.
bool chosenFace(HWND owner, const wchar_t* chosen, std::string& face) {
    std::string text;
    if (!wide::to932(chosen, text)) {
        wide::messageBox(owner, wide::refusalNaming(settingsmessages::FONT_CHARACTER_FORMAT, chosen),
                         settingsmessages::PATH_CHARACTER_CAPTION, MB_OK | MB_ICONWARNING);
        return false;
    }
    face = text;
    return true;
}

// Runs the font chooser over `lf` with the screen fonts of the Shift-JIS set.
bool runFontDialog(HWND owner, LOGFONTW& lf, DWORD flags, LPARAM disabledBoxes, wchar_t* style) {
    lf.lfCharSet = SHIFTJIS_CHARSET;
    CHOOSEFONTW cf{};
    cf.lStructSize = sizeof(cf);
    cf.hwndOwner = owner;
    cf.lpLogFont = &lf;
    cf.Flags = flags | CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_NOSCRIPTSEL | CF_ENABLEHOOK;
    cf.lpfnHook = fontHookProc;
    cf.lCustData = disabledBoxes;
    cf.lpszStyle = style;
    if (style) cf.Flags |= CF_USESTYLE;
    return ChooseFontW(&cf) != FALSE;
}

const char* styleName(bool bold, bool italic) {
    if (bold && italic) return "太字 斜体";
    if (bold) return "太字";
    if (italic) return "斜体";
    return "標準";
}

}  // namespace

int chooseSaveFile(HWND owner, std::string& path) {
    wchar_t buf[PATH_BYTES];
    copyBounded(buf, PATH_BYTES, path);
    static const std::wstring title = wide::from932("名前を付けて保存");
    OPENFILENAMEW ofn = fileDialog(owner, buf, title.c_str(), OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST);
    ofn.lpstrDefExt = L"txt";
    if (!GetSaveFileNameW(&ofn) || !chosenPath(owner, buf, path)) return 0;
    return static_cast<int>(ofn.nFilterIndex);
}

int chooseOpenFileFilter(HWND owner, std::string& path) {
    wchar_t buf[PATH_BYTES];
    copyBounded(buf, PATH_BYTES, path);
    static const std::wstring title = wide::from932("開く");
    OPENFILENAMEW ofn = fileDialog(owner, buf, title.c_str(), OFN_FILEMUSTEXIST);
    if (!GetOpenFileNameW(&ofn) || !chosenPath(owner, buf, path)) return 0;
    return static_cast<int>(ofn.nFilterIndex);
}

bool chooseOpenFile(HWND owner, std::string& path) { return chooseOpenFileFilter(owner, path) != 0; }

bool chooseFolder(HWND owner, std::string& folder) { return browseFolder(owner, nullptr, folder); }

bool chooseFolderFrom(HWND owner, const std::string& start, std::string& folder) {
    return browseFolder(owner, start.c_str(), folder);
}

bool chooseColour(HWND owner, COLORREF& colour) {
    COLORREF custom[colourlist::COUNT] = {};
    return runColourDialog(owner, colour, custom);
}

bool chooseColourRecent(HWND owner, COLORREF& colour, colourlist::Colours& recent) {
    // The dialog works on a copy, so a cancelled dialog leaves the list as it was.
    COLORREF custom[colourlist::COUNT];
    for (int i = 0; i < colourlist::COUNT; ++i) custom[i] = recent[i];
    if (!runColourDialog(owner, colour, custom)) return false;
    for (int i = 0; i < colourlist::COUNT; ++i) recent[i] = custom[i];
    colourlist::rememberRecentColour(recent, colour);
    return true;
}

bool chooseFontStyled(HWND owner, StyledFont& font) {
    LOGFONTW lf{};
    copyBounded(lf.lfFaceName, LF_FACESIZE, font.face);
    lf.lfHeight = font.height;
    lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = font.italic;
    lf.lfUnderline = font.underline;
    lf.lfStrikeOut = font.strikeOut;
    wchar_t style[64];
    copyBounded(style, 64, styleName(font.bold, font.italic));
    if (!runFontDialog(owner, lf, CF_EFFECTS, COLOUR_BOX, style) || !chosenFace(owner, lf.lfFaceName, font.face))
        return false;
    font.height = lf.lfHeight;
    font.bold = lf.lfWeight >= FW_BOLD;
    font.italic = lf.lfItalic != 0;
    font.underline = lf.lfUnderline != 0;
    font.strikeOut = lf.lfStrikeOut != 0;
    return true;
}

bool chooseFontNameSize(HWND owner, std::string& face, int& height) {
    LOGFONTW lf{};
    copyBounded(lf.lfFaceName, LF_FACESIZE, face);
    lf.lfHeight = height;
    lf.lfWeight = FW_NORMAL;
    if (!runFontDialog(owner, lf, CF_NOSTYLESEL, STYLE_BOX, nullptr) || !chosenFace(owner, lf.lfFaceName, face))
        return false;
    height = lf.lfHeight;
    return true;
}

bool chooseFontName(HWND owner, std::string& face) {
    LOGFONTW lf{};
    copyBounded(lf.lfFaceName, LF_FACESIZE, face);
    lf.lfWeight = FW_NORMAL;
    if (!runFontDialog(owner, lf, CF_NOSTYLESEL | CF_NOSIZESEL, STYLE_BOX | SIZE_BOX, nullptr) ||
        !chosenFace(owner, lf.lfFaceName, face))
        return false;
    return true;
}

bool chooseFontSize(HWND owner, int& height) {
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfWeight = FW_NORMAL;
    if (!runFontDialog(owner, lf, CF_NOSTYLESEL | CF_NOFACESEL, FACE_BOX | STYLE_BOX, nullptr)) return false;
    height = lf.lfHeight;
    return true;
}

}  // namespace dialogs
