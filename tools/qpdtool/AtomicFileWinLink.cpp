// qpdtool links the portable core only; on Windows it needs the Win32 side of
// the atomic file write, which otherwise lives in the program's Win32 library.
#ifdef _WIN32
#include "store/AtomicFileWin.cpp"
#endif
