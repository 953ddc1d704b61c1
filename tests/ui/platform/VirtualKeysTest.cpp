#include "VirtualKeys.h"

#include <QKeyEvent>

#include <gtest/gtest.h>

namespace {

int Vk(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const QKeyEvent event(QEvent::KeyPress, key, modifiers);
    return VirtualKeyFromEvent(event);
}

TEST(VirtualKeysTest, KeypadPlusAndMinusDifferFromTheMainKeyboard)
{
    EXPECT_EQ(Vk(Qt::Key_Plus, Qt::KeypadModifier), 107);
    EXPECT_EQ(Vk(Qt::Key_Minus, Qt::KeypadModifier), 109);
    EXPECT_EQ(Vk(Qt::Key_Plus), 187);
    EXPECT_EQ(Vk(Qt::Key_Plus, Qt::ShiftModifier), 187);
    EXPECT_EQ(Vk(Qt::Key_Equal), 187);
    EXPECT_EQ(Vk(Qt::Key_Minus), 189);
    EXPECT_EQ(Vk(Qt::Key_Underscore, Qt::ShiftModifier), 189);
}

TEST(VirtualKeysTest, KeypadKeysHaveTheirOwnCodes)
{
    EXPECT_EQ(Vk(Qt::Key_0, Qt::KeypadModifier), 96);
    EXPECT_EQ(Vk(Qt::Key_9, Qt::KeypadModifier), 105);
    EXPECT_EQ(Vk(Qt::Key_Asterisk, Qt::KeypadModifier), 106);
    EXPECT_EQ(Vk(Qt::Key_Period, Qt::KeypadModifier), 110);
    EXPECT_EQ(Vk(Qt::Key_Slash, Qt::KeypadModifier), 111);
    EXPECT_EQ(Vk(Qt::Key_Enter, Qt::KeypadModifier), 13);
    // Num Lock off: the keypad's navigation keys are the ordinary ones.
    EXPECT_EQ(Vk(Qt::Key_Home, Qt::KeypadModifier), 36);
    EXPECT_EQ(Vk(Qt::Key_Left, Qt::KeypadModifier), 37);
}

TEST(VirtualKeysTest, ModifiersLettersDigitsAndControlKeys)
{
    EXPECT_EQ(Vk(Qt::Key_Shift, Qt::ShiftModifier), 16);
    EXPECT_EQ(Vk(Qt::Key_Control, Qt::ControlModifier), 17);
    EXPECT_EQ(Vk(Qt::Key_Alt, Qt::AltModifier), 18);
    EXPECT_EQ(Vk(Qt::Key_A), 65);
    EXPECT_EQ(Vk(Qt::Key_Z, Qt::ShiftModifier), 90);
    EXPECT_EQ(Vk(Qt::Key_0), 48);
    EXPECT_EQ(Vk(Qt::Key_9), 57);
    EXPECT_EQ(Vk(Qt::Key_Exclam, Qt::ShiftModifier), 49);
    EXPECT_EQ(Vk(Qt::Key_Left), 37);
    EXPECT_EQ(Vk(Qt::Key_Up), 38);
    EXPECT_EQ(Vk(Qt::Key_Right), 39);
    EXPECT_EQ(Vk(Qt::Key_Down), 40);
    EXPECT_EQ(Vk(Qt::Key_F1), 112);
    EXPECT_EQ(Vk(Qt::Key_F12), 123);
    EXPECT_EQ(Vk(Qt::Key_Return), 13);
    EXPECT_EQ(Vk(Qt::Key_Escape), 27);
    EXPECT_EQ(Vk(Qt::Key_Space), 32);
    EXPECT_EQ(Vk(Qt::Key_Tab), 9);
    EXPECT_EQ(Vk(Qt::Key_Backtab, Qt::ShiftModifier), 9);
    EXPECT_EQ(Vk(Qt::Key_Backspace), 8);
    EXPECT_EQ(Vk(Qt::Key_Delete), 46);
    EXPECT_EQ(Vk(Qt::Key_Home), 36);
    EXPECT_EQ(Vk(Qt::Key_End), 35);
    EXPECT_EQ(Vk(Qt::Key_PageUp), 33);
    EXPECT_EQ(Vk(Qt::Key_PageDown), 34);
}

TEST(VirtualKeysTest, KeysWithoutACodeGiveZero)
{
    EXPECT_EQ(Vk(Qt::Key_VolumeUp), 0);
    EXPECT_EQ(Vk(Qt::Key_unknown), 0);
    EXPECT_EQ(Vk(0x0416), 0);  // a Cyrillic letter
}

} // namespace
