#include "stats/StatsForm.h"

#include "journal/JournalPath.h"
#include "stats/PagedRowsModel.h"
#include "stats/ScreenFit.h"
#include "stats/StatsText.h"
#include "ui_StatsForm.h"

#include <QChart>
#include <QComboBox>
#include <QHeaderView>
#include <QHideEvent>
#include <QKeySequence>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QShowEvent>

namespace tonvik {
namespace {

// The columns of a long table: headers and how each aligns.
PagedRowsModel* NewRowsModel(QObject* parent, const QStringList& headers,
                             std::vector<Qt::Alignment> alignments) {
    return new PagedRowsModel(headers, std::move(alignments), 200, parent);
}

void SetHeaders(QTableWidget* table, const QStringList& headers) {
    table->setColumnCount(static_cast<int>(headers.size()));
    table->setHorizontalHeaderLabels(headers);
}

// The rows a table shows at the window's least size, besides its header.
constexpr int LeastTableRows = 4;

void SetUpTable(QTableView* table) {
    table->verticalHeader()->hide();
    const int row = table->fontMetrics().height() + 6;
    table->verticalHeader()->setDefaultSectionSize(row);
    table->horizontalHeader()->setStretchLastSection(true);
    table->setWordWrap(false);
    table->setMinimumHeight(table->horizontalHeader()->sizeHint().height() + LeastTableRows * row +
                            table->horizontalScrollBar()->sizeHint().height() +
                            2 * table->frameWidth());
}

// The band filter's choices, each holding its ConditionsFilter.
void FillConditions(QComboBox* box) {
    box->addItem(QStringLiteral("Все"), static_cast<int>(ConditionsFilter::All));
    box->addItem(QStringLiteral("Без помех"), static_cast<int>(ConditionsFilter::Clean));
    box->addItem(QStringLiteral("В условиях приёма"),
                 static_cast<int>(ConditionsFilter::UnderConditions));
}

// The decoration around a window's inside.
QMargins FrameOf(const QWidget& window) {
    const QRect inside = window.geometry(), outside = window.frameGeometry();
    return {inside.left() - outside.left(), inside.top() - outside.top(),
            outside.right() - inside.right(), outside.bottom() - inside.bottom()};
}

} // namespace

TStatsForm::TStatsForm(QWidget* mainWindow)
    : QDialog(mainWindow), Ui(std::make_unique<::Ui::TStatsForm>()),
      JournalFile(DefaultJournalPath()), Now([] { return JournalClock::now(); }) {
    Ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    SetUpTables();
    SetUpFilters();
    SetUpAccessibility();
    ConnectHandlers();
    Ui->UnavailableLbl->hide();
}

TStatsForm::~TStatsForm() = default;

void TStatsForm::SetUpTables() {
    SetHeaders(Ui->LastTable,
               {QStringLiteral("Дата"), QStringLiteral("Позывной"), QStringLiteral("Верно"),
                QStringLiteral("wpm"), QStringLiteral("Очки"), QStringLiteral("Конец")});
    // Set again with its rows: recognition runs get a fifth column.
    SetHeaders(Ui->CharactersTable, {QStringLiteral("Знак"), QStringLiteral("Передан"),
                                     QStringLiteral("Ошибок"), QStringLiteral("Точность, %")});
    const Qt::Alignment left = Qt::AlignLeft, right = Qt::AlignRight;
    TextRows = NewRowsModel(this,
                            {QStringLiteral("Дата"), QStringLiteral("wpm"),
                             QStringLiteral("Знаков"), QStringLiteral("До конца")},
                            {left, right, right, left});
    ErrorRows = NewRowsModel(this,
                             {QStringLiteral("Дата"), QStringLiteral("Скорость, wpm"),
                              QStringLiteral("Передано"), QStringLiteral("Принято")},
                             {left, right, left, left});
    DrillRows =
        NewRowsModel(this,
                     {QStringLiteral("Дата"), QStringLiteral("Тренировка"), QStringLiteral("Верно"),
                      QStringLiteral("wpm"), QStringLiteral("Очки"), QStringLiteral("Конец")},
                     {left, left, right, right, right, left});
    LessonRows =
        NewRowsModel(this,
                     {QStringLiteral("Дата"), QStringLiteral("Курс"), QStringLiteral("Урок"),
                      QStringLiteral("Оценка, %"), QStringLiteral("Сдан")},
                     {left, left, right, right, left});
    Ui->CourseTable->setModel(LessonRows);
    Ui->TextTable->setModel(TextRows);
    Ui->ErrorsTable->setModel(ErrorRows);
    Ui->DrillsTable->setModel(DrillRows);
    for (QTableView* table :
         {static_cast<QTableView*>(Ui->LastTable), static_cast<QTableView*>(Ui->TextTable),
          static_cast<QTableView*>(Ui->CharactersTable), Ui->ErrorsTable, Ui->DrillsTable,
          Ui->CourseTable})
        SetUpTable(table);
    for (QChartView* view : {Ui->ProgressChart, Ui->CharactersChart, Ui->CourseChart})
        view->setRenderHint(QPainter::Antialiasing);
    // The charts take the larger part of their pages.
    for (QSplitter* splitter : {Ui->ProgressSplitter, Ui->CharactersSplitter, Ui->CourseSplitter}) {
        splitter->setStretchFactor(0, 3);
        splitter->setStretchFactor(1, 2);
        splitter->setSizes({3000, 2000});
    }
}

void TStatsForm::SetUpFilters() {
    FillConditions(Ui->ProgressConditionsBox);
    FillConditions(Ui->CharactersConditionsBox);
    QComboBox* source = Ui->CharactersSourceBox;
    source->addItem(QStringLiteral("Позывные"), static_cast<int>(CharacterSource::Callsigns));
    source->addItem(QStringLiteral("Уроки"), static_cast<int>(CharacterSource::Lessons));
    source->addItem(QStringLiteral("Узнавание"), static_cast<int>(CharacterSource::Recognition));
    source->addItem(QStringLiteral("Все"), static_cast<int>(CharacterSource::All));
}

void TStatsForm::Reload(int page) {
    if (!Reader)
        return;
    Loaded[static_cast<size_t>(page)] = false;
    LoadPage(Ui->StatsTabs->currentIndex());
}

void TStatsForm::ConnectHandlers() {
    connect(Ui->StatsTabs, &QTabWidget::currentChanged, this, &TStatsForm::LoadPage);
    for (QRadioButton* period : {Ui->PeriodWeekBut, Ui->PeriodMonthBut, Ui->PeriodAllBut})
        connect(period, &QRadioButton::toggled, this, [this](bool checked) {
            if (checked)
                Reload(CharactersPage);
        });
    connect(Ui->ProgressConditionsBox, &QComboBox::currentIndexChanged, this,
            [this] { Reload(ProgressPage); });
    for (QComboBox* box : {Ui->CharactersSourceBox, Ui->CharactersConditionsBox})
        connect(box, &QComboBox::currentIndexChanged, this, [this] { Reload(CharactersPage); });
    connect(Ui->RepeatBut, &QPushButton::clicked, this, &TStatsForm::RepeatButClick);
    connect(Ui->WeakDrillBut, &QPushButton::clicked, this, &TStatsForm::WeakDrillButClick);
    connect(Ui->CloseBut, &QPushButton::clicked, this, &QDialog::reject);
    // The pages' mnemonics need a Russian keyboard layout; these work on any.
    for (int page = 0; page < PageCount; ++page) {
        auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | (Qt::Key_1 + page)), this);
        connect(shortcut, &QShortcut::activated, this,
                [this, page] { Ui->StatsTabs->setCurrentIndex(page); });
    }
}

