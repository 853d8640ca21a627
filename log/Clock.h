#pragma once

#include <QDate>
#include <QDateTime>

#include <functional>

// The one clock of the program and its libraries: log line stamps and log
// file names, backup names and age limits. Tests set a source of their own.
class Clock
{
public:
    // Current local time; cheap enough for every log line.
    static QDateTime now();
    static QDate today();

    // Source of the current local time; an empty function restores the
    // system clock. Meant for tests.
    using Source = std::function<QDateTime()>;
    static void set(const Source &source);
};
