#include "StagetextConversion.h"

#include "captions/CaptionWords.h"

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace Stagetext {

namespace {

using Kind = Token::Kind;

// The parameter at position i, or 0 past the end of the string.
char16_t at(QStringView text, qsizetype i) {
    return i < text.size() ? text[i].unicode() : char16_t(0);
}

Token command(QStringView text, qsizetype& i) {
    const char16_t letter = at(text, i + 1);
    switch (letter) {
    case u'B':
        i += 2;
        return {Kind::Brightness, at(text, i)};
    case u'I':
        i += 2;
        return {Kind::Italics, at(text, i)};
    case u'R':
        i += 2;
        return {Kind::Rate, at(text, i)};
    case u'X':
        i += 1;
        return {Kind::JustifyLeft};
    case u'Y':
        i += 1;
        return {Kind::JustifyCentre};
    case u'Z':
        i += 1;
        return {Kind::JustifyRight};
    default:
        i += 2; // the letter and one character after it
        return {Kind::Discard};
    }
}

} // namespace

std::vector<Token> Scan(QStringView original) {
    QString text = original.toString();
    text.remove(QChar(Delete));

    std::vector<Token> tokens;
    tokens.reserve(std::size_t(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        switch (c) {
        case Bell:
            tokens.push_back({Kind::Clear});
            break;
        case Tab:
            tokens.push_back({Kind::Empty});
            break;
        case FormFeed:
            tokens.push_back({Kind::Blank});
            break;
        case CarriageReturn:
            tokens.push_back({Kind::LineEnd});
            break;
        case VerticalTab:
            tokens.push_back(command(text, i));
            break;
        default:
            tokens.push_back({Kind::Text, c});
        }
    }
    return tokens;
}

QString BrightnessPercentage(char16_t parameter) {
    const int level = std::max(0, 23 - std::max(0, int(parameter) - 64));
    return QString::number(level * 100 / 23) + u'%';
}

QString RatePercentage(char16_t parameter) {
    return QString::number((64 - std::max(1, int(parameter) - 64)) * 100 / 64) + u'%';
}

} // namespace Stagetext

namespace {

using Stagetext::Token;

// A line end shows everything gathered so far, without blanks at its end (as a left-justified line
// loses them), "^" standing for a musical note.
QString lineText(QStringView gathered) {
    return TrimmedForJustification(gathered, HorizontalJustification::Left).toString().replace(u'^', u'\u266A');
}

QString finishedText(const QString& text, const QString& justification, bool html) {
    // A clear or blank code is a command to the display, which recognises only its bare word.
    if (SpecialTextFromString(text))
        return text;
    const std::optional<HorizontalJustification> justified = HorizontalJustificationFromString(justification);
    QString finished = justified ? TrimmedForJustification(text, *justified).toString() : text;
    if (!html)
        return finished;
    if (justified)
        finished =
            u"<P align=\""_s + HorizontalJustificationToString(*justified).toLower() + u"\">"_s + finished + u"</P>"_s;
    return u"<html><body>"_s + finished + u"</body></html>"_s;
}

void setDefaults(TCaptions& caption, const StagetextSettings& settings, const QString& speed) {
    if (settings.fontOverride) {
        caption.Size = QString::number(settings.fontAdjustPercent);
        caption.FontName = settings.overrideFontName;
    } else {
        caption.Size = QString::number(settings.baseFontHeight);
        caption.FontName = u"Arial"_s;
    }
    caption.Effect = {EntryEffectToString(EntryEffect::RollUp), EntryEffectToString(EntryEffect::Fade), speed};
    caption.Justification = HorizontalJustificationToString(HorizontalJustification::Left);
    caption.Act = u"Act 1"_s;
    caption.Scene = u"Scene 1"_s;
    caption.Colour = settings.fontColourSetting;
    caption.BackColour = u"Black"_s;
}

} // namespace

TCaptions StagetextConverter::CaptionFromStagetext(QStringView comString, const StagetextSettings& settings) {
    using Kind = Token::Kind;

    TCaptions caption;
    setDefaults(caption, settings, m_stagetextSpeed);

    QString& text = caption.Caption[0].Text;
    QString gathered;
    gathered.reserve(comString.size() + 8); // room for the italics tags
    bool italics = false;
    bool html = false;
    for (const Token& token : Stagetext::Scan(comString)) {
        switch (token.kind) {
        case Kind::Text:
            gathered += QChar(token.parameter);
            break;
        case Kind::Clear:
            text = SpecialTextToString(SpecialText::Clear);
            break;
        case Kind::Empty:
            text.clear();
            break;
        case Kind::Blank:
            text = SpecialTextToString(SpecialText::Blank);
            break;
        case Kind::LineEnd:
            text = lineText(gathered);
            break;
        case Kind::Brightness:
            caption.Brightness = Stagetext::BrightnessPercentage(token.parameter);
            break;
        case Kind::Italics:
            if (token.parameter == u'0' && italics) {
                gathered += u"</i>";
                italics = false;
            } else if (token.parameter == u'1' && !italics) {
                gathered += u"<i>";
                italics = true;
                html = true;
            }
            break;
        case Kind::Rate:
            m_stagetextSpeed = Stagetext::RatePercentage(token.parameter);
            caption.Effect.Speed = m_stagetextSpeed;
            break;
        case Kind::JustifyLeft:
            caption.Justification = HorizontalJustificationToString(HorizontalJustification::Left);
            break;
        case Kind::JustifyCentre:
            caption.Justification = HorizontalJustificationToString(HorizontalJustification::Centre);
            break;
        case Kind::JustifyRight:
            caption.Justification = HorizontalJustificationToString(HorizontalJustification::Right);
            break;
        case Kind::Discard:
            gathered.clear();
            break;
        }
    }

    text = finishedText(text, caption.Justification, html);
    std::fill(caption.Caption.begin() + 1, caption.Caption.end(), caption.Caption[0]);
    return caption;
}
