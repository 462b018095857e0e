#pragma once

#include <memory>
#include <string>
#include <vector>

#include "controls/control.h"

namespace lumora {

/// The controls of one window, owned here and found by form name or tag.
/// Controls are added while the window is built, before any worker runs.
class Form {
public:
    template <typename T, typename... Args>
    T& Add(Args&&... args) {
        auto control = std::make_unique<T>(std::forward<Args>(args)...);
        T& added = *control;
        m_controls.push_back(std::move(control));
        return added;
    }

    /// nullptr when no control has that name or it is of another kind.
    template <typename T>
    T* Find(const std::string& name) const {
        for (const auto& control : m_controls)
            if (control->name() == name) return dynamic_cast<T*>(control.get());
        return nullptr;
    }

    /// The first control whose tag is that number.
    Control* FindControlByTag(int tag) const;

    const std::vector<std::unique_ptr<Control>>& controls() const { return m_controls; }

private:
    std::vector<std::unique_ptr<Control>> m_controls;
};

}  // namespace lumora
