// The keys the window has for the keyboard and screen readers, beside the
// keypad's plus and minus and Shift of its own key handlers (which still see
// every key first: the filter is installed before theirs). Screen readers
// keep the keypad keys for themselves, and the tool buttons cannot be
// clicked without a mouse otherwise.
//
// TWindowKeys is an event filter on the application for one window, its
// controls and its drop-down's open list:
// - Ctrl with plus (or equals, where plus needs Shift) or minus of the main
//   keyboard, and Ctrl+0 of either: ZoomIn, ZoomOut, ActualSize. Every
//   auto-repeated press is one more. Ctrl with a keypad plus or minus is left
//   to the window's own keypad handling, which zooms once already.
// - Ctrl+Q and Ctrl+W: CloseRequested.
// - While the map has the focus: the arrows, Page Up and Page Down, Home and
//   End, Pan(orientation, key). Page Up, Page Down, Home and End move up and
//   down, and left and right with Shift or Ctrl held.
// - Tab and Shift+Tab (not in the open list): the focus goes to the next or
//   the previous of the tab stops, in the order given, skipping those that
//   are disabled or hidden. The stops need not take the focus by Qt's own
//   Tab or by a click (the tool buttons do neither), so a click leaves the
//   focus where it was.
// - Return or Enter on a focused button clicks it; Space already does.
// A key acted on goes no further: the focused control does not get it too.
// Keys with Alt or Meta held are left alone.
#pragma once

#include "Panning.h"

#include <QList>
#include <QObject>
#include <QPointer>

class QKeyEvent;
class QWidget;

class TWindowKeys : public QObject {
    Q_OBJECT

public:
    TWindowKeys(QWidget* window, QWidget* map, const QList<QWidget*>& tabStops);
    ~TWindowKeys() override;

    // Every key of the window, those it had from the start and those added
    // for the keyboard and screen readers, as rich text for the map's tool
    // tip (README and the manual page list the same).
    static QString Help();

signals:
    void ZoomIn();
    void ZoomOut();
    void ActualSize();
    void Pan(Qt::Orientation orientation, TPanKey key);
    void CloseRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool KeyPressed(const QKeyEvent& key, bool inPopup);
    bool ZoomOrClose(const QKeyEvent& key);
    bool PanMap(const QKeyEvent& key);
    void MoveFocus(bool forward);

    QPointer<QWidget> FWindow;
    QPointer<QWidget> FMap;
    QList<QPointer<QWidget>> FTabStops;
};
