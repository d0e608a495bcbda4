#pragma once

#include <QString>
#include <QStringList>

// How long a display takes to present documents one after the other, each entry effect run to its
// end: the presentation engine itself is stepped through them (on a small image; the number of
// steps does not depend on the size), at the animation clock's pace.

// The speed text of the slowest rate a Stagetext caption can set: a "{CLEAR}" caption scrolls at the
// rate the display's last Stagetext caption set, which only the display knows, and at this rate it
// takes longest.
inline constexpr QStringView SlowestStagetextSpeed = u"1%";

// clearSpeed is the rate "{CLEAR}" captions are taken to scroll at (the display's Stagetext speed).
qint64 PresentationMilliseconds(const QStringList& documents, const QString& clearSpeed);
