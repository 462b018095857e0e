#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace lumora::test {

/// Holds server handlers (a stalled response, a half-sent body) until the test
/// lets go, and tells the test when a handler has arrived. Opens by itself when
/// destroyed; handlers keep the shared state alive, so a late one is safe.
/// Declare it after the server so that it opens before the server stops.
class HandlerGate {
public:
    HandlerGate() : m_state(std::make_shared<State>()) {}
    ~HandlerGate() { Open(); }
    HandlerGate(const HandlerGate&) = delete;
    HandlerGate& operator=(const HandlerGate&) = delete;

    /// Lets every waiting and later handler through.
    void Open() {
        {
            std::lock_guard lock(m_state->mutex);
            m_state->open = true;
        }
        m_state->changed.notify_all();
    }

    /// For the test: waits until `count` handlers have reached the gate.
    bool WaitForArrivals(int count, std::chrono::milliseconds deadline = std::chrono::seconds(5)) const {
        std::unique_lock lock(m_state->mutex);
        return m_state->changed.wait_for(lock, deadline, [&] { return m_state->arrivals >= count; });
    }

    /// For handlers: call it to wait at the gate until it opens or the deadline passes.
    auto Waiter(std::chrono::milliseconds deadline = std::chrono::seconds(10)) const {
        return [state = m_state, deadline] {
            std::unique_lock lock(state->mutex);
            ++state->arrivals;
            state->changed.notify_all();
            return state->changed.wait_for(lock, deadline, [&] { return state->open; });
        };
    }

private:
    struct State {
        std::mutex mutex;
        std::condition_variable changed;
        bool open = false;
        int arrivals = 0;
    };
    std::shared_ptr<State> m_state;
};

}  // namespace lumora::test
