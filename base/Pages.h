#pragma once

namespace tonvik {

// Pages of the main window. The active page selects the mode: the keyer's
// spacing, the pump's pause after a callsign and what Start builds.
inline constexpr int CallsignPage = 0;
inline constexpr int HiddenPage = 1; // a page no mode uses; its tab stays hidden
inline constexpr int TextPage = 2;
inline constexpr int CoursePageIndex = 3; // Koch lessons; no exercise mode of its own

} // namespace tonvik
