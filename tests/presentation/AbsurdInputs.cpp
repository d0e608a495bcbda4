#include "AbsurdInputs.h"

#include "captions/CaptionDocumentWriter.h"
#include "captions/CaptionWords.h"
#include "net/StagetextConversion.h"
#include "support/CaptionDocumentBuilder.h"

#include <QBuffer>
#include <QImage>
#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace AbsurdInputs {

namespace {

constexpr int Huge = 1000000;

// A caption document showing text in white on blue at medium size, fading in fast.
CaptionDocumentBuilder document(const QString& text) {
    return CaptionDocumentBuilder()
        .english(text)
        .colours(u"White"_s, u"Blue"_s)
        .fontSize(u"Medium"_s)
        .effect(EntryEffect::Fade, u"Fast"_s);
}

QString repeated(QStringView text, int times) {
    return text.toString().repeated(times);
}

// A picture caption holding a BMP file header that claims width x height pixels, and no pixels.
QString bitmapHeaderCaption(qint32 width, qint32 height, quint32 compression) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImage(1, 1, QImage::Format_RGB32).save(&buffer, "BMP");
    const auto setInt32 = [&bytes](int offset, quint32 value) {
        for (int i = 0; i < 4; ++i)
            bytes[offset + i] = char((value >> (8 * i)) & 0xFF);
    };
    setInt32(18, quint32(width));
    setInt32(22, quint32(height));
    setInt32(30, compression);
    return u"#IMAGE:#"_s + QString::fromLatin1(bytes.toBase64());
}

// What the control port hands the presentation for a Stagetext caption.
QString stagetextDocument(const QString& message, int baseFontHeight) {
    StagetextSettings settings;
    settings.baseFontHeight = baseFontHeight;
    settings.fontColourSetting = u"$FFFFFF"_s;
    StagetextConverter converter;
    return CaptiontoXML(converter.CaptionFromStagetext(message, settings)).text;
}

QString deeplyNested(int levels) {
    return repeated(u"<a>", levels) + repeated(u"</a>", levels);
}

QString manyAttributes(int count) {
    QString attributes;
    for (int i = 0; i < count; ++i)
        attributes += u" A%1=\"%1\""_s.arg(i);
    return attributes;
}

// A full block covers its whole line cell, so part of it is in view however large it is drawn.
const QString Block = QString(QChar(0x2588));

} // namespace

