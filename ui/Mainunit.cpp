#include "Mainunit.h"

#include "Accessibility.h"
#include "Announcement.h"
#include "AnsiText.h"
#include "Application.h"
#include "Color.h"
#include "FastPaths.h"
#include "FocusRing.h"
#include "ImagePipeline.h"
#include "KeyPreview.h"
#include "LevelRules.h"
#include "LocationsAhead.h"
#include "MapImage.h"
#include "Panning.h"
#include "ScrollBar.h"
#include "SortedComboBox.h"
#include "ToolBar.h"
#include "VirtualKeys.h"
#include "WheelRelay.h"
#include "WindowKeys.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QFrame>
#include <QIcon>
#include <QPalette>
#include <QScopeGuard>
#include <QShowEvent>
#include <QToolButton>


// The glyphs and the icon are compiled into the static kelderwyn_ui library,
// which must register them itself.
static void InitResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace {

// Tool-bar buttons are 23 x 22, separators 8 wide, the list 236 x 21.
constexpr int ButtonWidth = 23;
constexpr int ButtonHeight = 22;
constexpr int SeparatorWidth = 8;

} // namespace

TMainForm::TMainForm(QWidget* parent) : QWidget(parent)
{
    static const bool resourcesReady = (InitResources(), true);
    Q_UNUSED(resourcesReady);

    SetUpWindow();
    CreateControls();
    ConnectEvents();
}

