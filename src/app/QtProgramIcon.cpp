#include "app/QtProgramIcon.h"

#include <QPainter>
#include <QSvgRenderer>

namespace app {

namespace {

const QString kIconResource = QStringLiteral(":/tonemill/tonemill.svg");

} // namespace

QPixmap programIconPixmap(int size, qreal ratio)
{
    const int pixels = qRound(size * ratio);
    QPixmap picture(pixels, pixels);
    picture.fill(Qt::transparent);
    QSvgRenderer renderer(kIconResource);
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
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(programIconPixmap(size, 1.0));
    return icon;
}

} // namespace app
