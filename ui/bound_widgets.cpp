#include "ui/bound_widgets.h"

#include "ui/change_relay.h"
#include "ui/qt_text.h"

namespace lumora {

EditBoxWidget::EditBoxWidget(EditBox& box, QWidget* parent) : QLineEdit(parent), m_box(box) {
    setObjectName(QString::fromStdString(box.name()));
    setText(ToQt(box.ReadText()));
    connect(this, &QLineEdit::textEdited, this, [this](const QString& text) { m_box.SetText(FromQt(text)); });
    new ChangeRelay(box, [this](const ChangeRelay::Pending&) { ShowModel(); }, this);
}

void EditBoxWidget::ShowModel() {
    // Compared as GBK, so a character GBK lacks does not bounce back as "?"
    // while the user is typing it.
    const Text text = m_box.ReadText();
    if (FromQt(this->text()) != text) setText(ToQt(text));
}

RadioButtonWidget::RadioButtonWidget(RadioButton& button, std::function<void()> onClick, QWidget* parent)
    : QRadioButton(ToQt(button.caption()), parent), m_button(button) {
    setObjectName(QString::fromStdString(button.name()));
    setAutoExclusive(false);
    setChecked(button.IsChecked());
    connect(this, &QAbstractButton::clicked, this, [this, onClick = std::move(onClick)] {
        setChecked(true);
        m_button.SetChecked(true);
        if (onClick) onClick();
    });
    new ChangeRelay(button, [this](const ChangeRelay::Pending&) { setChecked(m_button.IsChecked()); }, this);
}

}  // namespace lumora
