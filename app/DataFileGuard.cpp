#include <windows.h>
#include <commctrl.h>

#include "app/DataFileGuard.h"

#include "app/AppMessages.h"
#include "app/AppState.h"
#include "app/BookLoad.h"
#include "app/PageDisplay.h"
#include "app/SyncMerge.h"
#include "backup/BackupSlots.h"
#include "editor/DateStamp.h"
#include "store/AtomicFile.h"
#include "ui/Busy.h"
#include "ui/WideText.h"

namespace datafileguard {

namespace {

constexpr DWORD HEAD_BYTES = 4096;  // the header and the first records: what a save rewrites first

std::string gPath;          // the data file the fingerprint belongs to
Fingerprint gRemembered;    // as this run last read or wrote it
bool gAsking = false;       // the question is up (a timer tick may come meanwhile)
std::string gKeptAside;

std::uint64_t hashOf(const unsigned char* bytes, DWORD size) {
    std::uint64_t hash = 1469598103934665603ULL;
    for (DWORD i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 1099511628211ULL;
    return hash;
}

constexpr int ANSWER_MERGE = 1000;

// Merge (the default when this window has edits of its own), open the other version (the default
// without), or keep this window's book. A message box with the same three choices where the
// task dialog is missing.
int ask(HWND window, const std::string& text, bool hasEdits) {
    const std::wstring content = wide::from932(text + appmessages::OTHER_VERSION_CHOICES), caption = wide::from932(appmessages::OTHER_VERSION_CAPTION);
    const std::wstring merge = wide::from932(appmessages::OTHER_VERSION_MERGE),
                       open = wide::from932(appmessages::OTHER_VERSION_OPEN),
                       keep = wide::from932(appmessages::OTHER_VERSION_KEEP);
    const TASKDIALOG_BUTTON buttons[] = {{ANSWER_MERGE, merge.c_str()}, {IDYES, open.c_str()}, {IDNO, keep.c_str()}};
    TASKDIALOGCONFIG config = {};
    config.cbSize = sizeof config;
    config.hwndParent = window;
    config.pszWindowTitle = caption.c_str();
    config.pszMainIcon = TD_WARNING_ICON;
    config.pszContent = content.c_str();
    config.cButtons = 3;
    config.pButtons = buttons;
    config.nDefaultButton = hasEdits ? ANSWER_MERGE : IDYES;
    int pressed = IDNO;
    if (SUCCEEDED(TaskDialogIndirect(&config, &pressed, nullptr, nullptr))) return pressed;
    const int answer = wide::messageBox(window, text + appmessages::OTHER_VERSION_QUESTION, appmessages::OTHER_VERSION_CAPTION,
                                        MB_YESNOCANCEL | MB_ICONWARNING | (hasEdits ? MB_DEFBUTTON3 : MB_DEFBUTTON1));
    return answer == IDCANCEL ? ANSWER_MERGE : answer;
}

}  // namespace

std::string copyAside(const std::string& path) {
    const std::string stamp = datestamp::CurrentDateStamp(datestamp::DATE_FORMAT_FILE_STAMP);
    const std::string::size_type dot = path.rfind('.');
    const std::string stem = dot == std::string::npos ? path : path.substr(0, dot);
    const std::string extension = dot == std::string::npos ? std::string() : path.substr(dot);
    const std::string kept =
        backup::placeStamped(stem + ".other", stamp.substr(0, 8) + "-" + stamp.substr(8), [&](const std::string& target) {
            return copyFileTo(path, target + extension);
        });
    return kept.empty() ? kept : kept + extension;
}

Fingerprint take(const std::string& path) {
    Fingerprint f;
    HANDLE file = CreateFileW(wide::from932(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return f;
    BY_HANDLE_FILE_INFORMATION info = {};
    unsigned char head[HEAD_BYTES];
    DWORD got = 0;
    if (GetFileInformationByHandle(file, &info) && ReadFile(file, head, HEAD_BYTES, &got, nullptr)) {
        f.present = true;
        f.volume = info.dwVolumeSerialNumber;
        f.index = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
        f.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
        f.written = (static_cast<std::uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                    info.ftLastWriteTime.dwLowDateTime;
        f.headHash = hashOf(head, got);
    }
    CloseHandle(file);
    return f;
}

void remember(const std::string& path) {
    gPath = path;
    gRemembered = take(path);
}

const Fingerprint& remembered() { return gRemembered; }

void forget() {
    gPath.clear();
    gRemembered = Fingerprint();
}

Verdict check(HWND window, bool hasEdits) {
    const std::string& path = gApp.paths.dataFilePath;
    if (gAsking) return Verdict::WAIT;
    if (path != gPath) return Verdict::OURS;  // not the file this run read or wrote
    const Fingerprint now = take(path);
    // gone, or ours: the save makes it again; a file where there was none is another version
    if (!now.present || now == gRemembered) return Verdict::OURS;
    // Another writer's version: kept before anything else happens to it.
    gKeptAside = copyAside(path);
    if (gKeptAside.empty()) return Verdict::WAIT;  // not kept: not overwritten either, asked again next time
    const busy::Operation operation;
    gAsking = true;
    const std::string text = appmessages::OTHER_VERSION_TEXT + path + appmessages::OTHER_VERSION_KEPT + gKeptAside;
    const int answer = ask(window, text, hasEdits);
    gAsking = false;
    if (answer == ANSWER_MERGE && syncmerge::mergeCopy(window, gKeptAside, appmessages::OTHER_VERSION_ORIGIN)) {
        remember(path);
        return Verdict::LOADED_OTHER;  // the merged book is in the data file and in the window
    }
    if (answer != IDYES) {
        gRemembered = take(path);  // the save about to come replaces it; until then the question is not asked again
        return Verdict::KEEP_OURS;
    }
    // this window's book goes to a backup slot first, then the other version is read
    pagedisplay::storeShownPage();
    if (!bookload::makeBackup(SaveKind::BeforeRestore) || !bookload::loadIntoUi(window, path)) {
        gRemembered = take(path);
        return Verdict::KEEP_OURS;  // this window's book stays and is saved: the other is kept aside
    }
    remember(path);
    return Verdict::LOADED_OTHER;
}

const std::string& lastKeptAside() { return gKeptAside; }

}  // namespace datafileguard
