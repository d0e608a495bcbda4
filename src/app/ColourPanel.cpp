#include "ColourPanel.h"

#include <QMouseEvent>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr QSize MinimumPanelSize(120, 40);

} // namespace

ColourPanel::ColourPanel(QWidget* parent) : QLabel(u"Click to choose"_s, parent) {
    setAlignment(Qt::AlignCenter);
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setAutoFillBackground(true);
    setCursor(Qt::PointingHandCursor);
    setMinimumSize(MinimumPanelSize);
}

void ColourPanel::setColour(const QColor& colour) {
    m_colour = colour;
    QPalette panel = palette();
    panel.setColor(QPalette::Window, colour);
    // The hint stays readable on any colour.
    panel.setColor(QPalette::WindowText, qGray(colour.rgb()) < 128 ? Qt::white : Qt::black);
    setPalette(panel);
}

void ColourPanel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
}
