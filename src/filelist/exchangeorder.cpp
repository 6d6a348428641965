#include "exchangeorder.h"

namespace {

// Fenwick tree of counts over the slots 0..size-1.
class CountTree {
public:
    explicit CountTree(int size, bool allOnes = false)
        : m_tree(size_t(size) + 1, 0)
    {
        if (allOnes) {
            for (int i = 1; i <= size; ++i)
                m_tree[size_t(i)] = i & -i;
        }
    }

    void add(int slot, int delta)
    {
        for (int i = slot + 1; i < int(m_tree.size()); i += i & -i)
            m_tree[size_t(i)] += delta;
    }

    // Sum of the counts of the slots before `slot`.
    int countBelow(int slot) const
    {
        int sum = 0;
        for (int i = slot; i > 0; i -= i & -i)
            sum += m_tree[size_t(i)];
        return sum;
    }

    // The slot holding the (nth + 1)-th unit when every count is 0 or 1.
    int findNth(int nth) const
    {
        const int size = int(m_tree.size()) - 1;
        int step = 1;
        while (step * 2 <= size)
            step *= 2;
        int pos = 0;
        for (; step > 0; step /= 2) {
            if (pos + step <= size && m_tree[size_t(pos + step)] <= nth) {
                pos += step;
                nth -= m_tree[size_t(pos)];
            }
        }
        return pos;
    }

private:
    std::vector<int> m_tree;
};

// Orders one class of equal keys. Followed through the exchange sort, the
// class behaves like a queue: each member joins at the back, and every
// smaller key met between two members (or after the last one, up to the
// class's final place) turns the queue by one step. The queue is kept as a
// ring with a moving head: a new member goes in just before the head. Only
// the insertion places are recorded while walking; the ring is then laid out
// backwards, each member taking its place among the still free slots.
void placeClass(const int *members, int size, const std::vector<int> &smallerBefore,
                int smallerInAll, int *out, std::vector<int> &insertAt)
{
    insertAt.assign(size_t(size), 0);
    int head = 0;
    bool turned = false;
    for (int j = 1; j < size; ++j) {
        const int turn = (smallerBefore[size_t(members[j])] - smallerBefore[size_t(members[j - 1])]) % j;
        turned = turned || turn != 0;
        head = (head + turn) % j;
        insertAt[size_t(j)] = head;
        ++head;
    }
    const int lastTurn = (smallerInAll - smallerBefore[size_t(members[size - 1])]) % size;
    turned = turned || lastTurn != 0;
    if (!turned) {
        std::copy(members, members + size, out);
        return;
    }
    head = (head + lastTurn) % size;

    CountTree freeSlots(size, true);
    for (int j = size - 1; j >= 0; --j) {
        const int slot = freeSlots.findNth(insertAt[size_t(j)]);
        freeSlots.add(slot, -1);
        out[(slot - head + size) % size] = members[j];
    }
}

} // namespace

std::vector<int> ExchangeSortOrder(const std::vector<int> &ranks, int rankCount)
{
    const int n = int(ranks.size());
    std::vector<int> order;
    for (int rank : ranks) {
        if (rank < 0 || rank >= rankCount)
            return order;
    }

    // Where each class of equal keys starts (the number of smaller keys),
    // and its members in input order.
    std::vector<int> start(size_t(rankCount) + 1, 0);
    for (int rank : ranks)
        ++start[size_t(rank) + 1];
    for (int v = 0; v < rankCount; ++v)
        start[size_t(v) + 1] += start[size_t(v)];
    std::vector<int> members(size_t(n), 0);
    {
        std::vector<int> next(start.begin(), start.end() - 1);
        for (int k = 0; k < n; ++k)
            members[size_t(next[size_t(ranks[size_t(k)])]++)] = k;
    }

    // Entries with a smaller key before each position.
    std::vector<int> smallerBefore(size_t(n), 0);
    CountTree seen(rankCount);
    for (int k = 0; k < n; ++k) {
        smallerBefore[size_t(k)] = seen.countBelow(ranks[size_t(k)]);
        seen.add(ranks[size_t(k)], 1);
    }

    order.assign(size_t(n), 0);
    std::vector<int> scratch;
    for (int v = 0; v < rankCount; ++v) {
        const int first = start[size_t(v)];
        const int size = start[size_t(v) + 1] - first;
        if (size > 0)
            placeClass(&members[size_t(first)], size, smallerBefore, first, &order[size_t(first)], scratch);
    }
    return order;
}
