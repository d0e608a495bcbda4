#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <pugixml.hpp>

// The XML layer under caption documents and the sign-on, over pugixml. Reading accepts only a
// whole, well-formed document: one root element, legal characters, unique attribute names and the
// predefined and numeric references. No DTD is processed and no other entity is expanded, so a
// document that declares or uses one is not well-formed here. Writing gives the compact text form
// controllers expect: no declaration, no line breaks, empty elements closed with "/>".
class XmlDocument {
public:
    enum class ParseStatus { Parsed, NotWellFormed };

    // Replaces the content with the document in text; on failure the document is left empty.
    ParseStatus load(QStringView text);

    pugi::xml_node documentElement() const;

    // Starts a new, empty document whose root element has the given name.
    pugi::xml_node createDocumentElement(const char* name);

    QString text() const;

    void clear();

private:
    QByteArray m_source; // the parsed text; attribute values point into it
    pugi::xml_document m_document;
};

QString attributeText(pugi::xml_attribute attribute);

// The value of the named attribute, empty when the element lacks it.
QString attributeText(pugi::xml_node element, const char* name);

// Sets the attribute, appending it when new: attributes keep the order in which they were first set.
void setAttributeText(pugi::xml_node element, const char* name, QStringView value);

// The first child element with the given name, appended when there is none.
pugi::xml_node findOrAppendChild(pugi::xml_node parent, const char* name);
