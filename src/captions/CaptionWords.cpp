#include "CaptionWords.h"

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<SpecialText, QStringView>, 3> SpecialTexts = {{
    {SpecialText::Blank, u"{BLANK}"},
    {SpecialText::Clear, u"{CLEAR}"},
    {SpecialText::Empty, u"{EMPTY}"},
}};

} // namespace

std::optional<SpecialText> SpecialTextFromString(QStringView text) {
    for (const auto& [value, word] : SpecialTexts) {
        if (text == word)
            return value;
    }
    return std::nullopt;
}

QString SpecialTextToString(SpecialText text) {
    for (const auto& [value, word] : SpecialTexts) {
        if (value == text)
            return word.toString();
    }
    return {};
}
