// The program's entry: kelderwyn-map [--desktop] [FOLDER], after the options
// of Qt itself (-style, -platform, -reverse ...), which Qt takes out first.
//
// - --help and --version are answered before Qt starts, so they need no
//   display. A wrong command line names its wrong part on stderr, status 2;
//   so does a FOLDER that cannot be entered. The conventions are those of
//   every program of the package (CommandLine.h).
// - FOLDER: the viewer works in that folder exactly as if it had been started
//   there (the map, the database and "~temp.bmp" all live in it). Its name is
//   handed to the file system as the bytes given.
// - Without --desktop everything else is as it always was: a folder without
//   a data file closes the window without a message box. The program then
//   prints one line on stderr that names the file and the folder, and ends
//   with status 1; otherwise the status is 0 once the window has run.
// - --desktop, the mode of the desktop entry, is for people: TDesktopSession
//   chooses the folder, asks when there is none, remembers it once it has
//   loaded, and opens another on Ctrl+O. Cancel in its first dialog ends the
//   program with status 0.
#pragma once

int RunViewer(int argc, char** argv);
