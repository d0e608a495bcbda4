#pragma once

#include "captions/CaptionWords.h"
#include "captions/Captions.h"

#include <QString>
#include <array>

// Caption documents as a controller writes them, for tests that need a well-formed one: one Cue with
// its Captions columns, the Language element choosing the column, Font and Effects, each written
// only when something of it is set. Values go into the attributes as given, so a test may put
// character references in them ("&#13;&#10;", "&lt;i&gt;"); an empty value leaves its attribute out.
class CaptionDocumentBuilder {
public:
    static constexpr int Columns = CaptionColumnCount;

    // The text of a column (StreamN) and, when given, its language name (StrNameN).
    CaptionDocumentBuilder& stream(int column, const QString& text, const QString& language = {}) {
        m_texts.at(std::size_t(column)) = text;
        if (!language.isEmpty())
            m_languages.at(std::size_t(column)) = language;
        return *this;
    }
    // A language name (StrNameN) for a column that has no text.
    CaptionDocumentBuilder& columnLanguage(int column, const QString& language) {
        m_languages.at(std::size_t(column)) = language;
        return *this;
    }
    // The same text in every column, as a Stagetext caption has it.
    CaptionDocumentBuilder& everyStream(const QString& text) {
        m_texts.fill(text);
        return *this;
    }
    CaptionDocumentBuilder& specialText(int column, SpecialText text) {
        return stream(column, SpecialTextToString(text));
    }
    // The Language element: the language whose column is shown.
    CaptionDocumentBuilder& language(const QString& name) {
        m_language = name;
        return *this;
    }
    // Column 0 named English and chosen: the plain way to show one text.
    CaptionDocumentBuilder& english(const QString& text) {
        return stream(0, text, QStringLiteral("English")).language(QStringLiteral("English"));
    }
    // The Cue element's number.
    CaptionDocumentBuilder& cue(const QString& number) {
        m_cue = number;
        return *this;
    }

    CaptionDocumentBuilder& colours(const QString& colour, const QString& backColour) {
        m_colour = colour;
        m_backColour = backColour;
        return *this;
    }
    CaptionDocumentBuilder& fontSize(const QString& size) {
        m_size = size;
        return *this;
    }
    CaptionDocumentBuilder& fontName(const QString& name) {
        m_fontName = name;
        return *this;
    }
    CaptionDocumentBuilder& effect(EntryEffect inEffect, const QString& speed = {}) {
        return effect(EntryEffectToString(inEffect), speed);
    }
    // An entry effect word as written, known to the display or not.
    CaptionDocumentBuilder& effect(const QString& inEffect, const QString& speed = {}) {
        m_inEffect = inEffect;
        m_speed = speed;
        return *this;
    }

    // Further attributes, written as given, of the Captions, Font and Effects elements, and further
    // elements of the Cue.
    CaptionDocumentBuilder& captionsAttributes(const QString& attributes) {
        m_captionsExtra = attributes;
        return *this;
    }
    CaptionDocumentBuilder& fontAttributes(const QString& attributes) {
        m_fontExtra = attributes;
        return *this;
    }
    CaptionDocumentBuilder& effectsAttributes(const QString& attributes) {
        m_effectsExtra = attributes;
        return *this;
    }
    CaptionDocumentBuilder& cueElements(const QString& elements) {
        m_cueExtra = elements;
        return *this;
    }

    QString xml() const {
        QString captions;
        for (int column = 0; column < Columns; ++column) {
            captions += attribute(QStringLiteral("Stream%1").arg(column), m_texts[std::size_t(column)]);
            captions += attribute(QStringLiteral("StrName%1").arg(column), m_languages[std::size_t(column)]);
        }
        QString xml = QStringLiteral("<Surtitles><Cue") + attribute(QStringLiteral("Cue"), m_cue) +
                      QStringLiteral("><Captions") + captions + extra(m_captionsExtra) + QStringLiteral("/>");
        if (!m_language.isEmpty())
            xml += QStringLiteral("<Language Name=\"%1\"/>").arg(m_language);
        xml += element(QStringLiteral("Font"), attribute(QStringLiteral("Colour"), m_colour) +
                                                   attribute(QStringLiteral("BackColour"), m_backColour) +
                                                   attribute(QStringLiteral("Size"), m_size) +
                                                   attribute(QStringLiteral("Name"), m_fontName) + extra(m_fontExtra));
        xml +=
            element(QStringLiteral("Effects"), attribute(QStringLiteral("InEffect"), m_inEffect) +
                                                   attribute(QStringLiteral("Speed"), m_speed) + extra(m_effectsExtra));
        return xml + m_cueExtra + QStringLiteral("</Cue></Surtitles>");
    }

private:
    static QString attribute(const QString& name, const QString& value) {
        return value.isEmpty() ? QString() : QStringLiteral(" %1=\"%2\"").arg(name, value);
    }
    static QString extra(const QString& attributes) {
        return attributes.isEmpty() || attributes.startsWith(u' ') ? attributes : u' ' + attributes;
    }
    static QString element(const QString& name, const QString& attributes) {
        return attributes.isEmpty() ? QString() : QStringLiteral("<%1%2/>").arg(name, attributes);
    }

    std::array<QString, Columns> m_texts;
    std::array<QString, Columns> m_languages;
    QString m_language;
    QString m_cue;
    QString m_colour;
    QString m_backColour;
    QString m_size;
    QString m_fontName;
    QString m_inEffect;
    QString m_speed;
    QString m_captionsExtra;
    QString m_fontExtra;
    QString m_effectsExtra;
    QString m_cueExtra;
};
