#include "stats/StatsCharts.h"

#include "stats/ChartParts.h"
#include "stats/ChartPoints.h"
#include "text/Cp1251.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QPen>
#include <QValueAxis>

#include <algorithm>
#include <array>
#include <cmath>

namespace tonvik {
namespace {

const QColor SpeedColour(0xC0, 0x00, 0x00);
const QColor PointsColour(0x00, 0x30, 0xC0);
// Exercises under band conditions: the same hues' neighbours, dashed.
const QColor ConditionsSpeedColour(0xE0, 0x78, 0x00);
const QColor ConditionsPointsColour(0x00, 0x90, 0x80);
const QColor BarColour(0x30, 0x70, 0xB0);
// Up to this many exercises each gets a marker, so that a single one shows
// and a few stand apart.
constexpr int MarkedPoints = 60;
// The slices a progress line is thinned to: about two pixels each across
// the window's chart and the plot.
constexpr int ProgressSlices = 600;
// The characters the accuracy chart shows at most.
constexpr size_t CharactersCharted = 16;

QLineSeries* Line(const QString& name, const QPen& pen, const std::vector<QPointF>& points) {
    auto* series = new QLineSeries;
    series->setName(name);
    series->setPen(pen);
    const std::vector<QPointF> thinned = ThinnedLine(points, ProgressSlices);
    series->replace(QList<QPointF>(thinned.begin(), thinned.end()));
    if (points.size() <= static_cast<size_t>(MarkedPoints)) {
        series->setPointsVisible(true);
        series->setMarkerSize(7);
    }
    return series;
}

QValueAxis* ValueAxis(const QString& title, const QColor& colour, double top) {
    auto* axis = new QValueAxis;
    axis->setTitleText(title);
    axis->setTitleBrush(colour);
    axis->setLabelsColor(colour);
    axis->setLabelFormat(QStringLiteral("%.0f"));
    axis->setRange(0, top);
    axis->applyNiceNumbers();
    return axis;
}

// The span of the exercises on round ticks; none gives the last 30 days.
QDateTimeAxis* DateAxis(const std::vector<ProgressPoint>& points) {
    return points.empty() ? TimeAxis(0, 0, true)
                          : TimeAxis(ChartMsecs(points.front().Started),
                                     ChartMsecs(points.back().Started), false);
}

// One class of exercises on the progress chart: its speeds and its points.
struct ProgressLines {
    std::vector<QPointF> Speeds;
    std::vector<QPointF> Totals;
};

// The axes the progress lines hang on.
struct ProgressAxes {
    QDateTimeAxis* Dates;
    QValueAxis* Speed;
    QValueAxis* Points;
};

// Exercises under conditions have colours of their own, and a sparse line
// of them (one with markers) is dashed too. A dense one is not: Qt takes
// about a millisecond to draw each dash of the zigzag a year of exercises
// makes, half a second for the chart.
QPen ProgressPen(const QColor& colour, bool under, size_t points) {
    const bool dashed = under && points <= static_cast<size_t>(MarkedPoints);
    return QPen(colour, 1.5, dashed ? Qt::DashLine : Qt::SolidLine);
}

// The speed and points lines of one band; named says which band in the legend.
void AddProgressLines(QChart& chart, const ProgressLines& line, bool under, bool named,
                      const ProgressAxes& axes) {
    const QString suffix = !named  ? QString()
                           : under ? QStringLiteral(" в условиях")
                                   : QStringLiteral(" без помех");
    QLineSeries* speed = Line(
        named ? QStringLiteral("Скорость") + suffix : QStringLiteral("Наибольшая скорость, wpm"),
        ProgressPen(under ? ConditionsSpeedColour : SpeedColour, under, line.Speeds.size()),
        line.Speeds);
    QLineSeries* total =
        Line(named ? QStringLiteral("Очки") + suffix : QStringLiteral("Очки за упражнение"),
             ProgressPen(under ? ConditionsPointsColour : PointsColour, under, line.Totals.size()),
             line.Totals);
    chart.addSeries(speed);
    chart.addSeries(total);
    for (QLineSeries* series : {speed, total})
        series->attachAxis(axes.Dates);
    speed->attachAxis(axes.Speed);
    total->attachAxis(axes.Points);
}

QString ProgressTitle(bool none, ConditionsFilter shown) {
    switch (shown) {
    case ConditionsFilter::Clean:
        return none ? QStringLiteral("Пока нет упражнений с позывными без помех")
                    : QStringLiteral("Упражнения с позывными без помех");
    case ConditionsFilter::UnderConditions:
        return none ? QStringLiteral("Пока нет упражнений с позывными в условиях приёма")
                    : QStringLiteral("Упражнения с позывными в условиях приёма");
    case ConditionsFilter::All:
        break;
    }
    return none ? QStringLiteral("Пока нет ни одного законченного упражнения с позывными")
                : QStringLiteral("Упражнения с позывными: наибольшая скорость и очки");
}

QString NoCharactersTitle(CharacterSource source) {
    switch (source) {
    case CharacterSource::Lessons:
        return QStringLiteral("За этот срок уроков не было");
    case CharacterSource::Recognition:
        return QStringLiteral("За этот срок знаки на узнавание не передавались");
    case CharacterSource::All:
        return QStringLiteral("За этот срок знаки не передавались");
    case CharacterSource::Callsigns:
        break;
    }
    return QStringLiteral("За этот срок позывные не передавались");
}

} // namespace

QChart* BuildProgressChart(const std::vector<ProgressPoint>& points, ConditionsFilter shown) {
    QChart* chart = NewChart(ProgressTitle(points.empty(), shown));
    // Clean exercises and those under conditions are never one line: a band
    // that got harder would read as a user who got worse.
    std::array<ProgressLines, 2> lines;
    int topSpeed = 0;
    double topPoints = 0;
    for (const ProgressPoint& point : points) {
        const auto x = static_cast<double>(ChartMsecs(point.Started));
        ProgressLines& line = lines[point.UnderConditions ? 1 : 0];
        line.Speeds.emplace_back(x, point.MaxWpm);
        line.Totals.emplace_back(x, point.TotalPoints);
        topSpeed = std::max(topSpeed, point.MaxWpm);
        topPoints = std::max(topPoints, point.TotalPoints);
    }
    std::array<bool, 2> drawn{!lines[0].Speeds.empty(), !lines[1].Speeds.empty()};
    if (!drawn[0] && !drawn[1])
        drawn[shown == ConditionsFilter::UnderConditions ? 1 : 0] = true;
    QDateTimeAxis* dates = DateAxis(points);
    QValueAxis* wpm =
        ValueAxis(QStringLiteral("Скорость, wpm"), SpeedColour, std::max(50, topSpeed + 5));
    QValueAxis* score =
        ValueAxis(QStringLiteral("Очки"), PointsColour, std::max(1000.0, topPoints * 1.05));
    chart->addAxis(dates, Qt::AlignBottom);
    chart->addAxis(wpm, Qt::AlignLeft);
    chart->addAxis(score, Qt::AlignRight);
    // Only clean exercises: the lines as they always were, by their plain names.
    const bool named = drawn[1];
    for (const bool under : {false, true})
        if (drawn[under ? 1 : 0])
            AddProgressLines(*chart, lines[under ? 1 : 0], under, named, {dates, wpm, score});
    chart->legend()->setAlignment(Qt::AlignBottom);
    return chart;
}

QChart* BuildCharacterChart(const std::vector<CharacterStat>& all, CharacterSource source) {
    // The worst only: more bars would leave their characters no room below
    // them at the window's least width; the table beside lists every one.
    const std::vector<CharacterStat> stats(
        all.begin(), all.begin() + static_cast<long>(std::min(all.size(), CharactersCharted)));
    QChart* chart = NewChart(all.empty() ? NoCharactersTitle(source)
                             : all.size() > stats.size()
                                 ? QStringLiteral("Точность по знакам, %: %1 худших из %2")
                                       .arg(stats.size())
                                       .arg(all.size())
                                 : QStringLiteral("Точность по знакам, %, худшие первыми"));
    auto* accuracy = new QBarSet(QStringLiteral("Точность, %"));
    accuracy->setColor(BarColour);
    accuracy->setBorderColor(BarColour);
    QStringList characters;
    double worst = 100;
    for (const CharacterStat& stat : stats) {
        worst = std::min(worst, stat.AccuracyPercent);
        characters.append(FromCp1251(stat.Character));
        accuracy->append(stat.AccuracyPercent);
    }
    auto* bars = new QBarSeries;
    bars->append(accuracy);
    bars->setBarWidth(0.8);
    chart->addSeries(bars);
    auto* axisX = new QBarCategoryAxis;
    axisX->append(characters);
    auto* axisY = new QValueAxis;
    // Accuracies mostly lie between 85 and 100 %: the scale starts at the
    // tens below the worst, so that the differences show.
    axisY->setRange(std::max(0.0, std::floor((worst - 5) / 10) * 10), 100);
    axisY->setLabelFormat(QStringLiteral("%.0f"));
    axisY->setTitleText(QStringLiteral("Точность, %"));
    chart->addAxis(axisX, Qt::AlignBottom);
    chart->addAxis(axisY, Qt::AlignLeft);
    bars->attachAxis(axisX);
    bars->attachAxis(axisY);
    chart->legend()->hide();
    return chart;
}

} // namespace tonvik
