#pragma once
// A bounded memory of decoded tiles, the least recently used dropped first, for the tile
// sources: a picture drawn again should not decode its tiles again.

#include <algorithm>
#include <cstddef>
#include <list>
#include <map>
#include <utility>

#include "picture/tiles.h"

namespace kursolin {

template <typename Value>
class RecentTiles {
 public:
  explicit RecentTiles(std::size_t capacity) : capacity_(std::max<std::size_t>(1, capacity)) {}

  /// The value kept for the key, now the most recent one; nullptr when none is kept.
  Value* find(const TileKey& key) {
    const auto hit = index_.find(key);
    if (hit == index_.end()) return nullptr;
    order_.splice(order_.begin(), order_, hit->second);
    return &hit->second->second;
  }
  /// Keeps the value for the key (replacing one kept), dropping the oldest beyond the capacity.
  void put(const TileKey& key, Value value) {
    if (Value* kept = find(key)) {
      *kept = std::move(value);
      return;
    }
    order_.emplace_front(key, std::move(value));
    index_[key] = order_.begin();
    while (order_.size() > capacity_) {
      index_.erase(order_.back().first);
      order_.pop_back();
    }
  }
  std::size_t size() const { return order_.size(); }

 private:
  std::size_t capacity_;
  std::list<std::pair<TileKey, Value>> order_;  // most recent first
  std::map<TileKey, typename std::list<std::pair<TileKey, Value>>::iterator> index_;
};

}  // namespace kursolin
