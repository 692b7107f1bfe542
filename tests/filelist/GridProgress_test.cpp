#include "filelist/FileList.h"
#include "filelist/GridProgress.h"
#include "filelist/GridProgressDelegate.h"
#include "filelist/GridView.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QStyleOptionViewItem>
#include <gtest/gtest.h>
#include <optional>

namespace {

// The bar as painted beside white: the design's green, darkened until the
// label reads on it.
const QColor kBar = QColor::fromRgb(
    filelist::gridprogress::readableBar(filelist::GridProgressDelegate::kBarColor & 0xFFFFFF, 0xFFFFFF));
const QColor kContrast(Qt::white);
const QColor kUntouched(0, 0, 255);
constexpr int kWidth = 200;
constexpr int kHeight = 20;

// The cell is 200 x 20 at the image's origin; the image has two spare rows
// below it to show how far the painting reaches.
QImage blankImage()
{
    QImage image(kWidth, kHeight + 2, QImage::Format_ARGB32_Premultiplied);
    image.fill(kUntouched);
    return image;
}

//! Paints the status cell of a row converting, `percent` done, or of a
//! complete row when there is no percentage.
QImage paintCell(std::optional<float> percent, bool selected = false, const QPalette& palette = QPalette())
{
    filelist::FileList list;
    filelist::FileListRow row;
    row.path = QStringLiteral("/music/a.wav");
    row.state = percent ? filelist::RowState::Converting : filelist::RowState::Complete;
    row.progress = percent.value_or(0);
    EXPECT_TRUE(list.append(row));

    filelist::GridProgressDelegate delegate;
    delegate.setContrastColor(kContrast);
    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, kWidth, kHeight);
    option.palette = palette;
    option.font = QApplication::font();
    option.state = QStyle::State_Enabled | QStyle::State_Active;
    if (selected)
        option.state |= QStyle::State_Selected;

    QImage image = blankImage();
    QPainter painter(&image);
    delegate.paint(&painter, option, list.index(0, filelist::FileList::Status));
    return image;
}

// The label drawn as plain text in `ink` on `paper` over the cell and the row
// below it: what the cell must show on each side of the bar's end.
QImage reference(const QString& label, const QColor& ink, const QColor& paper)
{
    QImage image = blankImage();
    QPainter painter(&image);
    painter.fillRect(QRect(0, 0, kWidth, kHeight + 1), paper);
    painter.setFont(QApplication::font());
    painter.setPen(ink);
    painter.drawText(QRect(0, 0, kWidth, kHeight), Qt::AlignCenter | Qt::TextSingleLine, label);
    return image;
}

// Every pixel: left of `barEnd` as in `inBar`, from it on as in `beside`.
void expectComposite(const QImage& image, int barEnd, const QImage& inBar, const QImage& beside)
{
    int mismatches = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb expected = x < barEnd ? inBar.pixel(x, y) : beside.pixel(x, y);
            if (image.pixel(x, y) != expected && ++mismatches <= 5)
                ADD_FAILURE() << "pixel " << x << "," << y << " is " << std::hex << image.pixel(x, y) << ", expected "
                              << expected;
        }
    }
    EXPECT_EQ(mismatches, 0);
}

int countColor(const QImage& image, const QColor& color, QRect area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.pixelColor(x, y) == color;
    return count;
}

} // namespace

TEST(GridProgress, NumericValuesAreRoundedHalfToEvenAndLimited)
{
    using namespace filelist::gridprogress;
    EXPECT_EQ(numericValue(QStringLiteral("37.5")), 37.5);
    EXPECT_EQ(numericValue(QStringLiteral(" 100 ")), 100.0);
    EXPECT_EQ(numericValue(QStringLiteral("-3")), -3.0);
    EXPECT_FALSE(numericValue(QStringLiteral("Waiting Conversion")));
    EXPECT_FALSE(numericValue(QStringLiteral("Complete")));
    EXPECT_FALSE(numericValue(QString()));
    EXPECT_FALSE(numericValue(QStringLiteral("inf")));
    EXPECT_FALSE(numericValue(QStringLiteral("nan")));

    EXPECT_EQ(label(percent(45.5)), QStringLiteral("46%"));
    EXPECT_EQ(label(percent(44.5)), QStringLiteral("44%"));
    EXPECT_EQ(label(percent(100)), QStringLiteral("100%"));
    EXPECT_EQ(label(percent(250)), QStringLiteral("100%"));
    EXPECT_EQ(label(percent(-0.4)), QStringLiteral("0%"));
    EXPECT_EQ(label(percent(-12)), QStringLiteral("0%"));
    EXPECT_EQ(roundHalfEven(-2.5), -2.0);
    EXPECT_EQ(roundHalfEven(0.5), 0.0);

    EXPECT_EQ(barWidth(45, 200), 90);
    EXPECT_EQ(barWidth(50, 201), 100); // 100.5 rounds to the even neighbour
    EXPECT_EQ(barWidth(50, 203), 102); // 101.5 likewise
    EXPECT_EQ(barWidth(0, 200), 0);
    EXPECT_EQ(barWidth(100, 200), 200);
}

