#include "ColourChooser.h"

#include <QColorDialog>

namespace {

class ColourDialog : public ColourChooser {
public:
    std::optional<QColor> chooseColour(QColor initial, QWidget* parent) override {
        const QColor chosen = QColorDialog::getColor(initial, parent);
        return chosen.isValid() ? std::optional(chosen) : std::nullopt;
    }
};

} // namespace

ColourChooser& colourDialog() {
    static ColourDialog dialog;
    return dialog;
}
