#pragma once

#include <QStringList>

// How long a display takes to present documents one after the other, each entry effect run to its
// end: the presentation engine itself is stepped through them (on a small image; the number of
// steps does not depend on the size), at the animation clock's pace.
qint64 PresentationMilliseconds(const QStringList& documents);
