#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The display's 8-bit text: Windows-1252, the code page of the control port, the sign-on and the
// 8-bit fields of a caption record. Bytes the code page leaves undefined decode to the C1 control
// of the same value, so every byte survives a round trip; characters it lacks encode as "?".
namespace AnsiCodePage {

QString toUnicode(QByteArrayView bytes);
QByteArray fromUnicode(QStringView text);

// The text as it reads after a trip through the code page: what an 8-bit field keeps of it.
QString roundTrip(const QString& text);

} // namespace AnsiCodePage
