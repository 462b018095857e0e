#pragma once

#include <functional>

#include <QLineEdit>
#include <QRadioButton>

#include "controls/edit_box.h"

namespace lumora {

/// A line edit that shows an edit box model and writes the user's typing back
/// into it.
class EditBoxWidget : public QLineEdit {
    Q_OBJECT
public:
    EditBoxWidget(EditBox& box, QWidget* parent);
    EditBox& box() const { return m_box; }

private:
    void ShowModel();

    EditBox& m_box;
};

/// A radio button used as a switch over a radio button model. A click always
/// leaves it ticked (clicking a ticked one keeps it so, as a lone radio button
/// does), ticks the model and then runs onClick; the logic unticks it through
/// the model.
class RadioButtonWidget : public QRadioButton {
    Q_OBJECT
public:
    RadioButtonWidget(RadioButton& button, std::function<void()> onClick, QWidget* parent);
    RadioButton& button() const { return m_button; }

private:
    RadioButton& m_button;
};

}  // namespace lumora
