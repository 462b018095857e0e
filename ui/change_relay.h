#pragma once

#include <climits>
#include <functional>
#include <memory>

#include <QObject>

#include "controls/control.h"

namespace lumora {

/// Carries a control model's change notices to the window's thread. A notice
/// made on the window's thread is applied at once; notices from other threads
/// (the monitor workers) are gathered and applied by one queued call, so a
/// burst of grid writes costs one repaint. Lives on the window's thread, as a
/// child of the widget it serves; once it is gone no notice reaches apply.
class ChangeRelay : public QObject {
    Q_OBJECT
public:
    /// What changed since the last apply.
    struct Pending {
        bool whole = false;     // the structure or many cells: redraw everything
        int firstRow = INT_MAX; // otherwise rows firstRow to lastRow (model rows)
        int lastRow = -1;
        void Merge(const Change& change);
    };
    using Apply = std::function<void(const Pending&)>;

    ChangeRelay(Control& control, Apply apply, QObject* parent);
    ~ChangeRelay() override;

private:
    struct State;
    static void Drain(const std::shared_ptr<State>& state);

    Control& m_control;
    std::shared_ptr<State> m_state;
    int m_subscription;
};

}  // namespace lumora
