#include "controls/SliderWidget.h"

#include "controls/PropertyBag.h"
#include "controls/QtSliderAccessible.h"
#include "controls/SliderGeometry.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <limits>

namespace controls {

using namespace slidergeometry;

namespace {

constexpr qint32 kDefaultStyle = 0;
constexpr bool kDefaultEnabled = true;
constexpr bool kDefaultSnap = false;
constexpr ColorRef kDefaultBackColor = colorRef(0, 0, 0);
constexpr ColorRef kDefaultForeColor = colorRef(200, 200, 0);
constexpr ColorRef kDefaultForeColor2 = colorRef(200, 0, 0);
constexpr qint32 kDefaultValue = 50;
constexpr qint32 kDefaultMax = 100;
constexpr qint32 kDefaultMin = -100;

QImage toImage(const SliderBitmap& bitmap)
{
    QImage image(bitmap.width, bitmap.height, QImage::Format_RGB32);
    for (int y = 0; y < bitmap.height; ++y)
        for (int x = 0; x < bitmap.width; ++x)
            image.setPixel(x, y, 0xFF000000u | bitmap.pixel(x, y));
    return image;
}

// Strips are one pixel thick along the track, so stretching one over a
// rectangle cut to the surface looks the same as over the whole rectangle.
void drawStrip(QPainter& painter, const QRect& surface, const QRect& target, const SliderBitmap& strip)
{
    const QRect visible = target.intersected(surface);
    if (!visible.isEmpty())
        painter.drawImage(visible, toImage(strip));
}

qint64 readInteger(const PropertyBag& bag, const QString& name, qint64 defaultValue, qint64 low, qint64 high)
{
    bool ok = false;
    const qint64 number = bag.read(name, defaultValue).toLongLong(&ok);
    return ok && number >= low && number <= high ? number : defaultValue;
}

qint32 readInt32(const PropertyBag& bag, const QString& name, qint32 defaultValue)
{
    return qint32(
        readInteger(bag, name, defaultValue, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
}

// Colours may come back as unsigned numbers or as the signed 32-bit form.
ColorRef readColor(const PropertyBag& bag, const QString& name, ColorRef defaultValue)
{
    return ColorRef(quint32(
        readInteger(bag, name, defaultValue, std::numeric_limits<qint32>::min(), std::numeric_limits<quint32>::max())));
}

// Booleans may come back as booleans, as "True"/"False" in any letter case,
// or as numbers (0 is false).
bool readBool(const PropertyBag& bag, const QString& name, bool defaultValue)
{
    const QVariant stored = bag.read(name, defaultValue);
    if (stored.typeId() == QMetaType::Bool)
        return stored.toBool();
    const QString text = stored.toString().trimmed();
    if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const double number = text.toDouble(&ok);
    return ok ? number != 0 : defaultValue;
}

qint16 buttonCode(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

qint16 shiftCode(Qt::KeyboardModifiers modifiers)
{
    qint16 code = 0;
    if (modifiers & Qt::ShiftModifier)
        code |= 1;
    if (modifiers & Qt::ControlModifier)
        code |= 2;
    if (modifiers & Qt::AltModifier)
        code |= 4;
    return code;
}

} // namespace

SliderWidget::SliderWidget(QWidget* parent) : QWidget(parent), mArt(SliderArtwork::make())
{
    mLeft = toImage(mArt.PicLeft);
    mRight = toImage(mArt.PicRight);
    mHandle = toImage(mArt.PicHandle);
    mUp = toImage(mArt.PicUp);
    mDown = toImage(mArt.PicDown);
    mHandle2 = toImage(mArt.PicHandle2);

    // The click routine jumps to where the pointer was last seen moving, so
    // moves are wanted without a button held too.
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);

    // The BackColor setter paints the empty channel; the blend is worked out
    // from the two colours at each drawing, so an instance that is never
    // loaded still draws its own colours.
    setBackColor(kDefaultBackColor);
    setForeColor(kDefaultForeColor);
    setForeColor2(kDefaultForeColor2);
    applyOrientation();
    applySizeRules(size());

    // A screen reader sees a slider with its value, and hears it change.
    QtSliderAccessible::install();
    connect(this, &SliderWidget::Change, this, [this] {
        if (mValue == mAnnounced || !QAccessible::isActive())
            return;
        mAnnounced = mValue;
        QAccessibleValueChangeEvent changed(this, mValue);
        QAccessible::updateAccessibility(&changed);
    });
}

void SliderWidget::setStyle(qint32 style)
{
    const bool wasVertical = isVertical();
    mStyle = style;
    QSize placed = size();
    // Only a change of orientation turns the control; setting the style it
    // already has keeps its length instead of shrinking it to its thickness.
    if (isVertical() != wasVertical)
        placed.transpose();
    applyOrientation();
    applySizeRules(placed);
}

void SliderWidget::setBackColor(ColorRef color)
{
    mBackColor = color;
    SliderArtwork::paintChannel(mArt.PicEmptyFill, toRgb(color));
    SliderArtwork::paintChannel(mArt.PicEmptyFill2, toRgb(color));
    mMark = false;
    redraw();
    Q_EMIT Change();
}

void SliderWidget::setForeColor(ColorRef color)
{
    mForeColor = color;
    mMark = false;
    redraw();
    Q_EMIT Change();
}

void SliderWidget::setForeColor2(ColorRef color)
{
    mForeColor2 = color;
    mMark = false;
    redraw();
    Q_EMIT Change();
}

void SliderWidget::setValue(qint32 value)
{
    mValue = limitValue(value, mMin, mMax);
    mMark = false;
    redraw();
    Q_EMIT Change();
}

void SliderWidget::setMax(qint32 max)
{
    // Min < Max always holds, so Min + 1 cannot overflow.
    mMax = max > mMin ? max : mMin + 1;
    if (mValue > mMax)
        mValue = mMax;
    mMark = false;
    redraw();
    Q_EMIT Change();
}

void SliderWidget::setMin(qint32 min)
{
    mMin = min < mMax ? min : mMax - 1;
    if (mValue < mMin)
        mValue = mMin;
    mMark = false;
    redraw();
    Q_EMIT Change();
}

void SliderWidget::loadProperties(const PropertyBag& bag)
{
    const qint32 value = readInt32(bag, QStringLiteral("Value"), kDefaultValue);
    const qint32 max = readInt32(bag, QStringLiteral("Max"), kDefaultMax);
    const qint32 min = readInt32(bag, QStringLiteral("Min"), kDefaultMin);

    setValue(value);
    setMax(max);
    setMin(min);
    setBackColor(readColor(bag, QStringLiteral("BackColor"), kDefaultBackColor));
    setForeColor(readColor(bag, QStringLiteral("ForeColor"), kDefaultForeColor));
    setForeColor2(readColor(bag, QStringLiteral("ForeColor2"), kDefaultForeColor2));
    setEnabled(readBool(bag, QStringLiteral("Enabled"), kDefaultEnabled));
    setSnap(readBool(bag, QStringLiteral("Snap"), kDefaultSnap));
    setStyle(readInt32(bag, QStringLiteral("Style"), kDefaultStyle));

    // Value, Max and Min were each limited by the range in effect when they
    // were applied; a stored range outside the previous one (or a value
    // outside -100..100) would otherwise come back cut. Settle them to what
    // was stored, as far as the setters' rules allow.
    if (mMax != max)
        setMax(max);
    if (mMin != min)
        setMin(min);
    if (mValue != value)
        setValue(value);

    mMark = false;
    redraw();
}

void SliderWidget::saveProperties(PropertyBag& bag) const
{
    bag.write(QStringLiteral("Value"), mValue, kDefaultValue);
    bag.write(QStringLiteral("Max"), mMax, kDefaultMax);
    bag.write(QStringLiteral("Min"), mMin, kDefaultMin);
    bag.write(QStringLiteral("BackColor"), mBackColor, kDefaultBackColor);
    bag.write(QStringLiteral("ForeColor"), mForeColor, kDefaultForeColor);
    bag.write(QStringLiteral("ForeColor2"), mForeColor2, kDefaultForeColor2);
    bag.write(QStringLiteral("Enabled"), mEnabled, kDefaultEnabled);
    bag.write(QStringLiteral("Snap"), mSnap, kDefaultSnap);
    bag.write(QStringLiteral("Style"), mStyle, kDefaultStyle);
}

int SliderWidget::handlePixel() const
{
    if (!isVertical())
        return followsPointer() ? int(roundHalfEven(mHandleOffset)) : handleLeft(mValue, mMin, mMax, width());
    const int fromBottom =
        followsPointer() ? int(roundHalfEven(mHandleOffset)) : handleTopFromBottom(mValue, mMin, mMax, height());
    return height() - fromBottom;
}

ColorRef SliderWidget::fillColor() const
{
    const int length = isVertical() ? height() : width();
    const double fraction =
        followsPointer() ? offsetFraction(mHandleOffset, length) : valueFraction(mValue, mMin, mMax);
    return blendColor(mForeColor, mForeColor2, fraction);
}

QSize SliderWidget::sizeHint() const
{
    return isVertical() ? QSize(kThickness, 150) : QSize(150, kThickness);
}

QSize SliderWidget::minimumSizeHint() const
{
    return isVertical() ? QSize(kThickness, kMinimumLength) : QSize(kMinimumLength, kThickness);
}

void SliderWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect surface = rect();
    painter.fillRect(surface, palette().window());
    const int w = width();
    const int h = height();
    const int handle = handlePixel();
    if (!isVertical()) {
        SliderArtwork::paintChannel(mArt.PicFullFill, toRgb(fillColor()));
        drawStrip(painter, surface, QRect(0, 0, handle, kThickness), mArt.PicFullFill);
        drawStrip(painter, surface, QRect(handle, 0, w - handle, kThickness), mArt.PicEmptyFill);
        painter.drawImage(0, 0, mLeft);
        painter.drawImage(w - kHighCap, 0, mRight);
        painter.drawImage(handle, kHandleInset, mHandle);
    } else {
        SliderArtwork::paintChannel(mArt.PicFullFill2, toRgb(fillColor()));
        drawStrip(painter, surface, QRect(0, 0, kThickness, handle), mArt.PicEmptyFill2);
        drawStrip(painter, surface, QRect(0, handle, kThickness, h), mArt.PicFullFill2);
        painter.drawImage(0, 0, mUp);
        painter.drawImage(0, h - kLowCap, mDown);
        painter.drawImage(kHandleInset, handle, mHandle2);
    }
}

void SliderWidget::resizeEvent(QResizeEvent*)
{
    applySizeRules(size());
}

void SliderWidget::applyOrientation()
{
    if (isVertical()) {
        setMinimumSize(kThickness, kMinimumLength);
        setMaximumSize(kThickness, QWIDGETSIZE_MAX);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    } else {
        setMinimumSize(kMinimumLength, kThickness);
        setMaximumSize(QWIDGETSIZE_MAX, kThickness);
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    }
}

void SliderWidget::applySizeRules(QSize size)
{
    const QSize ruled = isVertical() ? QSize(kThickness, std::max(kMinimumLength, size.height()))
                                     : QSize(std::max(kMinimumLength, size.width()), kThickness);
    if (ruled != this->size())
        resize(ruled);
    mMark = false;
    redraw();
}

void SliderWidget::positionByMouse(double x, double y)
{
    MousePositioning positioning;
    if (isVertical()) {
        positioning = positionFromMouseY(y, height(), mMin, mMax);
        y = positioning.limitedCoordinate;
    } else {
        positioning = positionFromMouseX(x, width(), mMin, mMax);
        x = positioning.limitedCoordinate;
    }
    mLastX = x;
    mLastY = y;
    mHandleOffset = positioning.handleOffset;
    mMark = true;
    mValue = positioning.value;
    redraw();
    Q_EMIT Scroll();
    Q_EMIT Change();
}

void SliderWidget::clickRoutine()
{
    if (mEnabled)
        positionByMouse(mLastX, mLastY);
    Q_EMIT DblClick(mValue);
}

void SliderWidget::redraw()
{
    update();
}

void SliderWidget::mouseMoveEvent(QMouseEvent* event)
{
    const double x = event->position().x() * kTwipsPerPixel;
    const double y = event->position().y() * kTwipsPerPixel;
    if (event->buttons() == Qt::LeftButton && mEnabled) {
        positionByMouse(x, y);
    } else {
        mLastX = x;
        mLastY = y;
    }
}

void SliderWidget::mousePressEvent(QMouseEvent* event)
{
    // A press has no action of its own, but the pointer is seen here: a
    // control that came under a still pointer has had no move yet.
    mLastX = event->position().x() * kTwipsPerPixel;
    mLastY = event->position().y() * kTwipsPerPixel;
    if (event->button() == Qt::LeftButton) {
        mLeftPressed = true;
        mPressIsDoubleClick = false;
    }
}

void SliderWidget::mouseReleaseEvent(QMouseEvent* event)
{
    const QPointF position = event->position();
    Q_EMIT MouseUp(buttonCode(event->button()), shiftCode(event->modifiers()), float(position.x() * kTwipsPerPixel),
                   float(position.y() * kTwipsPerPixel));
    if (event->button() != Qt::LeftButton || !mLeftPressed)
        return;
    mLeftPressed = false;
    const bool click = !mPressIsDoubleClick && rect().contains(position.toPoint());
    mPressIsDoubleClick = false;
    if (click) {
        Q_EMIT Click();
        clickRoutine();
    }
}

void SliderWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    mLastX = event->position().x() * kTwipsPerPixel;
    mLastY = event->position().y() * kTwipsPerPixel;
    // The release that ends a double-click is not a click of its own.
    mLeftPressed = true;
    mPressIsDoubleClick = true;
    clickRoutine();
}

void SliderWidget::keyPressEvent(QKeyEvent* event)
{
    qint64 value = mValue;
    if (event->key() == Qt::Key_Left)
        --value;
    else if (event->key() == Qt::Key_Right)
        ++value;
    mValue = limitValue(value, mMin, mMax);
    mMark = false;
    redraw();
    Q_EMIT Change();
    Q_EMIT Scroll();
    // Other keys still reach the window (Escape, Enter in a dialog).
    if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right)
        event->accept();
    else
        event->ignore();
}

} // namespace controls
