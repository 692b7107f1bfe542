#pragma once

#include "controls/SliderWidget.h"

#include <QApplication>
#include <QMouseEvent>
#include <QStringList>

// Records the slider's events in the order they are raised.
struct SliderTestLog {
    QStringList events;
    QList<qint16> mouseUpButtons;

    explicit SliderTestLog(controls::SliderWidget& slider)
    {
        QObject::connect(&slider, &controls::SliderWidget::DblClick, [this](int&) { events << "DblClick"; });
        QObject::connect(&slider, &controls::SliderWidget::Scroll, [this] { events << "Scroll"; });
        QObject::connect(&slider, &controls::SliderWidget::Change, [this] { events << "Change"; });
        QObject::connect(&slider, &controls::SliderWidget::Click, [this] { events << "Click"; });
        QObject::connect(&slider, &controls::SliderWidget::MouseUp, [this](qint16 button, qint16, float, float) {
            events << "MouseUp";
            mouseUpButtons << button;
        });
    }
};

// A pointer move over the slider with no button held.
inline void hover(QWidget& widget, QPoint pos)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(pos), widget.mapToGlobal(QPointF(pos)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&widget, &move);
}
