#pragma once

// A statistics window over a journal of the test's own, with dates read in
// UTC; the window goes before the journal's folder.
#include "stats/StatsForm.h"
#include "tests/support/JournalTestSupport.h"

#include <QApplication>

#include <cstdlib>
#include <ctime>
#include <memory>

namespace tonvik {

class StatsFormTest : public JournalTest {
protected:
    void SetUp() override {
        JournalTest::SetUp();
        setenv("TZ", "UTC", 1);
        tzset();
    }
    void TearDown() override {
        Form.reset();
        JournalTest::TearDown();
    }
    // Shows the window over the test's journal, at the test's moment.
    void OpenForm(QWidget* mainWindow) {
        Form = std::make_unique<TStatsForm>(mainWindow);
        Form->SetJournalFile(Path);
        Form->SetClock([] { return TestTime(); });
        Form->show();
        QApplication::setActiveWindow(Form.get());
    }

    std::unique_ptr<TStatsForm> Form;
};

} // namespace tonvik
