// The choice of the folder before the window opens, and the dialog of people
// mode that asks for one.
#include "MapFolder.h"
#include "MapFolderDialog.h"

#include "Mainunit.h"
#include "ScratchDir.h"

#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

QString Folder(const TScratchDir& dir)
{
    return QString::fromStdString(dir.Path().string());
}

} // namespace

TEST(MapFolder, TheMissingFileIsNamedAndOnlyAFolderWithBothFilesIsOpened)
{
    TScratchDir empty;
    TScratchDir mapOnly;
    mapOnly.Write(MapFileName, "jpeg");
    std::filesystem::create_directory(mapOnly.Path() / LocationsFileName);
    TScratchDir both;
    both.Write(MapFileName, "jpeg");
    both.Write(LocationsFileName, "");

    EXPECT_EQ(MissingMapFile(Folder(empty) + QStringLiteral("/gone")), QStringLiteral("bigmap_hi.jpg"));
    EXPECT_EQ(MissingMapFile(Folder(empty)), QStringLiteral("bigmap_hi.jpg"));
    EXPECT_EQ(MissingMapFile(Folder(mapOnly)), QStringLiteral("knmain.gdb")) << "a folder of that name is no file";
    EXPECT_EQ(MissingMapFile(Folder(both)), QString());

    EXPECT_EQ(FolderToOpen({QString(), Folder(mapOnly), Folder(both), Folder(empty)}), Folder(both));
    EXPECT_EQ(FolderToOpen({Folder(empty)}), QString());
}

TEST(MapFolderDialog, AChosenFolderWithoutTheDatabaseIsNamedAndTheDialogAsksAgain)
{
    TScratchDir folder;
    folder.Write(MapFileName, "jpeg");
    TMapFolderDialog dialog;
    dialog.ChooseFolder = [&] { return Folder(folder); };
    dialog.show();
    auto* open = dialog.findChild<QPushButton*>(QStringLiteral("OpenFolderButton"));
    open->click();
    EXPECT_TRUE(dialog.isVisible());
    bool named = false;
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        named = named || (label->isVisible() && label->text().contains(QStringLiteral("holds no knmain.gdb")));
    EXPECT_TRUE(named);

    folder.Write(LocationsFileName, "");
    open->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Folder(), Folder(folder));
}
