#pragma once

#include <QString>
#include <QStringView>
#include <optional>

// Words of the caption record that select what the display does, each vocabulary an enum with one
// table that both reads and writes its words (compared exactly, with case).

// Column texts that are commands rather than captions: "{BLANK}" blanks the display at once,
// "{CLEAR}" scrolls it clear, "{EMPTY}" leaves it as it is.
enum class SpecialText { Blank, Clear, Empty };

std::optional<SpecialText> SpecialTextFromString(QStringView text);
QString SpecialTextToString(SpecialText text);
