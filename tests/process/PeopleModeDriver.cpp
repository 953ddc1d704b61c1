// The viewer's own entry with a user who clicks "Open the sample world" when
// the dialog comes and, once the window has started on a map, prints where it
// works and how many places it holds, then closes it.
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
        if (event->type() != QEvent::Show)
            return false;
        if (auto* dialog = qobject_cast<TMapFolderDialog*>(watched)) {
            std::puts("dialog");
            QTimer::singleShot(0, dialog, [dialog] { dialog->findChild<QPushButton*>("SampleWorldButton")->click(); });
        } else if (auto* form = qobject_cast<TMainForm*>(watched)) {
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
