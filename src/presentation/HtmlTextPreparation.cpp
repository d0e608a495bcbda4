#include "HtmlTextPreparation.h"

#include <algorithm>
#include <optional>

namespace {

struct NamedReference {
    QStringView name;
    char16_t character;
};

// The named references caption markup may carry; names are matched exactly, so "&EACUTE;" stays.
constexpr NamedReference NamedReferences[] = {
    {u"eacute", u'é'}, {u"egrave", u'è'}, {u"euml", u'ë'},   {u"ecirc", u'ê'},  {u"oacute", u'ó'}, {u"ograve", u'ò'},
    {u"ouml", u'ö'},   {u"ocirc", u'ô'},  {u"iacute", u'í'}, {u"igrave", u'ì'}, {u"iuml", u'ï'},   {u"icirc", u'î'},
    {u"uacute", u'ú'}, {u"ugrave", u'ù'}, {u"uuml", u'ü'},   {u"ucirc", u'û'},  {u"aacute", u'á'}, {u"agrave", u'à'},
    {u"auml", u'ä'},   {u"acirc", u'â'},  {u"Eacute", u'É'}, {u"Egrave", u'È'}, {u"Euml", u'Ë'},   {u"Ecirc", u'Ê'},
    {u"Oacute", u'Ó'}, {u"Ograve", u'Ò'}, {u"Ouml", u'Ö'},   {u"Ocirc", u'Ô'},  {u"Iacute", u'Í'}, {u"Igrave", u'Ì'},
    {u"Iuml", u'Ï'},   {u"Icirc", u'Î'},  {u"Uacute", u'Ú'}, {u"Ugrave", u'Ù'}, {u"Uuml", u'Ü'},   {u"Ucirc", u'Û'},
    {u"Aacute", u'Á'}, {u"Agrave", u'À'}, {u"Auml", u'Ä'},   {u"Acirc", u'Â'},  {u"ccedil", u'ç'}, {u"Ccedil", u'Ç'},
    {u"oslash", u'ø'}, {u"Oslash", u'Ø'}, {u"aring", u'å'},  {u"Aring", u'Å'},  {u"copy", u'©'},   {u"reg", u'®'},
    {u"euro", u'€'},   {u"laquo", u'«'},  {u"raquo", u'»'},  {u"atilde", u'ã'}, {u"Atilde", u'Ã'}, {u"otilde", u'õ'},
    {u"Otilde", u'Õ'}, {u"szlig", u'ß'},  {u"trade", u'™'},  {u"pound", u'£'},  {u"dollar", u'$'}, {u"sect", u'§'},
    {u"permil", u'‰'}, {u"para", u'¶'},   {u"quot", u'"'},   {u"apos", u'\''},  {u"yen", u'¥'},    {u"curren", u'¤'},
    {u"cent", u'¢'},   {u"plusmn", u'±'}, {u"iexcl", u'¡'},  {u"deg", u'°'},    {u"ntilde", u'ñ'}, {u"Ntilde", u'Ñ'},
    {u"frac14", u'¼'}, {u"frac12", u'½'}, {u"frac34", u'¾'},
};

constexpr qsizetype LongestReferenceName = 6;

// A name between "&" and ";" that is short enough to be one of ours.
std::optional<QStringView> referenceNameAt(QStringView text, qsizetype ampersand) {
    const qsizetype last = std::min(text.size() - 1, ampersand + LongestReferenceName + 1);
    for (qsizetype i = ampersand + 1; i <= last; ++i) {
        if (text[i] == u';')
            return text.sliced(ampersand + 1, i - ampersand - 1);
    }
    return std::nullopt;
}

// "&amp;" becomes the platform's escaped ampersand "&&": under the prefix rule it draws one "&".
std::optional<QStringView> namedReplacement(QStringView name) {
    if (name == u"amp")
        return QStringView(u"&&");
    for (const NamedReference& reference : NamedReferences) {
        if (reference.name == name)
            return QStringView(&reference.character, 1);
    }
    return std::nullopt;
}

QString decodeNamedReferences(QStringView text) {
    QString result;
    result.reserve(text.size());
    qsizetype from = 0;
    for (qsizetype ampersand = text.indexOf(u'&'); ampersand >= 0; ampersand = text.indexOf(u'&', from)) {
        result.append(text.sliced(from, ampersand - from));
        const std::optional<QStringView> name = referenceNameAt(text, ampersand);
        const std::optional<QStringView> replacement = name ? namedReplacement(*name) : std::nullopt;
        if (replacement) {
            result.append(*replacement);
            from = ampersand + name->size() + 2;
        } else {
            result.append(u'&');
            from = ampersand + 1;
        }
    }
    result.append(text.sliced(from));
    return result;
}

// "<#abc>" is text that only looks like a tag.
QString unwrapHashTags(QStringView text) {
    QString result;
    result.reserve(text.size());
    qsizetype from = 0;
    for (qsizetype open = text.indexOf(u"<#"); open >= 0; open = text.indexOf(u"<#", from)) {
        const qsizetype close = text.indexOf(u'>', open);
        if (close < 0)
            break; // a tag without an end ends the text anyway
        result.append(text.sliced(from, open - from));
        result.append(text.sliced(open + 1, close - open - 1));
        from = close + 1;
    }
    result.append(text.sliced(from));
    return result;
}

struct NumericReference {
    char32_t code;
    qsizetype length;
};

int digitValue(QChar c, int base) {
    const char16_t u = c.unicode();
    int value = 99;
    if (u >= u'0' && u <= u'9')
        value = u - u'0';
    else if (u >= u'a' && u <= u'f')
        value = u - u'a' + 10;
    else if (u >= u'A' && u <= u'F')
        value = u - u'A' + 10;
    return value < base ? value : -1;
}

// "&#" and one to six decimal digits, or "&#x" and exactly two hexadecimal ones, then ";".
std::optional<NumericReference> numericReferenceAt(QStringView text, qsizetype ampersand) {
    qsizetype i = ampersand + 2;
    const bool hexadecimal = i < text.size() && text[i] == u'x';
    if (hexadecimal)
        ++i;
    const int base = hexadecimal ? 16 : 10;
    const qsizetype maxDigits = hexadecimal ? 2 : 6;
    char32_t code = 0;
    qsizetype digits = 0;
    for (; i < text.size() && digits < maxDigits; ++i, ++digits) {
        const int digit = digitValue(text[i], base);
        if (digit < 0)
            break;
        code = code * char32_t(base) + char32_t(digit);
    }
    const bool complete = hexadecimal ? digits == 2 : digits >= 1;
    if (!complete || i >= text.size() || text[i] != u';')
        return std::nullopt;
    if (code == 0 || (code >= 0xD800 && code <= 0xDFFF))
        return std::nullopt; // no character: the reference stays as written
    return NumericReference{code, i + 1 - ampersand};
}

// "&&#65;" is an escaped ampersand followed by text, not a reference.
QString decodeNumericReferences(QStringView text) {
    QString result;
    result.reserve(text.size());
    qsizetype from = 0;
    for (qsizetype at = text.indexOf(u"&#"); at >= 0; at = text.indexOf(u"&#", from)) {
        const bool escaped = at > 0 && text[at - 1] == u'&';
        const std::optional<NumericReference> reference = escaped ? std::nullopt : numericReferenceAt(text, at);
        if (!reference) {
            result.append(text.sliced(from, at + 2 - from));
            from = at + 2;
            continue;
        }
        result.append(text.sliced(from, at - from));
        result.append(QString::fromUcs4(&reference->code, 1));
        from = at + reference->length;
    }
    result.append(text.sliced(from));
    return result;
}

// A carriage return breaks the line where it stands; line feeds only follow carriage returns.
QString convertLineBreaks(QStringView text) {
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'\r')
            result.append(u"<BR>");
        else if (c != u'\n')
            result.append(c);
    }
    return result;
}

} // namespace

