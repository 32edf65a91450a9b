#include "app/WindowTexts.h"

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

} // namespace tonvik
