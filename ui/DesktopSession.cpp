#include "DesktopSession.h"

#include "Application.h"
#include "MapFolder.h"
#include "MapFolderDialog.h"
#include "Mainunit.h"
#include "MapImage.h"

#include <QFile>
#include <QKeySequence>
#include <QShortcut>

#include <filesystem>
#include <system_error>
#include <utility>

namespace {

const char OpenHint[] = "Ctrl+O opens another map folder.";

} // namespace

bool TDesktopSession::EnterFirstFolder(bool folderGiven)
{
    const QByteArray remembered = folderGiven ? QByteArray() : RememberedMapFolder();
    const QByteArray folder = FolderToOpen({remembered, QByteArrayLiteral(".")});
    if (!folder.isEmpty()) {
        Enter(folder);
        return true;
    }
    TMapFolderDialog dialog(RememberedFolderProblem(remembered));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    Enter(QFile::encodeName(dialog.Folder()));
    return true;
}

void TDesktopSession::Attach(TMainForm& form)
{
    connect(&form, &TMainForm::Loaded, this, &TDesktopSession::RememberWorkingFolder);
    auto* shortcut = new QShortcut(QKeySequence::Open, &form);
    connect(shortcut, &QShortcut::activated, this, [this, &form] { Guarded([&] { OpenAnotherFolder(form); }); });
    // After the list of keys that the map's tool tip already holds.
    form.PanelMap->setToolTip(form.PanelMap->toolTip() + QStringLiteral("<p>%1</p>").arg(QLatin1String(OpenHint)));
    form.ImageMap->setAccessibleDescription(form.ImageMap->accessibleDescription() + u' ' +
                                            QString::fromLatin1(OpenHint));
}

bool TDesktopSession::TakeNextFolder()
{
    return std::exchange(FNextFolder, false);
}

void TDesktopSession::OpenAnotherFolder(TMainForm& form)
{
    TMapFolderDialog dialog({}, &form);
    dialog.SetIntro(QStringLiteral("Kelderwyn Map shows a folder that holds a map, bigmap_hi.jpg, and its list of "
                                   "places, knmain.gdb. Cancel keeps the map that is open."));
    if (dialog.exec() != QDialog::Accepted)
        return;
    Enter(QFile::encodeName(dialog.Folder()));
    FNextFolder = true;
    form.close();
}

// A folder that cannot be entered leaves the working folder as it is; its
// window then meets whatever is there.
void TDesktopSession::Enter(const QByteArray& folder)
{
    std::error_code error;
    std::filesystem::current_path(std::filesystem::path(folder.toStdString()), error);
}

void TDesktopSession::RememberWorkingFolder()
{
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::current_path(error);
    if (!error)
        RememberMapFolder(QByteArray::fromStdString(folder.native()));
}
