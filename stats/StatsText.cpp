#include "stats/StatsText.h"

#include "journal/JournalStats.h"
#include "text/Cp1251.h"

#include <QDateTime>
#include <QDir>
#include <QLocale>

#include <chrono>

namespace tonvik {
namespace {

QString FaultText(const JournalProblem& problem) {
    switch (problem.Fault) {
    case JournalFault::None:
        return QStringLiteral("файл недоступен");
    case JournalFault::FolderUnavailable:
        return QStringLiteral("его папка недоступна");
    case JournalFault::ReadOnly:
        return QStringLiteral("файл или папка только для чтения");
    case JournalFault::DiskFull:
        return QStringLiteral("диск заполнен");
    case JournalFault::Locked:
        return QStringLiteral("его держит другая программа");
    case JournalFault::Broken:
        return QStringLiteral("это не журнал Tonvik или он повреждён");
    case JournalFault::NewerSchema:
        return QStringLiteral("он записан более новой версией Tonvik");
    case JournalFault::CannotOpen:
        return QStringLiteral("его не удалось открыть");
    }
    return QString();
}

} // namespace

QString NoJournalText(const JournalProblem* problem) {
    if (problem == nullptr)
        return QStringLiteral("Журнал упражнений выключен (программа запущена с --no-journal): "
                              "статистике не из чего считать.");
    return QStringLiteral("Журнал упражнений %1 не открылся (%2): статистика недоступна.")
        .arg(QDir::toNativeSeparators(QString::fromStdString(problem->Path)), FaultText(*problem));
}

QString TimesWord(long long count) {
    const long long lastTwo = count % 100;
    const long long last = count % 10;
    if (lastTwo >= 11 && lastTwo <= 14)
        return QStringLiteral("раз");
    return last >= 2 && last <= 4 ? QStringLiteral("раза") : QStringLiteral("раз");
}

QString ConfusionText(const Confusion& confusion) {
    return QStringLiteral("%1 → %2: %3 %4")
        .arg(FromCp1251(confusion.Sent), FromCp1251(confusion.Typed))
        .arg(confusion.Count)
        .arg(TimesWord(confusion.Count));
}

QString DateText(JournalTime time) {
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count();
    return QDateTime::fromMSecsSinceEpoch(ms).toLocalTime().toString(
        QStringLiteral("dd.MM.yyyy HH:mm"));
}

QString PercentText(double percent) {
    return QLocale(QLocale::Russian).toString(percent, 'f', 1);
}

QString CourseText(const std::string& course) {
    if (course == "latin")
        return QStringLiteral("Латиница");
    if (course == "cyrillic")
        return QStringLiteral("Кириллица");
    return QString::fromStdString(course);
}

} // namespace tonvik
