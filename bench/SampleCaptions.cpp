#include "SampleCaptions.h"

#include <array>

using namespace Qt::Literals::StringLiterals;

namespace {

struct Column {
    const char16_t* language;
    const char16_t* text;
};

// The same two lines in ten languages; "\r\n" breaks a column text into display lines.
constexpr std::array<Column, CaptionColumnCount> Columns{{
    {u"English", u"The night is falling and the river sings,\r\nbut you, my love, are still so far away."},
    {u"French", u"La nuit tombe et la rivière chante,\r\nmais toi, mon amour, tu es encore si loin."},
    {u"German", u"Die Nacht bricht an, der Fluss singt leise,\r\ndoch du, mein Schatz, bist noch so weit fort."},
    {u"Italian", u"Scende la notte e il fiume canta,\r\nma tu, amore mio, sei ancora così lontano."},
    {u"Spanish", u"Cae la noche y el río canta,\r\npero tú, mi amor, sigues tan lejos de mí."},
    {u"Russian", u"Спускается ночь, и река поёт,\r\nно ты, любовь моя, всё ещё так далеко."},
    {u"Polish", u"Zapada noc i rzeka śpiewa,\r\nlecz ty, kochanie, wciąż jesteś tak daleko."},
    {u"Czech", u"Padá noc a řeka zpívá,\r\nale ty, má lásko, jsi stále tak daleko."},
    {u"Dutch", u"De nacht valt en de rivier zingt,\r\nmaar jij, mijn lief, bent nog zo ver weg."},
    {u"Swedish", u"Natten faller och floden sjunger,\r\nmen du, min älskade, är fortfarande så långt borta."},
}};

QString columnText(int column) {
    return QString::fromUtf16(Columns[std::size_t(column)].text);
}

QString columnLanguage(int column) {
    return QString::fromUtf16(Columns[std::size_t(column)].language);
}

QString attribute(QStringView name, QStringView value) {
    return u' ' + name.toString() + u"=\""_s + value.toString().toHtmlEscaped() + u'"';
}

// A column text as the display writes it: line breaks as character references, then escaped for XML.
QString storedText(const QString& text) {
    QString stored = text;
    return stored.replace(u'\r', u"&#13;"_s).replace(u'\n', u"&#10;"_s).toHtmlEscaped();
}

} // namespace

TCaptions SampleCaption(int cue) {
    TCaptions caption;
    caption.FontName = u"Arial"_s;
    caption.Size = u"Medium"_s;
    for (int column = 0; column < CaptionColumnCount; ++column)
        caption.Caption[std::size_t(column)] = {columnText(column), columnLanguage(column)};
    caption.Effect = {u"Fade"_s, u"Fade"_s, u"Medium"_s};
    caption.Act = u"Act 1"_s;
    caption.Scene = u"Scene 1"_s;
    caption.Cue = QString::number(cue);
    caption.Colour = u"Yellow"_s;
    caption.BackColour = u"Black"_s;
    caption.Comment = u"Wait for the harp before the change"_s;
    caption.Justification = u"Centre"_s;
    caption.VertJust = u"Bottom"_s;
    caption.Brightness = u"Bright"_s;
    return caption;
}

QString SampleCaptionDocument(int cue) {
    QString captions;
    for (int column = 0; column < CaptionColumnCount; ++column) {
        const QString index = QString::number(column);
        captions += u" Stream"_s + index + u"=\""_s + storedText(columnText(column)) + u'"';
        captions += attribute(u"StrName"_s + index, columnLanguage(column));
    }
    return u"<Surtitles><Cue"_s + attribute(u"Act", u"Act 1") + attribute(u"Scene", u"Scene 1") +
           attribute(u"Cue", QString::number(cue)) + u"><Captions"_s + captions + u"/><Font"_s +
           attribute(u"Size", u"Medium") + attribute(u"Name", u"Arial") + attribute(u"Colour", u"Yellow") +
           attribute(u"BackColour", u"Black") + u"/><Effects"_s + attribute(u"InEffect", u"Fade") +
           attribute(u"OutEffect", u"Fade") + attribute(u"Speed", u"Medium") + attribute(u"Justification", u"Centre") +
           attribute(u"VerticalJustification", u"Bottom") + attribute(u"Brightness", u"Bright") +
           attribute(u"OverallBrightness", u"90") + u"/><Comment"_s +
           attribute(u"Text", u"Wait for the harp before the change") + u"/><Language"_s +
           attribute(u"Name", u"English") + u"/></Cue></Surtitles>"_s;
}
