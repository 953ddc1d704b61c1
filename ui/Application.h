// The application object. Besides running the message loop it is where every
// exception that escapes an event handler ends up: notify() catches it, the
// handler's work stops there and the user sees the message in a modal box
// captioned with the application title. Handlers run from a nested message
// pump go through notify() as well, so they are covered too.
#pragma once

#include <QApplication>

#include <exception>
#include <functional>
#include <string>

class TApplication : public QApplication {
    Q_OBJECT

public:
    static inline const QString Title = QStringLiteral("Kelderwyn Map");

    // Shows the message of an error; the default is the modal message box.
    using TErrorBox = std::function<void(const QString& caption, const QString& text)>;

    TApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Releases any mouse grab and shows the message of the exception, with
    // the closing full stop of UserMessage.
    void ShowException(const std::exception& error);
    void ShowErrorMessage(const std::string& message);

    // Replaces the box (tests read the text it would show); an empty function
    // restores the message box.
    void SetErrorBox(TErrorBox box);

private:
    static void ShowMessageBox(const QString& caption, const QString& text);

    TErrorBox FErrorBox;
};
