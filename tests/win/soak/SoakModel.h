// The soak's model of a book: what the user's actions mean, kept beside the
// real program and compared with what reaches the disk. It is updated only
// from the actions themselves, never read back from the program.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "store/PageTable.h"
#include "store/DataFile.h"

namespace soak {

struct Node {
    int id = 0;
    int depth = 0;  // pre-order with depths: a subtree is a run of deeper nodes
    bool folder = false;
    bool secure = false;
    std::string title;  // code page 932
    std::wstring text;  // plain text, paragraphs ended by '\r'
};

// The book as the disk should hold it, plus what the user sees of the session.
struct Book {
    std::vector<Node> nodes;
    int bookmark = 0;  // node id, 0: none
    int nextId = 1;
    bool copyAsText = false, pasteAsText = false;  // the book's clipboard options
    int registration = 0;                          // which password registration the book carries, 0: none

    int indexOf(int id) const;
    int subtreeEnd(int index) const;  // one past the last node of the subtree
    int parentOf(int index) const;    // -1 at the top level
    bool hasChildren(int index) const { return subtreeEnd(index) > index + 1; }
    // Inserts `run` (depths relative to 0) as the last children of `parent` (-1: top level);
    // returns the index of its first node. The run gets fresh ids.
    int appendUnder(int parent, std::vector<Node> run);
    std::vector<Node> copySubtree(int index) const;  // depths relative to 0
    void eraseSubtree(int index);
    // A drop: the subtree at `dragged` goes right before `target`, as its sibling; the
    // emptied old parent gets a page. False (nothing moves) for a drop on the subtree itself.
    bool moveBefore(int dragged, int target);
    bool anySecure() const;
    // The position the data file keeps: a bookmark on a secure item is not kept (0).
    int savedBookmark() const;
};

// Cut at 255 bytes without splitting a double-byte character.
std::string cutTitle(const std::string& title);
// Code page 932 bytes to the text a rich edit holds, and back (for messages, in the program's code page).
std::wstring fromCp932(const std::string& bytes);
std::string toCp932(const std::wstring& text);
// A page saved as a text file: code page 932 when every character fits, else UTF-8 with its mark.
std::string textFileBytes(const std::wstring& text, bool& utf8);
// The whole text of a rich edit control, as Unicode.
std::wstring richEditText(HWND edit);

// A book read from a data file: every record in tree order, secure texts
// decrypted with `password`. Empty `error` when it could be read whole.
struct DiskBook {
    std::vector<Node> nodes;
    int bookmarkOrder = 0;
    bool registered = false;
    bool copyAsText = false, pasteAsText = false;
    SaveKind kind = SaveKind::ExitData;
    std::string error;
};
DiskBook readDisk(const std::string& path, const std::string& password);

// The first difference between the model and a disk book, empty when none.
std::string firstDifference(const Book& model, const DiskBook& disk);

// Whether two books would be the same on disk.
bool sameBook(const Book& a, const Book& b);

// A book on one line and back, for the journal of a child that may be killed at any instant.
std::string serialise(const Book& book);
bool parseBook(const std::string& line, Book& book);

// What a backup slot holds in the model.
struct Slot {
    Book book;
    SaveKind kind = SaveKind::ExitData;
};

// The first of `candidates` the file at `path` holds (and its save kind), -1 when none; `why`
// then names the difference from the first candidate.
int matchFile(const std::string& path, const std::vector<Book>& candidates, SaveKind& kind, std::string& why);

}  // namespace soak
