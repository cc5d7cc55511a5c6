#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "app/Commands.h"

#include <cstdlib>
#include <vector>

#include "app/AppMessages.h"
#include "app/AppState.h"
#include "app/BackupCommands.h"
#include "app/FolderChange.h"
#include "app/Book.h"
#include "app/Lifecycle.h"
#include "app/MainControls.h"
#include "app/PageCommands.h"
#include "app/PageDisplay.h"
#include "app/SecureCommands.h"
#include "editor/DateStamp.h"
#include "editor/RtfStream.h"
#include "help/AboutBox.h"
#include "help/Manual.h"
#include "help/UsageWindow.h"
#include "io/Shortcut.h"
#include "pagelist/PageListTree.h"
#include "settings/ColourSchemeDialog.h"
#include "settings/SettingsDialog.h"
#include "settings/SettingsMessages.h"
#include "settings/StandardFontDialog.h"
#include "res/resource.h"
#include "search/SearchWindow.h"
#include "ui/Busy.h"
#include "ui/WideText.h"

namespace commands {

namespace {

using Handler = void (*)(HWND window);

MemoEditor& memo() { return gControls.memo; }
HWND editor() { return gControls.memo.window(); }

// ---- editor
void undo(HWND) { SendMessageW(editor(), WM_UNDO, 0, 0); }
void redo(HWND) { SendMessageW(editor(), EM_REDO, 0, 0); }
void cut(HWND) { SendMessageW(editor(), WM_CUT, 0, 0); }
void copy(HWND) { SendMessageW(editor(), WM_COPY, 0, 0); }
void paste(HWND) { SendMessageW(editor(), WM_PASTE, 0, 0); }
void clearSelection(HWND) { SendMessageW(editor(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"")); }
void selectAll(HWND) { memo().SelectAll(); }
void chooseFace(HWND) { memo().ChooseSelectionFace(); }
void chooseSize(HWND) { memo().ChooseSelectionSize(); }
void toggleBold(HWND) { memo().ToggleBold(); }
void toggleItalic(HWND) { memo().ToggleItalic(); }
void toggleStrikeOut(HWND) { memo().ToggleStrikeOut(); }
void toggleUnderline(HWND) { memo().ToggleUnderline(); }
void chooseColour(HWND) { memo().ChooseSelectionColour(); }
void chooseFont(HWND) { memo().ChooseSelectionFont(); }
void lastColour(HWND) { memo().ApplyLastColour(); }
void lastFont(HWND) { memo().ApplyLastFont(); }

void insertDate(HWND) {
    const std::string stamp = datestamp::CurrentDateStamp(gApp.ini.window.DateString);
    SendMessageW(editor(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(wide::from932(stamp).c_str()));
}

void toggleCopyAsText(HWND) { memo().copyAsText = !memo().copyAsText; }
void togglePasteAsText(HWND) { memo().pasteAsText = !memo().pasteAsText; }

// The characters stay, those outside code page 932 too; every character format goes.
// The text goes back in as a replacement of the selection, never read as RTF.
void resetPageFont(HWND window) {
    if (wide::messageBox(window, settingsmessages::RESET_FONT_TEXT, settingsmessages::RESET_FONT_CAPTION,
                    MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return;
    const std::wstring text = rtfstream::EditorTextUnicode(editor());
    rtfstream::StreamInRtf(editor(), EMPTY_PAGE_RTF);
    memo().SelectAll();
    rtfstream::ReplaceSelectionUnicode(editor(), text);
    SendMessageW(editor(), EM_SETSEL, 0, 0);
    // the formats before it are gone: its undo history starts afresh, as for a page just shown
    SendMessageW(editor(), EM_EMPTYUNDOBUFFER, 0, 0);
}

// ---- settings
void openSettings(HWND window) {
    const paths::AppPaths before = gApp.paths;
    const std::string beforeDataFolder = gApp.ini.setting.QpdDirPath;
    if (!settingsdialog::runSettingsDialog(window, gApp.ini, gApp.paths, gBook.bookNumber)) return;
    lifecycle::restartBackupTimer(window);
    folderchange::afterSettings(window, before, beforeDataFolder);
}

// Every page and folder in tree order takes the standard font (and/or its colour); a secure
// page left locked is not stored back. The page that was shown is shown again.
void applyStandardFontToAllPages(HWND window, int apply) {
    using namespace standardfontdialog;
    PageListControl& list = gControls.pageList;
    const ItemHandle shown = pagedisplay::shownItem();
    std::vector<ItemHandle> items;
    for (ItemHandle item = list.FirstChild(PageListControl::root()); item; item = list.NextInOrder(item))
        items.push_back(item);
    const DataFileHeader& h = gBook.header;
    for (ItemHandle item : items) {
        pagedisplay::showPage(item, window);
        memo().SelectAll();
        if (apply & APPLY_FONT) memo().SetSelectionFont(standardFontFaceOf(h), std::abs(h.standardFontHeight));
        if (apply & APPLY_COLOUR) memo().SetSelectionColour(h.standardFontColour);
        SendMessageW(editor(), EM_SETSEL, 0, 0);
        pagedisplay::markChanged();
    }
    pagedisplay::showPage(shown, window);  // stores the last page of the walk first
}

void setListTextColour(COLORREF colour) { gControls.pageList.SetTextColour(colour); }
void setListBackColour(COLORREF colour) { gControls.pageList.SetBackColour(colour); }
void setMemoBackColour(COLORREF colour) { memo().SetBackColour(colour); }

void openColourScheme(HWND window) {
    const colourschemedialog::SchemeTargets targets{window, setListTextColour, setListBackColour, setMemoBackColour};
    colourschemedialog::runColourSchemeDialog(window, gBook.header, targets);
}

void openStandardFont(HWND window) {
    standardfontdialog::runStandardFontDialog(window, gBook.header, applyStandardFontToAllPages);
}

// ---- search
// The search window, with the editor's selection (its first line) to look for.
void openSearch(HWND) { search::showSearchWindow(memo().GetSelectedFirstLine()); }

// ---- view
void toggleListLines(HWND) { gControls.pageList.SetLines(!gControls.pageList.HasLines()); }
void toggleWordWrap(HWND) { memo().SetNoWrap(!memo().noWrap); }

void toggleLinkDisplay(HWND window) {
    memo().SetUrlDetection(!memo().urlDetection);
    wide::messageBox(window, appmessages::LINK_CHANGED_TEXT, appmessages::LINK_CHANGED_CAPTION, MB_OK);
}

void toggleAlwaysOnTop(HWND window) {
    gApp.alwaysOnTop = !gApp.alwaysOnTop;
    SetWindowPos(window, gApp.alwaysOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    SendMessageW(gControls.toolbar, TB_CHECKBUTTON, IDM_ALWAYS_ON_TOP, MAKELONG(gApp.alwaysOnTop ? TRUE : FALSE, 0));
}

void maximize(HWND window) { ShowWindow(window, SW_MAXIMIZE); }
void minimize(HWND window) { ShowWindow(window, SW_MINIMIZE); }
void restoreWindow(HWND window) { ShowWindow(window, SW_SHOWNORMAL); }
void focusList(HWND) { SetFocus(gControls.pageList.window()); }
void focusEditor(HWND) { SetFocus(editor()); }

// ---- program
void exitProgram(HWND window) { DestroyWindow(window); }

void openManual(HWND window) { manual::open(window, gApp.paths.appFolder); }

void showUsage(HWND) { usagewindow::show(gApp.usageWindow, true); }
void showAbout(HWND window) { aboutbox::runAboutBox(window); }
void offerShortcut(HWND window) { shortcut::offerShortcut(window, gApp.paths.appFolder); }

// ---- import and export
ItemHandle selectedItem() { return gControls.pageList.GetSelection(); }

void setPageTitle(ItemHandle item, const std::string& title) {
    // a title edit the new page opened holds the old title: it is cancelled, not committed later
    SendMessageW(gControls.pageList.window(), TVM_ENDEDITLABELNOW, TRUE, 0);
    gControls.pageList.SetTitle(item, title);
    const int index = gBook.pages.indexOfItem(item);
    if (index >= 0) setTitle(gBook.pages.recordAt(index), title);
}

void storeAndNumber() {
    pagedisplay::storeShownPage();
    PageListTree tree(gControls.pageList);
    refreshFromTree(gBook.pages, tree);
}

void readPage(HWND window) { importexport::readPage(window, ioShell()); }
void savePage(HWND window) { importexport::savePage(window, ioShell()); }
void saveAllPages(HWND window) { importexport::saveAllPages(window, ioShell()); }

// Commands whose windows and dialogs are not in this build yet: known ids that do nothing.
void notYetAvailable(HWND) {}

struct Entry {
    int id;
    Handler handler;
};

const Entry TABLE[] = {
    {IDM_READ_PAGE, readPage},
    {IDM_SAVE_PAGE, savePage},
    {IDM_SAVE_ALL_RTF, saveAllPages},
    {IDM_SHORTCUT, offerShortcut},
    {IDM_EXIT, exitProgram},
    {IDM_EDIT_TITLE, pagecommands::editTitle},
    {IDM_SET_BOOKMARK, pagecommands::setBookmark},
    {IDM_OPEN_BOOKMARK, pagecommands::openBookmark},
    {IDM_ADD_PAGE, pagecommands::addPage},
    {IDM_ADD_FOLDER, pagecommands::addFolder},
    {IDM_COPY_PAGE, pagecommands::copyPage},
    {IDM_PASTE_PAGE, pagecommands::pastePage},
    {IDM_DELETE_PAGE, pagecommands::deletePage},
    {IDM_SEARCH, openSearch},
    {IDM_MAKE_SECURE, securecommands::makeSecure},
    {IDM_MAKE_ORDINARY, securecommands::makeOrdinary},
    {IDM_NEXT_PAGE, pagecommands::nextPage},
    {IDM_PREVIOUS_PAGE, pagecommands::previousPage},
    {IDM_COLLAPSE_FOLDERS, pagecommands::collapseFolders},
    {IDM_UNDO, undo},
    {IDM_REDO, redo},
    {IDM_CUT, cut},
    {IDM_COPY, copy},
    {IDM_PASTE, paste},
    {IDM_CLEAR, clearSelection},
    {IDM_SELECT_ALL, selectAll},
    {IDM_FACE, chooseFace},
    {IDM_SIZE, chooseSize},
    {IDM_BOLD, toggleBold},
    {IDM_ITALIC, toggleItalic},
    {IDM_STRIKE_OUT, toggleStrikeOut},
    {IDM_UNDERLINE, toggleUnderline},
    {IDM_TEXT_COLOUR, chooseColour},
    {IDM_FONT, chooseFont},
    {IDM_LAST_COLOUR, lastColour},
    {IDM_LAST_FONT, lastFont},
    {IDM_INSERT_DATE, insertDate},
    {IDM_COPY_AS_TEXT, toggleCopyAsText},
    {IDM_PASTE_AS_TEXT, togglePasteAsText},
    {IDM_LIST_LINES, toggleListLines},
    {IDM_WORD_WRAP, toggleWordWrap},
    {IDM_LINK_DISPLAY, toggleLinkDisplay},
    {IDM_ALWAYS_ON_TOP, toggleAlwaysOnTop},
    {IDM_MAXIMIZE, maximize},
    {IDM_MINIMIZE, minimize},
    {IDM_RESTORE_WINDOW, restoreWindow},
    {IDM_COLOUR_SCHEME, openColourScheme},
    {IDM_STANDARD_FONT, openStandardFont},
    {IDM_RESET_PAGE_FONT, resetPageFont},
    {IDM_FOCUS_LIST, focusList},
    {IDM_FOCUS_EDITOR, focusEditor},
    {IDM_RESTORE, backupcommands::restore},
    {IDM_SETTINGS, openSettings},
    {IDM_USAGE, showUsage},
    {IDM_MANUAL, openManual},
    {IDM_ABOUT, showAbout},
};

}  // namespace

importexport::Shell ioShell() {
    importexport::Shell shell;
    shell.editor = editor;
    shell.selectedItem = selectedItem;
    shell.setTitle = setPageTitle;
    shell.autoEdit = gApp.ini.window.AutoEdit;
    shell.book = &gBook.pages;
    shell.header = &gBook.header;
    shell.storeAndNumber = storeAndNumber;
    shell.unlockShownPage = pagedisplay::unlockShownPage;
    return shell;
}

bool handleCommand(HWND window, int id, LPARAM) {
    const Entry* entry = nullptr;
    for (const Entry& e : TABLE)
        if (e.id == id) entry = &e;
    if (!entry) return false;
    // inside another operation's dialog, or while a page is dragged: known, and refused
    if (busy::refusesCommands() || gControls.pageList.IsDragging()) return true;
    if (changesEditor(id) && memo().IsReadOnly()) return true;  // known, and nothing to do
    const busy::Operation operation;
    lifecycle::noteEdit();  // any command may have changed the book since the last save
    entry->handler(window);
    // a cut, a clear, undo, a format: the page changed even where the control does not say so
    if (changesEditor(id)) pagedisplay::markChanged();
    return true;
}

void sendOwnCommand(HWND window, int id) {
    const busy::OwnSteps own;
    SendMessageW(window, WM_COMMAND, id, 0);
}

}  // namespace commands
