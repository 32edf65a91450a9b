#pragma once

namespace tonvik {

// Virtual-key codes that the key handlers test.
inline constexpr int VkReturn = 13;
inline constexpr int VkEscape = 27;
inline constexpr int VkF3 = 114;
inline constexpr int VkF6 = 117;

// What Esc, F3 and Enter do in the own-callsign field, the track bars and
// the results grid. Only whether the test runs decides; the page and an
// exercise under way do not.
enum class Shortcut { None, Test, Start };

// The tests are made in the order Esc, F3, Enter, so one key does at most one thing.
Shortcut ShortcutOf(int key, bool testRunning);

} // namespace tonvik
