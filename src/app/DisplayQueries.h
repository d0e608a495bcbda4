#pragma once

#include "ColourChooser.h"
#include "SettingsFileChooser.h"
#include "net/SignOn.h"
#include "window/PictureFileChooser.h"

// What the running display asks of the world outside it: the network adapters its sign-on goes out
// on, and the operator's choice of files and colours. The real ones unless a test hands in its own.
struct DisplayQueries {
    const SignOnAdapterSource& adapters = systemSignOnAdapters();
    SettingsFileChooser& settingsFiles = settingsFileDialogs();
    PictureFileChooser& pictureFiles = pictureFileDialog();
    ColourChooser& colours = colourDialog();
};
