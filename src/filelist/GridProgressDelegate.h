#pragma once

#include <QColor>
#include <QStyledItemDelegate>

namespace filelist {

//! Paints the cells of the `Status` column: centred text, or, when the value
//! is a number of percent, a progress bar with its label. The label is drawn
//! in the bar colour on the contrast colour, and the part of it inside the bar
//! in the contrast colour on the bar colour. A selected cell shows the label
//! in the selection's colours over the whole cell.
class GridProgressDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr QRgb kBarColor = qRgb(113, 135, 79);

    explicit GridProgressDelegate(QObject* parent = nullptr);

    //! The colour of the label on the bar and of the cell beside it; the
    //! system's highlight-text colour unless set.
    void setContrastColor(const QColor& color) { m_contrast = color; }
    QColor contrastColor() const;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    void paintProgress(QPainter* painter, const QStyleOptionViewItem& option, double value) const;

    QColor m_contrast;
};

} // namespace filelist
