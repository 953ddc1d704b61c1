// Shared set-up of the tests that drive the real main window: a temporary
// working folder with a small map and a location file, the program's error
// box replaced by a list of messages, large masters set straight into the
// window instead of being decoded, the view's invariant, and ways to reach
// the window with the user's own input (wheel notices as the window system
// sends them, clicks on the parts of a scroll bar).
#pragma once

#include "PatternBitmap.h"
#include "TestJpeg.h"

#include "Application.h"
#include "MapImage.h"
#include "Mainunit.h"
#include "ScrollBar.h"
#include "ZoomGeometry.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>
#include <QtTest/qtestspontaneevent.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

// One record of "knmain.gdb".
inline std::string Record(const std::string& name, const std::string& type, const std::string& position)
{
    return "[loc]\nname: " + name + "\narea: -\nsize: -\ntype: " + type + "\nicon: -\nnote: -\npos:  " + position +
           "\n";
}

// Where a part of a scroll bar (arrow, trough, thumb) lies, in its own pixels.
inline QRect ScrollBarControlRect(const QScrollBar& bar, QStyle::SubControl control)
{
    QStyleOptionSlider opt;
    opt.initFrom(&bar);
    opt.subControls = QStyle::SC_All;
    opt.orientation = bar.orientation();
    if (bar.orientation() == Qt::Horizontal)
        opt.state |= QStyle::State_Horizontal;
    opt.minimum = bar.minimum();
    opt.maximum = bar.maximum();
    opt.sliderPosition = bar.sliderPosition();
    opt.sliderValue = bar.value();
    opt.singleStep = bar.singleStep();
    opt.pageStep = bar.pageStep();
    return bar.style()->subControlRect(QStyle::CC_ScrollBar, &opt, control, &bar);
}

// A wheel notice as the window system delivers it: spontaneous, so Qt hands
// it on to the parents when the receiver ignores it.
inline void TurnWheel(QWidget* receiver, int deltaY)
{
    QWheelEvent event(QPointF(5, 5), receiver->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, deltaY), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QSpontaneKeyEvent::setSpontaneous(&event);
    QApplication::instance()->notify(receiver, &event);
}

// One master per size for the whole run: copies share its pixels, so a
// window may take it for nothing, and any write to it would show as a detach.
inline const TBitmap& SharedMaster(std::int32_t width, std::int32_t height)
{
    static std::map<std::pair<std::int32_t, std::int32_t>, TBitmap> masters;
    auto [it, added] = masters.try_emplace({width, height});
    if (added)
        it->second = PatternBitmap(width, height);
    return it->second;
}

inline QSize LevelSize(const TMainForm& form, int level)
{
    return {ScaledSide(form.MasterBitmap.Width(), level), ScaledSide(form.MasterBitmap.Height(), level)};
}

// The view's invariant after every action.
inline ::testing::AssertionResult ViewIsConsistent(const TMainForm& form)
{
    const int h = form.ScrollBarH->Position();
    const int v = form.ScrollBarV->Position();
    if (form.ImageMap->pos() != QPoint(-h, -v))
        return ::testing::AssertionFailure() << "image at " << form.ImageMap->x() << "," << form.ImageMap->y()
                                             << ", positions " << h << "," << v;
    if (form.ImageMap->size() != LevelSize(form, form.ZoomLevel))
        return ::testing::AssertionFailure() << "image size at level " << form.ZoomLevel;
    const bool enabled = form.ScrollBarH->Enabled() && form.ScrollBarV->Enabled();
    const bool disabled = !form.ScrollBarH->Enabled() && !form.ScrollBarV->Enabled();
    if (form.ZoomLevel == 0 && (h != 0 || v != 0 || !disabled))
        return ::testing::AssertionFailure() << "level 0 with positions " << h << "," << v << " enabled "
                                             << form.ScrollBarH->Enabled() << form.ScrollBarV->Enabled();
    if (form.ZoomLevel > 0) {
        const QSize size = LevelSize(form, form.ZoomLevel);
        if (!enabled || form.ScrollBarH->Max() != size.width() - ViewportWidth ||
            form.ScrollBarV->Max() != size.height() - ViewportHeight)
            return ::testing::AssertionFailure() << "level " << form.ZoomLevel << " maxima "
                                                 << form.ScrollBarH->Max() << "," << form.ScrollBarV->Max();
    }
    return ::testing::AssertionSuccess();
}

inline bool IsMarker(const TBitmap& bitmap, TMapPoint point)
{
    const std::uint8_t* pixel = bitmap.ScanLine(point.Y) + 3 * point.X;
    return pixel[0] == 155 && pixel[1] == 241 && pixel[2] == 255;
}

class TFormFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Dir.isValid());
        OldDir = QDir::currentPath();
        QDir::setCurrent(Dir.path());
        App()->SetErrorBox([this](const QString&, const QString& text, const QString& detail) {
            Errors << text;
            ErrorDetails << detail;
        });
    }

    void TearDown() override
    {
        App()->SetErrorBox({});
        QDir::setCurrent(OldDir);
    }

    static TApplication* App() { return static_cast<TApplication*>(QCoreApplication::instance()); }

    // "bigmap_hi.jpg" of one plain colour.
    static void WriteMap(std::int32_t width = 660, std::int32_t height = 760)
    {
        static constexpr std::uint8_t Ground[3] = {90, 60, 30};
        TBitmap picture(width, height);
        for (int y = 0; y < picture.Height(); ++y)
            for (int x = 0; x < picture.Width(); ++x)
                std::memcpy(picture.ScanLine(y) + 3 * x, Ground, 3);
        WriteTestFile(MapFileName, EncodeTestJpeg(picture));
    }

    static void WriteMapPicture(const TBitmap& picture) { WriteTestFile(MapFileName, EncodeTestJpeg(picture)); }

    static void WriteFile(const char* name, const std::string& text)
    {
        WriteTestFile(name, std::vector<std::uint8_t>(text.begin(), text.end()));
    }

    // Shows the window, which runs the start-up sequence, and lets a queued
    // close happen.
    std::unique_ptr<TMainForm> Start()
    {
        auto form = std::make_unique<TMainForm>();
        form->show();
        QCoreApplication::processEvents();
        return form;
    }

    // Start() on a window that stays open, made the active one so that its
    // controls can hold the keyboard focus.
    std::unique_ptr<TMainForm> StartActive()
    {
        auto form = Start();
        QApplication::setActiveWindow(form.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        return form;
    }

    // A window whose map is a width x height master, shown at level 0.
    std::unique_ptr<TMainForm> StartOn(std::int32_t width, std::int32_t height, const std::string& locations)
    {
        WriteMap(330, 380);
        WriteFile(LocationsFileName, locations);
        auto form = StartActive();
        form->MasterBitmap = SharedMaster(width, height);
        form->ApplyZoomLevel(0, {});
        return form;
    }

    static void PanTo(TMainForm& form, std::int32_t h, std::int32_t v)
    {
        form.ScrollBarH->SetPosition(h);
        form.ScrollBarV->SetPosition(v);
        form.ImageMap->move(-form.ScrollBarH->Position(), -form.ScrollBarV->Position());
    }

    static QPoint Positions(const TMainForm& form) { return {form.ScrollBarH->Position(), form.ScrollBarV->Position()}; }

    QTemporaryDir Dir;
    QString OldDir;
    QStringList Errors;
    QStringList ErrorDetails; // the box's secondary texts
};