const std::vector<Case>& Cases() {
    static const std::vector<Case> cases = {
        // Structure
        {"DeeplyNested", [] { return document(u"Deep"_s).cueElements(deeplyNested(100000)).xml(); }, Outcome::Drawn},
        // Any element under the root is a caption: this one has no text.
        {"DeeplyNestedCaption", [] { return u"<Surtitles>"_s + deeplyNested(100000) + u"</Surtitles>"_s; },
         Outcome::Undrawn},
        {"DeeplyNestedUnclosed", [] { return u"<Surtitles>"_s + repeated(u"<a>", 100000); }, Outcome::Refused},
        {"ManyAttributes", [] { return document(u"Many"_s).captionsAttributes(manyAttributes(100000)).xml(); },
         Outcome::Drawn},
        {"ManyFontAttributes", [] { return document(u"Many"_s).fontAttributes(manyAttributes(100000)).xml(); },
         Outcome::Drawn},
        {"RepeatedAttributeNames",
         [] { return document(u"Twice"_s).captionsAttributes(repeated(u" A=\"1\"", 100000)).xml(); }, Outcome::Refused},
        // Long values
        {"MebibyteWord", [] { return document(QString(1 << 20, u'W')).xml(); }, Outcome::Drawn},
        {"MebibyteOfWords", [] { return document(repeated(u"word ", 1 << 18)).xml(); }, Outcome::Drawn},
        {"MebibyteOfWordsWrapped", [] { return document(repeated(u"word ", 1 << 18)).xml(); }, Outcome::Drawn,
         [](PresentationSettings& settings) { settings.wordWrap = true; }},
        {"MebibyteRollUp", [] { return document(repeated(u"word ", 1 << 18)).effect(EntryEffect::RollUp).xml(); },
         Outcome::Drawn},
        {"MebibyteMarkup", [] { return document(u"&lt;i&gt;"_s + repeated(u"word ", 1 << 18)).xml(); }, Outcome::Drawn},
        {"MebibyteTag", [] { return document(u"&lt;i "_s + QString(1 << 20, u'x') + u"&gt;tag"_s).xml(); },
         Outcome::Drawn},
        {"MebibyteFontName", [] { return document(u"Face"_s).fontSize({}).fontName(QString(1 << 20, u'F')).xml(); },
         Outcome::Drawn},
        {"MebibyteComment",
         [] { return document(u"Note"_s).cueElements(u"<Comment Text=\"%1\"/>"_s.arg(QString(1 << 20, u'c'))).xml(); },
         Outcome::Drawn},
        // References
        {"AmpersandFlood", [] { return document(repeated(u"&amp;", 200000)).xml(); }, Outcome::Drawn},
        {"CharacterReferenceFlood", [] { return document(repeated(u"&#65;&#x42;", 100000)).xml(); }, Outcome::Drawn},
        {"StoredReferenceFlood", [] { return document(repeated(u"&amp;#67;", 200000)).xml(); }, Outcome::Drawn},
        {"MarkupReferenceFlood",
         [] { return document(u"&lt;i&gt;"_s + repeated(u"&amp;eacute;&amp;#233;&amp;nbsp;", 100000)).xml(); },
         Outcome::Drawn},
        {"UndeclaredEntityFlood", [] { return document(repeated(u"&lol;", 200000)).xml(); }, Outcome::Refused},
        {"EntityExpansion",
         [] {
             QString declarations = u"<!ENTITY a0 \"lol\">"_s;
             for (int i = 1; i < 10; ++i)
                 declarations += u"<!ENTITY a%1 \"%2\">"_s.arg(i).arg(repeated(u"&a%1;"_s.arg(i - 1), 10));
             return u"<!DOCTYPE Surtitles [%1]>"_s.arg(declarations) + document(repeated(u"&a9;", 1000)).xml();
         },
         Outcome::Refused},
        // Pictures
        {"HugeBitmapHeader", [] { return document(bitmapHeaderCaption(60000, 60000, 0)).xml(); }, Outcome::Undrawn},
        {"HugeCompressedBitmapHeader", [] { return document(bitmapHeaderCaption(60000, 60000, 1)).xml(); },
         Outcome::Undrawn},
        {"MostNegativeBitmapHeight",
         [] { return document(bitmapHeaderCaption(60000, std::numeric_limits<qint32>::min(), 0)).xml(); },
         Outcome::Undrawn},
        // Font sizes
        {"SizeAttribute", [] { return document(Block).fontSize(QString::number(Huge)).xml(); }, Outcome::Drawn},
        {"SizeAttributeRollUp",
         [] { return document(Block).fontSize(QString::number(Huge)).effect(EntryEffect::RollUp).xml(); },
         Outcome::Drawn},
        {"SizeAttributeAdjusted", [] { return document(Block).fontSize(QString::number(Huge)).xml(); }, Outcome::Drawn,
         [](PresentationSettings& settings) { settings.fontAdjustPercent = 1000; }},
        {"MarkupFontSize", [] { return document(u"&lt;i&gt;&lt;font size=%1&gt;%2"_s.arg(Huge).arg(Block)).xml(); },
         Outcome::Drawn},
        {"MarkupStyleSize",
         [] {
             return document(u"&lt;i&gt;&lt;font style=&quot;font-size:%1pt&quot;&gt;%2"_s.arg(Huge).arg(Block)).xml();
         },
         Outcome::Drawn},
        {"MarkupStyleSizeScaled",
         [] {
             return document(u"&lt;i&gt;&lt;font style=&quot;font-size:99999999pt&quot;&gt;%1"_s.arg(Block))
                 .fontSize(u"1000"_s)
                 .xml();
         },
         Outcome::Drawn},
        {"StagetextSize", [] { return stagetextDocument(QString(Block) + u'\r', Huge); }, Outcome::Drawn},
        {"BaseFontHeight", [] { return document(Block).fontSize(u"Large"_s).xml(); }, Outcome::Drawn,
         [](PresentationSettings& settings) { settings.baseFontHeight = Huge; }},
        {"OverrideFontSize", [] { return document(Block).xml(); }, Outcome::Drawn,
         [](PresentationSettings& settings) {
             settings.fontOverride = true;
             settings.overrideFontName = u"Arial"_s;
             settings.overrideFontSize = Huge;
         }},
        // Lines
        {"HundredThousandLines", [] { return document(repeated(u"line&#13;&#10;", 100000)).xml(); }, Outcome::Drawn},
        {"HundredThousandLinesFromTop",
         [] {
             return document(repeated(u"line&#13;&#10;", 100000))
                 .effect(EntryEffect::Fade)
                 .effectsAttributes(u"VerticalJustification=\"Top\""_s)
                 .xml();
         },
         Outcome::Drawn},
        {"HundredThousandLinesWrapped", [] { return document(repeated(u"line&#13;&#10;", 100000)).xml(); },
         Outcome::Drawn, [](PresentationSettings& settings) { settings.wordWrap = true; }},
        {"HundredThousandLinesRollUp",
         [] { return document(repeated(u"line&#13;&#10;", 100000)).effect(EntryEffect::RollUp).xml(); },
         Outcome::Drawn},
        {"HundredThousandHugeLines",
         [] { return document(repeated(Block + u"&#13;&#10;"_s, 100000)).fontSize(QString::number(Huge)).xml(); },
         Outcome::Drawn},
        {"MillionHugeLines",
         [] { return document(Block + repeated(u"&#13;", 1000000) + Block).fontSize(QString::number(Huge)).xml(); },
         Outcome::Drawn},
        {"MillionHugeLinesWrapped",
         [] { return document(Block + repeated(u"&#13;", 1000000) + Block).fontSize(QString::number(Huge)).xml(); },
         Outcome::Drawn, [](PresentationSettings& settings) { settings.wordWrap = true; }},
        {"MillionHugeLinesRollUp",
         [] {
             return document(Block + repeated(u"&#13;", 1000000) + Block)
                 .fontSize(QString::number(Huge))
                 .effect(EntryEffect::RollUp)
                 .xml();
         },
         Outcome::Drawn},
        {"HundredThousandLinesRollUpWrapped",
         [] { return document(repeated(u"line&#13;&#10;", 100000)).effect(EntryEffect::RollUp).xml(); }, Outcome::Drawn,
         [](PresentationSettings& settings) { settings.wordWrap = true; }},
        {"HundredThousandMarkupLines",
         [] { return document(u"&lt;i&gt;"_s + repeated(u"line&lt;br&gt;", 100000)).xml(); }, Outcome::Drawn},
        {"HundredThousandMarkupLinesRollUp",
         [] {
             return document(u"&lt;i&gt;"_s + repeated(u"line&lt;br&gt;", 100000)).effect(EntryEffect::RollUp).xml();
         },
         Outcome::Drawn},
    };
    return cases;
}

} // namespace AbsurdInputs
