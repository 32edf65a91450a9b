#pragma once

// A main window on a test device, with every message answered at once.
#include "app/MainForm.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TestWaveOut.h"

#include <QCoreApplication>
#include <QTabWidget>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace tonvik {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        Window = std::make_unique<TMorseMain>(Device, Messages);
        Window->show();
    }

    void TearDown() override {
        Window.reset();
        QCoreApplication::processEvents();
    }

    template <class T> T* Control(const char* name) const {
        T* control = Window->findChild<T*>(QString::fromLatin1(name));
        if (control == nullptr)
            ADD_FAILURE() << "no control " << name;
        return control;
    }

    // Delivers queued notifications until done() holds; false if it never does.
    static bool ProcessUntil(const std::function<bool()>& done, int rounds = 200000) {
        for (int n = 0; n < rounds && !done(); ++n)
            QCoreApplication::processEvents();
        return done();
    }

    void ShowPage(int page) { Control<QTabWidget>("MainPage")->setCurrentIndex(page); }

    TestWaveOut Device;
    MessageRecorder Messages;
    std::unique_ptr<TMorseMain> Window;
};

} // namespace tonvik
