// The choice of the folder before the window opens, and the dialog that asks.
#include "MapFolder.h"
#include "MapFolderDialog.h"

#include "Mainunit.h"
#include "ScratchDir.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

QString Folder(const TScratchDir& dir)
{
    return QString::fromStdString(dir.Path().string());
}

} // namespace

TEST(MapFolder, TheMissingFileIsNamedAndOnlyAFolderWithBothFilesIsOpened)
{
    TScratchDir empty, mapOnly, both;
    mapOnly.Write(MapFileName, "jpeg");
    std::filesystem::create_directory(mapOnly.Path() / LocationsFileName);
    both.Write(MapFileName, "jpeg");
    both.Write(LocationsFileName, "");

    EXPECT_EQ(MissingMapFile(Folder(empty) + QStringLiteral("/gone")), QStringLiteral("bigmap_hi.jpg"));
    EXPECT_EQ(MissingMapFile(Folder(mapOnly)), QStringLiteral("knmain.gdb")) << "a folder of that name is no file";
    EXPECT_EQ(MissingMapFile(Folder(both)), QString());
    const auto native = [](const TScratchDir& dir) { return QFile::encodeName(Folder(dir)); };
    EXPECT_EQ(FolderToOpen({QByteArray(), native(mapOnly), native(both), native(empty)}), native(both));
    EXPECT_EQ(FolderToOpen({native(empty)}), QByteArray());
}

TEST(MapFolderDialog, AChosenFolderThatLacksAFileIsNamedAndTheDialogAsksAgain)
{
    TScratchDir folder;
    folder.Write(MapFileName, "jpeg");
    TMapFolderDialog dialog;
    dialog.ChooseFolder = [&] { return Folder(folder); };
    dialog.show();
    dialog.findChild<QPushButton*>(QStringLiteral("OpenFolderButton"))->click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("Status"))->text(),
              Folder(folder) + QStringLiteral(" holds no knmain.gdb. Choose a folder with both bigmap_hi.jpg and "
                                              "knmain.gdb."));

    folder.Write(LocationsFileName, "");
    dialog.findChild<QPushButton*>(QStringLiteral("OpenFolderButton"))->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Folder(), Folder(folder));
}

// The sentence that comes after a choice takes the room that a fresh dialog
// with the same sentence gives it: no line is cut off.
TEST(MapFolderDialog, ASentenceThatComesLaterIsLaidOutAsInAFreshDialog)
{
    TScratchDir folder;
    TMapFolderDialog dialog;
    dialog.ChooseFolder = [&] { return Folder(folder) + QStringLiteral("/a/folder/with/a/rather/long/name"); };
    dialog.show();
    QCoreApplication::processEvents();
    dialog.findChild<QPushButton*>(QStringLiteral("OpenFolderButton"))->click();
    QCoreApplication::processEvents();
    const auto* status = dialog.findChild<QLabel*>(QStringLiteral("Status"));

    TMapFolderDialog fresh(status->text());
    fresh.show();
    QCoreApplication::processEvents();
    const auto* freshStatus = fresh.findChild<QLabel*>(QStringLiteral("Status"));
    ASSERT_EQ(dialog.width(), fresh.width());
    EXPECT_EQ(status->geometry(), freshStatus->geometry());
    EXPECT_GE(status->height(), status->heightForWidth(status->width()));
}
