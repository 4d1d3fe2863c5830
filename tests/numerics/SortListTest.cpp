#include "numerics/SortList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace veltrio {
namespace {

struct Item {
    char name;
    int key;
};

bool AtMost(const Item* a, const Item* b) {
    return a->key <= b->key;
}
bool Below(const Item* a, const Item* b) {
    return a->key < b->key;
}

std::string Order(const TSortList<Item>& list) {
    std::string s;
    for (const Item* it : list) {
        s += it->name;
    }
    return s;
}

TEST(TSortList, OrderOfEqualElementsFollowsTheExchangeRules) {
    // Traced by hand through the partition and exchange rules; reports list
    // tied rows in exactly this order.
    struct Case {
        std::vector<Item> items;
        bool strict;
        std::string expected;
    };
    const std::vector<Item> four = {{'A', 2}, {'B', 1}, {'C', 2}, {'D', 1}};
    const std::vector<Item> three = {{'A', 1}, {'B', 1}, {'C', 1}};
    for (const Case& c : {Case{four, false, "DBCA"}, Case{four, true, "DBAC"},
                          Case{three, false, "CAB"}, Case{three, true, "CBA"}}) {
        std::vector<Item> items = c.items;
        TSortList<Item> list(c.strict ? Below : AtMost);
        for (Item& it : items) {
            list.Add(&it);
        }
        list.Sort();
        EXPECT_EQ(Order(list), c.expected) << (c.strict ? "strict" : "non-strict");
    }
}

TEST(TSortList, SortsAnyInputIntoOrder) {
    std::mt19937 gen(7);
    for (bool strict : {false, true}) {
        for (int n = 0; n <= 60; ++n) {
            for (int keys : {2, 5, 1000}) {
                std::uniform_int_distribution<int> key(0, keys - 1);
                std::vector<Item> items(static_cast<std::size_t>(n));
                for (int i = 0; i < n; ++i) {
                    items[static_cast<std::size_t>(i)] = {static_cast<char>('a' + i % 26),
                                                          key(gen)};
                }
                TSortList<Item> list(strict ? Below : AtMost);
                for (Item& it : items) {
                    list.Add(&it);
                }
                list.Sort();
                ASSERT_EQ(list.Count(), n);
                for (int i = 1; i < n; ++i) {
                    ASSERT_LE(list[i - 1]->key, list[i]->key) << "n=" << n << " keys=" << keys;
                }
                // Every element exactly once.
                std::vector<const Item*> seen(list.begin(), list.end());
                std::sort(seen.begin(), seen.end());
                EXPECT_EQ(std::adjacent_find(seen.begin(), seen.end()), seen.end());
            }
        }
    }
}

TEST(TSortList, ListOperations) {
    Item a{'a', 3}, b{'b', 1}, c{'c', 2};
    TSortList<Item> list(AtMost);
    EXPECT_EQ(list.Add(&a), 0);
    EXPECT_EQ(list.Add(&b), 1);
    list.Insert(1, &c);
    EXPECT_EQ(Order(list), "acb");
    EXPECT_EQ(list.IndexOf(&b), 2);
    list.Delete(0);
    EXPECT_EQ(Order(list), "cb");
    EXPECT_EQ(list.IndexOf(&a), -1);
    EXPECT_THROW(list.Delete(2), std::out_of_range);
    EXPECT_THROW(list.Insert(3, &a), std::out_of_range);
    EXPECT_THROW(list[5], std::out_of_range);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    list.Sort();
    EXPECT_EQ(list.Count(), 0);
}

} // namespace
} // namespace veltrio
