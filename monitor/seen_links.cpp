#include "monitor/seen_links.h"

namespace lumora {

bool SeenLinks::Insert(const Text& link) {
    if (auto it = m_index.find(link); it != m_index.end()) {
        m_order.splice(m_order.begin(), m_order, it->second);
        return false;
    }
    m_order.push_front(link);
    m_index.emplace(link, m_order.begin());
    while (m_index.size() > m_capacity && !m_order.empty()) {
        m_index.erase(m_order.back());
        m_order.pop_back();
    }
    return true;
}

}  // namespace lumora
