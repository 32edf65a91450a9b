#include "stats/ChartPoints.h"

namespace tonvik {

std::vector<QPointF> ThinnedLine(const std::vector<QPointF>& points, int buckets) {
    if (buckets <= 0 || points.size() <= 2 * static_cast<size_t>(buckets))
        return points;
    const double first = points.front().x();
    const double width = (points.back().x() - first) / buckets;
    std::vector<QPointF> kept;
    kept.reserve(2 * static_cast<size_t>(buckets) + 1);
    size_t start = 0;
    while (start < points.size()) {
        // The slice of points[start]; the last slice also takes the end point.
        const long slice =
            width > 0 ? std::min<long>(static_cast<long>((points[start].x() - first) / width),
                                       buckets - 1)
                      : 0;
        const double end = first + width * static_cast<double>(slice + 1);
        size_t low = start, high = start, next = start + 1;
        for (; next < points.size() && (points[next].x() < end || slice == buckets - 1); ++next) {
            if (points[next].y() < points[low].y())
                low = next;
            if (points[next].y() > points[high].y())
                high = next;
        }
        kept.push_back(points[std::min(low, high)]);
        if (low != high)
            kept.push_back(points[std::max(low, high)]);
        start = next;
    }
    return kept;
}

} // namespace tonvik