// The label reads in both halves of the bar: at least 4.5 to 1 between the
// bar and the contrast colour, the bar changed only where it lacked it.
TEST(GridProgress, TheBarIsMadeReadableAgainstItsContrastColour)
{
    using filelist::gridprogress::contrastRatio;
    using filelist::gridprogress::readableBar;
    EXPECT_NEAR(contrastRatio(0x000000, 0xFFFFFF), 21.0, 1e-9);
    EXPECT_LT(contrastRatio(0x71874F, 0xFFFFFF), 4.5); // the design's green on white
    const struct {
        quint32 bar;
        quint32 text;
    } cases[] = {{0x71874F, 0xFFFFFF}, {0x71874F, 0x000000}, {0xC04000, 0xFFFFFF}, {0xFFFF00, 0xFFFFE0}};
    for (const auto& c : cases) {
        const quint32 bar = readableBar(c.bar, c.text);
        EXPECT_GE(contrastRatio(bar, c.text), 4.5) << std::hex << c.bar << " on " << c.text;
        if (contrastRatio(c.bar, c.text) >= 4.5) {
            EXPECT_EQ(bar, c.bar) << std::hex << c.bar;
        }
    }
}

TEST(GridProgress, FortyFivePercentFillsNinetyPixelsAndTheLabelChangesColourAtTheBarEnd)
{
    const QImage image = paintCell(45.0f);
    expectComposite(image, 90, reference(QStringLiteral("45%"), kContrast, kBar),
                    reference(QStringLiteral("45%"), kBar, kContrast));
    // The label straddles the bar's end, so both sides show part of it.
    const QImage plainBar = reference(QString(), kContrast, kBar);
    const QImage plainBeside = reference(QString(), kBar, kContrast);
    EXPECT_NE(image.copy(80, 0, 10, kHeight), plainBar.copy(80, 0, 10, kHeight));
    EXPECT_NE(image.copy(90, 0, 10, kHeight), plainBeside.copy(90, 0, 10, kHeight));
    // The background reaches one row below the cell and no further.
    EXPECT_EQ(image.pixelColor(0, kHeight), kBar);
    EXPECT_EQ(image.pixelColor(kWidth - 1, kHeight), kContrast);
    EXPECT_EQ(countColor(image, kUntouched, QRect(0, kHeight + 1, kWidth, 1)), kWidth);
}

TEST(GridProgress, OverAHundredFillsTheCellAndBelowZeroShowsNoBar)
{
    expectComposite(paintCell(250.0f), kWidth, reference(QStringLiteral("100%"), kContrast, kBar), {});
    expectComposite(paintCell(100.0f), kWidth, reference(QStringLiteral("100%"), kContrast, kBar), {});
    expectComposite(paintCell(-7.5f), 0, {}, reference(QStringLiteral("0%"), kBar, kContrast));
    expectComposite(paintCell(45.5f), 92, reference(QStringLiteral("46%"), kContrast, kBar),
                    reference(QStringLiteral("46%"), kBar, kContrast));
}

TEST(GridProgress, SelectedCellShowsTheLabelInTheSelectionColoursOverTheWholeCell)
{
    QPalette palette;
    const QColor highlight(10, 20, 30);
    const QColor highlightedText(240, 230, 220);
    palette.setColor(QPalette::Active, QPalette::Highlight, highlight);
    palette.setColor(QPalette::Active, QPalette::HighlightedText, highlightedText);
    const QImage image = paintCell(45.0f, true, palette);
    expectComposite(image, kWidth, reference(QStringLiteral("45%"), highlightedText, highlight), {});
    EXPECT_EQ(countColor(image, kBar, image.rect()), 0);
}

TEST(GridProgress, StatusTextsArePaintedAsPlainText)
{
    const QImage image = paintCell(std::nullopt);
    EXPECT_EQ(countColor(image, kBar, image.rect()), 0);
    EXPECT_EQ(countColor(image, kContrast, QRect(0, kHeight, kWidth, 1)), 0);
}

TEST(GridProgress, TheGridPaintsAProgressCellAsABar)
{
    filelist::FileList list;
    for (int i = 0; i < 3; ++i) {
        filelist::FileListRow row;
        row.path = QStringLiteral("/music/%1.wav").arg(i);
        ASSERT_TRUE(list.append(row));
    }
    filelist::GridView grid;
    grid.resize(800, 200);
    grid.bindList(&list);
    grid.progressDelegate()->setContrastColor(kContrast);
    grid.show();
    list.setProgress(1, 50.0f);

    const QRect cell = grid.visualRect(list.index(1, filelist::FileList::Status));
    QImage image = grid.viewport()->grab().toImage();
    const int y = cell.top() + 1;
    const int half = cell.width() / 2;
    EXPECT_EQ(image.pixelColor(cell.left(), y), kBar);
    EXPECT_EQ(image.pixelColor(cell.left() + half - 3, y), kBar);
    EXPECT_EQ(image.pixelColor(cell.left() + half + 3, y), kContrast);
    // The other rows' status cells stay plain text on the grid's background.
    const QRect other = grid.visualRect(list.index(0, filelist::FileList::Status));
    EXPECT_EQ(countColor(image, kBar, other.adjusted(0, 0, 0, -1)), 0);

    // Selected, the whole cell takes the selection's background.
    grid.selectRow(1);
    image = grid.viewport()->grab().toImage();
    const QColor selection = image.pixelColor(cell.left() + 1, y);
    EXPECT_EQ(image.pixelColor(cell.right() - 1, y), selection);
    EXPECT_EQ(countColor(image, kBar, cell), 0);
}
