#pragma once

#include <string>

#include "controls/change_signal.h"

namespace lumora {

/// A control of a window, named by its form name (UTF-8, e.g. "编辑框1"),
/// with an optional numeric tag. The window draws it; the logic reads and
/// writes it only through the model.
class Control {
public:
    Control(std::string name, int tag) : m_name(std::move(name)), m_tag(tag) {}
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return m_name; }
    int tag() const { return m_tag; }
    ChangeSignal& changed() { return m_changed; }

private:
    std::string m_name;
    int m_tag;
    ChangeSignal m_changed;
};

}  // namespace lumora
