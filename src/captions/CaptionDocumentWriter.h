#pragma once

#include "Captions.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <pugixml.hpp>

// Writing caption records as caption documents, in the form controllers send them: one Cue
// element with Captions, Font, Effects and Comment, attributes in a fixed order, empty values
// left out.

enum class FileFilter {
    Off,
    EmbedNamedFiles, // a column text naming a picture file carries that file instead
};

// The written document, or why it could not be written: a named file that exists but could not be
// read fails the whole caption.
struct CaptionDocumentText {
    QString text;
    QString failure;
    QStringList notEmbedded; // why named files were left as text
    bool ok() const { return failure.isEmpty(); }
};

// Sets the attribute unless its name or value is empty; returns whether it was set.
bool AddAttributesToNode(pugi::xml_node node, const char* attribute, QStringView value);

// Fills a Cue element with one caption. Returns the failure text, empty on success.
// notEmbedded, when given, gathers why files named by the columns were left as text.
QString CaptionDataToNode(pugi::xml_node node, const TCaptions& caption, FileFilter filterFiles,
                          QStringList* notEmbedded = nullptr);

CaptionDocumentText CaptiontoXML(const TCaptions& caption);
