#pragma once

#include <QColor>
#include <QWidget>

namespace controls {

//! A panel with a gradient body, a thin border and an optional header strip
//! holding its title. The body blends from BodyColorTopLeft over
//! BodyColorBottomLeft to BodyColorBottomRight; the header strip blends from
//! HeaderColorTopLeft at its top to HeaderColorBottomLeft at its bottom.
//! ForeColor is the colour of the text of the controls on the panel.
class FramePanel : public QWidget {
    Q_OBJECT
public:
    explicit FramePanel(QWidget* parent = nullptr);

    QColor BodyColorBottomLeft() const { return m_bodyBottomLeft; }
    QColor BodyColorBottomRight() const { return m_bodyBottomRight; }
    QColor BodyColorTopLeft() const { return m_bodyTopLeft; }
    QColor BorderColor() const { return m_border; }
    QColor ForeColor() const { return m_fore; }
    QColor HeaderColorBottomLeft() const { return m_headerBottomLeft; }
    QColor HeaderColorTopLeft() const { return m_headerTopLeft; }

    void setBodyColorBottomLeft(const QColor& color);
    void setBodyColorBottomRight(const QColor& color);
    void setBodyColorTopLeft(const QColor& color);
    void setBorderColor(const QColor& color);
    void setForeColor(const QColor& color);
    void setHeaderColorBottomLeft(const QColor& color);
    void setHeaderColorTopLeft(const QColor& color);

    //! The header's title; the strip shows when it has a title or when
    //! setHeaderShown(true) asked for it (a strip that holds other controls).
    QString text() const { return m_title; }
    void setText(const QString& title);
    void setHeaderShown(bool shown);
    //! Height of the header strip in pixels, 0 without one.
    int headerHeight() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void updateMargins();

    QColor m_bodyBottomLeft{250, 250, 250};
    QColor m_bodyBottomRight{232, 232, 232};
    QColor m_bodyTopLeft{250, 250, 250};
    QColor m_border{150, 150, 150};
    QColor m_fore{Qt::black};
    QColor m_headerBottomLeft{120, 120, 120};
    QColor m_headerTopLeft{190, 190, 190};
    QString m_title;
    bool m_headerShown = false;
};

} // namespace controls
