#pragma once

#include <string>

namespace tonvik {

// Which controls are usable, as the running state of an exercise decides.
struct ExerciseControls {
    bool StartEnabled = true;
    bool StopEnabled = false;
    bool TestEnabled = true;
    bool TestShowsStop = false; // the test button's caption is "Стоп"
    bool OwnCallEnabled = true;
    bool SettingsEnabled = true; // the speed, tone and volume track bars
};

// The messages exercise control shows; the window gives them their words.
enum class ExerciseNotice {
    OwnCallMissing, // Start on the callsign page with no own callsign
    PageNotWorking, // Start on the page no mode uses
    ExerciseOver,   // the end of every exercise
};

// What exercise control needs of the window: the settings it reads and the
// controls it sets. Everything is called on the window's thread.
class ExerciseView {
public:
    virtual ~ExerciseView() = default;

    virtual int ActivePage() const = 0;
    virtual bool OwnCallEmpty() const = 0;
    // The letter and word gaps in dots, as their fields hold them now.
    virtual int LetterGap() const = 0;
    virtual int WordGap() const = 0;
    // The text window's text in CP1251, line breaks as LF.
    virtual std::string TextWindowText() const = 0;

    // Runs the speed, tone and volume track-bar handlers, in that order.
    virtual void ApplySettings() = 0;
    virtual void ShowControls(const ExerciseControls& controls) = 0;
    virtual void ShowPageTabs(bool callsignPage, bool textPage) = 0;
    virtual void FocusOwnCall() = 0;
    // A modal message: device notifications are handled while it is shown.
    virtual void ShowNotice(ExerciseNotice notice) = 0;
    // The sound layer's warning dialog, English, with one OK button.
    virtual void ShowWarning(const std::string& text, const std::string& caption) = 0;
};

} // namespace tonvik
