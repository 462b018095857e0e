#include "ui/list_actions.h"

#include "controls/toolkit.h"

namespace lumora {
namespace {

constexpr const char* kCrLf = "\r\n";

Text CellOf(const ListView& list, int column) { return ListViewGetCell(list, ListViewSelectedRow(list), column); }

Text Cell0(const ListView& list, const Settings&) { return CellOf(list, 0); }
Text Cell1(const ListView& list, const Settings&) { return CellOf(list, 1); }
Text Nothing(const ListView&, const Settings&) { return {}; }

Text AiQHome(const ListView&, const Settings& settings) { return settings.Base(Site::AiQShengHuo); }

// The source puts the article's own link in column 0 and its title in
// column 1, so the link is copied from column 0; a link the page gave
// relative to the site is completed with the site's address.
Text AiQLink(const ListView& list, const Settings& settings) {
    Text link = CellOf(list, 0);
    if (link.empty()) return link;
    const bool absolute = link.rfind("http://", 0) == 0 || link.rfind("https://", 0) == 0;
    if (absolute) return link;
    if (link.front() != '/') link.insert(link.begin(), '/');
    return settings.Base(Site::AiQShengHuo) + link;
}

Text HttpsCell1(const ListView& list, const Settings&) { return "https://" + CellOf(list, 1); }
Text NameAndHttpsLink(const ListView& list, const Settings&) {
    return CellOf(list, 0) + kCrLf + "https://" + CellOf(list, 1);
}

Text ThreadLink(const ListView& list, const Settings& settings) {
    return settings.Base(Site::XianBaoBa) + "/forum.php?mod=viewthread&tid=" + CellOf(list, 0) +
           "&extra=page%3D1%26filter%3Dlastpost%26orderby%3Dlastpost";
}
Text ThreadLinkAndName(const ListView& list, const Settings& settings) {
    return ThreadLink(list, settings) + kCrLf + CellOf(list, 1);
}

Text InfoLink(const ListView& list, const Settings& settings) {
    return settings.Base(Site::QingShengYuLe) + "/info/" + CellOf(list, 0);
}
Text InfoLinkAndName(const ListView& list, const Settings& settings) {
    return InfoLink(list, settings) + kCrLf + CellOf(list, 1);
}

Text Cell0AndCell1(const ListView& list, const Settings&) { return CellOf(list, 0) + kCrLf + CellOf(list, 1); }

using A = ListActionKind;

constexpr ListMenuAction kActions[] = {
    {"菜单", "复制活动地址", "超级列表框1", A::Copy, Cell1},
    {"菜单", "打开活动地址", "超级列表框1", A::Open, Cell1},
    {"菜单", "删除所有", "超级列表框1", A::Clear, Nothing},
    {"菜单1", "打开查看", "超级列表框2", A::Open, Cell1},
    {"菜单1", "清空列表", "超级列表框2", A::Clear, Nothing},
    {"菜单2", "打开活动网址", "超级列表框3", A::Open, AiQHome},
    {"菜单2", "清空", "超级列表框3", A::Clear, Nothing},
    {"菜单2", "复制链接", "超级列表框3", A::Copy, AiQLink},
    {"菜单3", "打开链接查看", "超级列表框4", A::Open, HttpsCell1},
    {"菜单3", "删除所有列表", "超级列表框4", A::Clear, Nothing},
    {"菜单3", "复制名字+链接", "超级列表框4", A::Copy, NameAndHttpsLink},
    {"菜单4", "打开查看活动详情", "超级列表框6", A::Open, ThreadLink},
    {"菜单4", "复制活动链接+活动名称", "超级列表框6", A::Copy, ThreadLinkAndName},
    {"菜单4", "删除所有信息", "超级列表框6", A::Clear, Nothing},
    {"菜单5", "打开地址", "超级列表框7", A::Open, InfoLink},
    {"菜单5", "复制地址+名称", "超级列表框7", A::Copy, InfoLinkAndName},
    {"菜单5", "清除信息", "超级列表框7", A::Clear, Nothing},
    {"菜单6", "复制所有消息", "超级列表框8", A::Copy, Cell0AndCell1},
    {"菜单6", "删除所有消息", "超级列表框8", A::Clear, Nothing},
    {"菜单6", "打开活动链接", "超级列表框8", A::Open, Cell0},
};

}  // namespace

std::span<const ListMenuAction> ListMenuActions() { return kActions; }

Text BuildListActionText(const ListMenuAction& action, const ListView& list, const Settings& settings) {
    return action.build(list, settings);
}

}  // namespace lumora
