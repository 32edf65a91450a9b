#pragma once

#include <QPointF>

#include <algorithm>

#include <vector>

namespace tonvik {

// The points of a line chart thinned to what its width can show: the x range
// is cut into buckets slices, and of the points in each slice only the
// lowest and the highest are kept, in their order. The line drawn through
// them covers the same pixels as the line through every point when a slice
// is no wider than a pixel, at a fraction of the cost: a year of daily
// exercises is tens of thousands of points, and the chart's cost grows with
// every one of them. Points must come in x order; fewer than two per slice
// on average are kept as they are.
std::vector<QPointF> ThinnedLine(const std::vector<QPointF>& points, int buckets);

} // namespace tonvik
