#pragma once

#include <QString>
#include <QStringView>
#include <optional>

// Words of the caption record that select what the display does, each vocabulary an enum with one
// table that both reads and writes its words (compared exactly, with case). A word that is none of
// a vocabulary's reads as nothing: the caller keeps its own fallback.

// Column texts that are commands rather than captions: "{BLANK}" blanks the display at once,
// "{CLEAR}" scrolls it clear, "{EMPTY}" leaves it as it is.
enum class SpecialText { Blank, Clear, Empty };

std::optional<SpecialText> SpecialTextFromString(QStringView text);
QString SpecialTextToString(SpecialText text);

// How a caption enters: "Fade", "Instant", "Scroll Up", "Caption" (the line roll-up), "Scroll Down",
// "Scroll Left", "Scroll Right", or "IGNORE" (it does not: the display stays as it is).
enum class EntryEffect { Fade, Instant, ScrollUp, RollUp, ScrollDown, ScrollLeft, ScrollRight, Ignore };

std::optional<EntryEffect> EntryEffectFromString(QStringView word);
QString EntryEffectToString(EntryEffect effect);

// Where a caption's block sits in the display: "Top", "Middle" or "Bottom".
enum class VerticalJustification { Top, Middle, Bottom };

std::optional<VerticalJustification> VerticalJustificationFromString(QStringView word);
QString VerticalJustificationToString(VerticalJustification justification);

// How a caption's lines stand across the display: "Left", "Center" or "Right" ("Centre" is read as
// "Center").
enum class HorizontalJustification { Left, Centre, Right };

std::optional<HorizontalJustification> HorizontalJustificationFromString(QStringView word);
QString HorizontalJustificationToString(HorizontalJustification justification);

// A justified caption's text loses its blanks and control characters (below 33) at the ends it is
// aligned by: both for "Center", the end for "Left", the start for "Right".
QStringView TrimmedForJustification(QStringView text, HorizontalJustification justification);
