// Times the file grid with a full list: binding 32768 rows, painting every
// page while scrolling through them, and 100 progress writes to one status
// cell with the grid shown. Each write must repaint that cell only; the paint
// events of the grid's rows area are recorded to show it.

#include "filelist/FileList.h"
#include "filelist/GridView.h"
#include "support/Timing.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QPaintEvent>
#include <QScrollBar>
#include <cstdio>

namespace {

//! Records the paint events of a widget.
class PaintRecorder : public QObject {
public:
    int events = 0;
    QRegion painted;

    void reset()
    {
        events = 0;
        painted = QRegion();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            ++events;
            painted += static_cast<QPaintEvent*>(event)->region();
        }
        return QObject::eventFilter(watched, event);
    }
};

double ms(const QElapsedTimer& timer)
{
    return timer.nsecsElapsed() / 1e6;
}

//! Lets every pending event and zero-time timer (delayed layouts) run.
void settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QElapsedTimer timer;
    timer.start();
    filelist::FileList list;
    for (int i = 0; i < filelist::FileList::kMaxRows; ++i) {
        filelist::FileListRow row;
        row.path = QStringLiteral("/home/user/Music/Some Artist/Some Album/%1 - A track title.flac")
                       .arg(i, 5, 10, QLatin1Char('0'));
        // Every tenth row shows a progress value, so the bar painting is timed too.
        if (i % 10 == 0) {
            row.state = filelist::RowState::Converting;
            row.progress = float(i % 101) + 0.5f;
        }
        row.Duration = QStringLiteral("03:07");
        row.FileSize = QStringLiteral("4.68 MB");
        if (!list.append(row)) {
            std::fprintf(stderr, "could not append row %d\n", i);
            return 1;
        }
    }
    const double fillMs = ms(timer);

    filelist::GridView grid;
    grid.resize(700, 400);
    grid.show();
    settle();

    timer.restart();
    double cpu = bench::threadCpuMs();
    grid.bindList(&list);
    grid.viewport()->repaint();
    const double bindMs = ms(timer);
    const double bindCpuMs = bench::threadCpuMs() - cpu;
    settle();

    // Scroll page by page to the end, painting each page.
    QScrollBar* bar = grid.verticalScrollBar();
    const int pageRows = bar->pageStep();
    int pages = 0;
    timer.restart();
    cpu = bench::threadCpuMs();
    for (int value = 0;; value += pageRows) {
        bar->setValue(value);
        grid.viewport()->repaint();
        ++pages;
        if (value >= bar->maximum())
            break;
    }
    const double scrollMs = ms(timer);
    const double scrollCpuMs = bench::threadCpuMs() - cpu;

    // 100 progress writes to one visible status cell, each followed by the
    // event run that paints it.
    const int row = list.count() - 5;
    grid.scrollTo(list.index(row, filelist::FileList::Status));
    settle();
    const QRect cell = grid.visualRect(list.index(row, filelist::FileList::Status));
    PaintRecorder recorder;
    grid.viewport()->installEventFilter(&recorder);
    int widerRepaints = 0;
    timer.restart();
    cpu = bench::threadCpuMs();
    for (int i = 0; i < 100; ++i) {
        recorder.reset();
        list.setProgress(row, float(i) * 1.01f);
        QCoreApplication::processEvents();
        if (recorder.events != 1 || !cell.contains(recorder.painted.boundingRect())) {
            ++widerRepaints;
            const QRect r = recorder.painted.boundingRect();
            std::printf("write %d: %d paint events over %d,%d %dx%d\n", i, recorder.events, r.x(), r.y(), r.width(),
                        r.height());
        }
    }
    const double writesMs = ms(timer);
    const double writesCpuMs = bench::threadCpuMs() - cpu;

    std::printf("rows: %d, visible rows per page: %d, viewport %dx%d\n", list.count(), pageRows,
                grid.viewport()->width(), grid.viewport()->height());
    std::printf("fill list:                       %8.1f ms\n", fillMs);
    std::printf("                                  wall ms   thread cpu ms\n");
    std::printf("bind and paint the first page: %9.1f %12.1f\n", bindMs, bindCpuMs);
    std::printf("scroll through all rows:       %9.1f %12.1f  (%d pages; a page %.2f / %.2f ms)\n", scrollMs,
                scrollCpuMs, pages, scrollMs / pages, scrollCpuMs / pages);
    std::printf("100 progress writes, painted:  %9.1f %12.1f  (a write %.3f / %.3f ms)\n", writesMs, writesCpuMs,
                writesMs / 100, writesCpuMs / 100);
    std::printf("repaint per write: cell %dx%d; writes that repainted more than the cell: %d of 100\n", cell.width(),
                cell.height(), widerRepaints);
    return widerRepaints == 0 ? 0 : 2;
}
