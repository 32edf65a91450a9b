#pragma once

#include "journal/JournalTypes.h"

#include <QString>
#include <QtGlobal>

class QChart;
class QDateTimeAxis;

namespace tonvik {

// What the statistics charts share, so that they look alike.

// A moment as the charts' time axes count it: milliseconds since the epoch.
qint64 ChartMsecs(JournalTime time);

// A new chart with the title, drawn at once, in the window's narrow margins.
QChart* NewChart(const QString& title);

// A time axis over the moments from firstMs to lastMs on round ticks (see
// TimeScale); with none (empty true) the last 30 days.
QDateTimeAxis* TimeAxis(qint64 firstMs, qint64 lastMs, bool empty);

} // namespace tonvik
