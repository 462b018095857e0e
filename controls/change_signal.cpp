#include "controls/change_signal.h"

#include <algorithm>

namespace lumora {

int ChangeSignal::Subscribe(Observer observer) {
    std::lock_guard lock(m_mutex);
    int id = m_nextId++;
    m_entries.push_back({id, std::make_shared<const Observer>(std::move(observer))});
    return id;
}

void ChangeSignal::Unsubscribe(int id) {
    std::lock_guard lock(m_mutex);
    std::erase_if(m_entries, [id](const Entry& entry) { return entry.id == id; });
}

void ChangeSignal::Notify(const Change& change) const {
    std::vector<std::shared_ptr<const Observer>> observers;
    {
        std::lock_guard lock(m_mutex);
        observers.reserve(m_entries.size());
        for (const auto& entry : m_entries) observers.push_back(entry.observer);
    }
    for (const auto& observer : observers) (*observer)(change);
}

}  // namespace lumora
