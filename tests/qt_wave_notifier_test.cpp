// Device notices through the Qt event queue when their handler runs a nested
// event loop, as the end of an exercise does (a modal message, the player
// waiting for its device to close): notices posted before the loop began must
// reach it there, whether the device posted them from the GUI thread or from
// its own.
#include "keying/QtWaveNotifier.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <thread>
#include <vector>

using namespace tonvik;

namespace {

enum class Poster { GuiThread, DeviceThread };

class QtWaveNotifierTest : public ::testing::TestWithParam<Poster> {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "qt_wave_notifier_test";
        static char* argv[] = {name, nullptr};
        if (QCoreApplication::instance() == nullptr)
            App = new QCoreApplication(argc, argv);
    }

    // Posts `count` Done notices at once, as a device that takes its buffers
    // ahead completes them.
    void PostDones(int count) {
        const auto post = [this, count] {
            for (int n = 0; n < count; ++n)
                Notifier.PostWaveMessage(WaveMessage::Done, 1, &Headers[static_cast<size_t>(n)]);
        };
        if (GetParam() == Poster::GuiThread) {
            post();
        } else {
            std::thread device(post);
            device.join();
        }
    }

    void OnNotice(WaveMessage message, WaveHeader* header) {
        if (message == WaveMessage::Open) {
            PostDones(3);
            return;
        }
        Handled.push_back(header);
        if (Handled.size() == 1) {
            // The first completion waits, in a loop of its own, for the last.
            QEventLoop nested;
            Nested = &nested;
            QTimer::singleShot(2000, &nested, &QEventLoop::quit);
            nested.exec();
            Nested = nullptr;
        } else if (Handled.size() == 3 && Nested != nullptr) {
            HandledInNestedLoop = true;
            Nested->quit();
        }
        if (Handled.size() == 3 && Nested == nullptr)
            Outer.quit();
    }

    static inline QCoreApplication* App = nullptr;
    std::vector<WaveHeader> Headers{3};
    std::vector<WaveHeader*> Handled;
    QEventLoop Outer;
    QEventLoop* Nested = nullptr;
    bool HandledInNestedLoop = false;
    QtWaveNotifier Notifier{[this](WaveMessage m, WaveHandle, WaveHeader* h) { OnNotice(m, h); }};
};

TEST_P(QtWaveNotifierTest, NoticesPostedBeforeANestedLoopReachItThere) {
    Notifier.PostWaveMessage(WaveMessage::Open, 1, nullptr);
    QTimer::singleShot(5000, &Outer, &QEventLoop::quit);
    Outer.exec();

    EXPECT_TRUE(HandledInNestedLoop) << "the last completion waited until the nested loop gave up";
    ASSERT_EQ(Handled.size(), 3u);
    for (size_t n = 0; n < Handled.size(); ++n)
        EXPECT_EQ(Handled[n], &Headers[n]) << "out of order at " << n;
}

INSTANTIATE_TEST_SUITE_P(Posters, QtWaveNotifierTest,
                         ::testing::Values(Poster::GuiThread, Poster::DeviceThread),
                         [](const ::testing::TestParamInfo<Poster>& info) {
                             return info.param == Poster::GuiThread ? std::string("GuiThread")
                                                                    : std::string("DeviceThread");
                         });

} // namespace
