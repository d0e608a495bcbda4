#pragma once

#include <QString>

class QWidget;

// Asks the operator for a background picture file. The system's file dialog does it for the
// display; tests hand in a chooser that answers at once.
class PictureFileChooser {
public:
    virtual ~PictureFileChooser() = default;
    // A bitmap file ("Bitmaps (*.bmp)"), starting at startFile, in front of parent; empty when the
    // choice is cancelled.
    virtual QString choosePictureFile(const QString& startFile, QWidget* parent) = 0;
};

// The system's file dialog.
PictureFileChooser& pictureFileDialog();
