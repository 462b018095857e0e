#include "ui/change_relay.h"

#include <algorithm>
#include <mutex>

#include <QThread>

namespace lumora {

// Shared with the observer, which a worker may still be running when the relay
// goes: receiver is cleared under the lock, and a cleared receiver posts nothing.
struct ChangeRelay::State {
    std::mutex mutex;
    QObject* receiver = nullptr;
    QThread* thread = nullptr;
    bool posted = false;
    Pending pending;
    Apply apply;
};

void ChangeRelay::Pending::Merge(const Change& change) {
    if (change.row < 0) {
        whole = true;
        return;
    }
    firstRow = std::min(firstRow, change.row);
    lastRow = std::max(lastRow, change.row);
}

ChangeRelay::ChangeRelay(Control& control, Apply apply, QObject* parent)
    : QObject(parent), m_control(control), m_state(std::make_shared<State>()) {
    m_state->receiver = this;
    m_state->thread = thread();
    m_state->apply = std::move(apply);
    m_subscription = control.changed().Subscribe([state = m_state](const Change& change) {
        std::unique_lock lock(state->mutex);
        if (!state->receiver) return;
        state->pending.Merge(change);
        if (QThread::currentThread() == state->thread) {
            Pending now = std::exchange(state->pending, Pending{});
            lock.unlock();
            state->apply(now);
            return;
        }
        if (state->posted) return;
        state->posted = true;
        QMetaObject::invokeMethod(state->receiver, [state] { Drain(state); }, Qt::QueuedConnection);
    });
}

ChangeRelay::~ChangeRelay() {
    {
        std::lock_guard lock(m_state->mutex);
        m_state->receiver = nullptr;
    }
    m_control.changed().Unsubscribe(m_subscription);
}

void ChangeRelay::Drain(const std::shared_ptr<State>& state) {
    Pending now;
    {
        std::lock_guard lock(state->mutex);
        if (!state->receiver) return;
        state->posted = false;
        now = std::exchange(state->pending, Pending{});
    }
    if (now.whole || now.lastRow >= 0) state->apply(now);
}

}  // namespace lumora
