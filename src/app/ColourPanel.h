#pragma once

#include <QColor>
#include <QLabel>

// A panel filled with a colour and inviting a click to choose another; the setup dialog's caption
// colour. The panel only shows the colour and reports the click: choosing is the dialog's business.
class ColourPanel : public QLabel {
    Q_OBJECT

public:
    explicit ColourPanel(QWidget* parent = nullptr);

    QColor colour() const { return m_colour; }
    void setColour(const QColor& colour);

Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QColor m_colour;
};
