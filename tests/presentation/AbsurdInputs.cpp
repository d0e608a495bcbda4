#include "AbsurdInputs.h"

#include "captions/CaptionDocumentWriter.h"
#include "net/StagetextConversion.h"

#include <QBuffer>
#include <QImage>
#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace AbsurdInputs {

namespace {

constexpr int Huge = 1000000;

// A caption document showing text in white on blue; the setters add to or replace its parts.
class Document {
public:
    explicit Document(QString text) : m_text(std::move(text)) {}

    Document& font(const QString& attributes) {
        m_font = attributes;
        return *this;
    }
    Document& effects(const QString& attributes) {
        m_effects = attributes;
        return *this;
    }
    Document& captionsAttributes(const QString& attributes) {
        m_captionsExtra = attributes;
        return *this;
    }
    Document& cueElements(const QString& elements) {
        m_cueExtra = elements;
        return *this;
    }

    QString xml() const {
        return u"<Surtitles><Cue><Captions Stream0=\"%1\" StrName0=\"English\"%2/><Language Name=\"English\"/>"
               u"<Font Colour=\"White\" BackColour=\"Blue\" %3/><Effects %4/>%5</Cue></Surtitles>"_s.arg(
                   m_text, m_captionsExtra, m_font, m_effects, m_cueExtra);
    }

private:
    QString m_text;
    QString m_font = u"Size=\"Medium\""_s;
    QString m_effects = u"InEffect=\"Fade\" Speed=\"Fast\""_s;
    QString m_captionsExtra;
    QString m_cueExtra;
};

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
        {"DeeplyNested", [] { return Document(u"Deep"_s).cueElements(deeplyNested(100000)).xml(); }, Outcome::Drawn},
        // Any element under the root is a caption: this one has no text.
        {"DeeplyNestedCaption", [] { return u"<Surtitles>"_s + deeplyNested(100000) + u"</Surtitles>"_s; },
         Outcome::Undrawn},
        {"DeeplyNestedUnclosed", [] { return u"<Surtitles>"_s + repeated(u"<a>", 100000); }, Outcome::Refused},
        {"ManyAttributes", [] { return Document(u"Many"_s).captionsAttributes(manyAttributes(100000)).xml(); },
         Outcome::Drawn},
        {"ManyFontAttributes",
         [] { return Document(u"Many"_s).font(u"Size=\"Medium\""_s + manyAttributes(100000)).xml(); }, Outcome::Drawn},
        {"RepeatedAttributeNames",
         [] { return Document(u"Twice"_s).captionsAttributes(repeated(u" A=\"1\"", 100000)).xml(); }, Outcome::Refused},
        // Long values
        {"MebibyteWord", [] { return Document(QString(1 << 20, u'W')).xml(); }, Outcome::Drawn},
        {"MebibyteOfWords", [] { return Document(repeated(u"word ", 1 << 18)).xml(); }, Outcome::Drawn},
        {"MebibyteOfWordsWrapped", [] { return Document(repeated(u"word ", 1 << 18)).xml(); }, Outcome::Drawn,
         [](PresentationSettings& settings) { settings.wordWrap = true; }},
        {"MebibyteRollUp",
         [] { return Document(repeated(u"word ", 1 << 18)).effects(u"InEffect=\"Caption\""_s).xml(); }, Outcome::Drawn},
        {"MebibyteMarkup", [] { return Document(u"&lt;i&gt;"_s + repeated(u"word ", 1 << 18)).xml(); }, Outcome::Drawn},
        {"MebibyteTag", [] { return Document(u"&lt;i "_s + QString(1 << 20, u'x') + u"&gt;tag"_s).xml(); },
         Outcome::Drawn},
        {"MebibyteFontName",
         [] { return Document(u"Face"_s).font(u"Name=\""_s + QString(1 << 20, u'F') + u'"').xml(); }, Outcome::Drawn},
        {"MebibyteComment",
         [] { return Document(u"Note"_s).cueElements(u"<Comment Text=\"%1\"/>"_s.arg(QString(1 << 20, u'c'))).xml(); },
         Outcome::Drawn},
        // References
        {"AmpersandFlood", [] { return Document(repeated(u"&amp;", 200000)).xml(); }, Outcome::Drawn},
        {"CharacterReferenceFlood", [] { return Document(repeated(u"&#65;&#x42;", 100000)).xml(); }, Outcome::Drawn},
        {"StoredReferenceFlood", [] { return Document(repeated(u"&amp;#67;", 200000)).xml(); }, Outcome::Drawn},
        {"MarkupReferenceFlood",
         [] { return Document(u"&lt;i&gt;"_s + repeated(u"&amp;eacute;&amp;#233;&amp;nbsp;", 100000)).xml(); },
         Outcome::Drawn},
        {"UndeclaredEntityFlood", [] { return Document(repeated(u"&lol;", 200000)).xml(); }, Outcome::Refused},
        {"EntityExpansion",
         [] {
             QString declarations = u"<!ENTITY a0 \"lol\">"_s;
             for (int i = 1; i < 10; ++i)
                 declarations += u"<!ENTITY a%1 \"%2\">"_s.arg(i).arg(repeated(u"&a%1;"_s.arg(i - 1), 10));
             return u"<!DOCTYPE Surtitles [%1]>"_s.arg(declarations) + Document(repeated(u"&a9;", 1000)).xml();
         },
         Outcome::Refused},
        // Pictures
        {"HugeBitmapHeader", [] { return Document(bitmapHeaderCaption(60000, 60000, 0)).xml(); }, Outcome::Undrawn},
        {"HugeCompressedBitmapHeader", [] { return Document(bitmapHeaderCaption(60000, 60000, 1)).xml(); },
         Outcome::Undrawn},
        {"MostNegativeBitmapHeight",
         [] { return Document(bitmapHeaderCaption(60000, std::numeric_limits<qint32>::min(), 0)).xml(); },
         Outcome::Undrawn},
        // Font sizes
        {"SizeAttribute", [] { return Document(Block).font(u"Size=\"%1\""_s.arg(Huge)).xml(); }, Outcome::Drawn},
        {"SizeAttributeRollUp",
         [] { return Document(Block).font(u"Size=\"%1\""_s.arg(Huge)).effects(u"InEffect=\"Caption\""_s).xml(); },
         Outcome::Drawn},
        {"SizeAttributeAdjusted", [] { return Document(Block).font(u"Size=\"%1\""_s.arg(Huge)).xml(); }, Outcome::Drawn,
         [](PresentationSettings& settings) { settings.fontAdjustPercent = 1000; }},
        {"MarkupFontSize", [] { return Document(u"&lt;i&gt;&lt;font size=%1&gt;%2"_s.arg(Huge).arg(Block)).xml(); },
         Outcome::Drawn},
        {"MarkupStyleSize",
         [] {
             return Document(u"&lt;i&gt;&lt;font style=&quot;font-size:%1pt&quot;&gt;%2"_s.arg(Huge).arg(Block)).xml();
         },
         Outcome::Drawn},
        {"MarkupStyleSizeScaled",
         [] {
             return Document(u"&lt;i&gt;&lt;font style=&quot;font-size:99999999pt&quot;&gt;%1"_s.arg(Block))
                 .font(u"Size=\"1000\""_s)
                 .xml();
         },
         Outcome::Drawn},
        {"StagetextSize", [] { return stagetextDocument(QString(Block) + u'\r', Huge); }, Outcome::Drawn},
        {"BaseFontHeight", [] { return Document(Block).font(u"Size=\"Large\""_s).xml(); }, Outcome::Drawn,
         [](PresentationSettings& settings) { settings.baseFontHeight = Huge; }},
        {"OverrideFontSize", [] { return Document(Block).xml(); }, Outcome::Drawn,
         [](PresentationSettings& settings) {
             settings.fontOverride = true;
             settings.overrideFontName = u"Arial"_s;
             settings.overrideFontSize = Huge;
         }},
        // Lines
        {"HundredThousandLines", [] { return Document(repeated(u"line&#13;&#10;", 100000)).xml(); }, Outcome::Drawn},
        {"HundredThousandLinesFromTop",
         [] {
             return Document(repeated(u"line&#13;&#10;", 100000))
                 .effects(u"InEffect=\"Fade\" VerticalJustification=\"Top\""_s)
                 .xml();
         },
         Outcome::Drawn},
        {"HundredThousandLinesWrapped", [] { return Document(repeated(u"line&#13;&#10;", 100000)).xml(); },
         Outcome::Drawn, [](PresentationSettings& settings) { settings.wordWrap = true; }},
        {"HundredThousandLinesRollUp",
         [] { return Document(repeated(u"line&#13;&#10;", 100000)).effects(u"InEffect=\"Caption\""_s).xml(); },
         Outcome::Drawn},
        {"HundredThousandHugeLines",
         [] { return Document(repeated(Block + u"&#13;&#10;"_s, 100000)).font(u"Size=\"%1\""_s.arg(Huge)).xml(); },
         Outcome::Drawn},
        {"MillionHugeLines",
         [] { return Document(Block + repeated(u"&#13;", 1000000) + Block).font(u"Size=\"%1\""_s.arg(Huge)).xml(); },
         Outcome::Drawn},
        {"MillionHugeLinesWrapped",
         [] { return Document(Block + repeated(u"&#13;", 1000000) + Block).font(u"Size=\"%1\""_s.arg(Huge)).xml(); },
         Outcome::Drawn, [](PresentationSettings& settings) { settings.wordWrap = true; }},
        {"MillionHugeLinesRollUp",
         [] {
             return Document(Block + repeated(u"&#13;", 1000000) + Block)
                 .font(u"Size=\"%1\""_s.arg(Huge))
                 .effects(u"InEffect=\"Caption\""_s)
                 .xml();
         },
         Outcome::Drawn},
        {"HundredThousandLinesRollUpWrapped",
         [] { return Document(repeated(u"line&#13;&#10;", 100000)).effects(u"InEffect=\"Caption\""_s).xml(); },
         Outcome::Drawn, [](PresentationSettings& settings) { settings.wordWrap = true; }},
        {"HundredThousandMarkupLines",
         [] { return Document(u"&lt;i&gt;"_s + repeated(u"line&lt;br&gt;", 100000)).xml(); }, Outcome::Drawn},
        {"HundredThousandMarkupLinesRollUp",
         [] {
             return Document(u"&lt;i&gt;"_s + repeated(u"line&lt;br&gt;", 100000))
                 .effects(u"InEffect=\"Caption\""_s)
                 .xml();
         },
         Outcome::Drawn},
    };
    return cases;
}

} // namespace AbsurdInputs
