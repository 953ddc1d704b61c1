// The desktop mode of the viewer (--desktop, the menu entry), for people
// rather than scripts. The entry runs one TMainForm after another, each in
// the folder the session has entered, for as long as TakeNextFolder says so.
//
// - EnterFirstFolder: the remembered folder (unless a folder was given on the
//   command line), else the working folder, is entered when it holds both
//   data files; otherwise TMapFolderDialog asks, naming what became of the
//   remembered folder. Cancel returns false, and the program ends.
// - A folder is remembered only once its window has read the map and the
//   places without an error (TMainForm::Loaded): a folder whose map fails is
//   not offered again at the next start.
// - Attach gives a window Ctrl+O, named in the map's tool tip and accessible
//   description: the same dialog, over the window, at any time. A folder
//   chosen there is entered and the window closes, and TakeNextFolder then
//   tells the entry to open the next window there; Cancel keeps the window.
//
// Folders are entered by their bytes (std::filesystem), so a name that is not
// UTF-8 reaches the file system, and the remembered setting, unchanged.
#pragma once

#include <QObject>

class TMainForm;

class TDesktopSession : public QObject {
    Q_OBJECT

public:
    bool EnterFirstFolder(bool folderGiven);
    void Attach(TMainForm& form);
    // True once after Ctrl+O chose a folder.
    bool TakeNextFolder();

private:
    void OpenAnotherFolder(TMainForm& form);
    static void Enter(const QByteArray& folder);
    static void RememberWorkingFolder();

    bool FNextFolder = false;
};
