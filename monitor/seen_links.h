#pragma once

#include <cstddef>
#include <list>
#include <unordered_map>

#include "core/text.h"

namespace lumora {

/// The links a slot has shown, newest kept: at capacity the link seen longest
/// ago is forgotten. Not thread-safe; its owner locks.
class SeenLinks {
public:
    explicit SeenLinks(std::size_t capacity = 5000) : m_capacity(capacity) {}

    /// Records link as seen now; true when it had not been seen before.
    bool Insert(const Text& link);
    bool Contains(const Text& link) const { return m_index.count(link) != 0; }
    std::size_t size() const { return m_index.size(); }

private:
    std::size_t m_capacity;
    std::list<Text> m_order;  // most recent first
    std::unordered_map<Text, std::list<Text>::iterator> m_index;
};

}  // namespace lumora
