#include "ScrollBar.h"

#include "FixedHintStyle.h"
#include "PlatformErrors.h"

#include <QEvent>
#include <QKeyEvent>
#include <QWheelEvent>

#include <algorithm>

// QScrollBar with two hooks: it tells its owner when an event that may have
// run user actions is over, and it leaves the wheel to its parents.
class TScrollBarControl : public QScrollBar {
public:
    TScrollBarControl(Qt::Orientation orientation, QWidget* parent, TScrollBar* owner)
        : QScrollBar(orientation, parent), Owner(owner)
    {
    }

    TScrollBar* Owner;

protected:
    bool event(QEvent* e) override
    {
        if (!Owner)
            return QScrollBar::event(e);
        // Mouse presses, key presses, the auto-repeat timer and the context
        // menu all run their actions from inside event().
        QPointer<TScrollBar> owner(Owner);
        ++owner->UserEventDepth;
        const bool result = QScrollBar::event(e);
        if (owner) {
            --owner->UserEventDepth;
            owner->UserEventDone();
        }
        return result;
    }

    // QAbstractSlider swaps Left and Right on a scroll bar; a focused bar
    // moves towards its end with Right, Down and Page Down on either axis,
    // whatever modifier is held.
    void keyPressEvent(QKeyEvent* e) override
    {
        SliderAction action = SliderNoAction;
        switch (e->key()) {
        case Qt::Key_Left:
        case Qt::Key_Up: action = SliderSingleStepSub; break;
        case Qt::Key_Right:
        case Qt::Key_Down: action = SliderSingleStepAdd; break;
        case Qt::Key_PageUp: action = SliderPageStepSub; break;
        case Qt::Key_PageDown: action = SliderPageStepAdd; break;
        case Qt::Key_Home: action = SliderToMinimum; break;
        case Qt::Key_End: action = SliderToMaximum; break;
        default: QScrollBar::keyPressEvent(e); return;
        }
        triggerAction(action);
        e->accept();
    }

    void wheelEvent(QWheelEvent* e) override { e->ignore(); }
};

namespace {

const char* const RangeError = "Scrollbar property out of range";

} // namespace

TScrollBar::TScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QObject(parent), Bar(new TScrollBarControl(orientation, parent, this))
{
    // A left click in the trough pages by LargeChange on every style; some
    // styles would jump to the click instead.
    TFixedHintStyle::Apply(Bar, QStyle::SH_ScrollBar_LeftClickAbsolutePosition, 0);
    Bar->setRange(0, 100);
    Bar->setValue(0);
    Bar->setSingleStep(1);
    Bar->setPageStep(1);
    Bar->setTracking(true);
    Bar->setFocusPolicy(Qt::StrongFocus);
    Bar->setEnabled(false);
    connect(Bar, &QAbstractSlider::actionTriggered, this, &TScrollBar::ActionTriggered);
    connect(Bar, &QAbstractSlider::sliderReleased, this, &TScrollBar::SliderReleased);
    connect(Bar, &QAbstractSlider::valueChanged, this, &TScrollBar::ValueChanged);
}

TScrollBar::~TScrollBar()
{
    if (Bar) {
        Bar->Owner = nullptr;
        delete Bar;
    }
}

QScrollBar* TScrollBar::Widget() const
{
    return Bar;
}

std::int32_t TScrollBar::Min() const
{
    return 0;
}

std::int32_t TScrollBar::Max() const
{
    return Bar->maximum();
}

void TScrollBar::SetMax(std::int32_t value)
{
    SetParams(Position(), value);
}

std::int32_t TScrollBar::Position() const
{
    return Bar->value();
}

void TScrollBar::SetPosition(std::int32_t value)
{
    SetParams(value, Max());
}

bool TScrollBar::Enabled() const
{
    return !Bar->testAttribute(Qt::WA_ForceDisabled);
}

void TScrollBar::SetEnabled(bool value)
{
    Bar->setEnabled(value);
}

void TScrollBar::SetParams(std::int32_t position, std::int32_t max)
{
    if (max < Min())
        throw EInvalidOperation(RangeError);
    const std::int32_t clamped = std::clamp(position, Min(), max);
    const bool changed = clamped != Position();
    StoreByProgram(max, clamped);
    if (changed)
        SetEnabled(true);
}

void TScrollBar::StoreByProgram(std::int32_t max, std::int32_t position)
{
    const bool wasSetting = SettingByProgram;
    SettingByProgram = true;
    Bar->setMaximum(max);
    Bar->setValue(position);
    SettingByProgram = wasSetting;
    KeptPosition = position;
}

void TScrollBar::ActionTriggered(int action)
{
    int code = scPosition;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub: code = scLineUp; break;
    case QAbstractSlider::SliderSingleStepAdd: code = scLineDown; break;
    case QAbstractSlider::SliderPageStepSub: code = scPageUp; break;
    case QAbstractSlider::SliderPageStepAdd: code = scPageDown; break;
    case QAbstractSlider::SliderToMinimum: code = scTop; break;
    case QAbstractSlider::SliderToMaximum: code = scBottom; break;
    case QAbstractSlider::SliderMove: code = Bar->isSliderDown() ? scTrack : scPosition; break;
    default: break;
    }
    if (UserEventDepth > 0)
        UserActionPending = true;
    // The bar has worked out the new position but not stored it yet.
    emit Scroll(code, Bar->sliderPosition());
}

void TScrollBar::SliderReleased()
{
    if (UserEventDepth > 0)
        UserActionPending = true;
    emit Scroll(scPosition, Bar->sliderPosition());
}

void TScrollBar::ValueChanged()
{
    if (SettingByProgram)
        return;
    // Only a screen reader can set the value of a disabled bar; it is put back.
    if (!Bar->isEnabled()) {
        StoreByProgram(Max(), KeptPosition);
        return;
    }
    KeptPosition = Position();
    // Outside an event (accessibility, a direct triggerAction) the value is
    // stored by now, so the end notice can go at once.
    UserActionPending = true;
    UserEventDone();
}

void TScrollBar::UserEventDone()
{
    if (!UserActionPending || UserEventDepth > 0)
        return;
    UserActionPending = false;
    emit Scroll(scEndScroll, Position());
}
