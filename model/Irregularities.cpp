#include "model/Irregularities.h"

#include <algorithm>

void Irregularities::Add(std::string_view kind, std::string line) {
    auto found =
        std::find_if(kinds_.begin(), kinds_.end(), [&](const Kind& k) { return k.Name == kind; });
    if (found == kinds_.end()) {
        kinds_.push_back(Kind{std::string(kind), 0, {}});
        found = kinds_.end() - 1;
    }
    ++found->Count;
    if (found->Lines.size() < kLinesPerKind)
        found->Lines.push_back(std::move(line));
}

size_t Irregularities::Count() const {
    size_t count = 0;
    for (const Kind& kind : kinds_)
        count += kind.Count;
    return count;
}
