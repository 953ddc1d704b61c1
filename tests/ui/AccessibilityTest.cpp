// What a screen reader finds in the window: every control has a name and a
// description, and a value set through the accessibility interface of a scroll
// bar reaches the window like a user's scroll.
#include "FormFixture.h"

#include "MapImage.h"
#include "ScrollBar.h"
#include "SortedComboBox.h"
#include "ToolBar.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QSignalSpy>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

QString AccessibleText(QWidget* widget, QAccessible::Text text)
{
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible ? accessible->text(text) : QStringLiteral("<no accessible interface>");
}

class AccessibilityTest : public TFormFixture {
protected:
    void SetUp() override
    {
        TFormFixture::SetUp();
        WriteMapPicture(SmoothTestPicture(660, 760));
        WriteFile(LocationsFileName, Record("Harrowgate", "0", "-41250,18700"));
        Form = Start();
        ASSERT_TRUE(Form->isVisible());
    }

    std::unique_ptr<TMainForm> Form;
};

} // namespace

TEST_F(AccessibilityTest, EveryControlHasANameAndADescription)
{
    struct TExpected {
        QWidget* Control;
        const char* Name;
        QAccessible::Role Role;
    };
    const TExpected controls[] = {
        {Form->ToolButtonZoomIn, "Zoom In", QAccessible::Button},
        {Form->ToolButtonZoomOut, "Zoom Out", QAccessible::Button},
        {Form->ToolButtonZoomActual, "Actual Size", QAccessible::Button},
        {Form->ToolButtonGo, "Go", QAccessible::Button},
        {Form->CBLoc, "Location", QAccessible::ComboBox},
        {Form->ScrollBarH->Widget(), "Scroll map left and right", QAccessible::ScrollBar},
        {Form->ScrollBarV->Widget(), "Scroll map up and down", QAccessible::ScrollBar},
        {Form->PanelMap, "Map", QAccessible::Client},
        {Form->ImageMap, "Map picture", QAccessible::Client},
        {Form->ToolBar, "Tools", QAccessible::Client},
    };
    for (const TExpected& expected : controls) {
        SCOPED_TRACE(expected.Name);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(expected.Control);
        ASSERT_NE(accessible, nullptr);
        EXPECT_EQ(accessible->text(QAccessible::Name), QString::fromLatin1(expected.Name));
        EXPECT_FALSE(accessible->text(QAccessible::Description).isEmpty());
        EXPECT_EQ(accessible->role(), expected.Role);
    }
    EXPECT_EQ(AccessibleText(Form.get(), QAccessible::Name), QStringLiteral("Kelderwyn Map"));
    EXPECT_EQ(Form->ToolButtonGo->toolTip(), QStringLiteral("Go !"));
}

TEST_F(AccessibilityTest, TheLocationListKeepsItsNameAndGivesTheChosenPlaceAsItsText)
{
    Form->CBLoc->setCurrentIndex(0);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(Form->CBLoc);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->text(QAccessible::Name), QStringLiteral("Location"));
    EXPECT_EQ(accessible->text(QAccessible::Value), QStringLiteral("Harrowgate"));
    ASSERT_NE(accessible->textInterface(), nullptr);
    EXPECT_EQ(accessible->textInterface()->text(0, accessible->textInterface()->characterCount()),
              QStringLiteral("Harrowgate"));
    EXPECT_EQ(accessible->child(0)->object(), Form->CBLoc->view());
}

TEST_F(AccessibilityTest, NoVisibleControlIsLeftWithoutAName)
{
    // Walks the tree a screen reader walks, from the window down; the bevel
    // and the separators, which are decoration, are not in it.
    QList<QAccessibleInterface*> pending{QAccessible::queryAccessibleInterface(Form.get())};
    int named = 0;
    while (!pending.isEmpty()) {
        QAccessibleInterface* accessible = pending.takeFirst();
        for (int i = 0; i < accessible->childCount(); ++i)
            if (QAccessibleInterface* child = accessible->child(i))
                pending << child;
        QWidget* widget = qobject_cast<QWidget*>(accessible->object());
        if (!widget || accessible->state().invisible)
            continue;
        EXPECT_NE(accessible->role(), QAccessible::Border) << widget->objectName().toStdString();
        EXPECT_FALSE(accessible->text(QAccessible::Name).isEmpty())
            << widget->metaObject()->className() << " " << widget->objectName().toStdString();
        ++named;
    }
    // The window, the map panel and picture, two bars, the tool bar, four
    // buttons and the list.
    EXPECT_GE(named, 11);
}
