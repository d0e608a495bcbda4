#pragma once

#include <QString>
#include <QStringView>

// Caption texts travel in stored form: control characters (code units below 32) written as
// "&#" + decimal code + ";", everything else as itself. On screen and in records they are in memo
// form, with every such reference decoded.

QString MemoStringToStoredString(QStringView caption);

// Decodes every "&#" + complete number + ";" to the code unit (number modulo 65536); a decoded
// character is never decoded again, so "a&#38;#65;" gives "a&#65;".
QString StoredStringToMemoString(QString caption);
