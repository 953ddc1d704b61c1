// The application object. Besides running the message loop it is where every
// exception that escapes an event handler ends up: notify() catches it, the
// handler's work stops there and the user sees the message in a modal box
// captioned with the application title. Handlers run from a nested message
// pump go through notify() as well, so they are covered too.
//
// Qt's own frames are not built to pass exceptions on (an event that
// QApplication::notify copied for a widget leaks when one unwinds through it),
// so the form runs each of its handlers through Guarded, which reports the
// exception in our own frame; notify() stays as the last resort.
#pragma once

#include <QApplication>

#include <exception>
#include <functional>
#include <string>

class TApplication : public QApplication {
    Q_OBJECT

public:
    static inline const QString Title = QStringLiteral("Kelderwyn Map");

    // Shows the message of an error; the default is the modal message box,
    // with detail as its secondary text where there is one.
    using TErrorBox = std::function<void(const QString& caption, const QString& text, const QString& detail)>;

    TApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Releases any mouse grab and shows the message of the exception, with
    // the closing full stop of UserMessage, and its file and reason
    // (ErrorDetail) as the secondary text.
    void ShowException(const std::exception& error);
    void ShowErrorMessage(const std::string& message, const std::string& detail = {});

    // Shows the exception being handled, of whatever type.
    static void ShowCurrentException() noexcept;

    // Replaces the box (tests read the texts it would show); an empty
    // function restores the message box.
    void SetErrorBox(TErrorBox box);

private:
    static void ShowMessageBox(const QString& caption, const QString& text, const QString& detail);

    TErrorBox FErrorBox;
};

// Runs one of our handlers and reports any exception it raises.
template <typename THandler>
void Guarded(THandler&& handler) noexcept
{
    try {
        handler();
    } catch (...) {
        TApplication::ShowCurrentException();
    }
}

// A slot that runs a member handler through Guarded.
template <typename TObject, typename... TArgs>
auto GuardedSlot(TObject* object, void (TObject::*handler)(TArgs...))
{
    return [object, handler](TArgs... args) { Guarded([&] { (object->*handler)(args...); }); };
}
