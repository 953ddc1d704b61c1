#include "KeyPreview.h"
#include "WindowMembership.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// Counts the key events it gets and leaves them to its parent.
class TKeyCounter : public QWidget {
public:
    explicit TKeyCounter(QWidget* parent = nullptr) : QWidget(parent) { setFocusPolicy(Qt::StrongFocus); }

    int Presses = 0;
    int Releases = 0;

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        ++Presses;
        e->ignore();
    }
    void keyReleaseEvent(QKeyEvent* e) override
    {
        ++Releases;
        e->ignore();
    }
};

class KeyPreviewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Window = std::make_unique<TKeyCounter>();
        auto* layout = new QVBoxLayout(Window.get());
        Edit = new QLineEdit;
        Combo = new QComboBox;
        Combo->addItems({"Aldmoor", "Brackwater", "Cindervale"});
        auto* panel = new TKeyCounter;
        panel->setFocusPolicy(Qt::NoFocus);
        auto* panelLayout = new QVBoxLayout(panel);
        Inner = new TKeyCounter;
        panelLayout->addWidget(Inner);
        layout->addWidget(Edit);
        layout->addWidget(Combo);
        layout->addWidget(panel);
        Preview = new TKeyPreview(
            Window.get(), [this](int vk) { Log.push_back("down " + std::to_string(vk) + " " + Edit->text().toStdString()); },
            [this](int vk) { Log.push_back("up " + std::to_string(vk)); });
        Window->show();
        QApplication::setActiveWindow(Window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(Window.get()));
    }

    static void Send(QWidget* receiver, QEvent::Type type, int key, Qt::KeyboardModifiers modifiers, bool autoRepeat)
    {
        QKeyEvent event(type, key, modifiers, QString(), autoRepeat);
        QApplication::sendEvent(receiver, &event);
    }

    std::unique_ptr<TKeyCounter> Window;
    QLineEdit* Edit = nullptr;
    QComboBox* Combo = nullptr;
    TKeyCounter* Inner = nullptr;
    TKeyPreview* Preview = nullptr;
    std::vector<std::string> Log;
};

TEST_F(KeyPreviewTest, TheWindowSeesTheKeyBeforeTheFocusedControlWhichStillGetsIt)
{
    Edit->setFocus();
    QTest::keyClick(Edit, Qt::Key_A);
    EXPECT_EQ(Log, (std::vector<std::string>{"down 65 ", "up 65"}));
    EXPECT_EQ(Edit->text(), "a");

    Log.clear();
    Combo->setFocus();
    int indexSeen = -1;
    Preview->KeyDown = [&](int) { indexSeen = Combo->currentIndex(); };
    QTest::keyClick(Combo, Qt::Key_Down);
    EXPECT_EQ(indexSeen, 0);
    EXPECT_EQ(Combo->currentIndex(), 1);
}

TEST_F(KeyPreviewTest, ReportsVirtualKeyCodes)
{
    Edit->setFocus();
    QTest::keyClick(Edit, Qt::Key_Plus, Qt::KeypadModifier);
    QTest::keyClick(Edit, Qt::Key_Plus);
    QTest::keyPress(Edit, Qt::Key_Shift);
    QTest::keyRelease(Edit, Qt::Key_Shift);
    EXPECT_EQ(Log, (std::vector<std::string>{"down 107 ", "up 107", "down 187 +", "up 187", "down 16 ++", "up 16"}));
}

TEST_F(KeyPreviewTest, EveryAutoRepeatedPressIsAKeyDownButRepeatedReleasesAreNotKeyUps)
{
    Edit->setFocus();
    Send(Edit, QEvent::KeyPress, Qt::Key_Minus, Qt::KeypadModifier, false);
    for (int i = 0; i < 3; ++i) {
        Send(Edit, QEvent::KeyRelease, Qt::Key_Minus, Qt::KeypadModifier, true);
        Send(Edit, QEvent::KeyPress, Qt::Key_Minus, Qt::KeypadModifier, true);
    }
    Send(Edit, QEvent::KeyRelease, Qt::Key_Minus, Qt::KeypadModifier, false);
    EXPECT_EQ(Log, (std::vector<std::string>{"down 109 ", "down 109 ", "down 109 ", "down 109 ", "up 109"}));
}

TEST_F(KeyPreviewTest, AKeyHandedOnToTheParentsIsReportedOnce)
{
    Inner->setFocus();
    QTest::keyClick(Inner, Qt::Key_Plus, Qt::KeypadModifier);
    QTest::keyClick(Inner, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(Inner->Presses, 2);
    EXPECT_EQ(Window->Presses, 2) << "the key did travel up to the window";
    EXPECT_EQ(Window->Releases, 2);
    EXPECT_EQ(Log, (std::vector<std::string>{"down 107 ", "up 107", "down 107 ", "up 107"}));
}

TEST_F(KeyPreviewTest, KeysOfAnotherWindowAreIgnored)
{
    QWidget other;
    auto* otherEdit = new QLineEdit(&other);
    other.show();
    QTest::keyClick(otherEdit, Qt::Key_Plus, Qt::KeypadModifier);
    QTest::keyClick(&other, Qt::Key_Shift);
    EXPECT_TRUE(Log.empty());
    EXPECT_EQ(otherEdit->text(), "+");
}

TEST(WindowMembershipTest, PopupsMayBelongToTheWindowDialogsNever)
{
    QWidget window;
    auto* child = new QWidget(&window);
    auto* grandChild = new QWidget(child);
    auto* popup = new QWidget(child, Qt::Popup);
    auto* inPopup = new QWidget(popup);
    auto* dialog = new QDialog(&window);
    QWidget stranger;

    EXPECT_TRUE(WidgetBelongsToWindow(&window, &window, false));
    EXPECT_TRUE(WidgetBelongsToWindow(grandChild, &window, false));
    EXPECT_TRUE(WidgetBelongsToWindow(inPopup, &window, true));
    EXPECT_FALSE(WidgetBelongsToWindow(inPopup, &window, false));
    EXPECT_FALSE(WidgetBelongsToWindow(dialog, &window, true));
    EXPECT_FALSE(WidgetBelongsToWindow(&stranger, &window, true));
    EXPECT_FALSE(WidgetBelongsToWindow(nullptr, &window, true));
}

} // namespace
