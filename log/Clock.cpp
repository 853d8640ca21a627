#include "Clock.h"

#include <limits>

namespace {

Clock::Source &source()
{
    static Clock::Source s_source;
    return s_source;
}

} // namespace

QDateTime Clock::now()
{
    if (source())
        return source()();
    // QDateTime::currentDateTime() consults the time zone database on every
    // call, which costs more than writing a log line. The offset from UTC is
    // looked up once per second instead: zone transitions fall on whole
    // seconds, so every millisecond of one second shares one offset.
    thread_local qint64 cachedSecond = std::numeric_limits<qint64>::min();
    thread_local int cachedOffset = 0;
    const qint64 utcMsecs = QDateTime::currentMSecsSinceEpoch();
    const qint64 second = utcMsecs >= 0 ? utcMsecs / 1000 : (utcMsecs - 999) / 1000;
    if (second != cachedSecond) {
        cachedOffset = QDateTime::fromMSecsSinceEpoch(second * 1000, Qt::LocalTime).offsetFromUtc();
        cachedSecond = second;
    }
    return QDateTime::fromMSecsSinceEpoch(utcMsecs, Qt::OffsetFromUTC, cachedOffset);
}

QDate Clock::today()
{
    return now().date();
}

void Clock::set(const Source &newSource)
{
    source() = newSource;
}
