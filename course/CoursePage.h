#pragma once

#include "course/LessonSession.h"

#include <QWidget>

#include <functional>
#include <map>
#include <string>

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTextEdit;

namespace tonvik {

class RecognitionPanel;

// The «Курс» page: the choice of a Koch lesson and its speeds, the copy
// field typed into while the lesson is keyed, and the copy checked against
// what was sent. It shows what it is told and hands every click to its
// handlers; the lesson's state belongs to the session.
class CoursePage : public QWidget {
public:
    struct Handlers {
        std::function<void()> Start;
        std::function<void()> Check;
        std::function<void()> Stop;
        std::function<void()> CourseChanged;
    };

    explicit CoursePage(QWidget* parent = nullptr);
    void SetHandlers(Handlers handlers) { On = std::move(handlers); }

    LessonSettings Chosen() const;
    CourseKind ChosenCourse() const;
    // Lists the course's lessons, marks those opened up to reached and the
    // best score of each one tried, selects one.
    void ShowLessons(CourseKind course, int reached, int selected,
                     const std::map<int, double>& best = {});
    // The copy as typed, CP1251.
    std::string CopyText() const;

    void ShowKeying();
    void ShowCopying();
    void ShowScore(const LessonSession& session);
    void ShowIdle(const QString& status);

    RecognitionPanel* Recognition() const { return Recognizer; }

private:
    void Build();
    void Connect();
    void SetChoosing(bool enabled);
    void KeepEffectiveWithinCharacter();

    Handlers On;
    QComboBox* CourseBox = nullptr;
    QComboBox* LessonBox = nullptr;
    QSpinBox* MinutesEdit = nullptr;
    QSpinBox* CharacterWpmEdit = nullptr;
    QSpinBox* EffectiveWpmEdit = nullptr;
    QPushButton* StartButton = nullptr;
    QPushButton* CheckButton = nullptr;
    QPushButton* StopButton = nullptr;
    QPlainTextEdit* CopyEdit = nullptr;
    QTextEdit* ResultView = nullptr;
    QLabel* ScoreLabel = nullptr;
    RecognitionPanel* Recognizer = nullptr;
};

// The sent text and the copy, aligned, as two lines of HTML with the
// mistakes marked: a wrong or missing character in red, an extra one struck.
QString AlignedCopyHtml(const CopyScore& score);

} // namespace tonvik
