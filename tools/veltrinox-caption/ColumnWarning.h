#pragma once

#include "captions/CaptionDocumentReader.h"

#include <QString>
#include <QStringView>
#include <optional>

// Reads documents in order, as the display does, and says when one will show nothing: its shown
// column is empty (most often a document that fills Stream0 but names no language, and so shows
// column 9), or it does not parse.
class ColumnWarnings {
public:
    // The warning for the next document (numbered from 1), or none.
    std::optional<QString> read(QStringView document);

private:
    CaptionDocumentState m_state;
    int m_number = 0;
};
