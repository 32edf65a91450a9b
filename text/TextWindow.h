#pragma once

#include <string>

namespace tonvik {

struct LoadedText;
class TextWinEdit;

// The text page's editable window as the text routines see it: CP1251 text
// with LF line breaks, shown in paragraphs so that a large text stays
// editable. The paragraph breaks the display adds are not the text's: they
// are never read back, and Enter, copying and cutting in the window keep them
// apart from the user's own line breaks.
class TextWindow {
public:
    // edit is the window's; it outlives this view.
    explicit TextWindow(TextWinEdit* edit);

    // The window's characters, no-break spaces kept (the clean-up removes
    // them), each line or paragraph break of the user's as LF, none of the
    // display's.
    std::string Text() const;
    void SetText(const std::string& text);
    // Whether the window holds anything, without copying a text that may be large.
    bool HasText() const;
    void Clear();

    // The window's text in the word format.
    void Clean();
    // A loaded file's text, cleaned, in place of what the window holds.
    void ShowCleaned(const LoadedText& loaded);
    // Keeps the words of two to k + 3 characters; nothing happens when no
    // length is chosen (k < 0).
    void Filter(int k);

private:
    TextWinEdit* Edit;
};

} // namespace tonvik
