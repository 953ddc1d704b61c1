#include "LocationsAhead.h"

#include <iterator>
#include <utility>

namespace {

void Append(TLocList& from, std::size_t count, TLocList& to)
{
    if (to.empty() && count == from.size()) {
        to = std::move(from);
    } else {
        const auto end = from.begin() + static_cast<std::ptrdiff_t>(count);
        to.insert(to.end(), std::make_move_iterator(from.begin()), std::make_move_iterator(end));
    }
    from = TLocList();
}

} // namespace

TLocationsAhead LoadLocationsAhead(const std::string& fileName)
{
    TLocationsAhead ahead;
    const TLocationWindow recorder{[&ahead](const std::string& name) {
                                       ahead.LastName = name;
                                       ++ahead.NameCount;
                                   },
                                   [&ahead] { ahead.Closed = true; }};
    try {
        LoadLocations(fileName, ahead.List, recorder);
    } catch (...) {
        ahead.Error = std::current_exception();
    }
    return ahead;
}

void TakeLocations(TLocationsAhead& ahead, TLocList& list, const TLocationWindow& window)
{
    for (std::size_t k = 0; k < ahead.NameCount; ++k) {
        try {
            window.AddName(k < ahead.List.size() ? ahead.List[k].Name : ahead.LastName);
        } catch (...) {
            Append(ahead.List, k, list);
            throw;
        }
    }
    Append(ahead.List, ahead.List.size(), list);
    if (ahead.Closed)
        window.CloseWindow();
    if (ahead.Error)
        std::rethrow_exception(std::exchange(ahead.Error, nullptr));
}
