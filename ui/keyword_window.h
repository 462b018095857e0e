#pragma once

#include <QWidget>

#include "controls/edit_box.h"
#include "controls/form.h"
#include "controls/list_view.h"

class QPushButton;

namespace lumora {

class EditBoxWidget;
class KeywordStore;
class ListBoxWidget;

/// "关键词设置工具": the keywords on offer on the left, those in force on the
/// right. Each opening fills both lists from the store's two texts; "确定"
/// stores them back whole and closes; the close button drops the changes.
/// Owned by the main window, not modal; deletes itself when closed.
class KeywordWindow : public QWidget {
    Q_OBJECT
public:
    KeywordWindow(KeywordStore& store, QWidget* owner);
    ~KeywordWindow() override;

    Form& form() { return m_form; }

    /// "》" and a double-click on the left list.
    void MoveIntoForce();
    /// "《" and a double-click on the right list.
    void MoveBackOnOffer();
    /// "自定义关键字》".
    void AddTypedKeyword();
    /// "确定".
    void Accept();

private:
    void Move(ListBoxWidget& from, ListBoxWidget& to);

    KeywordStore& m_store;
    Form m_form;
    ListBox& m_offered;
    ListBox& m_inForce;
    EditBox& m_typed;
    ListBoxWidget* m_offeredView;
    ListBoxWidget* m_inForceView;
};

}  // namespace lumora
