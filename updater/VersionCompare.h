#pragma once

#include <QString>

// Orders two version texts ("1.10.0", "1.9.0") by their numbers, component by
// component; a missing component counts as 0 ("1.9" equals "1.9.0"), and a
// component that is not a number is compared as text. Returns a negative
// value, 0 or a positive value as szLeft is older than, equal to or newer
// than szRight.
int compareVersions(const QString &szLeft, const QString &szRight);
