// "Go" on the real window, through its button, on a 3300 x 3800 master. The
// steps of an animation are recorded from ImageMap itself: every paint with
// the level and positions it showed, and every new size, which tells the
// levels that were built even when a later step came before their paint.
#include "FormFixture.h"

#include "AnsiText.h"
#include "SortedComboBox.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <ostream>

namespace {

struct TStep {
    int Level;
    int H;
    int V;
    friend bool operator==(const TStep&, const TStep&) = default;
    friend std::ostream& operator<<(std::ostream& out, const TStep& step)
    {
        return out << "{" << step.Level << ", " << step.H << ", " << step.V << "}";
    }
};

class TStepRecorder : public QObject {
public:
    explicit TStepRecorder(TMainForm& form) : Form(form) { Form.ImageMap->installEventFilter(this); }

    std::vector<TStep> Paints;
    std::vector<int> BuiltLevels;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            Paints.push_back({Form.ZoomLevel, Form.ScrollBarH->Position(), Form.ScrollBarV->Position()});
        if (event->type() == QEvent::Resize) {
            for (int level = 0; level <= MaxZoomLevel; ++level)
                if (LevelSize(Form, level) == Form.ImageMap->size())
                    BuiltLevels.push_back(level);
        }
        return false;
    }

private:
    TMainForm& Form;
};

const std::string HighBytes = [] {
    std::string name;
    for (int byte = 0x80; byte <= 0xFF; ++byte)
        name += static_cast<char>(byte);
    return name;
}();

const std::string Places = Record("Centre", "2", "0,0") + Record("North West", "4", "-100000,200000") +
                           Record("South East", "4", "170000,-125000") + Record("Capital", "0", "50000,60000") +
                           Record("Twin", "1", "-50000,-50000") + Record("Twin", "3", "100000,100000") +
                           Record("harbour", "1", "20000,20000") + Record("Harbour", "1", "-20000,80000") +
                           Record(HighBytes, "1", "60000,-60000") + Record("Ruin", "7", "30000,30000") +
                           Record("Shrine", "-3", "-30000,30000");

class GoTest : public TFormFixture {
protected:
    std::unique_ptr<TMainForm> StartOn(const std::string& places = Places)
    {
        return TFormFixture::StartOn(3300, 3800, places);
    }

    static void ZoomTo(TMainForm& form, int level)
    {
        while (form.ZoomLevel < level)
            form.ZoomButtonClick(form.ToolButtonZoomIn);
        QCoreApplication::processEvents();
    }

    static void Select(TMainForm& form, const std::string& name, int occurrence = 0)
    {
        const QString text = AnsiToQString(name);
        for (int i = 0; i < form.CBLoc->count(); ++i) {
            if (form.CBLoc->itemText(i) == text && occurrence-- == 0) {
                form.CBLoc->setCurrentIndex(i);
                return;
            }
        }
        FAIL() << "no entry " << name;
    }

    static void Go(TMainForm& form) { QTest::mouseClick(form.ToolButtonGo, Qt::LeftButton); }

    // Where the bars stand with the place centred at a level (0 at level 0).
    static TStep Centred(const TMainForm& form, int level, std::int32_t x, std::int32_t y)
    {
        if (level == 0)
            return {0, 0, 0};
        const QSize size = LevelSize(form, level);
        const TMapPoint point = WorldToMap(x, y, level, size.height());
        const TMapPoint position = CenterOn(point.X, point.Y);
        return {level, std::clamp(position.X, 0, size.width() - ViewportWidth),
                std::clamp(position.Y, 0, size.height() - ViewportHeight)};
    }

    static TStep Now(const TMainForm& form)
    {
        return {form.ZoomLevel, form.ScrollBarH->Position(), form.ScrollBarV->Position()};
    }
};

} // namespace

