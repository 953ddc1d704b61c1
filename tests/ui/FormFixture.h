// Shared set-up of the tests that drive the real main window: a temporary
// working folder with a small map and a location file, the program's error
// box replaced by a list of messages, and ways to reach the window with the
// user's own input (wheel notices as the window system sends them, clicks on
// the parts of a scroll bar).
#pragma once

#include "../map/TestJpeg.h"

#include "Application.h"
#include "Mainunit.h"

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
#include <memory>
#include <string>
#include <vector>

// One record of "knmain.gdb".
inline std::string Record(const std::string& name, const std::string& type, const std::string& position)
{
    return "[loc]\nname: " + name + "\narea: -\nsize: -\ntype: " + type + "\nicon: -\nnote: -\npos:  " + position +
           "\n";
}

// A bitmap in which every pixel differs from its neighbours, so that a wrong
// source pixel or a stray write shows.
inline TBitmap PatternBitmap(std::int32_t width, std::int32_t height)
{
    TBitmap bitmap(width, height);
    for (std::int32_t y = 0; y < height; ++y) {
        std::uint8_t* row = bitmap.ScanLine(y);
        for (std::int32_t x = 0; x < width; ++x) {
            row[3 * x] = static_cast<std::uint8_t>(x);
            row[3 * x + 1] = static_cast<std::uint8_t>(y);
            row[3 * x + 2] = static_cast<std::uint8_t>((x >> 8) + 16 * (y >> 8));
        }
    }
    return bitmap;
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

class TFormFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Dir.isValid());
        OldDir = QDir::currentPath();
        QDir::setCurrent(Dir.path());
        App()->SetErrorBox([this](const QString&, const QString& text) { Errors << text; });
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

    QTemporaryDir Dir;
    QString OldDir;
    QStringList Errors;
};
