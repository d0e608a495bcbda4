#pragma once

#include "net/SignOn.h"

// No network adapters: the sign-on goes nowhere.
struct NoAdapters : SignOnAdapterSource {
    QList<SignOnAdapter> signOnAdapters() const override { return {}; }
};
inline const NoAdapters noAdapters;
