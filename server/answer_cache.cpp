#include "server/answer_cache.h"

#include "offer/table_row.h"

namespace server {

AnswerCache::AnswerCache(std::size_t maxEntries, std::size_t maxBytes)
    : maxEntries_(maxEntries), maxBytes_(maxBytes) {}

std::string AnswerCache::key(char endpoint, const offer::TableRow& row) {
    std::string out(1, endpoint);
    for (const std::optional<std::string>& box : row.boxes) {
        if (!box) {
            out += '-';
            continue;
        }
        // The length first: no text can be mistaken for another text and what follows it.
        out += std::to_string(box->size());
        out += ':';
        out += *box;
    }
    out += '|';
    out += std::to_string(row.insurance);
    out += row.cash ? 'N' : 'D';
    return out;
}

std::optional<std::string> AnswerCache::find(const std::string& key) {
    const std::lock_guard lock(mutex_);
    const auto found = entries_.find(key);
    if (found == entries_.end()) {
        return std::nullopt;
    }
    order_.splice(order_.begin(), order_, found->second.place);
    return found->second.answer;
}

void AnswerCache::store(const std::string& key, const std::string& answer) {
    const std::size_t cost = key.size() + answer.size();
    if (maxEntries_ == 0 || cost > maxBytes_) {
        return;
    }
    const std::lock_guard lock(mutex_);
    if (entries_.contains(key)) {
        return; // another thread computed the same answer meanwhile
    }
    while (!order_.empty() && (entries_.size() >= maxEntries_ || bytes_ + cost > maxBytes_)) {
        dropOldest();
    }
    order_.push_front(key);
    entries_.emplace(key, Entry{answer, order_.begin()});
    bytes_ += cost;
}

void AnswerCache::dropOldest() {
    const std::string& oldest = order_.back();
    const auto found = entries_.find(oldest);
    bytes_ -= oldest.size() + found->second.answer.size();
    entries_.erase(found);
    order_.pop_back();
}

std::size_t AnswerCache::size() const {
    const std::lock_guard lock(mutex_);
    return entries_.size();
}

} // namespace server
