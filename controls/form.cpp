#include "controls/form.h"

namespace lumora {

Control* Form::FindControlByTag(int tag) const {
    for (const auto& control : m_controls)
        if (control->tag() == tag) return control.get();
    return nullptr;
}

}  // namespace lumora