void TMainForm::SetUpWindow()
{
    setWindowTitle(QStringLiteral("Kelderwyn Map"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/kelderwyn-map-16.png"));
    icon.addFile(QStringLiteral(":/icons/kelderwyn-map-32.png"));
    setWindowIcon(icon);
    setFixedSize(370, 464);
    move(232, 113);
    setFont(MarkerFonts.Label);
    QPalette face = palette();
    face.setColor(QPalette::Window, face.color(QPalette::Button));
    setPalette(face);
    setAutoFillBackground(true);
}

void TMainForm::CreateControls()
{
    BevelMap = new QFrame(this);
    BevelMap->setObjectName(QStringLiteral("BevelMap"));
    BevelMap->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    BevelMap->setLineWidth(1);
    BevelMap->setGeometry(10, 10, 332, 382);
    MarkAsDecoration(BevelMap);

    PanelMap = new QWidget(this);
    PanelMap->setObjectName(QStringLiteral("PanelMap"));
    PanelMap->setGeometry(11, 11, ViewportWidth, ViewportHeight);

    ImageMap = new TMapImage(FView, PanelMap);
    ImageMap->setObjectName(QStringLiteral("ImageMap"));
    ImageMap->setGeometry(0, 0, ViewportWidth, ViewportHeight);

    ScrollBarH = new TScrollBar(Qt::Horizontal, this);
    ScrollBarH->setObjectName(QStringLiteral("ScrollBarH"));
    ScrollBarH->Widget()->setObjectName(QStringLiteral("ScrollBarH"));
    ScrollBarH->Widget()->setGeometry(11, 394, 330, 17);

    ScrollBarV = new TScrollBar(Qt::Vertical, this);
    ScrollBarV->setObjectName(QStringLiteral("ScrollBarV"));
    ScrollBarV->Widget()->setObjectName(QStringLiteral("ScrollBarV"));
    ScrollBarV->Widget()->setGeometry(344, 11, 17, 380);

    CreateToolBar();
    FAnnouncement = new TAnnouncement(this);

    setTabOrder(CBLoc, ScrollBarH->Widget());
    setTabOrder(ScrollBarH->Widget(), ScrollBarV->Widget());
    // The map, not the list, has the focus at start. The buttons and the map
    // take no focus by a click or by Qt's own Tab; TWindowKeys tabs to them.
    PanelMap->setFocus();
    new TFocusRing(this, TabStops());
    PanelMap->setToolTip(TWindowKeys::Help());
    SetAccessibleNames();
}

QList<QWidget*> TMainForm::TabStops() const
{
    return {ToolButtonZoomIn, ToolButtonZoomOut,     ToolButtonZoomActual, CBLoc,
            ToolButtonGo,     ScrollBarH->Widget(), ScrollBarV->Widget(),  PanelMap};
}

// What a screen reader says for each control: the zoom buttons by their hints,
// Go by its caption, the rest by their role in the window. The map's
// description tells where the view is (DescribeView).
void TMainForm::SetAccessibleNames()
{
    struct TAccessibleText {
        QWidget* Control;
        QString Name;
        QString Description;
    };
    const TAccessibleText texts[] = {
        {ImageMap, QStringLiteral("Map picture"),
         QStringLiteral("The map at the current zoom level, with a square marker and the name of every place "
                        "shown at that level. Ctrl+plus and Ctrl+minus, or keypad plus and minus, zoom; the "
                        "arrows, Page Up, Page Down, Home and End move the map; the wheel scrolls up and down "
                        "or, with Shift held, left and right, and dragging with the left button moves the map.")},
        {ScrollBarH->Widget(), QStringLiteral("Scroll map left and right"),
         QStringLiteral("Moves the map left and right; its value is how far across the map the view "
                        "is, in percent. Enabled when the map is zoomed in.")},
        {ScrollBarV->Widget(), QStringLiteral("Scroll map up and down"),
         QStringLiteral("Moves the map up and down; its value is how far down the map the view is, "
                        "in percent. Enabled when the map is zoomed in.")},
        {ToolBar, QStringLiteral("Tools"), QStringLiteral("Zoom buttons, the location list and Go.")},
        {ToolButtonZoomIn, ToolButtonZoomIn->toolTip(),
         QStringLiteral("Shows the map one zoom level closer. Ctrl+plus and keypad plus do the same.")},
        {ToolButtonZoomOut, ToolButtonZoomOut->toolTip(),
         QStringLiteral("Shows the map one zoom level further out. Ctrl+minus and keypad minus do the "
                        "same.")},
        {ToolButtonZoomActual, ToolButtonZoomActual->toolTip(),
         QStringLiteral("Goes back to the overview of the whole map. Ctrl+0 does the same.")},
        {CBLoc, QStringLiteral("Location"),
         QStringLiteral("The places of the map in alphabetical order. Choose one and press Go.")},
        {ToolButtonGo, ToolButtonGo->text(),
         QStringLiteral("Zooms to the place chosen in the Location list and centres it.")},
    };
    for (const TAccessibleText& text : texts) {
        text.Control->setAccessibleName(text.Name);
        text.Control->setAccessibleDescription(text.Description);
    }
    ReportValueInPercent(ScrollBarH->Widget());
    ReportValueInPercent(ScrollBarV->Widget());
    PanelMap->setAccessibleName(QStringLiteral("Map"));
    DescribeView();
}

void TMainForm::CreateToolBar()
{
    ToolBar = new TToolBar(this);
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    ToolBar->setGeometry(10, 424, 350, 25);

    ToolButtonZoomIn = CreateToolButton(QStringLiteral("zoom_in"), QStringLiteral("Zoom In"), 2);
    ToolButtonZoomIn->setObjectName(QStringLiteral("ToolButtonZoomIn"));
    ToolButtonZoomOut = CreateToolButton(QStringLiteral("zoom_out"), QStringLiteral("Zoom Out"), 25);
    ToolButtonZoomOut->setObjectName(QStringLiteral("ToolButtonZoomOut"));
    ToolButtonZoomActual = CreateToolButton(QStringLiteral("zoom_actual"), QStringLiteral("Actual Size"), 48);
    ToolButtonZoomActual->setObjectName(QStringLiteral("ToolButtonZoomActual"));
    ToolButton1 = CreateSeparator(71);
    ToolButton1->setObjectName(QStringLiteral("ToolButton1"));

    CBLoc = new TSortedComboBox(ToolBar);
    CBLoc->setObjectName(QStringLiteral("CBLoc"));
    CBLoc->setGeometry(79, 0, 236, 21);

    ToolButton3 = CreateSeparator(315);
    ToolButton3->setObjectName(QStringLiteral("ToolButton3"));
    ToolButtonGo = CreateToolButton(QStringLiteral("go"), QStringLiteral("Go !"), 323);
    ToolButtonGo->setObjectName(QStringLiteral("ToolButtonGo"));
    ToolButtonGo->setText(QStringLiteral("Go"));
}

QToolButton* TMainForm::CreateToolButton(const QString& glyph, const QString& hint, int left)
{
    auto* button = new QToolButton(ToolBar);
    button->setIcon(QIcon(QStringLiteral(":/glyphs/%1.png").arg(glyph)));
    button->setIconSize(QSize(16, 16));
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolTip(hint);
    button->setGeometry(left, 0, ButtonWidth, ButtonHeight);
    return button;
}

QFrame* TMainForm::CreateSeparator(int left)
{
    auto* separator = new QFrame(ToolBar);
    separator->setFrameStyle(QFrame::VLine | QFrame::Sunken);
    separator->setGeometry(left, 0, SeparatorWidth, ButtonHeight);
    MarkAsDecoration(separator);
    return separator;
}

void TMainForm::ConnectEvents()
{
    for (QToolButton* button : {ToolButtonZoomIn, ToolButtonZoomOut, ToolButtonZoomActual})
        connect(button, &QToolButton::clicked, this, [this, button] { Guarded([&] { ZoomButtonClick(button); }); });
    connect(ToolButtonGo, &QToolButton::clicked, this, GuardedSlot(this, &TMainForm::GoButtonClick));
    connect(CBLoc, &TSortedComboBox::ReturnPressed, this, GuardedSlot(this, &TMainForm::GoButtonClick));
    connect(ScrollBarH, &TScrollBar::Scroll, this, GuardedSlot(this, &TMainForm::ScrollBarHScroll));
    connect(ScrollBarV, &TScrollBar::Scroll, this, GuardedSlot(this, &TMainForm::ScrollBarVScroll));
    connect(ImageMap, &TMapImage::MouseDown, this, GuardedSlot(this, &TMainForm::ImageMapMouseDown));
    connect(ImageMap, &TMapImage::MouseMove, this, GuardedSlot(this, &TMainForm::ImageMapMouseMove));
    connect(ImageMap, &TMapImage::MouseUp, this, GuardedSlot(this, &TMainForm::ImageMapMouseUp));
    connect(ImageMap, &TMapImage::AboutToPaint, this, [this](const QRect& area) { FMarkers.DrawArea(area); });
    // Before the key preview, whose filter then runs first.
    auto* keys = new TWindowKeys(this, PanelMap, TabStops());
    connect(keys, &TWindowKeys::ZoomIn, this, [this] { Guarded([this] { ZoomButtonClick(ToolButtonZoomIn); }); });
    connect(keys, &TWindowKeys::ZoomOut, this, [this] { Guarded([this] { ZoomButtonClick(ToolButtonZoomOut); }); });
    connect(keys, &TWindowKeys::ActualSize, this,
            [this] { Guarded([this] { ZoomButtonClick(ToolButtonZoomActual); }); });
    connect(keys, &TWindowKeys::Pan, this, GuardedSlot(this, &TMainForm::MapKeyPan));
    connect(keys, &TWindowKeys::CloseRequested, this, &QWidget::close);
    new TKeyPreview(this, GuardedSlot(this, &TMainForm::FormKeyDown), GuardedSlot(this, &TMainForm::FormKeyUp));
    auto* wheel = new TWheelRelay(this, GuardedSlot(this, &TMainForm::FormMouseWheel));
    wheel->SetPassThrough(CBLoc);
}

void TMainForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (FCreated)
        return;
    FCreated = true;
    Guarded([this] { FormCreate(); });
}

void TMainForm::FormCreate()
{
    Dragging = false;
    LocList.clear();
    FView = TBitmap();
    MasterBitmap = TBitmap();
    ZoomLevel = 0;

    if (!FileExists(MapFileName)) {
        CloseForMissingFile(MapFileName);
        return;
    }
    // The map decodes on a worker thread. Meanwhile this thread loads the
    // marker fonts (their first use reads the whole font database), reads the
    // locations and renders the labels of the first level. What reading the
    // locations does to the list and the window waits for its turn after the
    // map, as if they were read then. The plain twin does each in its turn.
    const bool ahead = UseFastPath(TFastPath::Ahead);
    TMapPictures pictures;
    TLocationsAhead locations;
    if (ahead) {
        std::future<TMapPictures> loading = StartLoadingMapPictures(MapFileName, TempFileName);
        MarkerFonts.Load();
        locations = LoadLocationsAhead(LocationsFileName);
        RenderLabelsAhead(locations.List, ZoomLevel, MarkerFonts, [&loading] { return MapPicturesPending(loading); });
        pictures = FinishLoadingMapPictures(loading, MapFileName, TempFileName);
    } else {
        pictures = LoadMapPictures(MapFileName, TempFileName);
    }
    FView = std::move(pictures.Picture);
    MasterBitmap = std::move(pictures.Master);

    ScaleMap(ZoomLevel, MasterBitmap, FView);
    ImageMap->PictureChanged();

    {
        // The names reach the list in one sorted pass when the load ends,
        // also when it ends in an error.
        const TSortedComboBoxUpdate update(*CBLoc);
        const TLocationWindow window{[this](const std::string& name) { AddLocationName(name); },
                                     [this] { CloseForMissingFile(LocationsFileName); }};
        if (ahead)
            TakeLocations(locations, LocList, window);
        else
            LoadLocations(LocationsFileName, LocList, window);
    }
    DrawMarkers();
    DescribeView();
    if (!MissingFile)
        emit Loaded();
}

void TMainForm::DrawMarkers()
{
    FMarkers.Reset(FView, LocList, ZoomLevel);
    ImageMap->update();
}

const TBitmap& TMainForm::ViewBitmap()
{
    FMarkers.DrawAll();
    return FView;
}

void TMainForm::AddLocationName(const std::string& name)
{
    CBLoc->AddSorted(name);
}

void TMainForm::CloseWindow()
{
    QMetaObject::invokeMethod(this, [this] { close(); }, Qt::QueuedConnection);
}

void TMainForm::CloseForMissingFile(const char* fileName)
{
    MissingFile = fileName;
    CloseWindow();
}

void TMainForm::FormKeyDown(int key)
{
    if (key == VirtualKeyShift)
        ShiftHeld = true;
    if (key == VirtualKeyAdd)
        ZoomButtonClick(ToolButtonZoomIn);
    if (key == VirtualKeySubtract)
        ZoomButtonClick(ToolButtonZoomOut);
}

void TMainForm::FormKeyUp(int key)
{
    if (key == VirtualKeyShift)
        ShiftHeld = false;
}

void TMainForm::ApplyZoomLevel(int newLevel, const TPlacement& placement)
{
    // Moves of a drag that outlived the change would pan against the old
    // level's maxima, and at level 0 would enable the bars again.
    Dragging = false;

    // The copy shares the master's pixels until the view is written: ScaleMap
    // gives it storage of its own at levels 0 to 5, the markers at level 6.
    FView = MasterBitmap;
    // The last level's markers must not reach the new picture, also when this
    // sequence stops before it starts the new level's.
    FMarkers.Clear();
    ScaleMap(newLevel, MasterBitmap, FView);
    ImageMap->PictureChanged();
    ZoomLevel = newLevel;

    if (newLevel > 0) {
        ScrollBarH->SetEnabled(true);
        ScrollBarV->SetEnabled(true);
        const TScrollRange range = ScrollRange(ImageMap->width(), ImageMap->height(), newLevel);
        ScrollBarH->SetMax(range.MaxH);
        ScrollBarV->SetMax(range.MaxV);
        placement();
    } else {
        ScrollBarH->SetPosition(0);
        ScrollBarV->SetPosition(0);
        // After the positions, which would enable a bar they move.
        ScrollBarH->SetEnabled(false);
        ScrollBarV->SetEnabled(false);
    }
    PlaceImage();
    DrawMarkers();
    DescribeView();
}

void TMainForm::DescribeView()
{
    QString text = QStringLiteral("Zoom level %1 of %2").arg(ZoomLevel).arg(MaxZoomLevel);
    const TMapPoint reference{ScrollBarH->Position() + ReferenceX, ScrollBarV->Position() + ReferenceY};
    const std::optional<std::size_t> nearest = FMarkers.NearestShown(reference);
    if (nearest && !LocList[*nearest].Name.empty())
        text += QStringLiteral(", near ") + AnsiToQString(LocList[*nearest].Name);
    if (PanelMap->accessibleDescription() != text) {
        PanelMap->setAccessibleDescription(text);
        return;
    }
    // Only a new text makes Qt send the event; a view that ends where it
    // began is announced all the same.
    QAccessibleEvent event(PanelMap, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}

void TMainForm::PlaceImage()
{
    ImageMap->move(-ScrollBarH->Position(), -ScrollBarV->Position());
}

void TMainForm::SetScrollPositions(TMapPoint position)
{
    ScrollBarH->SetPosition(position.X);
    ScrollBarV->SetPosition(position.Y);
}

void TMainForm::ZoomButtonClick(const QObject* sender)
{
    const std::int32_t oldH = ScrollBarH->Position();
    const std::int32_t oldV = ScrollBarV->Position();
    const int oldLevel = ZoomLevel;
    if (sender == ToolButtonZoomIn && oldLevel < MaxZoomLevel)
        ZoomLevel = oldLevel + 1;
    else if (sender == ToolButtonZoomOut && oldLevel > 0)
        ZoomLevel = oldLevel - 1;
    else if (sender == ToolButtonZoomActual)
        ZoomLevel = 0;
    else
        return;
    const int newLevel = ZoomLevel;
    ApplyZoomLevel(newLevel, [=, this] { SetScrollPositions(RecentreForZoom(oldH, oldV, oldLevel, newLevel)); });
    AnnounceView();
}

void TMainForm::AnnounceView()
{
    if (FGoDepth == 0)
        FAnnouncement->Announce(PanelMap->accessibleDescription());
}

void TMainForm::GoButtonClick()
{
    const std::string text = QStringToAnsi(CBLoc->currentText());
    std::size_t index = 0;
    while (index < LocList.size() && LocList[index].Name != text)
        ++index;
    if (index == LocList.size())
        return;
    const TLocation location = LocList[index];
    const int target = GoTargetLevel(location.Type);
    const auto centre = [this, &location] {
        const TMapPoint point = WorldToMap(location.X, location.Y, ZoomLevel, ImageMap->height());
        SetScrollPositions(CenterOn(point.X, point.Y));
    };

    if (target == ZoomLevel) {
        if (ZoomLevel > 0) {
            centre();
            PlaceImage();
        }
    } else {
        ++FGoDepth;
        const auto going = qScopeGuard([this] { --FGoDepth; });
        // The pump paints each level before the next step. The handlers it
        // runs may change the level, so each step starts from wherever they
        // left it.
        while (ZoomLevel != target) {
            ApplyZoomLevel(ZoomLevel < target ? ZoomLevel + 1 : ZoomLevel - 1, centre);
            QCoreApplication::processEvents();
        }
    }
    DescribeView();
    AnnounceView();
}

void TMainForm::ScrollBarHScroll()
{
    ImageMap->move(-ScrollBarH->Position(), ImageMap->y());
}

void TMainForm::ScrollBarVScroll()
{
    ImageMap->move(ImageMap->x(), -ScrollBarV->Position());
}

void TMainForm::MapKeyPan(Qt::Orientation orientation, TPanKey key)
{
    if (ZoomLevel == 0)
        return;
    const bool across = orientation == Qt::Horizontal;
    TScrollBar* bar = across ? ScrollBarH : ScrollBarV;
    bar->SetPosition(KeyPanPosition(bar->Position(), bar->Max(), across ? ViewportWidth : ViewportHeight, key));
    PlaceImage();
}

void TMainForm::FormMouseWheel(int wheelDelta)
{
    if (ZoomLevel == 0 || CBLoc->hasFocus())
        return;
    TScrollBar* bar = ShiftHeld ? ScrollBarH : ScrollBarV;
    const std::int32_t step = WheelStep(bar->Position(), bar->Max(), wheelDelta);
    bar->SetPosition(bar->Position() - step);
    if (ShiftHeld)
        ImageMap->move(ImageMap->x() + step, ImageMap->y());
    else
        ImageMap->move(ImageMap->x(), ImageMap->y() + step);
}

void TMainForm::ImageMapMouseDown(Qt::MouseButton button, QPoint position)
{
    if (button != Qt::LeftButton || ZoomLevel == 0)
        return;
    Dragging = true;
    DragX = position.x();
    DragY = position.y();
}

void TMainForm::ImageMapMouseMove(Qt::MouseButtons buttons, QPoint position)
{
    if (!Dragging || !buttons.testFlag(Qt::LeftButton))
        return;
    const std::int32_t dx = DragStep(ScrollBarH->Position(), ScrollBarH->Max(), position.x() - DragX);
    if (dx != 0) {
        ImageMap->move(ImageMap->x() + dx, ImageMap->y());
        ScrollBarH->SetPosition(ScrollBarH->Position() - dx);
    }
    const std::int32_t dy = DragStep(ScrollBarV->Position(), ScrollBarV->Max(), position.y() - DragY);
    if (dy != 0) {
        ImageMap->move(ImageMap->x(), ImageMap->y() + dy);
        ScrollBarV->SetPosition(ScrollBarV->Position() - dy);
    }
}

void TMainForm::ImageMapMouseUp(Qt::MouseButton button)
{
    if (button == Qt::LeftButton)
        Dragging = false;
}
