#pragma once

#include <QString>
#include <QtGlobal>

namespace tonvik {

// The time axis of the progress chart, chosen so that any span reads well:
// its ends lie on whole steps (minutes, hours, days or weeks) a little
// outside the moments shown, so that every tick falls on a round moment and
// no two tick labels are the same. Within one day the ticks show the time of
// day and the title the date; over a few days the date and the time; over
// longer spans the date alone, with day ticks at noon so that a daylight
// saving change never moves one onto the day before.
struct TimeScale {
    qint64 FirstMs = 0; // the axis range, milliseconds since the epoch
    qint64 LastMs = 0;
    int TickCount = 2; // evenly from FirstMs to LastMs, both included
    QString Format;    // QDateTime format of the tick labels
    QString Title;
};

// The most ticks an axis gets: room for their labels at the window's
// smallest chart.
inline constexpr int MostTimeTicks = 7;

// The scale for moments from firstMs to lastMs (local time); one moment alone
// gets a short span around it.
TimeScale ScaleForMoments(qint64 firstMs, qint64 lastMs);

} // namespace tonvik
