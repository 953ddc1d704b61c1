// The small dialog of people mode when there is no map to open.
//
// - "Open a map folder..." asks for a folder (ChooseFolder, by default the
//   folder chooser). A folder that lacks bigmap_hi.jpg or knmain.gdb gets a
//   line that names the missing file, and the dialog waits for the next
//   choice; a folder that holds both is accepted.
// - "Open the sample world" accepts SampleWorldFolder() once it holds both
//   files, first running the generator into it when they are not there. While
//   the generator runs, the two buttons wait; a failure, or a generator that
//   is not installed, is shown in the dialog.
// - Cancel, or closing the dialog, rejects it (and stops a running generator).
//
// `problem`, when given, is shown from the start (why the dialog came);
// SetIntro replaces the opening sentence, which says there is no map to open.
// Every new line of text lays the dialog out again at its width, as a fresh
// dialog with that text would be. Accepted, Folder() is the folder to open.
#pragma once

#include <QDialog>
#include <QProcess>

#include <functional>

class QLabel;
class QPushButton;

class TMapFolderDialog : public QDialog {
    Q_OBJECT

public:
    explicit TMapFolderDialog(const QString& problem = {}, QWidget* parent = nullptr);

    QString Folder() const;
    void SetIntro(const QString& text);

    // Returns the folder the user chose, or the empty text.
    std::function<QString()> ChooseFolder;

private:
    void OpenFolderClicked();
    void SampleWorldClicked();
    void GeneratorFinished(int exitCode, QProcess::ExitStatus exitStatus);
    void Open(const QString& folder);
    void ShowStatus(const QString& text);
    void SetWaiting(bool waiting);

    QLabel* FIntro;
    QLabel* FStatus;
    QPushButton* FOpenFolderButton;
    QPushButton* FSampleWorldButton;
    QProcess* FGenerator;
    QString FFolder;
};
