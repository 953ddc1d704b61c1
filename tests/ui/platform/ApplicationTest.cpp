#include "Application.h"
#include "Errors.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

namespace {

// Runs an action when it receives a user event.
class TEventProbe : public QObject {
public:
    explicit TEventProbe(std::function<void()> action) : FAction(std::move(action)) {}

    bool event(QEvent* e) override
    {
        if (e->type() != QEvent::User)
            return QObject::event(e);
        FAction();
        return true;
    }

private:
    std::function<void()> FAction;
};

class ApplicationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        App()->SetErrorBox([this](const QString& caption, const QString& text, const QString&) {
            Captions << caption;
            Texts << text;
            Grabber = QWidget::mouseGrabber();
        });
    }
    void TearDown() override { App()->SetErrorBox({}); }

    static TApplication* App() { return static_cast<TApplication*>(QCoreApplication::instance()); }

    QStringList Captions;
    QStringList Texts;
    QWidget* Grabber = nullptr;
};

} // namespace

TEST_F(ApplicationTest, AnExceptionFromAHandlerIsShownAndTheProgramGoesOn)
{
    bool after = false;
    TEventProbe failing([] { throw EConvertError("'12a' is not a valid integer value"); });
    TEventProbe fine([&] { after = true; });
    QCoreApplication::postEvent(&failing, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&fine, new QEvent(QEvent::User));
    QCoreApplication::processEvents();

    ASSERT_EQ(Texts.size(), 1);
    EXPECT_EQ(Captions[0], QStringLiteral("Kelderwyn Map"));
    EXPECT_EQ(Texts[0], QStringLiteral("'12a' is not a valid integer value."));
    EXPECT_TRUE(after);
}

TEST_F(ApplicationTest, MessagesAreDecodedAsWindows1252AndEndInAFullStopOnlyWhereDue)
{
    for (const char* message : {"'\xE9t\xE9' is not a valid integer value", "Stop!", "Done."}) {
        TEventProbe failing([message] { throw EConvertError(message); });
        QEvent event(QEvent::User);
        QCoreApplication::sendEvent(&failing, &event);
    }
    EXPECT_EQ(Texts, (QStringList{QStringLiteral("'\u00E9t\u00E9' is not a valid integer value."),
                                  QStringLiteral("Stop!"), QStringLiteral("Done.")}));
}

TEST_F(ApplicationTest, AHandlerRunFromANestedPumpIsCoveredAndTheOuterHandlerContinues)
{
    TEventProbe inner([] { throw std::runtime_error("inner"); });
    bool outerFinished = false;
    TEventProbe outer([&] {
        QCoreApplication::postEvent(&inner, new QEvent(QEvent::User));
        QCoreApplication::processEvents();
        outerFinished = true;
    });
    QEvent event(QEvent::User);
    QCoreApplication::sendEvent(&outer, &event);

    EXPECT_EQ(Texts, QStringList{QStringLiteral("inner.")});
    EXPECT_TRUE(outerFinished);
}

TEST_F(ApplicationTest, TheMouseGrabIsReleasedBeforeTheBoxAppears)
{
    QWidget window;
    window.resize(50, 50);
    window.show();
    window.grabMouse();
    ASSERT_EQ(QWidget::mouseGrabber(), &window);

    TEventProbe failing([] { throw std::runtime_error("during a drag"); });
    QEvent event(QEvent::User);
    QCoreApplication::sendEvent(&failing, &event);

    ASSERT_EQ(Texts.size(), 1);
    EXPECT_EQ(Grabber, nullptr);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

TEST_F(ApplicationTest, TheMessageBoxShowsTheFileAndTheReasonBelowTheMessage)
{
    App()->SetErrorBox({});
    QString text;
    QString detail;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            text = box->text();
            detail = box->informativeText();
            box->accept();
        }
    });
    App()->ShowException(EJPEG("JPEG error #5", "Invalid component ID 9 in SOS", "bigmap_hi.jpg"));
    EXPECT_EQ(text, QStringLiteral("JPEG error #5."));
    EXPECT_EQ(detail, QStringLiteral("bigmap_hi.jpg: Invalid component ID 9 in SOS"));
}
