#pragma once

#include <mutex>

#include "controls/control.h"
#include "core/text.h"

namespace lumora {

/// An edit box. Any thread may read it (monitor workers read their address and
/// interval boxes); the window's thread writes it.
class EditBox : public Control {
public:
    EditBox(std::string name, Text initial = {}, int tag = 0) : Control(std::move(name), tag), m_text(std::move(initial)) {}

    Text ReadText() const;
    void SetText(Text text);

private:
    mutable std::mutex m_mutex;
    Text m_text;
};

/// A radio button used as an on/off switch.
class RadioButton : public Control {
public:
    RadioButton(std::string name, Text caption, int tag = 0) : Control(std::move(name), tag), m_caption(std::move(caption)) {}

    const Text& caption() const { return m_caption; }
    bool IsChecked() const;
    void SetChecked(bool checked);

private:
    Text m_caption;
    mutable std::mutex m_mutex;
    bool m_checked = false;
};

}  // namespace lumora
