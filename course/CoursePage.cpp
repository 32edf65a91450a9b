#include "course/CoursePage.h"

#include "course/RecognitionPanel.h"
#include "text/Cp1251.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextEdit>
#include <QVBoxLayout>

namespace tonvik {
namespace {

QString Escaped(char c) {
    return QString(FromCp1251(std::string(1, c))).toHtmlEscaped();
}

QSpinBox* SpinBox(int min, int max, int value, const QString& name) {
    auto* box = new QSpinBox;
    box->setRange(min, max);
    box->setValue(value);
    box->setAccessibleName(name);
    return box;
}

} // namespace

CoursePage::CoursePage(QWidget* parent) : QWidget(parent) {
    Build();
    Connect();
    ShowLessons(CourseKind::Latin, 1, 1);
    ShowIdle(QStringLiteral("Выберите урок и нажмите «Начать урок»."));
}

void CoursePage::Build() {
    auto* form = new QFormLayout;
    form->setVerticalSpacing(2);
    CourseBox = new QComboBox;
    CourseBox->addItems({QStringLiteral("Латиница"), QStringLiteral("Кириллица")});
    CourseBox->setAccessibleName(QStringLiteral("Курс"));
    LessonBox = new QComboBox;
    LessonBox->setAccessibleName(QStringLiteral("Урок"));
    MinutesEdit = SpinBox(1, 10, 2, QStringLiteral("Длительность урока, минут"));
    CharacterWpmEdit = SpinBox(10, 50, 20, QStringLiteral("Скорость знаков, wpm"));
    EffectiveWpmEdit = SpinBox(5, 20, 10, QStringLiteral("Эффективная скорость, wpm"));
    form->addRow(QStringLiteral("&Курс:"), CourseBox);
    form->addRow(QStringLiteral("&Урок:"), LessonBox);
    form->addRow(QStringLiteral("&Минут:"), MinutesEdit);
    form->addRow(QStringLiteral("Скорость &знаков, wpm:"), CharacterWpmEdit);
    form->addRow(QStringLiteral("&Эффективная скорость, wpm:"), EffectiveWpmEdit);

    StartButton = new QPushButton(QStringLiteral("&Начать урок"));
    CheckButton = new QPushButton(QStringLiteral("&Проверить"));
    StopButton = new QPushButton(QStringLiteral("&Остановить"));
    StartButton->setAccessibleName(QStringLiteral("Начать урок"));
    CheckButton->setAccessibleName(QStringLiteral("Проверить принятое"));
    StopButton->setAccessibleName(QStringLiteral("Остановить урок"));
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {StartButton, CheckButton, StopButton})
        buttons->addWidget(button);

    CopyEdit = new QPlainTextEdit;
    CopyEdit->setAccessibleName(QStringLiteral("Принятый текст"));
    CopyEdit->setTabChangesFocus(true);
    CopyEdit->setFixedHeight(50);
    ResultView = new QTextEdit;
    ResultView->setReadOnly(true);
    ResultView->setAccessibleName(QStringLiteral("Переданное и принятое"));
    ResultView->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    ResultView->setLineWrapMode(QTextEdit::NoWrap);
    ResultView->setFixedHeight(64);
    // What the lesson is at, and at its end the score.
    ScoreLabel = new QLabel;
    ScoreLabel->setWordWrap(true);
    ScoreLabel->setAccessibleName(QStringLiteral("Состояние урока и оценка"));
    CopyEdit->setPlaceholderText(QStringLiteral("Принятый текст: набирайте здесь"));
    // A screen reader reads the scroll bars as the box's own.
    for (QAbstractScrollArea* box :
         std::initializer_list<QAbstractScrollArea*>{CopyEdit, ResultView}) {
        box->verticalScrollBar()->setAccessibleName(box->accessibleName() + ", прокрутка");
        box->horizontalScrollBar()->setAccessibleName(box->accessibleName() + ", прокрутка вбок");
    }