TEST_F(GoTest, EachLevelOnTheWayIsCentredOnThePlaceAndPaintedBeforeTheNext)
{
    struct TCase {
        const char* Name;
        int From;
        std::vector<TStep> Steps;
    };
    const TCase cases[] = {
        {"Centre", 0, {{1, 110, 282}, {2, 178, 402}, {3, 293, 600}, {4, 522, 999}}},
        {"Centre", 6, {{5, 866, 1596}, {4, 522, 999}}},
        {"North West", 0, {{1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {4, 0, 0}, {5, 41, 0}, {6, 109, 22}}},
        {"South East", 0,
         {{1, 330, 380}, {2, 495, 570}, {3, 770, 886}, {4, 1320, 1520}, {5, 2145, 2470}, {6, 2970, 3420}}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(c.Name) + " from level " + std::to_string(c.From));
        const auto form = StartOn();
        ZoomTo(*form, c.From);
        Select(*form, c.Name);
        TStepRecorder recorder(*form);
        Go(*form);
        EXPECT_EQ(recorder.Paints, c.Steps) << "one paint per level, each before the next step";
        EXPECT_TRUE(ViewIsConsistent(*form));
        EXPECT_TRUE(Errors.isEmpty()) << Errors.join(u'\n').toStdString();
    }

    // A type-0 place from level 3 backs out to the overview, centred on the way.
    const auto form = StartOn();
    ZoomTo(*form, 3);
    Select(*form, "Capital");
    TStepRecorder recorder(*form);
    Go(*form);
    EXPECT_EQ(recorder.Paints, (std::vector<TStep>{Centred(*form, 2, 50000, 60000), Centred(*form, 1, 50000, 60000),
                                                   {0, 0, 0}}));
    EXPECT_TRUE(ViewIsConsistent(*form));
    EXPECT_FALSE(form->ScrollBarH->Enabled());

    // From level 0 nothing happens: the overview shows it already.
    const TBitmap before = form->ViewBitmap();
    Go(*form);
    QCoreApplication::processEvents();
    EXPECT_EQ(recorder.Paints.size(), 3u);
    EXPECT_TRUE(form->ViewBitmap().SharesPixelsWith(before));
}

TEST_F(GoTest, AtItsOwnLevelThePlaceIsCentredAgainWithoutRebuildingAnything)
{
    const auto form = StartOn();
    Select(*form, "Centre");
    Go(*form);
    PanTo(*form, 0, 0);
    QCoreApplication::processEvents();
    const TBitmap before = form->ViewBitmap();
    TStepRecorder recorder(*form);
    Go(*form);
    EXPECT_EQ(Now(*form), (TStep{4, 522, 999}));
    EXPECT_TRUE(ViewIsConsistent(*form));
    EXPECT_TRUE(recorder.Paints.empty()) << "no messages are pumped";
    EXPECT_TRUE(recorder.BuiltLevels.empty());
    EXPECT_TRUE(form->ViewBitmap().SharesPixelsWith(before));
}

TEST_F(GoTest, TheNameIsMatchedByItsExactBytesAndTheFirstRecordWins)
{
    struct TCase {
        const char* Name;
        std::string Entry;
        int Occurrence;
        TStep Expected;
    };
    const auto form = StartOn();
    const TCase cases[] = {
        {"either twin leads to the first record", "Twin", 0, Centred(*form, 2, -50000, -50000)},
        {"either twin leads to the first record", "Twin", 1, Centred(*form, 2, -50000, -50000)},
        {"letter case tells names apart", "harbour", 0, Centred(*form, 2, 20000, 20000)},
        {"letter case tells names apart", "Harbour", 0, Centred(*form, 2, -20000, 80000)},
        {"every byte from 0x80 to 0xFF", HighBytes, 0, Centred(*form, 2, 60000, -60000)},
        {"a type of 5 or more goes to level 6", "Ruin", 0, Centred(*form, 6, 30000, 30000)},
        {"a negative type goes to level 6", "Shrine", 0, Centred(*form, 6, -30000, 30000)},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        QTest::mouseClick(form->ToolButtonZoomActual, Qt::LeftButton);
        Select(*form, c.Entry, c.Occurrence);
        const int selected = form->CBLoc->currentIndex();
        Go(*form);
        EXPECT_EQ(Now(*form), c.Expected);
        EXPECT_EQ(form->CBLoc->currentIndex(), selected) << "the list keeps its selection";
    }
    // The ruin, of a type no level draws, is centred but has no marker.
    EXPECT_FALSE(IsMarker(form->ViewBitmap(), WorldToMap(30000, 30000, 6, 3800)));
    EXPECT_TRUE(IsMarker(form->ViewBitmap(), WorldToMap(-30000, 30000, 6, 3800)));
}

TEST_F(GoTest, WithNothingSelectedOnlyARecordWithAnEmptyNameIsFound)
{
    const auto form = StartOn();
    ZoomTo(*form, 2);
    PanTo(*form, 10, 20);
    ASSERT_EQ(form->CBLoc->currentIndex(), -1);
    EXPECT_TRUE(form->ToolButtonGo->isEnabled());
    Go(*form);
    EXPECT_EQ(Now(*form), (TStep{2, 10, 20}));
    EXPECT_TRUE(Errors.isEmpty());

    const auto unnamed = StartOn(Places + Record("", "3", "0,0"));
    Go(*unnamed);
    EXPECT_EQ(Now(*unnamed), (TStep{5, 866, 1596}));
}

TEST_F(GoTest, TheButtonNeverTakesTheFocus)
{
    const auto form = StartOn();
    Select(*form, "Centre");
    form->CBLoc->setFocus();
    Go(*form);
    EXPECT_EQ(form->ZoomLevel, 4);
    EXPECT_TRUE(form->CBLoc->hasFocus());
    EXPECT_EQ(form->ToolButtonGo->focusPolicy(), Qt::NoFocus);
}

TEST_F(GoTest, ReturnInTheClosedListRunsGoAndInTheOpenListOnlyChooses)
{
    const auto form = StartOn();
    Select(*form, "Centre");
    form->CBLoc->setFocus();
    TStepRecorder recorder(*form);
    QTest::keyClick(form->CBLoc, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(recorder.Paints.size(), 4u) << "the animation of Go";
    EXPECT_EQ(Now(*form), (TStep{4, 522, 999}));

    form->CBLoc->showPopup();
    QTest::keyClick(form->CBLoc->view(), Qt::Key_Down);
    QTest::keyClick(form->CBLoc->view(), Qt::Key_Return);
    EXPECT_NE(form->CBLoc->currentText(), QStringLiteral("Centre"));
    EXPECT_EQ(Now(*form), (TStep{4, 522, 999}));
    QTest::keyClick(form->CBLoc, Qt::Key_Return);
    EXPECT_EQ(form->ZoomLevel, 2);
}

// Input that waits in the queue when "Go" starts is handled by the first
// pump; the animation then carries on from where it left the view.
TEST_F(GoTest, AZoomKeyDuringTheAnimationIsAbsorbedIntoTheRemainingSteps)
{
    const auto form = StartOn();
    Select(*form, "North West");
    TStepRecorder recorder(*form);
    QCoreApplication::postEvent(form->PanelMap, new QKeyEvent(QEvent::KeyPress, Qt::Key_Minus, Qt::KeypadModifier));
    QCoreApplication::postEvent(form->PanelMap, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Minus, Qt::KeypadModifier));
    Go(*form);
    EXPECT_EQ(recorder.BuiltLevels, (std::vector<int>{1, 0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(Now(*form), (TStep{6, 109, 22}));
    EXPECT_TRUE(ViewIsConsistent(*form));
}

TEST_F(GoTest, ASecondGoDuringTheAnimationRunsToItsTargetAndTheFirstThenFinishes)
{
    const auto form = StartOn();
    Select(*form, "North West");
    TStepRecorder recorder(*form);
    int centre = -1;
    for (int i = 0; i < form->CBLoc->count(); ++i)
        if (form->CBLoc->itemText(i) == QStringLiteral("Centre"))
            centre = i;
    QMetaObject::invokeMethod(form->CBLoc, [&form, centre] { form->CBLoc->setCurrentIndex(centre); },
                              Qt::QueuedConnection);
    const QPointF middle = QRectF(form->ToolButtonGo->rect()).center();
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
        QCoreApplication::postEvent(form->ToolButtonGo,
                                    new QMouseEvent(type, middle, form->ToolButtonGo->mapToGlobal(middle),
                                                    Qt::LeftButton,
                                                    type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                                    Qt::NoModifier));
    Go(*form);
    EXPECT_EQ(recorder.BuiltLevels, (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_NE(std::find(recorder.Paints.begin(), recorder.Paints.end(), TStep{4, 522, 999}), recorder.Paints.end())
        << "the second Go showed its own target";
    EXPECT_EQ(Now(*form), (TStep{6, 109, 22}));
    EXPECT_EQ(form->CBLoc->currentText(), QStringLiteral("Centre"));
    EXPECT_TRUE(ViewIsConsistent(*form));
}

// Closing the window from inside the animation's pump: the steps still run to
// the end, the handler returns, and only then does the message loop end.
TEST_F(GoTest, ClosingTheWindowDuringTheAnimationEndsTheProgramAfterTheLastStep)
{
    const auto form = StartOn();
    ASSERT_FALSE(form->testAttribute(Qt::WA_DeleteOnClose));
    Select(*form, "South East");
    bool handlerReturned = false;
    bool closedBeforeReturn = false;
    QTimer::singleShot(0, form.get(), [&] {
        QMetaObject::invokeMethod(form.get(), [&form] { form->close(); }, Qt::QueuedConnection);
        Go(*form);
        closedBeforeReturn = !form->isVisible();
        handlerReturned = true;
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    watchdog.start(20000);
    const int result = QApplication::exec();
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(handlerReturned);
    EXPECT_TRUE(closedBeforeReturn);
    EXPECT_EQ(Now(*form), (TStep{6, 2970, 3420}));
    EXPECT_EQ(form->ImageMap->size(), QSize(3300, 3800));
    EXPECT_TRUE(Errors.isEmpty());
}
