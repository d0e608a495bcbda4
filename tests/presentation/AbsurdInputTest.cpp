#include "AbsurdInputs.h"
#include "presentation/DisplayColour.h"
#include "presentation/HeadlessHost.h"
#include "presentation/Presenter.h"
#include "support/ImageProbes.h"

#include <QImage>
#include <gtest/gtest.h>

// Absurd input on the display's own path: a caption document read and presented on a display-size
// image, its effect run to the end. Each must be refused, or drawn with the view still inside the
// image. The sanitizer build runs them with ASan's checks on every allocation and on the stack, so
// memory or depth out of all proportion to the picture shows there.

namespace AbsurdInputs {

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

} // namespace AbsurdInputs

namespace {

using namespace AbsurdInputs;

constexpr QSize Client(960, 540); // the display image is 1920 x 1080

class AbsurdInputTest : public testing::TestWithParam<Case> {};

TEST_P(AbsurdInputTest, IsRefusedOrDrawnWithinTheImage) {
    HeadlessHost host;
    Presenter presenter(host);
    presenter.resizeDisplay(Client);
    host.presentationSettings.baseFontHeight = presenter.baseFontHeight(); // as the window sets it
    GetParam().settings(host.presentationSettings);

    presenter.enqueue(GetParam().document());
    presenter.ShowSurtitle();
    for (int step = 0; step < 1024 && presenter.effectRunning(); ++step)
        presenter.AnimateTimerTimer();
    ASSERT_FALSE(presenter.effectRunning()) << "the effect did not finish";

    const QImage& image = presenter.displayImage();
    const QRect view = QRect(-host.position, Client).intersected(image.rect());
    ASSERT_EQ(view.size(), Client) << "the view left the image";
    const QRgb background = DisplayRgb(StringToColour(presenter.records().current.BackColour, Colour::Black));
    switch (GetParam().outcome) {
    case Outcome::Refused:
        EXPECT_TRUE(presenter.records().current == TCaptions()) << "the document was read";
        EXPECT_TRUE(inkBounds(image, qRgb(0, 0, 0)).isEmpty());
        break;
    case Outcome::Drawn:
        EXPECT_FALSE(inkBounds(image, background, view).isEmpty());
        break;
    case Outcome::Undrawn:
        EXPECT_TRUE(inkBounds(image, background, view).isEmpty());
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, AbsurdInputTest, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

} // namespace
