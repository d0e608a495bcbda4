// Picture captions: BMP files of any header and length, given as the Base64 text a caption carries,
// and caption texts that are not clean Base64 at all. A picture is either refused or decoded within
// the allocation limit.
#include "FuzzSupport.h"
#include "GuiApplication.h"
#include "captions/CaptionDocumentFormat.h"
#include "presentation/CaptionBitmap.h"

#include <QByteArray>
#include <QString>

using FuzzSupport::require;

namespace {

// The first byte says how the rest reaches the decoder.
enum class Form : uint8_t {
    BmpFile,     // the bytes of a file, written as Base64 after the marker as the display writes them
    CaptionText, // the bytes are the caption's text after the marker, Base64 or not
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    FuzzSupport::startInput();
    const auto form = Form(data[0] % 2);
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    const QString text = CaptionDocumentFormat::ImagePrefix.toString() +
                         (form == Form::BmpFile ? QString::fromLatin1(bytes.toBase64()) : QString::fromLatin1(bytes));

    const CaptionBitmap bitmap = DecodeCaptionBitmap(text);
    if (bitmap.status != CaptionBitmap::Status::Loaded) {
        require(bitmap.image.isNull(), "a picture that is not shown holds no image");
        return 0;
    }
    require(!bitmap.image.isNull(), "a loaded picture has an image");
    require(bitmap.image.sizeInBytes() <= qsizetype(MaxBitmapMegabytes) * 1024 * 1024,
            "a loaded picture stays within the allocation limit");
    return 0;
}
