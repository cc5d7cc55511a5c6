#include <windows.h>
#include <shellapi.h>

#include "io/ImportExport.h"

#include <algorithm>

#include "editor/DateStamp.h"
#include "editor/RtfStream.h"
#include "io/BookExport.h"
#include "io/FileNames.h"
#include "io/IoMessages.h"
#include "io/TextFiles.h"
#include "pagelist/PageListRules.h"
#include "res/resource.h"
#include "secure/SecurePages.h"
#include "settings/CommonDialogs.h"
#include "ui/Busy.h"
#include "ui/WideText.h"

namespace importexport {

namespace {

constexpr std::size_t PATH_BYTES = 260;

// Empty when the folder's name is not code page 932 text: the dialogs then start where they like.
std::string currentDirectory() {
    wchar_t buffer[PATH_BYTES] = {};
    const DWORD length = GetCurrentDirectoryW(PATH_BYTES, buffer);
    std::string folder;
    if (length == 0 || length >= PATH_BYTES || !wide::to932(std::wstring(buffer, length), folder)) return std::string();
    return folder;
}

std::string withBackslash(const std::string& folder) {
    return !folder.empty() && folder.back() == '\\' ? folder : folder + "\\";
}

// A secure page's plain RTF, decrypted into a copy that is wiped afterwards.
bool decryptedText(const PageRecord& record, std::string& rtf) {
    PageRecord copy;
    copyFields(record, copy, 0);
    if (!secure::decryptPage(copy, false)) return false;
    rtf = copy.text;
    std::fill(copy.text.begin(), copy.text.end(), '\0');
    return true;
}

// Asked before anything is written when the book has a password.
bool authenticatedForSaving(HWND window, const Shell& shell) {
    if (!shell.header || !shell.header->passwordRegistered || secure::isAuthenticated()) return true;
    if (secure::authenticate(window, *shell.header)) return true;
    wide::messageBox(window, iomessages::NOT_AUTHENTICATED_TEXT, iomessages::SAVE_ALL_CAPTION, MB_OK | MB_ICONERROR);
    return false;
}

// A command the import gives as a step of its own: it runs inside the import.
void sendOwnCommand(HWND window, int id) {
    const busy::OwnSteps own;
    SendMessageW(window, WM_COMMAND, id, 0);
}

enum class Imported { ADDED, NOT_READ, NO_PAGE };

// The characters a page about to be added may hold.
std::size_t newPageLimit(const Shell& shell) {
    HWND editor = shell.editor();
    return shell.header ? textfiles::LimitOfNewPage(editor, shell.header->textLimit) : rtfstream::TextLimit(editor);
}

Imported importOne(int fileType, const std::string& path, HWND window, const Shell& shell) {
    const bool rtf = fileType == FILE_RTF;
    // read before a page is added for it, so a file that does not come in leaves no empty page
    std::string bytes;
    const std::size_t limit = newPageLimit(shell);
    const textfiles::PageFile read = textfiles::ReadPageFile(shell.editor(), path.c_str(), rtf, limit, bytes);
    if (read != textfiles::PageFile::READ) {
        textfiles::ReportNotRead(window, path.c_str(), read, limit);
        return Imported::NOT_READ;
    }
    const ItemHandle before = shell.selectedItem();
    sendOwnCommand(window, IDM_ADD_PAGE);
    const ItemHandle added = shell.selectedItem();
    // refused (a secure folder without authentication): the shown page keeps its text
    if (added == NO_ITEM || added == before) return Imported::NO_PAGE;
    // asked again: leaving a very long page put a fresh control in the old one's place
    textfiles::ShowPageFile(shell.editor(), bytes, rtf);
    shell.setTitle(added, pagelist::cutTitle(filenames::titleOfPath(path)));
    if (shell.autoEdit) sendOwnCommand(window, IDM_EDIT_TITLE);
    return Imported::ADDED;
}

}  // namespace

bool importFile(int fileType, const std::string& path, HWND window, const Shell& shell) {
    return importOne(fileType, path, window, shell) == Imported::ADDED;
}

void filesDropped(HWND window, HDROP drop, const Shell& shell) {
    if (busy::refusesCommands()) return;  // dropped inside another operation: not taken
    const busy::Operation operation;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        wchar_t widePath[PATH_BYTES] = {};
        if (!DragQueryFileW(drop, i, widePath, PATH_BYTES)) continue;
        std::string path;
        // a path code page 932 cannot spell could not be opened, nor give a title
        if (!wide::to932(widePath, path)) {
            textfiles::ReportNotRead(window, path.c_str(), textfiles::PageFile::UNREADABLE, 0);
            continue;
        }
        // when one page cannot be added, none of the others can either
        if (importOne(filenames::droppedFileType(path), path, window, shell) == Imported::NO_PAGE) break;
    }
}

void readPage(HWND window, const Shell& shell) {
    std::string path = withBackslash(currentDirectory()) + "*.txt";
    const int filter = dialogs::chooseOpenFileFilter(window, path);
    if (filter == 0) return;
    importFile(filter == dialogs::FILTER_RTF ? FILE_RTF : FILE_TEXT, path, window, shell);
}

void savePage(HWND window, const Shell& shell) {
    // a locked secure page shows only a placeholder: its own text, or nothing is written
    if (shell.unlockShownPage && !shell.unlockShownPage(window)) return;
    std::string title;
    const ItemHandle selected = shell.selectedItem();
    if (selected != NO_ITEM) {
        const int index = shell.book->indexOfItem(selected);
        if (index >= 0) title = pagelist::cutTitle(shell.book->recordAt(index).title);
    }
    std::string name = filenames::creatableBase(title);
    filenames::cleanFileName(name);
    std::string path = withBackslash(currentDirectory()) + name;
    textfiles::SavePageToFile(shell.editor(), window, path);  // reports a failed write
}

void saveAllPages(HWND window, const Shell& shell) {
    if (!authenticatedForSaving(window, shell)) return;
    std::string folder;
    if (!dialogs::chooseFolder(window, folder)) return;
    shell.storeAndNumber();
    bookexport::BookExport exporter(*shell.book, decryptedText);
    const bool saved = exporter.exportFolder(-1, withBackslash(folder),
                                             datestamp::CurrentDateStamp(datestamp::DATE_FORMAT_FILE_STAMP));
    wide::messageBox(window, saved ? iomessages::SAVE_ALL_OK_TEXT : iomessages::SAVE_ALL_FAILED_TEXT,
                iomessages::SAVE_ALL_DONE_CAPTION, MB_OK | (saved ? MB_ICONINFORMATION : MB_ICONERROR));
}

}  // namespace importexport
