#pragma once

#include "window/PictureFileChooser.h"
#include "window/PresentationInputs.h"

// Presentation inputs that hold still: the settings and the Stagetext rate a test sets.
struct FixedPresentationInputs : PresentationInputs {
    PresentationSettings presentationSettings() const override { return settings; }
    QString stagetextSpeed() const override { return speed; }

    PresentationSettings settings;
    QString speed;
};

// An operator who picks the given picture file (none: the choice is cancelled).
struct ChosenPictureFile : PictureFileChooser {
    QString choosePictureFile(const QString&, QWidget*) override { return file; }

    QString file;
};
