#include "stats/ChartParts.h"

#include "stats/TimeScale.h"

#include <QChart>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QFont>
#include <QGraphicsLayout>

#include <chrono>

namespace tonvik {

qint64 ChartMsecs(JournalTime time) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count();
}

QChart* NewChart(const QString& title) {
    auto* chart = new QChart;
    // Drawn at once: an animation would only delay the first paint.
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setTitle(title);
    QFont font = chart->titleFont();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.2);
    chart->setTitleFont(font);
    chart->setMargins(QMargins(6, 6, 6, 6));
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    chart->setBackgroundRoundness(0);
    return chart;
}

QDateTimeAxis* TimeAxis(qint64 firstMs, qint64 lastMs, bool empty) {
    if (empty) {
        lastMs = QDateTime::currentMSecsSinceEpoch();
        firstMs = lastMs - 30LL * 86400 * 1000;
    }
    const TimeScale scale = ScaleForMoments(firstMs, lastMs);
    auto* axis = new QDateTimeAxis;
    axis->setTitleText(scale.Title);
    axis->setFormat(scale.Format);
    axis->setTickCount(scale.TickCount);
    axis->setRange(QDateTime::fromMSecsSinceEpoch(scale.FirstMs),
                   QDateTime::fromMSecsSinceEpoch(scale.LastMs));
    return axis;
}

} // namespace tonvik
