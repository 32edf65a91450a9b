#pragma once

#include "course/Recognition.h"

#include <QWidget>

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace tonvik {

// Instant recognition on the «Курс» page: the set and the speed, the key
// field the user answers in, and what each answer gave. It hands every click
// and key to its handlers; the run belongs to its owner.
class RecognitionPanel : public QWidget {
public:
    struct Handlers {
        std::function<void()> Start;
        std::function<void()> Stop;
        std::function<void(QChar)> Answer;
    };
    explicit RecognitionPanel(QWidget* parent = nullptr);
    void SetHandlers(Handlers handlers) { On = std::move(handlers); }

    RecognitionSet ChosenSet() const;
    int CharacterWpm() const;

    void ShowRunning();
    void ShowAnswer(const RecognitionRun& run, const QString& sent, const QString& pressed);
    void ShowIdle(const QString& status);

private:
    Handlers On;
    QComboBox* SetBox = nullptr;
    QSpinBox* WpmEdit = nullptr;
    QPushButton* StartButton = nullptr;
    QPushButton* StopButton = nullptr;
    QLineEdit* KeyEdit = nullptr;
    QLabel* AnswerLabel = nullptr;
    QLabel* ProgressLabel = nullptr;
};

} // namespace tonvik
