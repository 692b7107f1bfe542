#include "support/BenchDesktop.h"

#include <QCoreApplication>
#include <cstdio>

namespace bench {

platform::Desktop::Answer BenchDesktop::messageBox(const QString& text, const QString&, Icon, Buttons)
{
    std::fprintf(stderr, "box: %s\n", qPrintable(text));
    ++m_boxes;
    return Answer::Ok;
}

void BenchDesktop::processEvents()
{
    QCoreApplication::processEvents();
}

} // namespace bench
