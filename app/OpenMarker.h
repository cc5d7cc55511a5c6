// Across PCs (a share, a synced folder) the single-instance mutex cannot see the other window:
// a small text file beside the book names the machine, the user and the time it was opened.
// Written at open, removed at exit; a start on another PC warns and opens anyway by default
// (the data file's fingerprint check keeps both sides' edits). A marker left by this PC (a
// crash: no window of this PC holds the book, or the mutex would have said so) is taken over.
#pragma once
#include <windows.h>

#include <string>

namespace openmarker {

// "inuse.txt" in the data file's folder.
std::string pathFor(const std::string& dataFile);

struct Marker {
    std::wstring machine, user, since;
    unsigned long process = 0;
    bool operator==(const Marker& o) const {
        return machine == o.machine && user == o.user && since == o.since && process == o.process;
    }
};

// The marker's text (UTF-8 lines "key=value") and back; false when it is not one.
std::string format(const Marker& marker);
bool parse(const std::string& text, Marker& marker);

// This run: the computer's and the user's names, the local time now, the process.
Marker ofThisRun();

// At the start, before the book is read: false when the user chose not to open a book another
// PC has open (nothing is written then). Otherwise this run's marker is written beside the book.
bool claim(const std::string& dataFile);
// This run's marker written beside `dataFile` (the one before goes), without a question.
void moveTo(const std::string& dataFile);
// The data folder moved: the marker of a run that claimed its book goes with it.
void follow(const std::string& dataFile);
// After a save of the data file: a first start's marker, once the save made the data folder.
void afterSave(const std::string& dataFile);
// At the exit and when the data folder moved: the marker goes if it is still this run's.
void release();
// Who has the book open, for the refusal of a start in another session of this PC; empty when
// no marker says it.
std::wstring holderText(const std::string& dataFile);

}  // namespace openmarker
