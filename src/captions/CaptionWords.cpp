#include "CaptionWords.h"

#include <array>
#include <utility>

namespace {

template <typename Value, std::size_t Count> using WordTable = std::array<std::pair<Value, QStringView>, Count>;

template <typename Value, std::size_t Count>
std::optional<Value> valueOf(const WordTable<Value, Count>& table, QStringView word) {
    for (const auto& [value, entry] : table) {
        if (word == entry)
            return value;
    }
    return std::nullopt;
}

template <typename Value, std::size_t Count> QString wordOf(const WordTable<Value, Count>& table, Value value) {
    for (const auto& [entry, word] : table) {
        if (entry == value)
            return word.toString();
    }
    return {};
}

constexpr WordTable<SpecialText, 3> SpecialTexts = {{
    {SpecialText::Blank, u"{BLANK}"},
    {SpecialText::Clear, u"{CLEAR}"},
    {SpecialText::Empty, u"{EMPTY}"},
}};

constexpr WordTable<EntryEffect, 8> EntryEffects = {{
    {EntryEffect::Fade, u"Fade"},
    {EntryEffect::Instant, u"Instant"},
    {EntryEffect::ScrollUp, u"Scroll Up"},
    {EntryEffect::RollUp, u"Caption"},
    {EntryEffect::ScrollDown, u"Scroll Down"},
    {EntryEffect::ScrollLeft, u"Scroll Left"},
    {EntryEffect::ScrollRight, u"Scroll Right"},
    {EntryEffect::Ignore, u"IGNORE"},
}};

constexpr WordTable<VerticalJustification, 3> VerticalJustifications = {{
    {VerticalJustification::Top, u"Top"},
    {VerticalJustification::Middle, u"Middle"},
    {VerticalJustification::Bottom, u"Bottom"},
}};

constexpr WordTable<HorizontalJustification, 3> HorizontalJustifications = {{
    {HorizontalJustification::Left, u"Left"},
    {HorizontalJustification::Centre, u"Center"},
    {HorizontalJustification::Right, u"Right"},
}};

bool isBlankOrControl(QChar c) {
    return c.unicode() < 33;
}

} // namespace

std::optional<SpecialText> SpecialTextFromString(QStringView text) {
    return valueOf(SpecialTexts, text);
}

QString SpecialTextToString(SpecialText text) {
    return wordOf(SpecialTexts, text);
}

std::optional<EntryEffect> EntryEffectFromString(QStringView word) {
    return valueOf(EntryEffects, word);
}

QString EntryEffectToString(EntryEffect effect) {
    return wordOf(EntryEffects, effect);
}

std::optional<VerticalJustification> VerticalJustificationFromString(QStringView word) {
    return valueOf(VerticalJustifications, word);
}

QString VerticalJustificationToString(VerticalJustification justification) {
    return wordOf(VerticalJustifications, justification);
}

std::optional<HorizontalJustification> HorizontalJustificationFromString(QStringView word) {
    if (word == u"Centre")
        return HorizontalJustification::Centre;
    return valueOf(HorizontalJustifications, word);
}

QString HorizontalJustificationToString(HorizontalJustification justification) {
    return wordOf(HorizontalJustifications, justification);
}

QStringView TrimmedForJustification(QStringView text, HorizontalJustification justification) {
    qsizetype start = 0;
    qsizetype end = text.size();
    if (justification != HorizontalJustification::Left) {
        while (start < end && isBlankOrControl(text[start]))
            ++start;
    }
    if (justification != HorizontalJustification::Right) {
        while (end > start && isBlankOrControl(text[end - 1]))
            --end;
    }
    return text.sliced(start, end - start);
}
