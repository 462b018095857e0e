#pragma once

// Builders of board list pages in the markup the board parsers read, with any
// number of posts, and the fields the parsers give back for each post.
// Header-only, so that every test folder and the benchmarks can use it.

#include <string>
#include <string_view>

#include "core/settings.h"

namespace lumora::test {

/// One post as its site's parser returns it (GBK, untrimmed).
struct BoardPost {
    std::string category;
    std::string title;
    std::string author;
    std::string link;
};

namespace detail {

// GBK: 线报
inline constexpr const char* kGbkTip = "\xCF\xDF\xB1\xA8";
// GBK: 红包
inline constexpr const char* kGbkRedPacket = "\xBA\xEC\xB0\xFC";
// GBK: 签到
inline constexpr const char* kGbkCheckIn = "\xC7\xA9\xB5\xBD";
// GBK: 作者
inline constexpr const char* kGbkAuthor = "\xD7\xF7\xD5\xDF";
// GBK: 话费
inline constexpr const char* kGbkPhoneBill = "\xBB\xB0\xB7\xD1";
// GBK: 活动
inline constexpr const char* kGbkActivity = "\xBB\xEE\xB6\xAF";
// GBK: 新窗口打开
inline constexpr const char* kGbkNewWindow = "\xD0\xC2\xB4\xB0\xBF\xDA\xB4\xF2\xBF\xAA";
// GBK: 置顶
inline constexpr const char* kGbkSticky = "\xD6\xC3\xB6\xA5";
// GBK: 回复
inline constexpr const char* kGbkReply = "\xBB\xD8\xB8\xB4";
// GBK: 网赚论坛
inline constexpr const char* kGbkForum = "\xCD\xF8\xD7\xAC\xC2\xDB\xCC\xB3";
// UTF-8: 线报, 红包, 签到, 作者, 活动, 阅读
inline constexpr const char* kUtf8Tip = "\xE7\xBA\xBF\xE6\x8A\xA5";
inline constexpr const char* kUtf8RedPacket = "\xE7\xBA\xA2\xE5\x8C\x85";
inline constexpr const char* kUtf8CheckIn = "\xE7\xAD\xBE\xE5\x88\xB0";
inline constexpr const char* kUtf8Author = "\xE4\xBD\x9C\xE8\x80\x85";
inline constexpr const char* kUtf8Activity = "\xE6\xB4\xBB\xE5\x8A\xA8";
inline constexpr const char* kUtf8Read = "\xE9\x98\x85\xE8\xAF\xBB";

inline bool IsForum(Site site) {
    return site == Site::ZhuanKeBa || site == Site::FuLiBa || site == Site::QiangQiangWang;
}

// 线报 N 红包 for odd ids, 线报 N 签到 for even ones.
inline std::string Title(int id, bool utf8) {
    const std::string number = " " + std::to_string(id) + " ";
    if (utf8) {
        return kUtf8Tip + number + (id % 2 != 0 ? kUtf8RedPacket : kUtf8CheckIn);
    }
    return kGbkTip + number + (id % 2 != 0 ? kGbkRedPacket : kGbkCheckIn);
}

inline std::string Author(int id, bool utf8) { return (utf8 ? kUtf8Author : kGbkAuthor) + std::to_string(id % 7); }

inline std::string ThreadPath(int id) { return "thread-" + std::to_string(id) + "-1-1.html"; }

// Scripts, style sheet, navigation: the bulk of a real list page around its list.
inline std::string ForumHead(const std::string& base) {
    std::string head =
        "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
        "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">\r\n"
        "<html xmlns=\"http://www.w3.org/1999/xhtml\">\r\n<head>\r\n"
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\" />\r\n<title>";
    head += kGbkForum;
    head += "</title>\r\n<link rel=\"stylesheet\" type=\"text/css\" href=\"data/cache/style_1_common.css?v1\" />\r\n"
            "<script type=\"text/javascript\">var STYLEID = '1', STATICURL = 'static/', IMGDIR = "
            "'static/image/common', VERHASH = 'Q7k', charset = 'gbk', discuz_uid = '0', cookiepre = 'Zk_2132_', "
            "cookiedomain = '', cookiepath = '/', showusercard = '1', attackevasive = '0', disallowfloat = "
            "'newthread', creditnotice = '', defaultstyle = '', REPORTURL = 'aHR0cDovL3d3dy5leGFtcGxl', "
            "SITEURL = '" +
            base + "/', JSPATH = 'data/cache/';</script>\r\n"
                   "<script src=\"data/cache/common.js?Q7k\" type=\"text/javascript\"></script>\r\n</head>\r\n"
                   "<body id=\"nv_forum\" class=\"pg_forumdisplay\" onkeydown=\"if(event.keyCode==27) return false;\">\r\n"
                   "<div id=\"toptb\" class=\"cl\"><div class=\"wp\"><div class=\"z\">";
    // Navigation and a forum sidebar, as large as a real page's.
    for (int i = 1; i <= 310; ++i) {
        const std::string fid = std::to_string(i);
        head += "<a href=\"" + base + "/forum-" + fid + "-1.html\" title=\"";
        head += kGbkForum;
        head += fid + "\" onmouseover=\"showMenu({'ctrlid':this.id,'ctrl_class':'hz'})\" id=\"fnav_" + fid +
                "\" class=\"xi2\">";
        head += kGbkForum;
        head += fid + "</a>\r\n";
    }
    head += "</div></div></div>\r\n<div id=\"wp\" class=\"wp\">\r\n"
            "<div id=\"threadlist\" class=\"tl bm bmw\">\r\n<div class=\"bm_c\">\r\n"
            "<form method=\"post\" autocomplete=\"off\" name=\"moderate\" id=\"moderate\" "
            "action=\"forum.php?mod=topicadmin&amp;action=moderate&amp;fid=19&amp;infloat=yes&amp;nopost=yes\">\r\n"
            "<table summary=\"forum_19\" cellspacing=\"0\" cellpadding=\"0\" id=\"threadlisttableid\">\r\n";
    return head;
}

inline std::string ForumTail() {
    std::string tail = "</table>\r\n</form>\r\n</div>\r\n</div>\r\n"
                       "<div class=\"pgs mtm mbm cl\"><div class=\"pg\"><strong>1</strong>"
                       "<a href=\"forum-19-2.html\">2</a><a href=\"forum-19-3.html\">3</a>"
                       "<a href=\"forum-19-2.html\" class=\"nxt\">&gt;</a></div></div>\r\n</div>\r\n"
                       "<div id=\"ft\" class=\"wp cl\">";
    for (int i = 0; i < 40; ++i) {
        tail += "<script type=\"text/javascript\">_attachEvent(window, 'load', function () { "
                "getForbiddenFormula('" +
                std::to_string(i) + "'); }, document);</script>\r\n";
    }
    tail += "</div>\r\n</body>\r\n</html>\r\n";
    return tail;
}

// A sticky thread: the block pattern must pass it by.
inline std::string StickyThread(const std::string& link, int id) {
    const std::string tid = std::to_string(id);
    std::string block = "<tbody id=\"stickthread_" + tid + "\"><tr><td class=\"icn\"><a href=\"" + link + "\" title=\"";
    block += kGbkNewWindow;
    block += "\" target=\"_blank\"><img src=\"static/image/common/pin_1.gif\" alt=\"\" /></a></td><th class=\"common\">"
             "<em>[<a href=\"forum.php?mod=forumdisplay&amp;fid=19&amp;filter=typeid&amp;typeid=1\">";
    block += kGbkSticky;
    block += "</a>]</em> <a href=\"" + link + "\" onclick=\"atarget(this)\" class=\"s xst\">";
    block += kGbkSticky;
    block += tid + "</a>\r\n</th>\r\n<td class=\"by\"><cite><a href=\"space-uid-1.html\" c=\"1\">admin</a></cite>"
                   "<em><span>2024-5-1</span></em></td>\r\n<td class=\"num\"><a href=\"" +
             link + "\" class=\"xi2\">3</a><em>900</em></td>\r\n</tr>\r\n</tbody>\r\n";
    return block;
}

}  // namespace detail

/// page with every "{BASE}" replaced by base: the fixture pages under
/// tests/data hold that placeholder wherever the site's base address stands.
inline std::string WithBase(std::string page, const std::string& base) {
    static constexpr std::string_view kPlaceholder = "{BASE}";
    for (std::size_t at = page.find(kPlaceholder); at != std::string::npos;
         at = page.find(kPlaceholder, at + base.size())) {
        page.replace(at, kPlaceholder.size(), base);
    }
    return page;
}

/// The link the page builders give post id on site (absolute, as parsed).
inline std::string PostLink(Site site, const std::string& base, int id) {
    if (site == Site::ZhuanKeZhiJia) {
        return base + "/post-" + std::to_string(id) + ".html";
    }
    return base + "/" + detail::ThreadPath(id);
}

/// Post id as the parser of site returns it from a page of the builders below.
/// Titles are "线报 N 红包" for odd N and "线报 N 签到" for even N; the forum
/// title also holds the "[话费] " that stands before the title link, the
/// sitemap and article titles the space before it.
inline BoardPost ExpectedPost(Site site, const std::string& base, int id) {
    BoardPost post;
    post.author = detail::Author(id, false);
    post.link = PostLink(site, base, id);
    const std::string title = detail::Title(id, false);
    if (detail::IsForum(site)) {
        post.category = std::string("[") + detail::kGbkPhoneBill + "]";
        post.title = post.category + " " + title;
    } else if (site == Site::XianBaoWu) {
        post.category = detail::kGbkPhoneBill;
        post.title = " " + title;
    } else {
        post.category = detail::kGbkActivity;
        post.title = " " + title;
    }
    return post;
}

/// A Discuz!-style thread list (GBK) for 赚客吧, 福利吧 or 抢抢网: two sticky
/// threads, the separator row, then posts normal threads with ids firstId on.
/// 赚客吧 and 抢抢网 link absolutely under base, 福利吧 relatively; the 赚客吧
/// title link has two spaces before class=. About 150 KB for 50 posts.
inline std::string ForumPage(Site site, const std::string& base, int posts, int firstId = 1) {
    const auto link = [&](int id) {
        return site == Site::FuLiBa ? detail::ThreadPath(id) : base + "/" + detail::ThreadPath(id);
    };
    const std::string beforeClass = site == Site::ZhuanKeBa ? "  " : " ";
    std::string page = detail::ForumHead(base);
    page += detail::StickyThread(link(900001), 900001);
    page += detail::StickyThread(link(900002), 900002);
    page += "<tbody id=\"separatorline\" class=\"emptb\"><tr class=\"ts\"><td>&nbsp;</td><th>&nbsp;</th>"
            "<td>&nbsp;</td><td>&nbsp;</td><td>&nbsp;</td></tr></tbody>\r\n";
    for (int id = firstId; id < firstId + posts; ++id) {
        const std::string tid = std::to_string(id);
        const std::string uid = std::to_string(1000 + id % 7);
        page += "<tbody id=\"normalthread_" + tid + "\"><tr><td class=\"icn\"><a href=\"" + link(id) + "\" title=\"";
        page += detail::kGbkNewWindow;
        page += "\" target=\"_blank\"><img src=\"static/image/common/folder_new.gif\" /></a></td>"
                "<th class=\"new\"><a href=\"javascript:;\" id=\"content_" +
                tid + "\" class=\"showcontent y\" onclick=\"CONTENT_TID='" + tid + "';CONTENT_ID='normalthread_" +
                tid + "';showMenu({'ctrlid':this.id,'menuid':'content_menu'})\"></a>"
                      "<em>[<a href=\"forum.php?mod=forumdisplay&amp;fid=19&amp;filter=typeid&amp;typeid=12\">";
        page += detail::kGbkPhoneBill;
        page += "</a>]</em> <a href=\"" + link(id) + "\" onclick=\"atarget(this)\"" + beforeClass + "class=\"s xst\">";
        page += detail::Title(id, false);
        page += "</a>\r\n<img src=\"static/image/filetype/image_s.gif\" alt=\"attach_img\" align=\"absmiddle\" />\r\n"
                "<img src=\"static/image/common/hot_1.gif\" align=\"absmiddle\" alt=\"heatlevel\" />\r\n"
                "<img src=\"static/image/stamp/010.small.gif\" alt=\"recommend\" align=\"absmiddle\" />\r\n"
                "<span class=\"tps\">&nbsp;...";
        for (int pageNo = 2; pageNo <= 5; ++pageNo) {
            page += "<a href=\"forum.php?mod=viewthread&amp;tid=" + tid + "&amp;extra=page%3D1&amp;page=" +
                    std::to_string(pageNo) + "\">" + std::to_string(pageNo) + "</a>";
        }
        page += "</span>\r\n<a href=\"forum.php?mod=redirect&amp;tid=" + tid +
                "&amp;goto=lastpost#lastpost\" class=\"xi1\">New</a>\r\n</th>\r\n"
                      "<td class=\"by\"><cite><a href=\"space-uid-" +
                uid + ".html\" c=\"1\">";
        page += detail::Author(id, false);
        page += "</a></cite>\r\n<em><span><span title=\"2024-5-1\">2024-5-1 10:" + std::to_string(10 + id % 50) +
                "</span></span></em></td>\r\n<td class=\"num\"><a href=\"" + link(id) + "\" class=\"xi2\">" +
                std::to_string(id % 40) + "</a><em>" + std::to_string(100 + id % 900) +
                "</em></td>\r\n<td class=\"by\"><cite><a href=\"space-username-guest" + tid + ".html\" c=\"1\">guest" +
                tid + "</a></cite>\r\n<em><a href=\"forum.php?mod=redirect&amp;tid=" + tid +
                "&amp;goto=lastpost#lastpost\"><span title=\"2024-5-1\">1&nbsp;";
        page += detail::kGbkReply;
        page += "</span></a></em>\r\n</td>\r\n</tr>\r\n</tbody>\r\n";
    }
    page += detail::ForumTail();
    return page;
}

/// A 线报屋 sitemap list (GBK) with posts items, ids firstId on.
inline std::string SitemapPage(const std::string& base, int posts, int firstId = 1) {
    std::string page = "<!DOCTYPE html>\r\n<html>\r\n<head>\r\n<meta charset=\"gbk\" />\r\n<title>sitemap</title>\r\n"
                       "</head>\r\n<body>\r\n<div class=\"sitemap\">\r\n<ul>\r\n";
    for (int id = firstId; id < firstId + posts; ++id) {
        const std::string tid = std::to_string(id);
        page += "<li class=\"sitemap_item\"><em>[<a href=\"" + base + "/forum-2-1.html\" target=\"_blank\">";
        page += detail::kGbkPhoneBill;
        page += "</a>]</em> <a href=\"" + PostLink(Site::XianBaoWu, base, id) + "\" title=\"" + detail::Title(id, false) +
                "\" target=\"_blank\">" + detail::Title(id, false) + "</a> <cite><a href=\"" + base + "/space-uid-" +
                std::to_string(1000 + id % 7) + ".html\">" + detail::Author(id, false) +
                "</a></cite> <span class=\"time\">2024-05-01 10:20</span> <a href=\"" + base +
                "/forum.php?mod=redirect&amp;tid=" + tid + "&amp;goto=lastpost#lastpost\" class=\"last\">";
        page += detail::kGbkReply;
        page += "</a></li>\r\n";
    }
    page += "</ul>\r\n</div>\r\n</body>\r\n</html>\r\n";
    return page;
}

/// A WordPress-style article list (UTF-8) of 赚客之家 with posts articles, ids firstId on.
inline std::string ArticlePage(const std::string& base, int posts, int firstId = 1) {
    std::string page = "<!DOCTYPE HTML>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"UTF-8\">\n<title>";
    page += detail::kUtf8Activity;
    page += "</title>\n</head>\n<body class=\"archive category\">\n<section class=\"container\">\n"
            "<div class=\"content-wrap\">\n<div class=\"content\">\n";
    for (int id = firstId; id < firstId + posts; ++id) {
        const std::string link = PostLink(Site::ZhuanKeZhiJia, base, id);
        const std::string title = detail::Title(id, true);
        page += "<article class=\"excerpt excerpt-" + std::to_string(id - firstId + 1) + "\"><a class=\"focus\" href=\"" +
                link + "\" title=\"" + title + "\" target=\"_blank\"><img data-src=\"" + base +
                "/wp-content/uploads/thumb.jpg\" class=\"thumb\"></a><header><a class=\"cat\" href=\"" + base +
                "/sort/huodong\">";
        page += detail::kUtf8Activity;
        page += "<i></i></a> <h2><a href=\"" + link + "\" title=\"" + title + "\" target=\"_blank\">" + title +
                "</a></h2></header>\n<p class=\"meta\"><time><i class=\"fa fa-clock-o\"></i>2024-05-01</time>"
                "<span class=\"author\"><i class=\"fa fa-user\"></i><cite><a href=\"" +
                base + "/author/admin\">" + detail::Author(id, true) +
                "</a></cite></span><span class=\"pv\"><i class=\"fa fa-eye\"></i>";
        page += detail::kUtf8Read;
        page += "(" + std::to_string(100 + id) + ")</span></p>\n<p class=\"note\">" + title + "</p>\n</article>\n";
    }
    page += "</div>\n</div>\n</section>\n</body>\n</html>\n";
    return page;
}

/// The list page of site's layout: ForumPage, SitemapPage or ArticlePage.
inline std::string BoardPage(Site site, const std::string& base, int posts, int firstId = 1) {
    if (detail::IsForum(site)) {
        return ForumPage(site, base, posts, firstId);
    }
    return site == Site::XianBaoWu ? SitemapPage(base, posts, firstId) : ArticlePage(base, posts, firstId);
}

}  // namespace lumora::test
