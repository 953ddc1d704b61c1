// Which folder the viewer works in: the checks and choices made before the
// window opens, none of which shows anything.
//
// Folder names are the file system's bytes (QByteArray), as the command line
// and the working folder give them: on Linux a name need not be UTF-8, and a
// QString would not carry it back unchanged. A QString form is only for names
// that come from Qt, such as the folder chooser's (QFile::encodeName).
//
// MissingMapFile gives the first of the two data files, MapFileName and then
// LocationsFileName, that is not a regular file in `folder` (the existence
// rule of the start-up: a folder of that name does not count), or the empty
// text when both are there. A folder that does not exist lacks both.
//
// FolderToOpen gives the first of `candidates` that holds both files, empty
// entries passed over, or the empty text when none does.
//
// RememberedFolderProblem says why the remembered `folder` does not open:
// "FOLDER, opened last time, no longer exists." when it is no folder any
// more, else "... no longer holds FILE."; the empty text for an empty name
// or a folder that holds both files.
//
// The folder opened last in people mode is kept with QSettings under the
// application id (~/.config/io.kelderwyn.Map.conf on Linux), as bytes; a name
// kept as text by an earlier version is read as well. A failed write is
// silent and only means it is not remembered. The sample world lives in
// SampleWorldFolder(), below QStandardPaths::AppDataLocation, which the user
// can write to. SampleWorldGenerator() is the generator beside the viewer's
// own executable, else the one found on the PATH, else the empty text.
#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QString>

// The id of the desktop entry and of the AppStream metadata.
inline constexpr char AppId[] = "io.kelderwyn.Map";

QString MissingMapFile(const QByteArray& folder);
QString MissingMapFile(const QString& folder);
QByteArray FolderToOpen(const QByteArrayList& candidates);
QString RememberedFolderProblem(const QByteArray& folder);

QByteArray RememberedMapFolder();
void RememberMapFolder(const QByteArray& folder);

QString SampleWorldFolder();
QString SampleWorldGenerator();
