// The book's safety over a run: the first load, the two timers, and the shutdown.
#pragma once
#include <windows.h>

#include "store/DataFile.h"

namespace lifecycle {

constexpr UINT_PTR BACKUP_TIMER = 1;
constexpr UINT_PTR BG_SAVE_TIMER = 2;

// Creation step 6: timer 1 every BackupInterval minutes, timer 2 every minute.
void startTimers(HWND window);
// (Re)starts timer 1 with the period BackupInterval minutes: at creation, and after the
// settings dialog stored a new interval.
void restartBackupTimer(HWND window);
void stopTimers(HWND window);

// Creation steps 7 and 8: loads the data file; when it cannot be used, the recovery of
// an unusable book runs. False when the creation must stop here.
bool loadFirstBook(HWND window);

// One backup of the window's book into the slot rotation; the caller stores the shown page first.
bool makeBackup(SaveKind kind);

// Timer 1: a periodic backup when TimeBackup is on.
void CALLBACK backupTick(HWND window, UINT message, UINT_PTR id, DWORD time);
// Timer 2, every minute: saves the book every BgSaveInterval minutes (-1: never).
void CALLBACK backgroundSaveTick(HWND window, UINT message, UINT_PTR id, DWORD time);
// Minutes counted since the last background save.
int backgroundSaveCounter();

// Writes the book to the data file; on failure asks Retry/Cancel when `ask` is set.
bool saveBook(HWND window, bool ask);

// WM_DESTROY, or WM_ENDSESSION when the session ends: store, save, write the settings,
// release everything, post the quit message. Runs once per main window.
void shutdown(HWND window, bool sessionEnding);

// A new main window starts with a fresh counter and shutdown state.
void reset();

}  // namespace lifecycle
