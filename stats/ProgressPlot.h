#pragma once

#include "journal/JournalStats.h"

#include <string>
#include <vector>

namespace tonvik {

// The size of the picture tonvik journal --plot writes, in pixels.
inline constexpr int PlotWidth = 1200;
inline constexpr int PlotHeight = 700;

// Renders the progress chart (BuildProgressChart) into a PNG file at path,
// without a display: when the program has no QApplication yet, one on Qt's
// offscreen platform is made for the rendering and dropped after it. A file
// appears whole or not at all: on any failure nothing is left at path (a
// file there before is kept as it was) and error says why, in English for the
// command line. A device or a pipe at path (/dev/stdout) is written into.
bool WriteProgressPlot(const std::vector<ProgressPoint>& points, const std::string& path,
                       std::string& error);

// The same picture as the bytes of a PNG file, for a caller that writes it
// into a stream itself.
bool ProgressPlotPng(const std::vector<ProgressPoint>& points, std::string& png,
                     std::string& error);

// The path names a device or a pipe, which the plot is written into as a
// stream (so the command's own words go elsewhere).
bool PlotGoesToStream(const std::string& path);

} // namespace tonvik
