#pragma once

#include <QColor>
#include <QWidget>

namespace controls {

//! A separator line: one pixel of BorderColor along the longer side of its
//! place, centred across the shorter one.
class LineWidget : public QWidget {
    Q_OBJECT
public:
    explicit LineWidget(QWidget* parent = nullptr);

    QColor BorderColor() const { return m_border; }
    void setBorderColor(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_border{Qt::black};
};

} // namespace controls
