// What a screen reader is told about the window, where Qt's own accessible
// interfaces say something else than the older toolkit did.
//
// InstallAccessibility adds our interface factory, once; the application
// object calls it. From then on:
// - a plain QWidget that is a window reports the role of a window (Qt: a
//   client area, "filler" over AT-SPI), see TWidgetAccessible;
// - a widget marked with MarkAsDecoration (a bevel, a separator) is left out
//   of its parent's children, so a screen reader never meets it (Qt reports a
//   plain QFrame as a border, "frame" over AT-SPI, which is the role of a
//   top-level window);
// - TSortedComboBox keeps its accessible name once an entry is chosen and
//   gives the chosen entry as its value and text, see TComboBoxAccessible;
// - a TAnnouncement reports the role of a notification, which Orca speaks
//   when it appears;
// - a scroll bar given to ReportValueInPercent gives how far across it
//   stands, in percent, as its value, see TScrollBarAccessible.
#pragma once

class QAbstractSlider;
class QWidget;

void InstallAccessibility();

void MarkAsDecoration(QWidget* widget);
void ReportValueInPercent(QAbstractSlider* slider);
bool IsDecoration(const QWidget* widget);
