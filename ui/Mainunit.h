// TMainForm: the one window of the viewer and the state it owns for the life
// of the process. The controls and the state are public so that the tests can
// reach them, as the designer's fields of a form would be.
#pragma once

#include "Bitmap.h"
#include "Locations.h"
#include "Markers.h"

#include <QWidget>

#include <cstdint>
#include <string>

class QFrame;
class QToolButton;
class TMapImage;
class TScrollBar;
class TSortedComboBox;
class TToolBar;

// The data files, looked up in the working directory.
inline constexpr const char* MapFileName = "bigmap_hi.jpg";
inline constexpr const char* TempFileName = "~temp.bmp";
inline constexpr const char* LocationsFileName = "knmain.gdb";

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

    TBitmap ViewBitmap;
    TBitmap MasterBitmap;
    int ZoomLevel = 0;
    TLocList LocList;
    bool ShiftHeld = false;
    bool Dragging = false;
    std::int32_t DragX = 0;
    std::int32_t DragY = 0;
    const TMarkerFonts MarkerFonts;

    // The start-up sequence, run once when the window is first shown.
    void FormCreate();

    // Draws the markers of the current level into ViewBitmap and shows it.
    void DrawMarkers();

    // Adds a location name (8-bit text) to CBLoc at its sorted place.
    void AddLocationName(const std::string& name);

    // Closes the window once the current event is done, so that a close from
    // inside the show event still ends the message loop.
    void CloseWindow();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void SetUpWindow();
    void SetAccessibleNames();
    void CreateControls();
    void CreateToolBar();
    QToolButton* CreateToolButton(const QString& glyph, const QString& hint, int left);
    QFrame* CreateSeparator(int left);

    void FormKeyDown(int key);
    void FormKeyUp(int key);

    bool FCreated = false;
};
