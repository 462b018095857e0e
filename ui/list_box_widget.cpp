#include "ui/list_box_widget.h"

#include <QSignalBlocker>

#include "ui/change_relay.h"
#include "ui/qt_text.h"

namespace lumora {

ListBoxWidget::ListBoxWidget(ListBox& box, QWidget* parent) : QListWidget(parent), m_box(box) {
    setObjectName(QString::fromStdString(box.name()));
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSortingEnabled(false);
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemSelectionChanged, this, [this] {
        for (int i = 0; i < count(); ++i) m_box.SetSelected(i, item(i)->isSelected());
    });
    new ChangeRelay(
        box, [this](const ChangeRelay::Pending& pending) { Apply(pending.firstRow, pending.lastRow, pending.whole); },
        this);
    ShowModel();
}

void ListBoxWidget::EndBatch() {
    if (m_batch > 0 && --m_batch == 0) ShowModel();
}

void ListBoxWidget::Apply(int firstRow, int lastRow, bool whole) {
    if (m_batch > 0) return;
    // Appends (the common case) add their items; anything else redraws all.
    if (whole || firstRow != count() || lastRow != m_box.Count() - 1) {
        ShowModel();
        return;
    }
    const QSignalBlocker quiet(this);
    for (int i = firstRow; i <= lastRow; ++i) {
        auto* entry = new QListWidgetItem(OneLine(ToQt(m_box.ItemText(i))), this);
        entry->setToolTip(ToQt(m_box.ItemText(i)));
    }
}

void ListBoxWidget::ShowModel() {
    const QSignalBlocker quiet(this);
    clear();
    const int items = m_box.Count();
    for (int i = 0; i < items; ++i) {
        auto* entry = new QListWidgetItem(OneLine(ToQt(m_box.ItemText(i))), this);
        entry->setToolTip(ToQt(m_box.ItemText(i)));
    }
    for (int index : m_box.SelectedIndexes())
        if (QListWidgetItem* entry = item(index)) entry->setSelected(true);
}

}  // namespace lumora
