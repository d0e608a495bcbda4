#pragma once

#include <QSize>
#include <QString>

// What the setup dialog asks of the display it sets up. The application answers; tests hand in a
// plain object.
class SetupDialogHost {
public:
    virtual ~SetupDialogHost() = default;

    // The presentation window's size as it stands now.
    virtual QSize windowSize() const = 0;
    // The height of one line of the display's text in the named font at pointSize.
    virtual int lineHeight(const QString& fontName, int pointSize) const = 0;
};
