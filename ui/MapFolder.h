// Which folder the viewer works in: the checks and choices made before the
// window opens, none of which shows anything.
//
// MissingMapFile gives the first of the two data files, MapFileName and then
// LocationsFileName, that is not a regular file in `folder` (the existence
// rule of the start-up: a folder of that name does not count), or the empty
// text when both are there. A folder that does not exist lacks both.
//
// FolderToOpen gives the first of `candidates` that holds both files, empty
// entries passed over, or the empty text when none does.
//
// The folder opened last in people mode is kept with QSettings under the
// application id (~/.config/io.kelderwyn.Map.conf on Linux); a failed write is
// silent and only means it is not remembered. The sample world lives in
// SampleWorldFolder(), below QStandardPaths::AppDataLocation, which the user
// can write to. SampleWorldGenerator() is the generator beside the viewer's
// own executable, else the one found on the PATH, else the empty text.
#pragma once

#include <QString>
#include <QStringList>

// The id of the desktop entry and of the AppStream metadata.
inline constexpr char AppId[] = "io.kelderwyn.Map";

QString MissingMapFile(const QString& folder);
QString FolderToOpen(const QStringList& candidates);

QString RememberedMapFolder();
void RememberMapFolder(const QString& folder);

QString SampleWorldFolder();
QString SampleWorldGenerator();
