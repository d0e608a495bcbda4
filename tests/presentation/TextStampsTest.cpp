#include "presentation/TextStamps.h"

#include <QFont>
#include <gtest/gtest.h>

namespace {

constexpr int Flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip;

QImage blank(QSize size = QSize(480, 120)) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    return image;
}

QFont captionFont() {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(40);
    return font;
}

void drawLine(TextStamps& stamps, QImage& image, int number) {
    stamps.draw(image, image.rect(), captionFont(), QRect(10, 30, 460, 48), Flags,
                QStringLiteral("Caption line number %1").arg(number), qRgb(255, 255, 0));
}

} // namespace

// A show draws thousands of different lines: the stamps of lines no longer drawn give way, so the
// cache stays within its budget for the image instead of growing with the show.
TEST(TextStampsTest, KeepsNoMoreThanItsBudgetForTheImage) {
    TextStamps stamps;
    QImage image = blank();
    for (int number = 0; number < 500; ++number)
        drawLine(stamps, image, number);
    EXPECT_GT(stamps.bytes(), 0);
    EXPECT_LE(stamps.bytes(), TextStamps::BudgetPixels * image.width() * image.height());
}

TEST(TextStampsTest, DrawsALineThatGaveWayAsBefore) {
    TextStamps stamps;
    QImage first = blank();
    drawLine(stamps, first, 1);
    QImage scratch = blank();
    for (int number = 2; number < 100; ++number)
        drawLine(stamps, scratch, number);
    QImage again = blank();
    drawLine(stamps, again, 1);
    EXPECT_EQ(again, first);
}

// Between captions only the lines drawn last are kept, the ones a fade out draws again first.
TEST(TextStampsTest, ATrimKeepsTheLinesDrawnLast) {
    const QSize size(1920, 480); // room for the stamps of all four lines
    TextStamps stamps;
    QImage last;
    qsizetype before = 0;
    for (int number = 0; number < 4; ++number) {
        before = stamps.bytes();
        last = blank(size);
        drawLine(stamps, last, number);
    }
    const qsizetype lastLine = stamps.bytes() - before;
    ASSERT_GT(before, 0);
    ASSERT_GT(lastLine, 0);
    stamps.trim(lastLine);
    EXPECT_EQ(stamps.bytes(), lastLine);
    stamps.trim(0);
    EXPECT_EQ(stamps.bytes(), 0);
    QImage again = blank(size);
    drawLine(stamps, again, 3);
    EXPECT_EQ(again, last);
}
