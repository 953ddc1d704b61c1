#include "MapFolder.h"

#include "DataFiles.h"
#include "Locations.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QVariant>

#include <filesystem>
#include <system_error>

namespace {

const char* const MapFolderKey = "MapFolder";
const char* const GeneratorName = "kelderwyn-make-sample-world";

std::filesystem::path NativePath(const QByteArray& folder)
{
    return std::filesystem::path(folder.toStdString());
}

} // namespace

QString MissingMapFile(const QByteArray& folder)
{
    for (const char* fileName : {MapFileName, LocationsFileName})
        if (!FileExists((NativePath(folder) / fileName).native()))
            return QString::fromLatin1(fileName);
    return {};
}

QString MissingMapFile(const QString& folder)
{
    return MissingMapFile(QFile::encodeName(folder));
}

QByteArray FolderToOpen(const QByteArrayList& candidates)
{
    for (const QByteArray& folder : candidates)
        if (!folder.isEmpty() && MissingMapFile(folder).isEmpty())
            return folder;
    return {};
}

QString RememberedFolderProblem(const QByteArray& folder)
{
    if (folder.isEmpty())
        return {};
    const QString name = QDir::toNativeSeparators(QFile::decodeName(folder));
    std::error_code error;
    if (!std::filesystem::is_directory(NativePath(folder), error))
        return QStringLiteral("%1, opened last time, no longer exists.").arg(name);
    const QString missing = MissingMapFile(folder);
    return missing.isEmpty() ? QString() : QStringLiteral("%1, opened last time, no longer holds %2.").arg(name, missing);
}

QByteArray RememberedMapFolder()
{
    const QVariant value =
        QSettings(QSettings::UserScope, QString::fromLatin1(AppId)).value(QString::fromLatin1(MapFolderKey));
    return value.typeId() == QMetaType::QByteArray ? value.toByteArray() : QFile::encodeName(value.toString());
}

void RememberMapFolder(const QByteArray& folder)
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
