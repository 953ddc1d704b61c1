// The viewer's own entry, with a user who clicks "Open the sample world" when
// the dialog comes and, once the window has started, prints the folder and the
// number of places it shows and closes it.
#include "Mainunit.h"
#include "MapFolderDialog.h"
#include "Viewer.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

namespace {

class TUser : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* dialog = qobject_cast<TMapFolderDialog*>(watched);
        auto* form = qobject_cast<TMainForm*>(watched);
        if (event->type() == QEvent::Show && dialog) {
            std::puts("dialog");
            QTimer::singleShot(0, dialog, [dialog] { dialog->findChild<QPushButton*>("SampleWorldButton")->click(); });
        } else if (event->type() == QEvent::Show && form) {
            QTimer::singleShot(0, form, [form] {
                std::printf("map %s %zu\n", qPrintable(QDir::currentPath()), form->LocList.size());
                form->close();
            });
        }
        return false;
    }
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
