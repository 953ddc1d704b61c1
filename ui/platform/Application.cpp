#include "Application.h"

#include "Accessibility.h"
#include "AnsiText.h"
#include "Errors.h"

#include <QLabel>
#include <QMessageBox>
#include <QWidget>

#include <algorithm>

TApplication::TApplication(int& argc, char** argv)
    : QApplication(argc, argv), FErrorBox(&TApplication::ShowMessageBox)
{
    setApplicationName(Title);
    setApplicationDisplayName(Title);
    InstallAccessibility();
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowCurrentException();
    }
    return false;
}

void TApplication::ShowCurrentException() noexcept
{
    auto* application = qobject_cast<TApplication*>(QCoreApplication::instance());
    try {
        throw;
    } catch (const std::exception& error) {
        if (application)
            application->ShowException(error);
    } catch (...) {
        if (application)
            application->ShowErrorMessage("Unknown error");
    }
}

void TApplication::ShowException(const std::exception& error)
{
    ShowErrorMessage(error.what(), ErrorDetail(error));
}

void TApplication::ShowErrorMessage(const std::string& message, const std::string& detail)
{
    // A drag must not keep the mouse while the box waits for its OK.
    if (QWidget* grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
    // The model's messages quote file text, which is 8-bit Windows-1252; the
    // detail holds a file name and the system's words, in the locale's
    // encoding as every name of a file is.
    FErrorBox(Title, AnsiToQString(UserMessage(message)), QString::fromLocal8Bit(detail));
}

void TApplication::SetErrorBox(TErrorBox box)
{
    FErrorBox = box ? std::move(box) : TErrorBox(&TApplication::ShowMessageBox);
}

void TApplication::ShowMessageBox(const QString& caption, const QString& text, const QString& detail)
{
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok);
    box.setInformativeText(detail);
    // The box takes the width of its short message, and would wrap the
    // detail to it word by word: it gets room for a line of up to 80
    // characters instead.
    if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"))) {
        const QFontMetrics metrics = label->fontMetrics();
        label->setMinimumWidth(std::min(metrics.horizontalAdvance(detail), 80 * metrics.averageCharWidth()));
    }
    box.exec();
}
