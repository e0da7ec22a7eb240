#include "model/Irregularities.h"

#include <algorithm>

Irregularities::Kind& Irregularities::Find(std::string_view kind) {
    auto found =
        std::find_if(kinds_.begin(), kinds_.end(), [&](const Kind& k) { return k.Name == kind; });
    if (found != kinds_.end())
        return *found;
    return kinds_.emplace_back(Kind{std::string(kind), 0, {}});
}

void Irregularities::Add(std::string_view kind, std::string line) {
    Kind& found = Find(kind);
    ++found.Count;
    if (found.Lines.size() < kLinesPerKind)
        found.Lines.push_back(std::move(line));
}

bool Irregularities::CountIfFull(std::string_view kind) {
    Kind& found = Find(kind);
    if (found.Lines.size() < kLinesPerKind)
        return false;
    ++found.Count;
    return true;
}

size_t Irregularities::Count() const {
    size_t count = 0;
    for (const Kind& kind : kinds_)
        count += kind.Count;
    return count;
}
