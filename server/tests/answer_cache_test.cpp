// The cache of answers: a form is never answered with another form's answer, and it stays within
// its bounds.

#include "offer/table_row.h"
#include "server/answer_cache.h"
#include "server/service.h"
#include "tariff/tariff.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

offer::TableRow rowOf(std::initializer_list<std::optional<std::string>> boxes, int insurance = -1,
                      bool cash = false) {
    offer::TableRow row;
    std::size_t i = 0;
    for (const auto& box : boxes) {
        row.boxes.at(i++) = box;
    }
    row.insurance = insurance;
    row.cash = cash;
    return row;
}

TEST(AnswerCache, FormsThatDifferAnywhereHaveDifferentKeys) {
    const std::vector<offer::TableRow> rows = {
        rowOf({}),
        rowOf({""}),        // an empty box is not an absent one
        rowOf({"1", "23"}), // the texts' bounds matter: "1","23" is not "12","3"
        rowOf({"12", "3"}),
        rowOf({"1:2"}),
        rowOf({"1", "2"}, 0),       // the insurance position
        rowOf({"1", "2"}, 0, true), // the payment method
    };
    std::vector<std::string> keys;
    keys.reserve(rows.size() + 1);
    for (const offer::TableRow& row : rows) {
        keys.push_back(server::AnswerCache::key('S', row));
    }
    keys.push_back(server::AnswerCache::key('V', rows.front())); // the endpoint
    for (std::size_t i = 0; i < keys.size(); ++i) {
        for (std::size_t j = i + 1; j < keys.size(); ++j) {
            EXPECT_NE(keys[i], keys[j]) << i << " and " << j;
        }
    }
}

TEST(AnswerCache, DropsTheLeastRecentlyUsedWithinItsBounds) {
    server::AnswerCache cache(2, 1000);
    cache.store("a", "1");
    cache.store("b", "2");
    ASSERT_TRUE(cache.find("a")); // "b" is now the oldest
    cache.store("c", "3");
    EXPECT_EQ(cache.size(), 2u);
    EXPECT_FALSE(cache.find("b"));
    EXPECT_EQ(cache.find("a"), "1");
    EXPECT_EQ(cache.find("c"), "3");

    cache.store("big", std::string(2000, 'x')); // larger than the whole cache: not kept
    EXPECT_FALSE(cache.find("big"));
    cache.store("d", std::string(998, 'x')); // fits only once the others are gone
    EXPECT_EQ(cache.size(), 1u);
    EXPECT_TRUE(cache.find("d"));
}

// A key stored twice keeps its first answer and is counted once; a cache of no entries is off.
TEST(AnswerCache, SecondStoreOfAKeyAndNoEntries) {
    server::AnswerCache cache(3, 1000);
    cache.store("a", "1");
    cache.store("a", "2"); // another thread's answer to the same form
    EXPECT_EQ(cache.find("a"), "1");
    EXPECT_EQ(cache.size(), 1u);
    cache.store("b", std::string(997, 'x')); // 2 + 998 bytes: just within the bound
    EXPECT_EQ(cache.size(), 2u);
    EXPECT_EQ(cache.find("a"), "1");

    server::AnswerCache off(0, 1000);
    off.store("a", "1");
    EXPECT_EQ(off.size(), 0u);
    EXPECT_FALSE(off.find("a"));
}

// The same form asked by many threads at once, among others: each gets its own form's answer.
TEST(AnswerCache, ServiceAnswersEachFormWithItsOwnAnswerFromManyThreads) {
    const server::Service service(tariff::builtIn(), {});
    const std::vector<std::string> bodies = {
        R"({"tbvp":"3500","tbavans":"500","tbdurcred":"24"})",
        R"({"tbvp":"3500","tbavans":"500","tbdurcred":"36"})",
        R"({"tbvp":"3500","tbavans":"500","tbdurcred":"24","plata":"Numerar"})",
    };
    std::vector<std::string> first;
    first.reserve(bodies.size());
    for (const std::string& body : bodies) {
        first.push_back(service.handle({"POST", "/v1/simulare", body, "", ""}).body);
    }
    EXPECT_NE(first[0], first[1]);
    EXPECT_NE(first[0], first[2]);
    std::vector<std::thread> threads;
    threads.reserve(4);
    std::vector<int> wrong(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 60; ++i) {
                const std::size_t b = static_cast<std::size_t>(i + t) % bodies.size();
                if (service.handle({"POST", "/v1/simulare", bodies[b], "", ""}).body != first[b]) {
                    ++wrong[static_cast<std::size_t>(t)];
                }
            }
        });
    }
    for (std::thread& t : threads) {
        t.join();
    }
    EXPECT_EQ(wrong, std::vector<int>(4, 0));
}

} // namespace
