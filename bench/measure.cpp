#include "measure.h"

#include <QStringList>

#include <algorithm>
#include <utility>
#include <vector>

namespace Bench {

namespace {
// Filled by the measures' static registrations, whatever the order of their files.
std::vector<std::pair<int, std::unique_ptr<Measure>>> &registry()
{
    static std::vector<std::pair<int, std::unique_ptr<Measure>>> measures;
    return measures;
}
} // namespace

void Measure::add(int place, std::unique_ptr<Measure> measure)
{
    auto &measures = registry();
    const auto at = std::upper_bound(measures.begin(), measures.end(), place,
                                     [](int p, const auto &entry) { return p < entry.first; });
    measures.emplace(at, place, std::move(measure));
}

QList<Measure *> Measure::all()
{
    QList<Measure *> measures;
    for (const auto &entry : registry())
        measures.append(entry.second.get());
    return measures;
}

QStringList Measure::names()
{
    QStringList names;
    for (const Measure *measure : all())
        names.append(measure->name());
    return names;
}

} // namespace Bench
