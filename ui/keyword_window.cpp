#include "ui/keyword_window.h"

#include <QPushButton>

#include "controls/toolkit.h"
#include "core/text_ops.h"
#include "ui/bound_widgets.h"
#include "ui/keyword_store.h"
#include "ui/list_box_widget.h"
#include "ui/qt_text.h"

namespace lumora {
namespace {

constexpr int kWidth = 384;
constexpr int kHeight = 333;

Text JoinedWithCrLf(const ListBox& box) {
    Text text;
    const int count = ListBoxCount(box);
    for (int i = 0; i < count; ++i) text += ListBoxItemText(box, i) + "\r\n";
    return text;
}

void AddPieces(ListBoxWidget& view, const Text& text) {
    view.BeginBatch();
    for (Text& piece : Split(text, "\r\n")) ListBoxAdd(view.box(), std::move(piece));
    view.EndBatch();
}

QPushButton* MakeButton(const char* name, const char* caption, QRect place, QWidget* parent) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromUtf8(name));
    button->setGeometry(place);
    return button;
}

}  // namespace

KeywordWindow::KeywordWindow(KeywordStore& store, QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_store(store),
      m_offered(m_form.Add<ListBox>("列表框1")),
      m_inForce(m_form.Add<ListBox>("列表框2")),
      m_typed(m_form.Add<EditBox>("编辑框3")) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("关键词设置工具"));
    setFixedSize(kWidth, kHeight);

    m_offeredView = new ListBoxWidget(m_offered, this);
    m_offeredView->setGeometry(8, 8, 112, 280);
    m_inForceView = new ListBoxWidget(m_inForce, this);
    m_inForceView->setGeometry(256, 8, 112, 280);
    auto* typed = new EditBoxWidget(m_typed, this);
    typed->setGeometry(128, 120, 120, 32);

    connect(MakeButton("按钮1", "》", {174, 16, 32, 32}, this), &QPushButton::clicked, this,
            &KeywordWindow::MoveIntoForce);
    connect(MakeButton("按钮2", "《", {174, 64, 32, 32}, this), &QPushButton::clicked, this,
            &KeywordWindow::MoveBackOnOffer);
    connect(MakeButton("按钮3", "自定义关键字》", {136, 168, 104, 32}, this), &QPushButton::clicked, this,
            &KeywordWindow::AddTypedKeyword);
    connect(MakeButton("按钮4", "确定", {168, 248, 48, 32}, this), &QPushButton::clicked, this,
            &KeywordWindow::Accept);
    connect(m_offeredView, &QListWidget::itemDoubleClicked, this, &KeywordWindow::MoveIntoForce);
    connect(m_inForceView, &QListWidget::itemDoubleClicked, this, &KeywordWindow::MoveBackOnOffer);

    AddPieces(*m_offeredView, m_store.AvailableKeywords());
    AddPieces(*m_inForceView, m_store.KeywordText());
}

KeywordWindow::~KeywordWindow() {
    // The widgets draw models of m_form: they go first.
    const QObjectList children = this->children();
    qDeleteAll(children);
}

void KeywordWindow::Move(ListBoxWidget& from, ListBoxWidget& to) {
    const std::vector<int> selected = ListBoxSelectedIndexes(from.box());
    if (selected.empty()) return;
    from.BeginBatch();
    to.BeginBatch();
    for (int index : selected) ListBoxAdd(to.box(), ListBoxItemText(from.box(), index));
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) ListBoxDelete(from.box(), *it);
    to.EndBatch();
    from.EndBatch();
}

void KeywordWindow::MoveIntoForce() { Move(*m_offeredView, *m_inForceView); }

void KeywordWindow::MoveBackOnOffer() { Move(*m_inForceView, *m_offeredView); }

void KeywordWindow::AddTypedKeyword() {
    ListBoxAdd(m_inForce, Trim(ReadText(m_typed)));
    SetText(m_typed, {});
}

void KeywordWindow::Accept() {
    m_store.Accept(JoinedWithCrLf(m_offered), JoinedWithCrLf(m_inForce));
    close();
}

}  // namespace lumora