    auto* lessons = new QWidget;
    auto* page = new QVBoxLayout(lessons);
    page->setContentsMargins(4, 4, 4, 4);
    page->addLayout(form);
    page->addLayout(buttons);
    page->addWidget(ScoreLabel);
    page->addWidget(CopyEdit);
    page->addWidget(ResultView);
    page->addStretch(1);
    auto* exercises = new QTabWidget;
    exercises->setObjectName("CourseExercises");
    exercises->addTab(lessons, QStringLiteral("Уроки"));
    Recognizer = new RecognitionPanel;
    exercises->addTab(Recognizer, QStringLiteral("Узнавание"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(exercises);
    for (QWidget* w : {static_cast<QWidget*>(CourseBox), static_cast<QWidget*>(LessonBox)})
        w->setObjectName(w == CourseBox ? "CourseBox" : "LessonBox");
    MinutesEdit->setObjectName("MinutesEdit");
    CharacterWpmEdit->setObjectName("CharacterWpmEdit");
    EffectiveWpmEdit->setObjectName("EffectiveWpmEdit");
    StartButton->setObjectName("LessonStartButton");
    CheckButton->setObjectName("LessonCheckButton");
    StopButton->setObjectName("LessonStopButton");
    CopyEdit->setObjectName("CopyEdit");
    ResultView->setObjectName("LessonResultView");
    ScoreLabel->setObjectName("LessonScoreLabel");
}

void CoursePage::Connect() {
    connect(StartButton, &QPushButton::clicked, this, [this] {
        if (On.Start)
            On.Start();
    });
    connect(CheckButton, &QPushButton::clicked, this, [this] {
        if (On.Check)
            On.Check();
    });
    connect(StopButton, &QPushButton::clicked, this, [this] {
        if (On.Stop)
            On.Stop();
    });
    connect(CourseBox, &QComboBox::currentIndexChanged, this, [this] {
        if (On.CourseChanged)
            On.CourseChanged();
    });
    connect(CharacterWpmEdit, &QSpinBox::valueChanged, this,
            [this] { KeepEffectiveWithinCharacter(); });
    // Ctrl+Enter in the copy ends it, as «Проверить» does.
    for (const QKeySequence& keys :
         {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)}) {
        auto* shortcut = new QShortcut(keys, CopyEdit);
        shortcut->setContext(Qt::WidgetShortcut);
        connect(shortcut, &QShortcut::activated, this, [this] {
            if (CheckButton->isEnabled() && On.Check)
                On.Check();
        });
    }
}

void CoursePage::KeepEffectiveWithinCharacter() {
    EffectiveWpmEdit->setMaximum(CharacterWpmEdit->value());
}

CourseKind CoursePage::ChosenCourse() const {
    return CourseBox->currentIndex() == 1 ? CourseKind::Cyrillic : CourseKind::Latin;
}

LessonSettings CoursePage::Chosen() const {
    LessonSettings s;
    s.Course = ChosenCourse();
    s.Lesson = LessonBox->currentIndex() + 1;
    s.Minutes = MinutesEdit->value();
    s.CharacterWpm = CharacterWpmEdit->value();
    s.EffectiveWpm = EffectiveWpmEdit->value();
    return ClampedLessonSettings(s);
}

void CoursePage::ShowLessons(CourseKind course, int reached, int selected,
                             const std::map<int, double>& best) {
    const QSignalBlocker quiet(CourseBox);
    CourseBox->setCurrentIndex(course == CourseKind::Cyrillic ? 1 : 0);
    LessonBox->clear();
    for (int lesson = 1; lesson <= LessonCount(course); ++lesson) {
        const QString characters = FromCp1251(LessonCharacters(course, lesson));
        QString item = QStringLiteral("%1: %2").arg(lesson).arg(characters);
        if (lesson > reached)
            item += QStringLiteral(" (ещё не открыт)");
        if (const auto found = best.find(lesson); found != best.end())
            item += QStringLiteral(" — лучший %1 %").arg(static_cast<int>(found->second));
        LessonBox->addItem(item);
    }
    LessonBox->setCurrentIndex(ClampLesson(course, selected) - 1);
}

std::string CoursePage::CopyText() const {
    return ToCp1251(CopyEdit->toPlainText());
}

void CoursePage::SetChoosing(bool enabled) {
    for (QWidget* w : {static_cast<QWidget*>(CourseBox), static_cast<QWidget*>(LessonBox),
                       static_cast<QWidget*>(MinutesEdit), static_cast<QWidget*>(CharacterWpmEdit),
                       static_cast<QWidget*>(EffectiveWpmEdit), static_cast<QWidget*>(StartButton)})
        w->setEnabled(enabled);
    CheckButton->setEnabled(!enabled);
    StopButton->setEnabled(!enabled);
    CopyEdit->setReadOnly(enabled);
}

void CoursePage::ShowKeying() {
    SetChoosing(false);
    CopyEdit->clear();
    ResultView->clear();
    ScoreLabel->setText(QStringLiteral("Идёт урок: записывайте принятое в поле ниже."));
    CopyEdit->setFocus();
}

void CoursePage::ShowCopying() {
    ScoreLabel->setText(
        QStringLiteral("Передача окончена: допишите принятое и нажмите «Проверить» (Ctrl+Enter)."));
    CopyEdit->setFocus();
}

void CoursePage::ShowScore(const LessonSession& session) {
    SetChoosing(true);
    const CopyScore& score = session.Score();
    ResultView->setHtml(AlignedCopyHtml(score));
    QString text = QStringLiteral("Верно %1 % (%2 из %3 знаков).")
                       .arg(static_cast<int>(score.Percent()))
                       .arg(score.Right)
                       .arg(score.Sent);
    text += session.Passed() ? QStringLiteral(" Урок пройден: открыт следующий.")
                             : QStringLiteral(" Для следующего урока нужно 90 %.");
    ScoreLabel->setText(text);
    StartButton->setFocus();
}

void CoursePage::ShowIdle(const QString& status) {
    SetChoosing(true);
    ScoreLabel->setText(status);
}

QString AlignedCopyHtml(const CopyScore& score) {
    QString sent, copied;
    int sentCount = 0;
    for (const AlignedPair& p : score.Pairs) {
        // Groups of five sent characters, as they were keyed.
        if (p.Sent != 0 && sentCount > 0 && sentCount % 5 == 0)
            sent += ' ', copied += ' ';
        sentCount += p.Sent != 0 ? 1 : 0;
        const QString s = p.Sent != 0 ? Escaped(p.Sent) : QStringLiteral("&nbsp;");
        const QString c = p.Copied != 0 ? Escaped(p.Copied) : QStringLiteral("_");
        switch (p.What) {
        case AlignedPair::Kind::Right:
            sent += s, copied += c;
            break;
        case AlignedPair::Kind::Wrong:
        case AlignedPair::Kind::Missed:
            sent += "<b>" + s + "</b>";
            copied += "<span style=\"color:#c00000\"><b>" + c + "</b></span>";
            break;
        case AlignedPair::Kind::Extra:
            sent += s;
            copied += "<span style=\"color:#c00000\"><s>" + c + "</s></span>";
            break;
        }
    }
    return QStringLiteral("<pre>Передано: %1\nПринято:  %2</pre>").arg(sent, copied);
}

} // namespace tonvik
