#pragma once

#include "net/FeedFramer.h"
#include "presentation/ShownCaption.h"

#include <QByteArray>
#include <optional>

// The file that keeps the caption on screen across an unclean end of the display: one line of JSON
// naming its kind, with the caption record and the overall brightness, then the shown column's text
// in UTF-8, as many bytes as the record says. The other columns keep their language names but not
// their texts, so the file holds only the one picture or text the audience saw; and a picture's
// tens of megabytes of Base64 are copied as they are, not escaped character by character.

namespace ShownCaptionFile {

// The shown column's text is at most one feed document long; written as UTF-8 it takes at most
// three bytes for each of its UTF-16 units. A larger file is none of ours and is not read.
inline constexpr qint64 MaxBytes = 3 * qint64(FeedFramer::MaxDocumentUnits) + 1024 * 1024;

QByteArray Encode(const ShownCaption& shown);

// The caption the bytes hold; nothing for bytes that are not such a file (damaged, foreign, of
// another version, or with a column outside the ten).
std::optional<ShownCaption> Decode(const QByteArray& bytes);

} // namespace ShownCaptionFile
