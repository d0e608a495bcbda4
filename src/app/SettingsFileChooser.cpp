#include "SettingsFileChooser.h"

#include <QFileDialog>

using namespace Qt::Literals::StringLiterals;

namespace {

class SettingsFileDialogs : public SettingsFileChooser {
public:
    QString chooseSettingsFile(FileUse use) override {
        if (use == FileUse::Save)
            return QFileDialog::getSaveFileName(nullptr, u"Save Settings to File"_s, u"*.ini"_s);
        return QFileDialog::getOpenFileName(nullptr, u"Load Settings from file"_s, u"*.ini"_s);
    }
};

} // namespace

SettingsFileChooser& settingsFileDialogs() {
    static SettingsFileDialogs dialogs;
    return dialogs;
}
