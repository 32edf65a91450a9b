#include "exercise/Shortcuts.h"

namespace tonvik {

Shortcut ShortcutOf(int key, bool testRunning) {
    if (key == VkEscape)
        return testRunning ? Shortcut::Test : Shortcut::None;
    if (key == VkF3)
        return testRunning ? Shortcut::None : Shortcut::Test;
    if (key == VkReturn)
        return testRunning ? Shortcut::None : Shortcut::Start;
    return Shortcut::None;
}

} // namespace tonvik