QString joinHtmlLines(const QStringList& lines) {
    QString joined;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (i > 0 && !(joined.endsWith(u'>') && line.startsWith(u'<')))
            joined.append(u' ');
        joined.append(line);
    }
    return joined;
}

PreparedHtml prepareHtmlText(const QString& text) {
    PreparedHtml prepared;
    // An ampersand standing alone between words is meant as one: then every "&" is drawn as written.
    prepared.mnemonics = text.contains(u" & ") ? Mnemonics::Literal : Mnemonics::Underline;
    const QString named = text.contains(u'&') ? decodeNamedReferences(text) : text;
    prepared.text = convertLineBreaks(decodeNumericReferences(unwrapHashTags(named)));
    return prepared;
}

QString decodeRunReferences(QStringView run) {
    struct RunReference {
        QStringView text;
        QChar character;
    };
    static constexpr RunReference References[] = {{u"&nbsp;", u' '}, {u"&lt;", u'<'}, {u"&gt;", u'>'}};
    QString result;
    result.reserve(run.size());
    qsizetype from = 0;
    for (qsizetype ampersand = run.indexOf(u'&'); ampersand >= 0; ampersand = run.indexOf(u'&', from)) {
        result.append(run.sliced(from, ampersand - from));
        from = ampersand + 1;
        const QStringView rest = run.sliced(ampersand);
        auto matches = [&](const RunReference& reference) { return rest.startsWith(reference.text); };
        const auto found = std::find_if(std::begin(References), std::end(References), matches);
        if (found == std::end(References)) {
            result.append(u'&');
            continue;
        }
        result.append(found->character);
        from = ampersand + found->text.size();
    }
    result.append(run.sliced(from));
    return result;
}
