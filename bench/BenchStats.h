#pragma once

#include <QList>

#include <algorithm>
#include <chrono>
#include <functional>

namespace BenchStats {

inline double median(QList<double> values)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const qsizetype mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

inline double msSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

inline double timeMs(const std::function<void()> &work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return msSince(start);
}

// One warm-up of each side, then runs rounds alternating which side goes
// first; returns the medians (ms) of both sides.
struct Pair {
    double a = 0;
    double b = 0;
    double ratio() const { return b > 0 ? a / b : 0; }
};

inline Pair compare(int runs, const std::function<double()> &a, const std::function<double()> &b)
{
    a();
    b();
    QList<double> as, bs;
    for (int i = 0; i < runs; ++i) {
        if (i % 2 == 0) {
            as.append(a());
            bs.append(b());
        } else {
            bs.append(b());
            as.append(a());
        }
    }
    return {median(as), median(bs)};
}

inline double single(int runs, const std::function<double()> &a)
{
    a();
    QList<double> as;
    for (int i = 0; i < runs; ++i)
        as.append(a());
    return median(as);
}

}  // namespace BenchStats
