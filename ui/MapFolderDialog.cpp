#include "MapFolderDialog.h"

#include "Application.h"
#include "MapFolder.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TMapFolderDialog::TMapFolderDialog(const QString& problem, QWidget* parent)
    : QDialog(parent), FIntro(new QLabel(this)), FStatus(new QLabel(this)), FGenerator(new QProcess(this))
{
    setWindowTitle(TApplication::Title);
    FIntro->setText(QStringLiteral("There is no map to open. Kelderwyn Map shows a folder that holds "
                                   "a map, bigmap_hi.jpg, and its list of places, knmain.gdb."));
    FIntro->setWordWrap(true);
    FStatus->setObjectName(QStringLiteral("Status"));
    FStatus->setWordWrap(true);
    FStatus->setText(problem);
    FStatus->setVisible(!problem.isEmpty());

    auto* buttons = new QDialogButtonBox(this);
    FOpenFolderButton = buttons->addButton(QStringLiteral("Open a map folder\u2026"), QDialogButtonBox::ActionRole);
    FOpenFolderButton->setObjectName(QStringLiteral("OpenFolderButton"));
    FSampleWorldButton = buttons->addButton(QStringLiteral("Open the sample world"), QDialogButtonBox::ActionRole);
    FSampleWorldButton->setObjectName(QStringLiteral("SampleWorldButton"));
    FSampleWorldButton->setDefault(true);
    buttons->addButton(QDialogButtonBox::Cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FIntro);
    layout->addWidget(FStatus);
    layout->addWidget(buttons);
    setMinimumWidth(420);

    ChooseFolder = [this] {
        return QFileDialog::getExistingDirectory(this, QStringLiteral("Open a map folder"), QDir::homePath());
    };
    connect(FOpenFolderButton, &QPushButton::clicked, this, &TMapFolderDialog::OpenFolderClicked);
    connect(FSampleWorldButton, &QPushButton::clicked, this, &TMapFolderDialog::SampleWorldClicked);
    connect(buttons, &QDialogButtonBox::rejected, this, &TMapFolderDialog::reject);
    connect(FGenerator, &QProcess::finished, this, &TMapFolderDialog::GeneratorFinished);
    connect(FGenerator, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            GeneratorFinished(-1, QProcess::CrashExit);
    });
}

QString TMapFolderDialog::Folder() const
{
    return FFolder;
}

void TMapFolderDialog::SetIntro(const QString& text)
{
    FIntro->setText(text);
}

void TMapFolderDialog::OpenFolderClicked()
{
    const QString folder = ChooseFolder();
    if (folder.isEmpty())
        return;
    const QString missing = MissingMapFile(folder);
    if (missing.isEmpty()) {
        Open(folder);
        return;
    }
    ShowStatus(QStringLiteral("%1 holds no %2. Choose a folder with both bigmap_hi.jpg and knmain.gdb.")
                   .arg(QDir::toNativeSeparators(folder), missing));
}

void TMapFolderDialog::SampleWorldClicked()
{
    const QString folder = SampleWorldFolder();
    if (MissingMapFile(folder).isEmpty()) {
        Open(folder);
        return;
    }
    const QString generator = SampleWorldGenerator();
    if (generator.isEmpty()) {
        ShowStatus(QStringLiteral("The sample world cannot be made: kelderwyn-make-sample-world is not installed."));
        return;
    }
    SetWaiting(true);
    ShowStatus(QStringLiteral("Making the sample world in %1\u2026").arg(QDir::toNativeSeparators(folder)));
    FGenerator->start(generator, {folder});
}

void TMapFolderDialog::GeneratorFinished(int exitCode, QProcess::ExitStatus exitStatus)
{
    SetWaiting(false);
    const QString folder = SampleWorldFolder();
    if (exitStatus == QProcess::NormalExit && exitCode == 0 && MissingMapFile(folder).isEmpty()) {
        Open(folder);
        return;
    }
    QString reason = QString::fromLocal8Bit(FGenerator->readAllStandardError()).trimmed();
    if (reason.isEmpty())
        reason = FGenerator->errorString();
    ShowStatus(QStringLiteral("The sample world could not be made: %1").arg(reason));
}

void TMapFolderDialog::Open(const QString& folder)
{
    FFolder = folder;
    accept();
}

void TMapFolderDialog::ShowStatus(const QString& text)
{
    FStatus->setText(text);
    FStatus->show();
    // The minimum width set above keeps the layout from sizing the window, so
    // a longer text would be squeezed into the old height; the dialog takes
    // the size it would have been shown at with this text.
    adjustSize();
}

void TMapFolderDialog::SetWaiting(bool waiting)
{
    FOpenFolderButton->setEnabled(!waiting);
    FSampleWorldButton->setEnabled(!waiting);
    setCursor(waiting ? Qt::BusyCursor : Qt::ArrowCursor);
}
