// The callsign page draws from the personal list when there is one, chosen
// anew at every start, and from the list beside the program otherwise.
#include "callsign/CallsignListLocation.h"
#include "tests/support/ListFileSupport.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WindowFixture.h"

namespace tonvik {
namespace {

class PersonalListWindow : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        Control<QLineEdit>("CallEdit")->setText("RK3ABC");
    }

    // The play text of an exercise started and stopped at once; the
    // messages of the start in StartMessages.
    std::string Drawn() {
        Messages.Messages.clear();
        Start();
        const std::string playText = Play().PlayText;
        StartMessages.clear();
        for (const auto& message : Messages.Messages)
            StartMessages.push_back(message.Text);
        Stop();
        return playText;
    }

    std::vector<QString> StartMessages;

    TempFolder Data{"tonvik-calls"};
    DataHomeScope Home{Data.Folder().string()};
    std::filesystem::path Personal = Data.Folder() / "tonvik/master.ped";
};

TEST_F(PersonalListWindow, AnExerciseDrawsFromThePersonalListWhenItExists) {
    // None yet: the shipped list, every callsign of it but its last line.
    const std::filesystem::path shipped = ShippedCallsignList();
    ASSERT_TRUE(std::filesystem::exists(shipped));
    EXPECT_EQ(Window->CallsignListPath().toStdString(), shipped.string());
    const std::string fromShipped = Drawn();
    EXPECT_GT(fromShipped.size(), 30u * 4) << fromShipped;
    EXPECT_TRUE(StartMessages.empty());

    // Made while the window is open: the next start draws from it.
    PutFile(Personal, "UA3ABC\r\n# The last line of a callsign list is never drawn\r\n");
    EXPECT_EQ(Drawn(), Repeated("UA3ABC ", 30));
    EXPECT_EQ(Window->CallsignListPath().toStdString(), Personal.string());
    EXPECT_TRUE(StartMessages.empty());

    // A personal list that cannot be drawn from is reported as such: the
    // shipped list does not stand in for it silently.
    PutFile(Personal, "");
    EXPECT_EQ(Drawn(), " ");
    EXPECT_EQ(StartMessages,
              std::vector<QString>{"Файл master.ped пуст! Работа программы невозможна"});

    // Removed again: the shipped list, without a message.
    std::filesystem::remove(Personal);
    EXPECT_NE(Drawn(), " ");
    EXPECT_TRUE(StartMessages.empty());
}

} // namespace
} // namespace tonvik
