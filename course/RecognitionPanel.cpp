#include "course/RecognitionPanel.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace tonvik {

RecognitionPanel::RecognitionPanel(QWidget* parent) : QWidget(parent) {
    SetBox = new QComboBox;
    SetBox->addItems({QStringLiteral("Знаки урока"), QStringLiteral("Буквы"),
                      QStringLiteral("Цифры"), QStringLiteral("Все знаки")});
    SetBox->setAccessibleName(QStringLiteral("Знаки для узнавания"));
    SetBox->setObjectName("RecognitionSetBox");
    WpmEdit = new QSpinBox;
    WpmEdit->setRange(10, 60);
    WpmEdit->setValue(25);
    WpmEdit->setAccessibleName(QStringLiteral("Скорость знаков для узнавания, wpm"));
    WpmEdit->setObjectName("RecognitionWpmEdit");
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Знаки:"), SetBox);
    form->addRow(QStringLiteral("С&корость, wpm:"), WpmEdit);

    StartButton = new QPushButton(QStringLiteral("Н&ачать узнавание"));
    StartButton->setAccessibleName(QStringLiteral("Начать узнавание"));
    StartButton->setObjectName("RecognitionStartButton");
    StopButton = new QPushButton(QStringLiteral("Ос&тановить"));
    StopButton->setAccessibleName(QStringLiteral("Остановить узнавание"));
    StopButton->setObjectName("RecognitionStopButton");
    StopButton->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(StartButton);
    buttons->addWidget(StopButton);

    KeyEdit = new QLineEdit;
    KeyEdit->setAccessibleName(QStringLiteral("Нажмите клавишу услышанного знака"));
    KeyEdit->setObjectName("RecognitionKeyEdit");
    KeyEdit->setReadOnly(true);
    auto* keyLabel = new QLabel(QStringLiteral("&Услышанный знак:"));
    keyLabel->setBuddy(KeyEdit);
    AnswerLabel = new QLabel;
    AnswerLabel->setObjectName("RecognitionAnswerLabel");
    AnswerLabel->setAccessibleName(QStringLiteral("Ответ"));
    QFont big = AnswerLabel->font();
    big.setPointSize(big.pointSize() * 2);
    AnswerLabel->setFont(big);
    ProgressLabel = new QLabel;
    ProgressLabel->setObjectName("RecognitionProgressLabel");
    ProgressLabel->setAccessibleName(QStringLiteral("Итог узнавания"));
    ProgressLabel->setWordWrap(true);

    auto* page = new QVBoxLayout(this);
    page->addLayout(form);
    page->addLayout(buttons);
    page->addWidget(keyLabel);
    page->addWidget(KeyEdit);
    page->addWidget(AnswerLabel);
    page->addWidget(ProgressLabel);
    page->addStretch(1);

    connect(StartButton, &QPushButton::clicked, this, [this] {
        if (On.Start)
            On.Start();
    });
    connect(StopButton, &QPushButton::clicked, this, [this] {
        if (On.Stop)
            On.Stop();
    });
    // Every key typed is an answer; the field keeps nothing.
    connect(KeyEdit, &QLineEdit::textEdited, this, [this](const QString& text) {
        KeyEdit->clear();
        if (!text.isEmpty() && On.Answer)
            On.Answer(text.back());
    });
    ShowIdle(QStringLiteral("100 знаков по одному: нажимайте клавишу услышанного знака."));
}

RecognitionSet RecognitionPanel::ChosenSet() const {
    switch (SetBox->currentIndex()) {
    case 1:
        return RecognitionSet::Letters;
    case 2:
        return RecognitionSet::Digits;
    case 3:
        return RecognitionSet::All;
    default:
        return RecognitionSet::Lesson;
    }
}

int RecognitionPanel::CharacterWpm() const {
    return WpmEdit->value();
}

void RecognitionPanel::ShowRunning() {
    for (QWidget* w : {static_cast<QWidget*>(SetBox), static_cast<QWidget*>(WpmEdit),
                       static_cast<QWidget*>(StartButton)})
        w->setEnabled(false);
    StopButton->setEnabled(true);
    KeyEdit->setReadOnly(false);
    AnswerLabel->clear();
    ProgressLabel->setText(QStringLiteral("Слушайте."));
    KeyEdit->setFocus();
}

void RecognitionPanel::ShowAnswer(const RecognitionRun& run, const QString& sent,
                                  const QString& pressed) {
    const RecognitionAnswer& last = run.Answered().back();
    AnswerLabel->setText(last.Right()
                             ? QStringLiteral("%1 — верно, %2 мс").arg(sent).arg(last.ReactionMs)
                             : QStringLiteral("%1 — неверно (нажато %2)").arg(sent, pressed));
    AnswerLabel->setStyleSheet(last.Right() ? QString() : QStringLiteral("color:#c00000"));
    ProgressLabel->setText(QStringLiteral("%1 из %2, верно %3, медиана %4 мс")
                               .arg(run.Answered().size())
                               .arg(RecognitionRunLength)
                               .arg(run.RightCount())
                               .arg(run.MedianReactionMs()));
}

void RecognitionPanel::ShowIdle(const QString& status) {
    for (QWidget* w : {static_cast<QWidget*>(SetBox), static_cast<QWidget*>(WpmEdit),
                       static_cast<QWidget*>(StartButton)})
        w->setEnabled(true);
    StopButton->setEnabled(false);
    KeyEdit->setReadOnly(true);
    if (!status.isEmpty())
        ProgressLabel->setText(status);
}

} // namespace tonvik
