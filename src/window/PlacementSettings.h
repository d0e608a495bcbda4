#pragma once

#include <QString>

// The operator's settings that the window's geometry rules read at the moment they apply: "Fix Top
// left" and the monitor it picks, by number or, while connected, by output name.
class PlacementSettings {
public:
    virtual ~PlacementSettings() = default;
    virtual bool FixTopLeft() const = 0;
    virtual int MonitorNumber() const = 0;
    virtual QString MonitorName() const = 0;
};
