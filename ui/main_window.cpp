#include "ui/main_window.h"

#include <mutex>

#include <QCloseEvent>
#include <QCursor>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>

#include "controls/toolkit.h"
#include "core/charset.h"
#include "monitor/slot_table.h"
#include "ui/app_icon.h"
#include "ui/bound_widgets.h"
#include "ui/desktop.h"
#include "ui/grid_view.h"
#include "ui/keyword_window.h"
#include "ui/list_actions.h"
#include "ui/list_view_widget.h"
#include "ui/qt_text.h"
#include "ui/scrape_runner.h"
#include "ui/tab_control.h"
#include "ui/tray.h"
#include "ui/window_layout.h"

namespace lumora {
namespace {

const SlotDescriptor* SlotWithStart(std::string_view name) {
    for (const auto& slot : kSlotTable)
        if (slot.startButton == name) return &slot;
    return nullptr;
}

const SlotDescriptor* SlotWithStop(std::string_view name) {
    for (const auto& slot : kSlotTable)
        if (slot.stopButton == name) return &slot;
    return nullptr;
}

const ScrapePageSpec* ScrapePageWithStart(std::string_view name) {
    for (const auto& page : ScrapePageSpecs())
        if (page.startControl == name) return &page;
    return nullptr;
}

const ScrapePageSpec* ScrapePageWithList(std::string_view name) {
    for (const auto& page : ScrapePageSpecs())
        if (page.list == name) return &page;
    return nullptr;
}

QString Name(std::string_view utf8) { return Utf8(utf8); }

void CentreOnScreen(QWidget& window) {
    if (QScreen* screen = window.screen()) {
        QRect place = window.frameGeometry();
        place.moveCenter(screen->availableGeometry().center());
        window.move(place.topLeft());
    }
}

}  // namespace

// Shared with the scrape layer's workers, which may post after the window is gone.
struct MainWindow::PostState {
    std::mutex mutex;
    QObject* receiver = nullptr;
};

MainWindow::MainWindow(Settings settings, Desktop& desktop, Tray& tray, Options options)
    : m_settings(std::move(settings)),
      m_desktop(desktop),
      m_tray(tray),
      m_options(std::move(options)),
      m_keywordStore(m_keywordList, m_options.keywordFile),
      m_post(std::make_shared<PostState>()) {
    m_post->receiver = this;
    Monitors::Options monitorOptions;
    monitorOptions.reader = m_options.reader;
    monitorOptions.pause = m_options.pause;
    m_monitors = std::make_unique<Monitors>(m_form, m_settings, m_keywordList, std::move(monitorOptions));

    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(Name(kMainCaption));
    setWindowIcon(AppIcon());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(kMainWidth, kMainHeight);

    BuildMenus();
    BuildPages();
    WireListActions();
    m_tray.SetEventHandler([this](int code) { OnTrayEvent(code); });
    CentreOnScreen(*this);

    // The creation handler.
    m_keywordStore.SetFilePending(true);
    m_monitors->SetUpMonitorGrids();
}

MainWindow::~MainWindow() {
    {
        std::lock_guard lock(m_post->mutex);
        m_post->receiver = nullptr;
    }
    m_tray.SetEventHandler({});
    m_tray.Remove();
    m_monitors->StopAll();
    // The widgets draw models of m_form: they go before it.
    delete m_keywordWindow;
    delete takeCentralWidget();
    for (auto& [name, menu] : m_popupMenus) delete menu;
    m_popupMenus.clear();
}

void MainWindow::BuildMenus() {
    QMenu* tools = menuBar()->addMenu(QStringLiteral("工具"));
    tools->setObjectName(QStringLiteral("工具"));
    QAction* update = tools->addAction(QStringLiteral("软件更新"));
    update->setObjectName(QStringLiteral("软件更新"));
    connect(update, &QAction::triggered, this, [this] {
        if (auto address = WebAddress(Utf8(m_settings.updateUrl))) m_desktop.OpenUrl(*address);
    });

    QMenu* setup = menuBar()->addMenu(QStringLiteral("设置"));
    setup->setObjectName(QStringLiteral("设置"));
    QAction* keywords = setup->addAction(QStringLiteral("设置关键字"));
    keywords->setObjectName(QStringLiteral("设置关键字"));
    connect(keywords, &QAction::triggered, this, &MainWindow::OpenKeywordWindow);

    for (const auto& spec : PopupMenuSpecs()) {
        auto* menu = new QMenu(Name(spec.name), this);
        menu->setObjectName(Name(spec.name));
        for (int i = 0; i < spec.itemCount; ++i) {
            QAction* item = menu->addAction(Name(spec.items[static_cast<std::size_t>(i)]));
            item->setObjectName(item->text());
        }
        m_popupMenus[std::string(spec.name)] = menu;
    }
    const auto quitItems = m_popupMenus.at(std::string(kTrayMenu))->actions();
    connect(quitItems.front(), &QAction::triggered, this, &MainWindow::Quit);
}

void MainWindow::BuildPages() {
    auto* central = new QWidget(this);
    setCentralWidget(central);
    m_tabs = new TabControl(central);
    m_tabs->setObjectName(Name(kTabControlName));
    m_tabs->setGeometry(kTabControlPlace.left, kTabControlPlace.top, kTabControlPlace.width, kTabControlPlace.height);

    std::map<std::string_view, QWidget*> pages;
    for (std::string_view caption : PageCaptions()) pages[caption] = m_tabs->AddPage(Name(caption));

    for (const auto& page : ScrapePageSpecs()) {
        std::vector<ListView::Column> columns;
        for (int i = 0; i < page.columnCount; ++i) {
            const auto& column = page.columns[static_cast<std::size_t>(i)];
            columns.push_back({Utf8ToGbk(column.title), column.width});
        }
        m_form.Add<ListView>(std::string(page.list), std::move(columns), page.colour);
    }

    for (const ControlSpec& spec : ControlSpecs()) {
        QWidget* page = pages.at(spec.page);
        const std::string name(spec.name);
        QWidget* widget = nullptr;
        switch (spec.kind) {
        case ControlKind::Label:
            widget = new QLabel(Name(spec.caption), page);
            break;
        case ControlKind::EditBox: {
            auto* box = m_form.Find<EditBox>(name);
            if (!box) box = &m_form.Add<EditBox>(name, Utf8ToGbk(spec.caption));
            widget = new EditBoxWidget(*box, page);
            break;
        }
        case ControlKind::Button: {
            auto* button = new QPushButton(Name(spec.caption), page);
            if (const SlotDescriptor* slot = SlotWithStop(spec.name)) {
                connect(button, &QPushButton::clicked, this, [this, number = slot->number] {
                    m_monitors->StopMonitor(number);
                });
            } else if (const ScrapePageSpec* source = ScrapePageWithStart(spec.name)) {
                connect(button, &QPushButton::clicked, this, [this, source] { StartScrape(*source); });
            }
            widget = button;
            break;
        }
        case ControlKind::Radio: {
            auto* model = m_form.Find<RadioButton>(name);
            if (!model) model = &m_form.Add<RadioButton>(name, Utf8ToGbk(spec.caption));
            std::function<void()> onClick;
            if (const SlotDescriptor* slot = SlotWithStart(spec.name))
                onClick = [this, number = slot->number] { m_monitors->StartMonitor(number); };
            else if (const ScrapePageSpec* source = ScrapePageWithStart(spec.name))
                onClick = [this, source] { StartScrape(*source); };
            widget = new RadioButtonWidget(*model, std::move(onClick), page);
            break;
        }
        case ControlKind::Grid: {
            Grid* grid = m_form.Find<Grid>(name);
            if (!grid) continue;
            auto* view = new GridWidget(*grid, page);
            connect(view, &GridWidget::doubleClickedInside, this, [this, grid] { OnGridDoubleClicked(*grid); });
            widget = view;
            break;
        }
        case ControlKind::ListView: {
            ListView* list = m_form.Find<ListView>(name);
            if (!list) continue;
            auto* view = new ListViewWidget(*list, page);
            const ScrapePageSpec* source = ScrapePageWithList(spec.name);
            if (source && !source->menu.empty()) {
                QMenu* menu = m_popupMenus.at(std::string(source->menu));
                connect(view, &ListViewWidget::menuRequested, this, [this, menu] { ShowPopup(*menu); });
            }
            widget = view;
            break;
        }
        }
        if (!spec.name.empty()) widget->setObjectName(Name(spec.name));
        widget->setGeometry(spec.place.left, spec.place.top, spec.place.width, spec.place.height);
        if (spec.hidden) widget->hide();
        // Out of sight means out of reach: the keyboard cannot get there either.
        if (spec.hidden || spec.place.top >= kOutOfSightTop) widget->setFocusPolicy(Qt::NoFocus);
    }
}

void MainWindow::WireListActions() {
    for (const ListMenuAction& action : ListMenuActions()) {
        QMenu* menu = popupMenu(std::string(action.menu));
        ListView* list = m_form.Find<ListView>(std::string(action.list));
        if (!menu || !list) continue;
        for (QAction* item : menu->actions()) {
            if (item->text() != Name(action.item)) continue;
            connect(item, &QAction::triggered, this, [this, &action, list] {
                switch (action.kind) {
                case ListActionKind::Clear:
                    ListViewClear(*list);
                    break;
                case ListActionKind::Copy:
                    m_desktop.SetClipboardText(ToQt(BuildListActionText(action, *list, m_settings)));
                    break;
                case ListActionKind::Open:
                    if (auto address = WebAddress(ToQt(BuildListActionText(action, *list, m_settings))))
                        m_desktop.OpenUrl(*address);
                    break;
                }
            });
        }
    }
}

QMenu* MainWindow::popupMenu(const std::string& name) const {
    auto found = m_popupMenus.find(name);
    return found == m_popupMenus.end() ? nullptr : found->second;
}

void MainWindow::ShowPopup(QMenu& menu) {
    if (m_options.popup)
        m_options.popup(menu);
    else
        menu.popup(QCursor::pos() + QPoint(3, 3));
}

void MainWindow::OnGridDoubleClicked(const Grid& grid) {
    constexpr int kLinkColumn = 4;
    const int row = GridCurrentRow(grid);
    if (row < grid.FixedRows()) return;  // no focus cell yet, or the title row
    OpenLink(m_desktop, Utf8(m_settings.browser), ToQt(GridGetCell(grid, row, kLinkColumn)));
}

void MainWindow::StartScrape(const ScrapePageSpec& page) {
    if (!m_options.scrapes) return;
    m_options.scrapes->Start(ScrapeRequest{
        .page = page.page,
        .list = page.list,
        .form = m_form,
        .settings = m_settings,
        .postToWindow = [state = m_post](std::function<void()> task) {
            std::lock_guard lock(state->mutex);
            if (state->receiver)
                QMetaObject::invokeMethod(state->receiver, std::move(task), Qt::QueuedConnection);
        },
    });
}

void MainWindow::OnTrayEvent(int code) {
    if (code == Tray::kLeftClick) {
        showNormal();
        raise();
        activateWindow();
        m_tray.Remove();
    } else if (code == Tray::kMenuRequest) {
        ShowPopup(*m_popupMenus.at(std::string(kTrayMenu)));
    }
}

void MainWindow::OpenKeywordWindow() {
    m_keywordStore.ReadFileIfPending();
    if (m_keywordWindow) {
        if (m_keywordWindow->isMinimized()) m_keywordWindow->showNormal();
        m_keywordWindow->raise();
        m_keywordWindow->activateWindow();
        return;
    }
    m_keywordWindow = new KeywordWindow(m_keywordStore, this);
    CentreOnScreen(*m_keywordWindow);
    m_keywordWindow->show();
}

void MainWindow::Quit() {
    if (m_quitting) return;
    m_quitting = true;
    m_monitors->StopAll();
    m_tray.Remove();
    if (m_keywordWindow) m_keywordWindow->close();
    hide();
    emit quitRequested();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_quitting) {
        event->accept();
        return;
    }
    if (m_tray.Available()) {
        hide();
        m_tray.Show(AppIcon(), Name(kTrayTip), m_popupMenus.at(std::string(kTrayMenu)));
        event->ignore();
        return;
    }
    // No notification area: a hidden window could never come back.
    Quit();
    event->accept();
}

}  // namespace lumora
