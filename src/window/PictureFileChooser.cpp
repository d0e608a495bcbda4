#include "PictureFileChooser.h"

#include <QFileDialog>

using namespace Qt::Literals::StringLiterals;

namespace {

class PictureFileDialog : public PictureFileChooser {
public:
    QString choosePictureFile(const QString& startFile, QWidget* parent) override {
        return QFileDialog::getOpenFileName(parent, QString(), startFile, u"Bitmaps (*.bmp)"_s);
    }
};

} // namespace

PictureFileChooser& pictureFileDialog() {
    static PictureFileDialog dialog;
    return dialog;
}
