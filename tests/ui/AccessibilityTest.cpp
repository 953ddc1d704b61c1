// What a screen reader finds in the window: every control has a name and a
// description, and a value set through the accessibility interface of a scroll
// bar reaches the window like a user's scroll.
#include "FormFixture.h"

#include "MapImage.h"
#include "ScrollBar.h"
#include "SortedComboBox.h"
#include "ToolBar.h"

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
        {Form->ToolButtonGo, "Go !", QAccessible::Button},
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
}

TEST_F(AccessibilityTest, TheLocationListIsLabelledAlsoOnceAPlaceIsChosen)
{
    // On Linux Qt names a combo box by its chosen item; the label then comes
    // from the label relation.
    Form->CBLoc->setCurrentIndex(0);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(Form->CBLoc);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->text(QAccessible::Value), QStringLiteral("Harrowgate"));
    const auto labels = accessible->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0].first->text(QAccessible::Name), QStringLiteral("Location"));
}

TEST_F(AccessibilityTest, NoVisibleControlIsLeftWithoutAName)
{
    // Walks the tree a screen reader walks, from the window down; only the
    // bevel and the separators, which are decoration, may stay unnamed.
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
        if (widget == Form->BevelMap || widget == Form->ToolButton1 || widget == Form->ToolButton3)
            continue;
        EXPECT_FALSE(accessible->text(QAccessible::Name).isEmpty())
            << widget->metaObject()->className() << " " << widget->objectName().toStdString();
        ++named;
    }
    // The window, the map panel and picture, two bars, the tool bar, four
    // buttons and the list.
    EXPECT_GE(named, 11);
}

TEST_F(AccessibilityTest, AScrollBarValueSetByAScreenReaderReachesTheWindow)
{
    TScrollBar* bar = Form->ScrollBarV;
    bar->SetMax(380);
    QSignalSpy scrolls(bar, &TScrollBar::Scroll);

    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(bar->Widget());
    ASSERT_NE(accessible, nullptr);
    QAccessibleValueInterface* value = accessible->valueInterface();
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->minimumValue().toInt(), 0);
    EXPECT_EQ(value->maximumValue().toInt(), 380);
    value->setCurrentValue(120);

    EXPECT_EQ(bar->Position(), 120);
    ASSERT_EQ(scrolls.size(), 1);
    EXPECT_EQ(scrolls[0][0].toInt(), scEndScroll);
    EXPECT_EQ(scrolls[0][1].toInt(), 120);
}
