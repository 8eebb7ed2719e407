// Pairs the records of an old and a new list by a key, as the diffs of catalogs and projects
// report them: in the new list's order, then what only the old list has, in its order.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

namespace norvane {

struct Paired {
    std::optional<size_t> before;  // position in the old list; none: only the new one has it
    std::optional<size_t> after;   // position in the new list; none: only the old one has it
};

// The n-th record of the new list with a key is paired with the n-th of the old list with the
// same key, so that records a list holds twice are neither lost nor paired twice.
template <class Record, class KeyOf>
std::vector<Paired> PairByKey(const std::vector<Record>& before, const std::vector<Record>& after,
                              KeyOf keyOf) {
    using Key = std::decay_t<decltype(keyOf(std::declval<const Record&>()))>;
    std::map<Key, std::vector<size_t>> positions;
    for (size_t i = 0; i < before.size(); ++i) {
        positions[keyOf(before[i])].push_back(i);
    }
    std::map<Key, size_t> taken;
    std::vector<bool> pairedBefore(before.size(), false);
    std::vector<Paired> pairs;
    for (size_t j = 0; j < after.size(); ++j) {
        const Key key = keyOf(after[j]);
        size_t& next = taken[key];
        Paired pair{std::nullopt, j};
        const auto found = positions.find(key);
        if (found != positions.end() && next < found->second.size()) {
            pair.before = found->second[next++];
            pairedBefore[*pair.before] = true;
        }
        pairs.push_back(pair);
    }
    for (size_t i = 0; i < before.size(); ++i) {
        if (!pairedBefore[i]) {
            pairs.push_back({i, std::nullopt});
        }
    }
    return pairs;
}

}  // namespace norvane
