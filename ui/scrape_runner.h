#pragma once

#include <functional>
#include <string_view>

#include "controls/form.h"
#include "core/settings.h"

namespace lumora {

/// What a scrape page's source gets when its start control is clicked.
struct ScrapeRequest {
    /// The page's caption (UTF-8): "小高教学网", "爱Q生活网", "线报吧",
    /// "情圣娱乐网", "寻宝阁", "理财活动", "京东物品" or "号码短租".
    std::string_view page;
    /// The page's list view's form name, e.g. "超级列表框6".
    std::string_view list;
    /// The main window's controls: the list view and the page's input boxes
    /// ("编辑框20", "编辑框22", "编辑框23").
    Form& form;
    const Settings& settings;
    /// Runs a task on the window's thread, soon; dropped if the window is gone.
    /// Any thread may call it.
    std::function<void(std::function<void()>)> postToWindow;
};

/// Runs the one-shot sources; the scrape layer implements it. Start is called
/// on the window's thread for every click of a start control and must return
/// at once: the request runs elsewhere.
class ScrapeRunner {
public:
    virtual ~ScrapeRunner() = default;
    virtual void Start(const ScrapeRequest& request) = 0;
};

}  // namespace lumora
