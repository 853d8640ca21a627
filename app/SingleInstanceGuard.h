#pragma once

#include <QString>

// Tells whether another copy of the program runs, by a named shared-memory
// segment that the first copy holds until it ends. A segment left behind by
// a copy that was killed is removed before the test, so it never locks out
// the next start.
class SingleInstanceGuard
{
public:
    explicit SingleInstanceGuard(QString key);
    ~SingleInstanceGuard();

    bool isRunning() const;

private:
    bool m_bIsRunning;
};
