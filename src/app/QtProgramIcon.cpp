#include "app/QtProgramIcon.h"

#include <QPainter>
#include <QSvgRenderer>

namespace app {

namespace {

const QString kIconResource = QStringLiteral(":/tonemill/tonemill.svg");
// Drawn for small sizes: the full picture washes out below 24 pixels.
const QString kSmallIconResource = QStringLiteral(":/tonemill/tonemill-small.svg");
constexpr int kLargestSmallIcon = 24;

} // namespace

QPixmap programIconPixmap(int size, qreal ratio)
{
    const int pixels = qRound(size * ratio);
    QPixmap picture(pixels, pixels);
    picture.fill(Qt::transparent);
    QSvgRenderer renderer(pixels <= kLargestSmallIcon ? kSmallIconResource : kIconResource);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    painter.end();
    picture.setDevicePixelRatio(ratio);
    return picture;
}

QIcon programIcon()
{
    QIcon icon;
    for (const int size : {16, 20, 22, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(programIconPixmap(size, 1.0));
    return icon;
}

} // namespace app
