#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>
#include <shlobj.h>

#include <cstdlib>
#include <cstring>

#include "settings/CommonDialogs.h"

namespace dialogs {
namespace {

constexpr int PATH_BYTES = 260;

// Pairs of label and pattern, ending with an empty pair.
const char FILE_FILTER[] =
    "テキストファイル(*.txt)\0*.txt\0"
    "リッチテキスト形式(*.rtf)\0*.rtf\0"
    "すべてのファイル(*.*)\0*.*\0";

void copyBounded(char* dst, size_t size, const std::string& src) {
    size_t n = src.size() < size - 1 ? src.size() : size - 1;
    std::memcpy(dst, src.data(), n);
    dst[n] = 0;
}

OPENFILENAMEA fileDialog(HWND owner, char* path, const char* title, DWORD flags) {
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = FILE_FILTER;
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
    if (msg == BFFM_INITIALIZED && data) SendMessageA(hwnd, BFFM_SETSELECTIONA, TRUE, data);
    return 0;
}

bool browseFolder(HWND owner, const char* start, std::string& folder) {
    char display[PATH_BYTES] = {};
    BROWSEINFOA bi{};
    bi.hwndOwner = owner;
    bi.pszDisplayName = display;
    bi.lpszTitle = "保存先を選択してください";
    bi.ulFlags = BIF_RETURNONLYFSDIRS;
    if (start) {
        bi.lpfn = folderBrowserProc;
        bi.lParam = reinterpret_cast<LPARAM>(start);
    }
    LPITEMIDLIST pidl = SHBrowseForFolderA(&bi);
    if (!pidl) return false;
    char path[MAX_PATH] = {};
    bool ok = SHGetPathFromIDListA(pidl, path) != FALSE;
    CoTaskMemFree(pidl);
    if (ok) folder = path;
    return ok;
}

bool runColourDialog(HWND owner, COLORREF& colour, COLORREF* custom) {
    CHOOSECOLORA cc{};
    cc.lStructSize = sizeof(cc);
    cc.hwndOwner = owner;
    cc.rgbResult = colour;
    cc.lpCustColors = custom;
    cc.Flags = CC_FULLOPEN | CC_RGBINIT;
    if (!ChooseColorA(&cc)) return false;
    colour = cc.rgbResult;
    return true;
}

// Boxes of the font chooser that a wrapper greys out.
enum FontBox : LPARAM { FACE_BOX = 1, STYLE_BOX = 2, SIZE_BOX = 4, COLOUR_BOX = 8 };

UINT_PTR CALLBACK fontHookProc(HWND dlg, UINT msg, WPARAM, LPARAM lParam) {
    if (msg != WM_INITDIALOG) return 0;
    LPARAM boxes = reinterpret_cast<CHOOSEFONTA*>(lParam)->lCustData;
    const struct {
        LPARAM bit;
        int id;
    } map[] = {{FACE_BOX, cmb1}, {STYLE_BOX, cmb2}, {SIZE_BOX, cmb3}, {COLOUR_BOX, cmb4}};
    for (const auto& m : map) {
        if (HWND box = GetDlgItem(dlg, m.id); box && (boxes & m.bit)) EnableWindow(box, FALSE);
    }
    return TRUE;
}

// Runs the font chooser over `lf` with the screen fonts of the Shift-JIS set.
bool runFontDialog(HWND owner, LOGFONTA& lf, DWORD flags, LPARAM disabledBoxes, char* style) {
    lf.lfCharSet = SHIFTJIS_CHARSET;
    CHOOSEFONTA cf{};
    cf.lStructSize = sizeof(cf);
    cf.hwndOwner = owner;
    cf.lpLogFont = &lf;
    cf.Flags = flags | CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_NOSCRIPTSEL | CF_ENABLEHOOK;
    cf.lpfnHook = fontHookProc;
    cf.lCustData = disabledBoxes;
    cf.lpszStyle = style;
    if (style) cf.Flags |= CF_USESTYLE;
    return ChooseFontA(&cf) != FALSE;
}

const char* styleName(bool bold, bool italic) {
    if (bold && italic) return "太字 斜体";
    if (bold) return "太字";
    if (italic) return "斜体";
    return "標準";
}

}  // namespace

int chooseSaveFile(HWND owner, std::string& path) {
    char buf[PATH_BYTES];
    copyBounded(buf, sizeof(buf), path);
    OPENFILENAMEA ofn = fileDialog(owner, buf, "名前を付けて保存", OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST);
    ofn.lpstrDefExt = "txt";
    if (!GetSaveFileNameA(&ofn)) return 0;
    path = buf;
    return static_cast<int>(ofn.nFilterIndex);
}

int chooseOpenFileFilter(HWND owner, std::string& path) {
    char buf[PATH_BYTES];
    copyBounded(buf, sizeof(buf), path);
    OPENFILENAMEA ofn = fileDialog(owner, buf, "開く", OFN_FILEMUSTEXIST);
    if (!GetOpenFileNameA(&ofn)) return 0;
    path = buf;
    return static_cast<int>(ofn.nFilterIndex);
}

bool chooseOpenFile(HWND owner, std::string& path) { return chooseOpenFileFilter(owner, path) != 0; }

bool chooseFolder(HWND owner, std::string& folder) { return browseFolder(owner, nullptr, folder); }

bool chooseFolderFrom(HWND owner, const std::string& start, std::string& folder) {
    char buf[PATH_BYTES];
    copyBounded(buf, sizeof(buf), start);
    return browseFolder(owner, buf, folder);
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
    LOGFONTA lf{};
    copyBounded(lf.lfFaceName, LF_FACESIZE, font.face);
    lf.lfHeight = font.height;
    lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = font.italic;
    lf.lfUnderline = font.underline;
    lf.lfStrikeOut = font.strikeOut;
    char style[64];
    copyBounded(style, sizeof(style), styleName(font.bold, font.italic));
    if (!runFontDialog(owner, lf, CF_EFFECTS, COLOUR_BOX, style)) return false;
    font.face = lf.lfFaceName;
    font.height = lf.lfHeight;
    font.bold = lf.lfWeight >= FW_BOLD;
    font.italic = lf.lfItalic != 0;
    font.underline = lf.lfUnderline != 0;
    font.strikeOut = lf.lfStrikeOut != 0;
    return true;
}

bool chooseFontNameSize(HWND owner, std::string& face, int& height) {
    LOGFONTA lf{};
    copyBounded(lf.lfFaceName, LF_FACESIZE, face);
    lf.lfHeight = height;
    lf.lfWeight = FW_NORMAL;
    if (!runFontDialog(owner, lf, CF_NOSTYLESEL, STYLE_BOX, nullptr)) return false;
    face = lf.lfFaceName;
    height = lf.lfHeight;
    return true;
}

bool chooseFontName(HWND owner, std::string& face) {
    LOGFONTA lf{};
    copyBounded(lf.lfFaceName, LF_FACESIZE, face);
    lf.lfWeight = FW_NORMAL;
    if (!runFontDialog(owner, lf, CF_NOSTYLESEL | CF_NOSIZESEL, STYLE_BOX | SIZE_BOX, nullptr)) return false;
    face = lf.lfFaceName;
    return true;
}

bool chooseFontSize(HWND owner, int& height) {
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfWeight = FW_NORMAL;
    if (!runFontDialog(owner, lf, CF_NOSTYLESEL | CF_NOFACESEL, FACE_BOX | STYLE_BOX, nullptr)) return false;
    height = lf.lfHeight;
    return true;
}

}  // namespace dialogs
