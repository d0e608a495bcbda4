#pragma once

#include <QString>
#include <array>

// The caption record: one caption with its ten language columns, as read from a caption document
// and held by the presentation. Plain values, copied whole.

// One language column.
struct TCaption {
    QString Text;     // memo form: character references already decoded
    QString Language; // 8-bit field: holds only what the ANSI code page keeps
    friend bool operator==(const TCaption&, const TCaption&) = default;
};

// How a caption enters and leaves; 8-bit fields, like TCaption::Language.
struct TEffect {
    QString InEffect;
    QString OutEffect;
    QString Speed;
    friend bool operator==(const TEffect&, const TEffect&) = default;
};

inline constexpr int CaptionColumnCount = 10;

struct TCaptions {
    QString FontName;
    QString Size;
    std::array<TCaption, CaptionColumnCount> Caption;
    TEffect Effect;
    QString Act;
    QString Cue;
    QString Scene;
    QString Colour;
    QString BackColour;
    QString Comment;
    QString Justification;
    QString VertJust;
    QString Brightness;
    qint32 LanguageIndex = 0;
    friend bool operator==(const TCaptions&, const TCaptions&) = default;
};
