#pragma once

#include "CaptionDocumentFormat.h"
#include "Captions.h"

#include <QStringView>
#include <array>
#include <variant>

// The caption element's attributes and those of its child elements, one row each: where each stands,
// which field of the caption record holds it, and what a caption without it holds. The reader and
// the writer both walk this table; the column texts (Stream0..9, StrName0..9) and the document
// language are theirs alone.
namespace CaptionAttributes {

// Where an attribute stands: on the caption element itself or on one of its children.
enum class Element { Caption, Font, Effects, Comment };
// The children, in the order the display writes them.
inline constexpr std::array<Element, 3> ChildElements{Element::Font, Element::Effects, Element::Comment};

// The field of the caption record the attribute fills.
using Field = std::variant<QString TCaptions::*, QString TEffect::*>;

// What a caption element without the attribute holds.
enum class Missing {
    Word,        // the row's default word (empty for none)
    CarriedOver, // what the caption before held
};

struct Attribute {
    Element element;
    const char* name;
    Field field;
    QStringView defaultWord = {};
    Missing missing = Missing::Word;
    // An 8-bit field: it keeps only what the ANSI code page holds.
    bool eightBit = false;
};

// In the order the display writes them.
inline constexpr std::array<Attribute, 14> Table{{
    {Element::Caption, CaptionDocumentFormat::SceneAttribute, &TCaptions::Scene},
    {Element::Caption, CaptionDocumentFormat::ActAttribute, &TCaptions::Act},
    {Element::Caption, CaptionDocumentFormat::CueAttribute, &TCaptions::Cue},
    {Element::Font, CaptionDocumentFormat::FontSizeAttribute, &TCaptions::Size, u"Medium"},
    {Element::Font, CaptionDocumentFormat::FontNameAttribute, &TCaptions::FontName, u"Arial"},
    {Element::Font, CaptionDocumentFormat::FontColourAttribute, &TCaptions::Colour, u"Yellow"},
    {Element::Font, CaptionDocumentFormat::FontBackColourAttribute, &TCaptions::BackColour, u"Black"},
    {Element::Effects, CaptionDocumentFormat::InEffectAttribute, &TEffect::InEffect, u"Instant", Missing::Word, true},
    {Element::Effects, CaptionDocumentFormat::OutEffectAttribute, &TEffect::OutEffect, {}, Missing::Word, true},
    {Element::Effects, CaptionDocumentFormat::SpeedAttribute, &TEffect::Speed, u"Slow", Missing::Word, true},
    {Element::Effects, CaptionDocumentFormat::JustificationAttribute, &TCaptions::Justification, u"Centre"},
    {Element::Effects,
     CaptionDocumentFormat::VerticalJustificationAttribute,
     &TCaptions::VertJust,
     {},
     Missing::CarriedOver},
    {Element::Effects, CaptionDocumentFormat::BrightnessAttribute, &TCaptions::Brightness, u"Bright"},
    {Element::Comment, CaptionDocumentFormat::CommentTextAttribute, &TCaptions::Comment, {}, Missing::CarriedOver},
}};

// The caption's field of the attribute (const for a const caption).
template <typename Caption> auto& fieldOf(Caption& caption, const Attribute& attribute) {
    if (const auto* member = std::get_if<QString TEffect::*>(&attribute.field))
        return caption.Effect.**member;
    return caption.*std::get<QString TCaptions::*>(attribute.field);
}

// The name of the child element an attribute stands on (none for the caption element's own).
inline constexpr const char* elementName(Element element) {
    switch (element) {
    case Element::Font:
        return CaptionDocumentFormat::FontElement;
    case Element::Effects:
        return CaptionDocumentFormat::EffectsElement;
    case Element::Comment:
        return CaptionDocumentFormat::CommentElement;
    case Element::Caption:
        break;
    }
    return nullptr;
}

} // namespace CaptionAttributes
