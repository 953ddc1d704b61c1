// TMainForm: the one window of the viewer and the state it owns for the life
// of the process. The controls and the state are public so that the tests can
// reach them, as the designer's fields of a form would be.
#pragma once

#include "Bitmap.h"
#include "DataFiles.h"
#include "Locations.h"
#include "MarkerLayer.h"
#include "Markers.h"
#include "Panning.h"
#include "ZoomGeometry.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>

class QFrame;
class QToolButton;
class TAnnouncement;
class TMapImage;
class TScrollBar;
class TSortedComboBox;
class TToolBar;

class TMainForm : public QWidget {
    Q_OBJECT

public:
    explicit TMainForm(QWidget* parent = nullptr);

    QFrame* BevelMap;
    QWidget* PanelMap;
    TMapImage* ImageMap;
    TScrollBar* ScrollBarH;
    TScrollBar* ScrollBarV;
    TToolBar* ToolBar;
    QToolButton* ToolButtonZoomIn;
    QToolButton* ToolButtonZoomOut;
    QToolButton* ToolButtonZoomActual;
    QFrame* ToolButton1;
    TSortedComboBox* CBLoc;
    QFrame* ToolButton3;
    QToolButton* ToolButtonGo;

    // The displayed map of the current level with all its markers.
    const TBitmap& ViewBitmap();
    TBitmap MasterBitmap;
    int ZoomLevel = 0;
    TLocList LocList;
    bool ShiftHeld = false;
    bool Dragging = false;
    std::int32_t DragX = 0;
    std::int32_t DragY = 0;
    const TMarkerFonts MarkerFonts;
    // The data file whose absence closed the window at start-up, or null.
    const char* MissingFile = nullptr;

    // The start-up sequence, run once when the window is first shown.
    void FormCreate();

    // Starts the markers of the current level and shows the picture. They
    // are drawn into it tile by tile, as ImageMap paints each tile first, or
    // by ViewBitmap() all at once.
    void DrawMarkers();

    // Tells a screen reader where the view is: PanelMap's accessible
    // description becomes the level and the drawn place nearest the
    // reference point ("Zoom level 3 of 6, near Harrowgate"), announced
    // also when the text stays the same.
    void DescribeView();

    // Adds a location name (8-bit text) to CBLoc at its sorted place.
    void AddLocationName(const std::string& name);

    // Closes the window once the current event is done, so that a close from
    // inside the show event still ends the message loop.
    void CloseWindow();

    // Sets the two scroll positions at a new level above 0 (the bars clamp them).
    using TPlacement = std::function<void()>;

    // The one sequence of every change of level: rebuild the picture from
    // MasterBitmap, store newLevel in ZoomLevel, range the bars and run the
    // placement (or reset the bars at level 0), move ImageMap, draw the
    // markers and describe the view. Ends any drag. A negative maximum throws
    // EInvalidOperation and skips the rest.
    void ApplyZoomLevel(int newLevel, const TPlacement& placement);

    // One level in or out, or the whole-map overview, by the button given.
    void ZoomButtonClick(const QObject* sender);
    // Zooms level by level to the level of the location named in CBLoc,
    // centring it at each step, and paints every step before the next.
    // Return or Enter in the closed CBLoc runs it as well.
    void GoButtonClick();
    void FormMouseWheel(int wheelDelta);
    void ImageMapMouseDown(Qt::MouseButton button, QPoint position);
    void ImageMapMouseMove(Qt::MouseButtons buttons, QPoint position);
    void ImageMapMouseUp(Qt::MouseButton button);
    void ScrollBarHScroll();
    void ScrollBarVScroll();
    // A panning key on the map: moves the bar of that axis, and the image
    // with it. Does nothing at level 0.
    void MapKeyPan(Qt::Orientation orientation, TPanKey key);

signals:
    // The start-up sequence read the map and the places without an error.
    void Loaded();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void SetUpWindow();
    void SetAccessibleNames();
    void CreateControls();
    void CreateToolBar();
    QToolButton* CreateToolButton(const QString& glyph, const QString& hint, int left);
    QFrame* CreateSeparator(int left);
    void ConnectEvents();
    // The controls in the order Tab visits them.
    QList<QWidget*> TabStops() const;

    // Hands both positions to the bars, which clamp them.
    void SetScrollPositions(TMapPoint position);
    void PlaceImage();

    void CloseForMissingFile(const char* fileName);
    void FormKeyDown(int key);
    void FormKeyUp(int key);

    // Has a screen reader say the map's description, unless a Go is under
    // way: its end says where it took the view.
    void AnnounceView();

    bool FCreated = false;
    int FGoDepth = 0;
    TAnnouncement* FAnnouncement = nullptr;
    // The picture ImageMap shows; ViewBitmap() finishes it.
    TBitmap FView;
    TMarkerLayer FMarkers{MarkerFonts};
};