void TStatsForm::SetJournalFile(const std::filesystem::path& path) {
    JournalFile = path;
    NoJournalLine.clear();
}

void TStatsForm::SetNoJournal(const JournalProblem* problem) {
    JournalFile.reset();
    NoJournalLine = NoJournalText(problem);
}

void TStatsForm::SetDrillsEnabled(bool enabled) {
    const QString why =
        enabled ? QString()
                : QStringLiteral("Идёт упражнение: начать тренировку можно после его окончания");
    for (QPushButton* button : {Ui->RepeatBut, Ui->WeakDrillBut}) {
        button->setEnabled(enabled);
        button->setToolTip(why);
    }
}

void TStatsForm::setVisible(bool visible) {
    if (visible && !isVisible())
        FitIntoScreen();
    QDialog::setVisible(visible);
}

void TStatsForm::FitIntoScreen() {
    const QWidget* main = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
    const QScreen* screen = main != nullptr ? main->screen() : this->screen();
    if (screen == nullptr)
        return;
    // The decoration is known once a window has been shown; before, the main
    // window's stands in for it, or a usual title bar.
    QMargins frame(4, 30, 4, 4);
    if (testAttribute(Qt::WA_WState_Created) && frameGeometry() != geometry())
        frame = FrameOf(*this);
    else if (main != nullptr && main->isVisible())
        frame = FrameOf(*main);
    QRect client = geometry();
    // Not placed yet: centred on the main window, or on the screen.
    if (!testAttribute(Qt::WA_Moved))
        client.moveCenter(main != nullptr && main->isVisible()
                              ? main->geometry().center()
                              : screen->availableGeometry().center());
    setGeometry(FitIntoArea(client, minimumSizeHint(), screen->availableGeometry(), frame));
}

void TStatsForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Not on a restore from the task bar: the figures are those of this showing.
    if (!event->spontaneous())
        FormShow();
}

void TStatsForm::hideEvent(QHideEvent* event) {
    if (!event->spontaneous())
        CloseJournal();
    QDialog::hideEvent(event);
}

int TStatsForm::ShowModal() {
    // The showing itself runs FormShow.
    return exec();
}

void TStatsForm::FormShow() {
    CloseJournal();
    if (!JournalFile) {
        ShowUnavailable(NoJournalLine);
        return;
    }
    auto reader = std::make_unique<JournalReader>();
    const JournalProblem problem = reader->Open(*JournalFile);
    if (!problem.Ok()) {
        ShowUnavailable(NoJournalText(&problem));
        return;
    }
    ShowUnavailable(QString());
    Empty =
        reader->Missing() || reader->CountByKind() == std::array<long long, ExerciseKindCount>{};
    Reader = std::move(reader);
    ShowEmpty(Empty);
    LoadPage(Ui->StatsTabs->currentIndex());
}

void TStatsForm::CloseJournal() {
    // The long tables read from the journal as they scroll: empty them first.
    TextRows->Clear();
    ErrorRows->Clear();
    DrillRows->Clear();
    LessonRows->Clear();
    Reader.reset();
    Loaded = {};
}

void TStatsForm::ShowUnavailable(const QString& text) {
    Ui->UnavailableLbl->setText(text);
    Ui->UnavailableLbl->setVisible(!text.isEmpty());
    Ui->StatsTabs->setVisible(text.isEmpty());
}

void TStatsForm::ShowEmpty(bool empty) {
    for (QStackedWidget* stack : {Ui->ProgressStack, Ui->CharactersStack, Ui->ErrorsStack,
                                  Ui->DrillsStack, Ui->CourseStack})
        stack->setCurrentIndex(empty ? 1 : 0);
    for (QLabel* label : {Ui->ProgressEmptyLbl, Ui->CharactersEmptyLbl, Ui->ErrorsEmptyLbl,
                          Ui->DrillsEmptyLbl, Ui->CourseEmptyLbl})
        label->setText(NoExercisesText);
}

void TStatsForm::LoadPage(int page) {
    if (!Reader || Empty || page < 0 || page >= static_cast<int>(Loaded.size()) || Loaded[page])
        return;
    Loaded[page] = true;
    switch (page) {
    case ProgressPage:
        LoadProgress();
        break;
    case CharactersPage:
        LoadCharacters();
        break;
    case ErrorsPage:
        LoadErrors();
        break;
    case DrillsPage:
        LoadDrills();
        break;
    case CoursePage:
        LoadCourse();
        break;
    }
}

void TStatsForm::ReplaceChart(QChartView* view, QChart* chart) {
    // The view owns the chart it is given but lets go of the one before.
    QChart* old = view->chart();
    view->setChart(chart);
    delete old;
}

void TStatsForm::RepeatButClick() {
    if (!Reader)
        return;
    const std::vector<std::string> calls = MissedCallsDrill(*Reader);
    if (calls.empty())
        return;
    accept();
    if (OnMissedCalls)
        OnMissedCalls(calls);
}

void TStatsForm::WeakDrillButClick() {
    if (!Reader)
        return;
    const MissRates rates = CharacterMissRates(*Reader);
    accept();
    if (OnWeakCharacters)
        OnWeakCharacters(rates);
}

} // namespace tonvik
