#include "presentation/ColourBlend.h"
#include "presentation/PixelPasses.h"

#include <gtest/gtest.h>

namespace {

struct BlendCase {
    ColourValue colour1;
    ColourValue colour2;
    int blend;
    ColourValue result;
};

class ColourBlendTest : public testing::TestWithParam<BlendCase> {};

TEST_P(ColourBlendTest, BlendsEachChannel) {
    const BlendCase& c = GetParam();
    EXPECT_EQ(ColourBlend(c.colour1, c.colour2, c.blend), c.result);
}

INSTANTIATE_TEST_SUITE_P(Colours, ColourBlendTest,
                         testing::ValuesIn(std::vector<BlendCase>{
                             {0x00FFFF, 0x000000, 0, 0x00FFFF},
                             {0x00FFFF, 0x000000, 512, 0x008080},
                             {0x00FFFF, 0x000000, 1023, 0x000000},
                             {0x00FFFF, 0xFF0000, 0, 0xFFFFFF},
                             {0x00FFFF, 0xFF0000, 1023, 0x000000},
                             {0x000000, 0x00FFFF, 0, 0x00FFFF}, // the larger channel leads, whichever colour
                             {0x804020, 0x000000, 1, 0x804020},
                             {0x804020, 0x000000, 1022, 0x010101},
                         }));

TEST(ScalePixelsTest, ScalesEveryChannelInTheAreaOnly) {
    QImage image(4, 2, QImage::Format_RGB32);
    image.fill(qRgb(255, 128, 10));
    ScalePixels(image, QRect(1, 0, 2, 2), 127);
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 128, 10));
    EXPECT_EQ(image.pixel(1, 0), qRgb(127, 63, 4)); // c x f div 255
    EXPECT_EQ(image.pixel(2, 1), qRgb(127, 63, 4));
    EXPECT_EQ(image.pixel(3, 1), qRgb(255, 128, 10));

    ScalePixels(image, QRect(-10, -10, 100, 100), 0);
    EXPECT_EQ(image.pixel(3, 1), qRgb(0, 0, 0));
}

TEST(ScalePixelsTest, FactorTwoHundredFiftyFiveChangesNothing) {
    QImage image(2, 2, QImage::Format_RGB32);
    image.fill(qRgb(1, 2, 3));
    const QImage before = image;
    ScalePixels(image, image.rect(), 255);
    EXPECT_EQ(image, before);
}

TEST(KeyOutColourTest, TheKeyColourBecomesTransparentAndTheRestTakesTheAlpha) {
    QImage image(3, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgb(0, 0, 0));
    image.setPixel(1, 0, qRgb(255, 255, 0));
    image.setPixel(2, 0, qRgba(0, 0, 0, 0)); // already transparent: stays so
    KeyOutColour(image, qRgb(0, 0, 0), 128);
    EXPECT_EQ(image.pixel(0, 0), 0u);
    EXPECT_EQ(image.pixel(1, 0), qRgba(255, 255, 0, 128));
    EXPECT_EQ(image.pixel(2, 0), 0u);
}

} // namespace
