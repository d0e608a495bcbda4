#include "CaptionJson.h"

using namespace Qt::Literals::StringLiterals;

namespace {

char shortEscape(char16_t c) {
    switch (c) {
    case u'\b':
        return 'b';
    case u'\f':
        return 'f';
    case u'\n':
        return 'n';
    case u'\r':
        return 'r';
    case u'\t':
        return 't';
    default:
        return 0;
    }
}

// A compact JSON writer that keeps keys in the order they are written.
class JsonWriter {
public:
    void beginObject() { open('{'); }
    void endObject() { close('}'); }
    void beginArray() { open('['); }
    void endArray() { close(']'); }

    void key(const char* name) {
        separate();
        string(QString::fromLatin1(name));
        m_out += ':';
        m_afterKey = true;
    }

    void value(const QString& text) {
        separate();
        string(text);
    }
    void value(bool flag) {
        separate();
        m_out += flag ? "true" : "false";
    }
    void value(qint32 number) {
        separate();
        m_out += QByteArray::number(number);
    }

    QByteArray take() { return std::move(m_out); }

private:
    void open(char bracket) {
        separate();
        m_out += bracket;
        m_first = true;
    }
    void close(char bracket) {
        m_out += bracket;
        m_first = false;
    }
    void separate() {
        if (m_afterKey)
            m_afterKey = false;
        else if (!m_first)
            m_out += ',';
        m_first = false;
    }

    void string(const QString& text) {
        m_out += '"';
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t c = text[i].unicode();
            const bool pairedHigh =
                QChar::isHighSurrogate(c) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode());
            if (pairedHigh) {
                m_out += text.sliced(i, 2).toUtf8();
                ++i;
            } else if (c == u'"' || c == u'\\') {
                m_out += '\\';
                m_out += char(c);
            } else if (const char escape = shortEscape(c)) {
                m_out += '\\';
                m_out += escape;
            } else if (c < 0x20 || QChar::isSurrogate(c)) {
                // Controls and unpaired surrogates: escaped, so no code unit is lost.
                m_out += "\\u" + QByteArray::number(c, 16).rightJustified(4, '0');
            } else {
                m_out += QStringView(text).sliced(i, 1).toUtf8();
            }
        }
        m_out += '"';
    }

    QByteArray m_out;
    bool m_first = true;
    bool m_afterKey = false;
};

void writeRecord(JsonWriter& json, const TCaptions& caption) {
    json.beginObject();
    json.key("FontName");
    json.value(caption.FontName);
    json.key("Size");
    json.value(caption.Size);
    json.key("Caption");
    json.beginArray();
    for (const TCaption& column : caption.Caption) {
        json.beginObject();
        json.key("Text");
        json.value(column.Text);
        json.key("Language");
        json.value(column.Language);
        json.endObject();
    }
    json.endArray();
    json.key("Effect");
    json.beginObject();
    json.key("InEffect");
    json.value(caption.Effect.InEffect);
    json.key("OutEffect");
    json.value(caption.Effect.OutEffect);
    json.key("Speed");
    json.value(caption.Effect.Speed);
    json.endObject();
    const std::pair<const char*, const QString*> texts[] = {
        {"Act", &caption.Act},
        {"Cue", &caption.Cue},
        {"Scene", &caption.Scene},
        {"Colour", &caption.Colour},
        {"BackColour", &caption.BackColour},
        {"Comment", &caption.Comment},
        {"Justification", &caption.Justification},
        {"VertJust", &caption.VertJust},
        {"Brightness", &caption.Brightness},
    };
    for (const auto& [name, text] : texts) {
        json.key(name);
        json.value(*text);
    }
    json.key("LanguageIndex");
    json.value(caption.LanguageIndex);
    json.endObject();
}

} // namespace

QByteArray InspectionJson(const std::optional<QString>& languageName, const CaptionDocumentState& state) {
    JsonWriter json;
    json.beginObject();
    json.key("parsed");
    json.value(languageName.has_value());
    if (languageName) {
        json.key("language");
        json.value(*languageName);
        json.key("overallBrightness");
        json.value(state.overallBrightness);
        json.key("current");
        writeRecord(json, state.current);
        json.key("previous");
        writeRecord(json, state.previous);
    }
    json.endObject();
    return json.take();
}
