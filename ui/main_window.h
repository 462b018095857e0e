#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include <QMainWindow>
#include <QPointer>

#include "controls/form.h"
#include "core/settings.h"
#include "monitor/keyword_list.h"
#include "monitor/monitors.h"
#include "ui/keyword_store.h"
#include "ui/keyword_window.h"

class QMenu;

namespace lumora {

class Desktop;
class ScrapeRunner;
class TabControl;
class Tray;
struct ScrapePageSpec;

/// The program's main window: menu bar, the tab control `活动线报` with its
/// thirteen pages, the hidden popup menus, the tray icon. It owns the control
/// models of its form and the nine monitors over them. Everything here runs
/// on the window's thread.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    struct Options {
        PageReader reader;
        PauseFunction pause = InterruptiblePause;
        std::filesystem::path keywordFile = kKeywordFileName;
        /// Runs the one-shot sources; none: the start controls only tick.
        ScrapeRunner* scrapes = nullptr;
        /// Shows a popup menu; empty: at the cursor, 3 px right and down.
        std::function<void(QMenu& menu)> popup;
    };

    MainWindow(Settings settings, Desktop& desktop, Tray& tray, Options options);
    ~MainWindow() override;

    Form& form() { return m_form; }
    Monitors& monitors() { return *m_monitors; }
    KeywordStore& keywords() { return m_keywordStore; }
    const KeywordList& keywordList() const { return m_keywordList; }
    const Settings& settings() const { return m_settings; }
    TabControl& tabs() const { return *m_tabs; }
    /// A hidden popup menu by name ("托盘", "菜单" ... "菜单6"); nullptr if none.
    QMenu* popupMenu(const std::string& name) const;
    /// The keyword window while it is open.
    KeywordWindow* keywordWindow() const { return m_keywordWindow; }

    /// A tray event: 1 shows the window and removes the icon, 3 pops up "托盘".
    void OnTrayEvent(int code);
    /// "设置关键字": reads the keyword file once per run, then opens the
    /// keyword window or brings the open one to the front.
    void OpenKeywordWindow();
    /// "退出": stops every monitor, removes the tray icon, ends the program.
    void Quit();

signals:
    /// The program should end now; the window has stopped every monitor.
    void quitRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    struct PostState;

    void BuildMenus();
    void BuildPages();
    void WireListActions();
    void ShowPopup(QMenu& menu);
    void OnGridDoubleClicked(const Grid& grid);
    void StartScrape(const ScrapePageSpec& page);
    void PostToWindow(std::function<void()> task);

    Settings m_settings;
    Desktop& m_desktop;
    Tray& m_tray;
    Options m_options;
    Form m_form;
    KeywordList m_keywordList;
    KeywordStore m_keywordStore;
    std::unique_ptr<Monitors> m_monitors;
    std::shared_ptr<PostState> m_post;
    TabControl* m_tabs = nullptr;
    std::map<std::string, QMenu*> m_popupMenus;
    QPointer<KeywordWindow> m_keywordWindow;
    bool m_quitting = false;
};

}  // namespace lumora
