#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace lumora {

/// What changed in a control, for observers that redraw only part of it.
/// row/column -1: the whole control (structure, many cells, state).
struct Change {
    int row = -1;
    int column = -1;
};

/// Observer list of one control. Observers are called on the thread that made
/// the change, with no lock of the control held; a window relays them to its
/// own thread. Safe to subscribe and notify from any thread.
class ChangeSignal {
public:
    using Observer = std::function<void(const Change&)>;

    /// Returns an id for Unsubscribe.
    int Subscribe(Observer observer);
    void Unsubscribe(int id);
    void Notify(const Change& change) const;

private:
    struct Entry {
        int id;
        std::shared_ptr<const Observer> observer;
    };
    mutable std::mutex m_mutex;
    std::vector<Entry> m_entries;
    int m_nextId = 1;
};

}  // namespace lumora
