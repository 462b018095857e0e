#include "controls/edit_box.h"

namespace lumora {

Text EditBox::ReadText() const {
    std::lock_guard lock(m_mutex);
    return m_text;
}

void EditBox::SetText(Text text) {
    {
        std::lock_guard lock(m_mutex);
        if (m_text == text) return;
        m_text = std::move(text);
    }
    changed().Notify({});
}

bool RadioButton::IsChecked() const {
    std::lock_guard lock(m_mutex);
    return m_checked;
}

void RadioButton::SetChecked(bool checked) {
    {
        std::lock_guard lock(m_mutex);
        if (m_checked == checked) return;
        m_checked = checked;
    }
    changed().Notify({});
}

}  // namespace lumora
