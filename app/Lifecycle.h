// The book's safety over a run, in one place: the first load and its recovery, whether
// the book was read (nothing is written before it was), the two timers, the saves of the
// data file, the data files this run wrote, and the shutdown. (Which page the editor
// holds belongs to pagedisplay, which sets it together with the editor's content.)
#pragma once
#include <windows.h>

#include <string>

#include "store/DataFile.h"

namespace lifecycle {

constexpr UINT_PTR BACKUP_TIMER = 1;
constexpr UINT_PTR BG_SAVE_TIMER = 2;

// The creation's one flow: the leftovers of a killed save go, the data file is read (an
// unusable one is recovered from the backups or, if the user agrees, replaced by a new
// book), and only then do the timers start and may the book be written. False when the
// creation must stop here: the user refused, nothing will be written, the window closes.
bool openFirstBook(HWND window);

// Until the first load succeeded no tick, no backup and no exit or session-end save
// writes anything: a damaged book stays as it is for its rescue.
// The exit writes the book, the settings and the exit backup only when the book was read
// and this is on (a tool or test that must not write switches it off).
void setSaveAtExit(bool on);

// (Re)starts timer 1 with the period BackupInterval minutes: after the first load, and
// after the settings dialog stored a new interval.
void restartBackupTimer(HWND window);
void startTimers(HWND window);
void stopTimers(HWND window);

// Timer 1: a periodic backup when TimeBackup is on.
void CALLBACK backupTick(HWND window, UINT message, UINT_PTR id, DWORD time);
// Timer 2, every minute: saves the book every BgSaveInterval minutes (-1: never).
void CALLBACK backgroundSaveTick(HWND window, UINT message, UINT_PTR id, DWORD time);
// Minutes counted since the last background save.
int backgroundSaveCounter();

// The data file looked at outside a save (the window activated, a resume, a drive, the folder
// changed): another writer's version is kept aside and the user chooses, as before a save.
void lookAtDataFile(HWND window);
// Writes the book to the data file; on failure asks Retry/Cancel when `ask` is set.
bool saveBook(HWND window, bool ask);
// After the settings dialog's OK: the settings file is written at once, as a start after a
// kill reads it. When the data folder moved, the book goes first into the old data file and
// then into the new one, so the folder the settings file names holds the book of this moment
// whenever the run ends. False, with nothing of the settings written, when the book could not
// be written into the new data folder.
bool keepChosenSettings(HWND window, const std::string& oldDataFile);
// True when this run wrote a book to the path (its own file, not another book's).
bool wroteThisRun(const std::string& path);
// The shutdown has run (an exit, or a session that ended inside an operation): the
// operation that goes on afterwards writes nothing more.
bool isShutDown();

// WM_DESTROY, or WM_ENDSESSION when the session ends: store, save, write the settings,
// release everything, post the quit message. Runs once per main window.
void shutdown(HWND window, bool sessionEnding);

// Whether the exit's Retry/Cancel box (the data file could not be written) is up: a session
// end is then refused with a reason. One forced anyway writes the settings and the book to a
// backup slot first, so that this run's edits are in some file.
bool exitRetryUp();

// The book may hold edits not yet in the data file (any command, any change of a page),
// until the next save of it.
void noteEdit();
void sessionForcedDuringExitRetry();

// A new main window starts unread, with a fresh counter and shutdown state.
void reset();

}  // namespace lifecycle
