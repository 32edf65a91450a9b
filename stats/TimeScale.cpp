#include "stats/TimeScale.h"

#include <QDateTime>

#include <algorithm>
#include <array>

namespace tonvik {
namespace {

constexpr qint64 MinuteMs = 60 * 1000;
constexpr qint64 DayMs = 24 * 60 * MinuteMs;
// The moments are kept this share of the span, and at least this long, off
// the axis ends, so that no marker is cut by the frame.
constexpr double EdgeShare = 0.03;
constexpr qint64 LeastEdgeMs = 10 * MinuteMs;

// Steps within a day in minutes, dividing a day evenly.
constexpr std::array<int, 10> MinuteSteps{5, 10, 15, 30, 60, 120, 180, 240, 360, 720};
// Steps of whole days.
constexpr std::array<int, 8> DaySteps{1, 2, 7, 14, 28, 56, 91, 182};

int Intervals(qint64 spanMs, qint64 stepMs) {
    return static_cast<int>((spanMs + stepMs - 1) / stepMs);
}

// Ticks every few minutes or hours from the last whole step at or before first.
bool WithinDayScale(qint64 first, qint64 last, TimeScale& scale) {
    const QDateTime from = QDateTime::fromMSecsSinceEpoch(first);
    const QDateTime midnight(from.date(), QTime(0, 0));
    const qint64 sinceMidnight = midnight.msecsTo(from);
    for (const int minutes : MinuteSteps) {
        const qint64 step = minutes * MinuteMs;
        const qint64 start = midnight.toMSecsSinceEpoch() + sinceMidnight / step * step;
        const int intervals = std::max(1, Intervals(last - start, step));
        if (intervals + 1 > MostTimeTicks)
            continue;
        scale.FirstMs = start;
        scale.LastMs = start + intervals * step;
        scale.TickCount = intervals + 1;
        const QDate endDay = QDateTime::fromMSecsSinceEpoch(scale.LastMs - 1).date();
        if (endDay == from.date()) {
            scale.Format = QStringLiteral("HH:mm");
            scale.Title = QStringLiteral("Время, %1").arg(from.date().toString("dd.MM.yyyy"));
        } else {
            scale.Format = QStringLiteral("dd.MM HH:mm");
            scale.Title = QStringLiteral("Дата и время");
        }
        return true;
    }
    return false;
}

// Ticks at noon every few days: a tick labels the day around it.
void DaysScale(qint64 first, qint64 last, TimeScale& scale) {
    const QDateTime from = QDateTime::fromMSecsSinceEpoch(first);
    QDateTime start(from.date(), QTime(12, 0));
    if (start > from)
        start = start.addDays(-1);
    const qint64 span = last - start.toMSecsSinceEpoch();
    int days = DaySteps.back();
    for (const int step : DaySteps)
        if (Intervals(span, step * DayMs) + 1 <= MostTimeTicks) {
            days = step;
            break;
        }
    // Beyond a year and a half, steps of half years grown to fit.
    while (Intervals(span, days * DayMs) + 1 > MostTimeTicks)
        days += DaySteps.back();
    int intervals = 1;
    while (start.addDays(static_cast<qint64>(intervals) * days).toMSecsSinceEpoch() < last)
        ++intervals;
    scale.FirstMs = start.toMSecsSinceEpoch();
    scale.LastMs = start.addDays(static_cast<qint64>(intervals) * days).toMSecsSinceEpoch();
    scale.TickCount = intervals + 1;
    scale.Format = QStringLiteral("dd.MM.yy");
    scale.Title = QStringLiteral("Дата");
}

} // namespace

TimeScale ScaleForMoments(qint64 firstMs, qint64 lastMs) {
    if (lastMs < firstMs)
        std::swap(firstMs, lastMs);
    const auto edge = std::max(
        LeastEdgeMs, static_cast<qint64>(static_cast<double>(lastMs - firstMs) * EdgeShare));
    const qint64 first = firstMs - edge, last = lastMs + edge;
    TimeScale scale;
    if (!WithinDayScale(first, last, scale))
        DaysScale(first, last, scale);
    return scale;
}

} // namespace tonvik
