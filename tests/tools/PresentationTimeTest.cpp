#include "veltrinox-caption/PresentationTime.h"

#include "captions/Vocabularies.h"
#include "net/StagetextConversion.h"
#include "support/CaptionDocumentBuilder.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

QString document(const QString& text, EntryEffect effect) {
    return CaptionDocumentBuilder().english(text).effect(effect, u"Fast"_s).xml();
}

struct Case {
    const char* name;
    QString document;
    QString clearSpeed;
    qint64 milliseconds;
};

class PresentationTimeTest : public testing::TestWithParam<Case> {};

TEST_P(PresentationTimeTest, IsTheStepsOfTheEffectsOnTheAnimationClock) {
    EXPECT_EQ(PresentationMilliseconds({GetParam().document}, GetParam().clearSpeed), GetParam().milliseconds);
}

// "Fast" is 64 of the 1023 steps of a full course a tick: 16 ticks. A "{CLEAR}" caption scrolls up
// at the Stagetext rate however its document is written.
INSTANTIATE_TEST_SUITE_P(
    Documents, PresentationTimeTest,
    testing::ValuesIn(std::vector<Case>{
        {"FadeOutAndIn", document(u"Hello"_s, EntryEffect::Fade), QString(), 320},
        {"ScrollUp", document(u"Hello"_s, EntryEffect::ScrollUp), QString(), 160},
        {"ClearAtTheSlowestRate", document(SpecialTextToString(SpecialText::Clear), EntryEffect::Fade),
         SlowestStagetextSpeed.toString(), 10230},
        {"ClearAtHalfRate", document(SpecialTextToString(SpecialText::Clear), EntryEffect::Fade), u"50%"_s, 320},
        {"ClearBeforeAnyRate", document(SpecialTextToString(SpecialText::Clear), EntryEffect::Fade), QString(), 1470},
    }),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

// The wait for a "{CLEAR}" caption is sound only if no rate a Stagetext caption can set is slower.
TEST(PresentationTimeTest, NoStagetextRateIsSlowerThanTheOneAssumed) {
    const int slowest = EffectSpeedFromString(SlowestStagetextSpeed);
    for (char16_t parameter = 0; parameter < 0xFFFF; ++parameter)
        ASSERT_GE(EffectSpeedFromString(Stagetext::RatePercentage(parameter)), slowest) << int(parameter);
}

} // namespace
