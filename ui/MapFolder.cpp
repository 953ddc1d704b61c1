#include "MapFolder.h"

#include "DataFiles.h"
#include "Locations.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>

namespace {

const char* const MapFolderKey = "MapFolder";
const char* const GeneratorName = "kelderwyn-make-sample-world";

bool HoldsFile(const QString& folder, const char* fileName)
{
    return FileExists(QFile::encodeName(QDir(folder).filePath(QString::fromLatin1(fileName))).toStdString());
}

} // namespace

QString MissingMapFile(const QString& folder)
{
    for (const char* fileName : {MapFileName, LocationsFileName})
        if (!HoldsFile(folder, fileName))
            return QString::fromLatin1(fileName);
    return {};
}

QString FolderToOpen(const QStringList& candidates)
{
    for (const QString& folder : candidates)
        if (!folder.isEmpty() && MissingMapFile(folder).isEmpty())
            return folder;
    return {};
}

QString RememberedMapFolder()
{
    return QSettings(QSettings::UserScope, QString::fromLatin1(AppId)).value(QString::fromLatin1(MapFolderKey)).toString();
}

void RememberMapFolder(const QString& folder)
{
    QSettings(QSettings::UserScope, QString::fromLatin1(AppId)).setValue(QString::fromLatin1(MapFolderKey), folder);
}

QString SampleWorldFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath(QStringLiteral("sample-world"));
}

QString SampleWorldGenerator()
{
    const QString name = QString::fromLatin1(GeneratorName);
    const QString beside = QStandardPaths::findExecutable(name, {QCoreApplication::applicationDirPath()});
    return beside.isEmpty() ? QStandardPaths::findExecutable(name) : beside;
}
