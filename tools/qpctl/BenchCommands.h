// qpctl's commands for the benchmark of the program (scripts/bench-app.sh):
//   qpctl idle [seconds]        waits until the window is shown and its thread idle;
//                               prints start_ms, the time since the process began
//   qpctl exit [seconds]        closes the window and waits for the process to end;
//                               prints exit_ms
//   qpctl switch N              Home, then N presses of Down in the page list;
//                               prints switch_ms (per press) and switched (changes seen)
//   qpctl streamin BOOK N       streams the RTF of the book's first N pages into a
//                               rich edit of its own; prints streamin_ms (per page)
//   qpctl bigbook OUT BYTES     writes a book whose first page holds about BYTES of
//                               RTF in short lines, followed by one ordinary page
#pragma once

namespace benchcommands {

// Runs argv[1] when it is one of the commands above: its exit code; -1 otherwise.
int run(int argc, char** argv);

}  // namespace benchcommands
