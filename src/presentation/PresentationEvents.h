#pragma once

#include <QString>

// What the presentation engine did with one queued document, for the display's event log.
struct PresentedDocument {
    qsizetype characters = 0; // the document's length in UTF-16 code units
    bool parsed = false;      // false: the document was dropped and nothing below is set
    QString cue;
    int column = 0;
    QString language;             // the chosen column's language name
    QString entryEffect;          // as the document names it, after the special texts' own
    QString specialText;          // "{BLANK}", "{CLEAR}" or "{EMPTY}", or empty
    qsizetype textCharacters = 0; // the chosen column's text as the document gave it: its length,
    QString textStart;            // and its first TextStartLength code units

    static constexpr qsizetype TextStartLength = 60;
};

// Told of each document the engine takes from its queue, and of what it could not show. The display
// logs these; the engine works the same with no one told.
class PresentationEvents {
public:
    virtual ~PresentationEvents() = default;
    virtual void documentPresented(const PresentedDocument& document) = 0;
    virtual void presentationWarning(const QString& message) = 0;
};
