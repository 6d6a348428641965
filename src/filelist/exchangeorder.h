#pragma once
#include <algorithm>
#include <utility>
#include <vector>

// The order in which the list's exchange sort leaves n keys, computed in
// O(n log n). The exchange sort: for i from 0 to n-2, for j from i+1 to
// n-1, swap the keys at i and j when the one at i is greater. Equal keys are
// never swapped, yet they do not keep their input order, and users see that
// order, so it is reproduced here exactly.
//
// ranks[k] is the key of input position k reduced to 0..rankCount-1 (equal
// keys, equal ranks; a descending sort passes reversed ranks). The result
// lists input positions from the first row to the last; it is empty when a
// rank is out of range.
std::vector<int> ExchangeSortOrder(const std::vector<int> &ranks, int rankCount);

// Dense ranks 0, 1, 2, ... of keys in ascending order, equal keys sharing a
// rank; returns the number of distinct keys. Keys are compared only while
// sorting them once, never per exchange step.
template<typename Key, typename Less = std::less<Key>>
int DenseRanks(const std::vector<Key> &keys, std::vector<int> &ranks, Less less = Less())
{
    // Key and position side by side, so the sort does not chase indexes.
    std::vector<std::pair<Key, int>> byKey;
    byKey.reserve(keys.size());
    for (size_t k = 0; k < keys.size(); ++k)
        byKey.emplace_back(keys[k], int(k));
    std::sort(byKey.begin(), byKey.end(),
              [&](const std::pair<Key, int> &a, const std::pair<Key, int> &b) { return less(a.first, b.first); });
    ranks.assign(keys.size(), 0);
    int rank = -1;
    for (size_t k = 0; k < byKey.size(); ++k) {
        if (k == 0 || less(byKey[k - 1].first, byKey[k].first))
            ++rank;
        ranks[size_t(byKey[k].second)] = rank;
    }
    return rank + 1;
}
