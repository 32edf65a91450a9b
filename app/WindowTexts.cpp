#include "app/WindowTexts.h"

#include <QStringList>

namespace tonvik {

QString NoticeText(ExerciseNotice notice) {
    switch (notice) {
    case ExerciseNotice::OwnCallMissing:
        return QStringLiteral("Введите свой позывной");
    case ExerciseNotice::PageNotWorking:
        return QStringLiteral("Эта страница пока не работает!");
    case ExerciseNotice::ExerciseOver:
        return QStringLiteral("Прием закончен !");
    }
    return {};
}

QString NoticeCaption(ExerciseNotice notice) {
    return notice == ExerciseNotice::PageNotWorking ? QStringLiteral("Обожди!") : WarningCaption;
}

QString ListProblemText(CallsignListStatus status) {
    switch (status) {
    case CallsignListStatus::Ok:
        return {};
    case CallsignListStatus::Missing:
        return QStringLiteral("Не найден файл master.ped! Работа программы невозможна");
    case CallsignListStatus::Empty:
        return QStringLiteral("Файл master.ped пуст! Работа программы невозможна");
    case CallsignListStatus::Unreadable:
        return QStringLiteral("Не удается прочитать файл master.ped! Работа программы невозможна");
    case CallsignListStatus::TooLarge:
        return QStringLiteral("Файл master.ped слишком велик! Работа программы невозможна");
    case CallsignListStatus::NotText:
        return QStringLiteral("Файл master.ped не является текстовым! Работа программы невозможна");
    }
    return {};
}

namespace {

QString FaultText(const JournalProblem& problem) {
    const QString path = QString::fromStdString(problem.Path);
    switch (problem.Fault) {
    case JournalFault::None:
        return {};
    case JournalFault::FolderUnavailable:
        return QStringLiteral("Не удается создать папку журнала тренировок для файла %1.")
            .arg(path);
    case JournalFault::ReadOnly:
        return QStringLiteral("Журнал тренировок %1 недоступен для записи.").arg(path);
    case JournalFault::DiskFull:
        return QStringLiteral("На диске нет места для журнала тренировок %1.").arg(path);
    case JournalFault::Locked:
        return QStringLiteral("Журнал тренировок %1 занят другой программой.").arg(path);
    case JournalFault::Broken:
        return QStringLiteral("Файл %1 поврежден или не является журналом тренировок.").arg(path);
    case JournalFault::NewerSchema:
        return QStringLiteral("Журнал тренировок %1 записан более новой версией программы "
                              "(версия %2); он оставлен без изменений.")
            .arg(path)
            .arg(problem.Version);
    case JournalFault::CannotOpen:
        return QStringLiteral("Не удается открыть журнал тренировок %1.").arg(path);
    }
    return {};
}

} // namespace

QString JournalStatusText(const JournalProblem& problem) {
    if (problem.Fault == JournalFault::DiskFull)
        return QStringLiteral("Журнал не ведется: диск полон");
    return QStringLiteral("Журнал не ведется: ошибка записи");
}

QString JournalProblemText(const JournalProblem& problem) {
    QStringList lines;
    if (!problem.AsidePath.empty())
        lines << QStringLiteral("Журнал тренировок был поврежден: он переименован в %1, "
                                "начат новый журнал.")
                     .arg(QString::fromStdString(problem.AsidePath));
    if (!problem.Ok()) {
        lines << FaultText(problem);
        if (!problem.Detail.empty())
            lines << QStringLiteral("Причина: %1").arg(QString::fromStdString(problem.Detail));
        lines << QStringLiteral("Тренировка продолжается без журнала.");
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace tonvik
