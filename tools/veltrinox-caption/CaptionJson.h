#pragma once

#include "captions/CaptionDocumentReader.h"

#include <QByteArray>
#include <QString>
#include <optional>

// The inspect subcommand's output: one JSON object per document, keys in the order of the caption
// record, on one line. Written by hand because Qt's JSON objects sort their keys.

// {"parsed": false} for a document that did not parse (languageName empty), else the full state.
QByteArray InspectionJson(const std::optional<QString>& languageName, const CaptionDocumentState& state);
