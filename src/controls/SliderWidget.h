#pragma once

#include "controls/ColorRef.h"
#include "controls/SliderArtwork.h"

#include <QImage>
#include <QWidget>

namespace controls {

class PropertyBag;

//! The system's own slider: picks an integer between Min and Max by dragging
//! its handle, clicking on the track or the left and right arrow keys, and
//! colours the filled part of its track with a blend of ForeColor (at Min) and
//! ForeColor2 (at Max). Sizes are kept in pixels; mouse coordinates passed to
//! MouseUp are in twips (15 to a pixel).
//!
//! Every event is raised synchronously from the setter or input that caused
//! it. The control's own Enabled is not QWidget's: while it is false the mouse
//! cannot move the value, but the look and the keyboard stay as they are.
//! setEnabled() therefore hides QWidget::setEnabled on purpose.
//!
//! A vertical slider must be made vertical (setStyle or loadProperties)
//! before it is given its vertical size: a horizontal one is always 20 pixels
//! high.
class SliderWidget : public QWidget {
    Q_OBJECT
public:
    explicit SliderWidget(QWidget* parent = nullptr);

    //! 0 is horizontal, any other value vertical.
    qint32 Style() const { return mStyle; }
    bool Enabled() const { return mEnabled; }
    bool Snap() const { return mSnap; }
    ColorRef BackColor() const { return mBackColor; }
    ColorRef ForeColor() const { return mForeColor; }
    ColorRef ForeColor2() const { return mForeColor2; }
    qint32 Value() const { return mValue; }
    qint32 Max() const { return mMax; }
    qint32 Min() const { return mMin; }

    //! Turns the control when the orientation changes (its length is kept),
    //! then applies the size rules. No event.
    void setStyle(qint32 style);
    void setEnabled(bool enabled) { mEnabled = enabled; }
    void setSnap(bool snap) { mSnap = snap; }
    void setBackColor(ColorRef color);
    void setForeColor(ColorRef color);
    void setForeColor2(ColorRef color);
    //! Limits the value to Min..Max; raises Change even when nothing changed.
    void setValue(qint32 value);
    //! A Max not above Min becomes Min + 1; Value is lowered to it if above.
    void setMax(qint32 max);
    //! A Min not below Max becomes Max - 1; Value is raised to it if below.
    void setMin(qint32 min);

    //! Applies the stored properties through their setters: Value, Max, Min,
    //! BackColor, ForeColor, ForeColor2, Enabled, Snap, Style; a missing one
    //! takes its default. The control keeps the size it was placed at.
    void loadProperties(const PropertyBag& bag);
    //! Writes the nine properties; those equal to their default are not kept.
    void saveProperties(PropertyBag& bag) const;

    bool isVertical() const { return mStyle != 0; }

    //! The handle's position as drawn now: left edge (horizontal) or top edge
    //! (vertical), in pixels from the control's top-left corner.
    int handlePixel() const;
    //! The colour of the filled part of the channel as drawn now.
    ColorRef fillColor() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    //! After every click and double-click; a handler may change Value through
    //! the reference, which stores it without limits or redraw.
    void DblClick(int& Value);
    void Scroll();
    void Change();
    void Click();
    //! Button: 1 left, 2 right, 4 middle; Shift: 1 Shift, 2 Ctrl, 4 Alt;
    //! X and Y in twips.
    void MouseUp(qint16 Button, qint16 Shift, float X, float Y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void applyOrientation();
    void applySizeRules(QSize size);
    void positionByMouse(double x, double y);
    void clickRoutine();
    void redraw();
    bool followsPointer() const { return !mSnap && mMark; }

    qint32 mStyle = 0;
    bool mEnabled = true;
    bool mSnap = false;
    ColorRef mBackColor = 0;
    ColorRef mForeColor = 0;
    ColorRef mForeColor2 = 0;
    qint32 mValue = 50;
    qint32 mMax = 100;
    qint32 mMin = -100;

    double mLastX = 0; // last mouse position, twips
    double mLastY = 0;
    double mHandleOffset = 0; // pixels
    bool mMark = false;       // the handle was last placed by the mouse
    bool mLeftPressed = false;
    bool mPressIsDoubleClick = false;
    qint32 mAnnounced = 50; // the value screen readers were last told

    SliderArtwork mArt;
    QImage mLeft, mRight, mHandle, mUp, mDown, mHandle2;
};

} // namespace controls
