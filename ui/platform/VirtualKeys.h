// Translation of Qt key events to Windows virtual-key codes.
//
// The window's key handlers compare against the Windows codes: Shift 16 for
// either Shift key, the numeric keypad's plus 107 and minus 109, the main
// keyboard's plus/equal 187 and minus 189. Keypad keys are told apart by
// Qt::KeypadModifier. Symbols typed with Shift on the main keyboard map to
// the key that carries them on a US layout ('!' is 49, '_' is 189). Keys
// without a Windows code give 0.
#pragma once

class QKeyEvent;

// The codes the window's handlers act on.
inline constexpr int VirtualKeyShift = 16;
inline constexpr int VirtualKeyAdd = 107;
inline constexpr int VirtualKeySubtract = 109;

int VirtualKeyFromEvent(const QKeyEvent& event);
