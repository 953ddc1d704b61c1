// The program's entry: kelderwyn-map [--desktop] [FOLDER].
//
// - FOLDER: the viewer works in that folder exactly as if it had been started
//   there (the map, the database and "~temp.bmp" all live in it). A folder
//   that cannot be entered gets one line on stderr and exit status 2, as does
//   a wrong command line; --help prints the usage and exits with 0.
// - Without --desktop, and with no argument at all, everything else is as
//   before: a folder without the map closes the window at once, silently.
// - --desktop, the mode of the desktop entry, is for people: the remembered
//   folder, else the working folder (FOLDER when given), opens straight away
//   when it holds both data files; otherwise TMapFolderDialog asks, and Cancel
//   ends the program with exit status 0. The folder opened is remembered.
//
// Qt is given only the program name. The exit status is 0 once the window
// has run.
#pragma once

int RunViewer(int argc, char** argv);
