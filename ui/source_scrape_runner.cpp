#include "ui/source_scrape_runner.h"

#include "controls/list_view.h"
#include "scrape/scrape_to_list.h"

namespace lumora {

void SourceScrapeRunner::Start(const ScrapeRequest& request) {
    ListView* list = request.form.Find<ListView>(std::string(request.list));
    if (!list) return;
    m_runners.Start(request.page, request.form, request.settings,
                    [post = request.postToWindow, list](SourceRows rows) {
                        post([list, rows = std::move(rows)] { AppendRows(*list, rows); });
                    });
}

}  // namespace lumora
