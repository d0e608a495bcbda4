#pragma once

#include "Captions.h"

#include <QString>
#include <QStringView>
#include <optional>

// Reading queued caption documents into the records the presentation shows.

// What reading documents changes: the caption entering, the one shown before it, and the overall
// brightness percentage (used for both).
struct CaptionDocumentState {
    TCaptions current;
    TCaptions previous;
    QString overallBrightness;
    friend bool operator==(const CaptionDocumentState&, const CaptionDocumentState&) = default;
};

// Readies a queued text for parsing: lines ended by CR LF before the last one are dropped (so an
// XML declaration line goes), and U+0019 becomes a space.
QString PrepareCaptionDocumentText(QStringView text);

// Prepares and parses the text, then reads each caption element over the one before it. Returns the
// document's language name, or nothing when the text does not parse; state then stays as it was.
std::optional<QString> ReadCaptionDocument(QStringView text, CaptionDocumentState& state);

// The column a caption shows for its document's language name: the last column whose StrName is that
// name, so a document without a Language element shows the last column without a StrName; column 0
// when no column has the name.
int ShownColumn(const TCaptions& caption, QStringView languageName);
