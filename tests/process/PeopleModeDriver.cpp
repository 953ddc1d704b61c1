// The viewer's own entry, with a user who clicks "Open the sample world" when
// the dialog comes, after printing "dialog" and the dialog's line of status
// if it shows one; who prints "error" and presses OK when an error box comes;
// and who, once a window has started, prints its folder (the file system's
// bytes) and the number of places it shows and closes it. With
// KELDERWYN_TEST_CTRL_O set, the first window gets Ctrl+O instead of closing.
#include "Mainunit.h"
#include "MapFolderDialog.h"
#include "Viewer.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <filesystem>

namespace {

class TUser : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Show)
            return false;
        if (auto* dialog = qobject_cast<TMapFolderDialog*>(watched)) {
            const auto* status = dialog->findChild<QLabel*>(QStringLiteral("Status"));
            std::printf(!status->isHidden() ? "dialog %s\n" : "dialog\n", qPrintable(status->text()));
            QTimer::singleShot(0, dialog, [dialog] { dialog->findChild<QPushButton*>("SampleWorldButton")->click(); });
        } else if (auto* box = qobject_cast<QMessageBox*>(watched)) {
            std::puts("error");
            QTimer::singleShot(0, box, &QMessageBox::accept);
        } else if (auto* form = qobject_cast<TMainForm*>(watched)) {
            QTimer::singleShot(0, form, [this, form] { Look(form); });
        }
        return false;
    }

private:
    // Once the start-up and any box it brought are over.
    void Look(TMainForm* form)
    {
        if (QApplication::activeModalWidget()) {
            QTimer::singleShot(10, form, [this, form] { Look(form); });
            return;
        }
        std::printf("map %s %zu\n", std::filesystem::current_path().c_str(), form->LocList.size());
        std::fflush(stdout);
        if (qEnvironmentVariableIsSet("KELDERWYN_TEST_CTRL_O") && !FPressed) {
            FPressed = true;
            // As for a user's key: the window is the active one.
            QApplication::setActiveWindow(form);
            QTest::keyClick(form, Qt::Key_O, Qt::ControlModifier);
        } else {
            form->close();
        }
    }

    bool FPressed = false;
};

void InstallUser()
{
    qApp->installEventFilter(new TUser(qApp));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallUser)

int main(int argc, char** argv)
{
    return RunViewer(argc, argv);
}
