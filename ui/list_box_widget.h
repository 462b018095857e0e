#pragma once

#include <QListWidget>

#include "controls/list_view.h"

namespace lumora {

/// A list box model drawn unsorted, several items selectable at once (Shift
/// and Ctrl extend the selection); the user's selection goes back into the model.
class ListBoxWidget : public QListWidget {
    Q_OBJECT
public:
    ListBoxWidget(ListBox& box, QWidget* parent);
    ListBox& box() const { return m_box; }

    /// Holds the redraw while many items are added or deleted; the last
    /// EndBatch draws the model once.
    void BeginBatch() { ++m_batch; }
    void EndBatch();

private:
    void ShowModel();
    void Apply(int firstRow, int lastRow, bool whole);

    ListBox& m_box;
    int m_batch = 0;
};

}  // namespace lumora
