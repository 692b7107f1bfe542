#pragma once

#include <QWidget>

//! A panel that reports every mouse press on itself (not on its child
//! controls): the window's own title area, by which it is dragged.
class DragPanel : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

Q_SIGNALS:
    void pressed();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};
