#pragma once

#include <QColor>
#include <optional>

class QWidget;

// Asks the operator for a colour. The system's colour dialog does it for the display; tests hand in
// a chooser that answers at once.
class ColourChooser {
public:
    virtual ~ColourChooser() = default;
    // Starting from initial, in front of parent; nothing when the choice is cancelled.
    virtual std::optional<QColor> chooseColour(QColor initial, QWidget* parent) = 0;
};

// The system's colour dialog.
ColourChooser& colourDialog();
