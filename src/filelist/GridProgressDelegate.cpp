#include "filelist/GridProgressDelegate.h"

#include "filelist/FileList.h"
#include "filelist/GridProgress.h"

#include <QApplication>
#include <QPainter>

namespace filelist {

GridProgressDelegate::GridProgressDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

QColor GridProgressDelegate::contrastColor() const
{
    return m_contrast.isValid() ? m_contrast : QApplication::palette().color(QPalette::HighlightedText);
}

void GridProgressDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    option->displayAlignment = Qt::AlignCenter;
    // A row converted from a damaged input carries a warning sign beside its
    // "Complete", so it cannot be taken for a clean one at a glance.
    if (index.data(FileList::StateRole).toInt() == int(RowState::CompleteDamaged)) {
        const QStyle* style = option->widget ? option->widget->style() : QApplication::style();
        option->icon = style->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, option->widget);
        const int side = option->fontMetrics.height();
        option->decorationSize = QSize(side, side);
        option->features |= QStyleOptionViewItem::HasDecoration;
    }
}

void GridProgressDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    // Most cells hold a status text: test that first and leave them to the
    // ordinary painting.
    const std::optional<double> value = gridprogress::numericValue(index.data(Qt::DisplayRole).toString());
    if (!value) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    paintProgress(painter, opt, *value);
}

void GridProgressDelegate::paintProgress(QPainter* painter, const QStyleOptionViewItem& option, double value) const
{
    const int percent = gridprogress::percent(value);
    const QString text = gridprogress::label(percent);

    QColor bar = QColor::fromRgb(kBarColor);
    QColor contrast = contrastColor();
    const QRect cell = option.rect;
    int barWidth = gridprogress::barWidth(percent, cell.width());
    if (option.state & QStyle::State_Selected) {
        const QPalette::ColorGroup group = option.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
        bar = option.palette.color(group, QPalette::Highlight);
        contrast = option.palette.color(group, QPalette::HighlightedText);
        barWidth = cell.width();
    }
    // The label reads in both halves: the bar is darkened (or lightened)
    // where the contrast colour leaves too little between them.
    bar = QColor::fromRgb(gridprogress::readableBar(bar.rgb() & 0xFFFFFF, contrast.rgb() & 0xFFFFFF));

    // The background reaches one pixel below the cell, over the grid line.
    const QRect area = cell.adjusted(0, 0, 0, 1);
    const QRect barArea(area.left(), area.top(), barWidth, area.height());

    painter->save();
    painter->setFont(option.font);
    painter->fillRect(area, contrast);
    painter->setPen(bar);
    painter->drawText(cell, Qt::AlignCenter | Qt::TextSingleLine, text);
    if (barWidth > 0) {
        // Inside the bar the two colours trade places.
        painter->setClipRect(barArea, Qt::IntersectClip);
        painter->fillRect(barArea, bar);
        painter->setPen(contrast);
        painter->drawText(cell, Qt::AlignCenter | Qt::TextSingleLine, text);
    }
    painter->restore();
}

} // namespace filelist
