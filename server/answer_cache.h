#pragma once

#include <cstddef>
#include <list>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

// Declared only: the HTTP layer includes this header, and the simulation's own namespaces must
// stay out of its translation unit (one of them shares a name the networking library looks up).
namespace offer {
struct TableRow;
}

namespace server {

// The answers most recently computed, by the form that asked for them. An answer depends only on
// the form and the tariff (fixed for the service's life), so a product page asked for again and
// again, or a shopper's repeated click, is answered without simulating anew; a form seen once
// costs one lookup. Bounded in entries and bytes, the least recently used dropped first. Safe to
// use from any number of threads.
class AnswerCache {
public:
    // 4096 answers of some 7 KB each: a shop's whole catalogue of prices, about 30 MB at most.
    explicit AnswerCache(std::size_t maxEntries = 4096, std::size_t maxBytes = 32u << 20);

    // The key of a form for one endpoint: every text as typed (an absent box differs from an empty
    // one), the insurance position and the payment method.
    static std::string key(char endpoint, const offer::TableRow& row);

    std::optional<std::string> find(const std::string& key);
    void store(const std::string& key, const std::string& answer);

    std::size_t size() const;

private:
    using Order = std::list<std::string>; // keys, most recently used first
    struct Entry {
        std::string answer;
        Order::iterator place;
    };

    void dropOldest();

    const std::size_t maxEntries_;
    const std::size_t maxBytes_;
    mutable std::mutex mutex_;
    Order order_;
    std::unordered_map<std::string, Entry> entries_;
    std::size_t bytes_ = 0;
};

} // namespace server
