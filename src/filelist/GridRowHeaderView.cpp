#include "filelist/GridRowHeaderView.h"

#include "filelist/FileList.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QStyleOptionHeader>

namespace filelist {

namespace {

// The theme's text colour: the signs read on the header as its numbers do.
constexpr QRgb kMarkColor = qRgb(128, 64, 0);

QIcon markIcon(GridRowHeaderView::Mark mark, int side)
{
    QPixmap picture(side * 2, side * 2); // drawn at twice the size, for sharp edges when scaled
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromRgb(kMarkColor));
    const qreal s = picture.width();
    if (mark == GridRowHeaderView::Mark::Playing) {
        const QPointF triangle[] = {{s * 0.25, s * 0.2}, {s * 0.85, s * 0.5}, {s * 0.25, s * 0.8}};
        painter.drawPolygon(triangle, 3);
    } else {
        painter.drawRect(QRectF(s * 0.25, s * 0.2, s * 0.18, s * 0.6));
        painter.drawRect(QRectF(s * 0.57, s * 0.2, s * 0.18, s * 0.6));
    }
    painter.end();
    return QIcon(picture);
}

} // namespace

GridRowHeaderView::GridRowHeaderView(QWidget* parent) : QHeaderView(Qt::Vertical, parent)
{
    setObjectName(QStringLiteral("GridRowHeaderView"));
}

int GridRowHeaderView::markSide() const
{
    // The style draws a header's icon at its small icon size.
    return style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
}

void GridRowHeaderView::setPlaying(const QString& path, Mark mark)
{
    const QString marked = mark == Mark::None ? QString() : path;
    if (marked == m_path && mark == m_mark)
        return;
    m_path = marked;
    m_mark = marked.isEmpty() ? Mark::None : mark;
    viewport()->update();
}

int GridRowHeaderView::playingRow() const
{
    if (m_mark == Mark::None || !model())
        return -1;
    for (int row = 0; row < model()->rowCount(); ++row)
        if (model()->index(row, FileList::FilePath).data().toString() == m_path)
            return row;
    return -1;
}

void GridRowHeaderView::initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const
{
    QHeaderView::initStyleOptionForIndex(option, logicalIndex);
    if (m_mark == Mark::None || !model())
        return;
    if (model()->index(logicalIndex, FileList::FilePath).data().toString() != m_path)
        return;
    option->icon = markIcon(m_mark, markSide());
    option->iconAlignment = Qt::AlignLeft | Qt::AlignVCenter;
}

QSize GridRowHeaderView::sectionSizeFromContents(int logicalIndex) const
{
    // Room for a sign beside every number, so the column keeps its width
    // whichever row plays.
    QSize size = QHeaderView::sectionSizeFromContents(logicalIndex);
    size.rwidth() += markSide() + 2 * style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, this);
    return size;
}

} // namespace filelist
