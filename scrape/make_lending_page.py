#!/usr/bin/env python3
"""Writes lending_activities.html: the stored lending-activity page, GBK with
CR LF line ends, cut off after exactly 30,000 bytes inside the fourteenth
entry (in the middle of a double-byte character), so that 13 entries are whole.
The platforms and their offers are made up.

    python3 scrape/make_lending_page.py scrape/lending_activities.html
"""

import sys

PAGE_BYTES = 30000
WHOLE_ENTRIES = 13

# id, platform, slug, reward (the image's alt text), headline, date, joined
ENTRIES = [
    (30418, "星槎贷", "xingchadai", "注册送88元红包，首投满1000元返现30元", "新手专享月标，年化9.6%", "2017-06-12", 1862),
    (30417, "鹿鸣金服", "luming", "新用户实名即送18元现金，投资再返2%", "首投任意金额即送京卡", "2017-06-12", 944),
    (30415, "墨竹理财", "mozhu", "首投500元送50元话费，限前3000名", "老用户邀请好友双方得奖励", "2017-06-11", 3105),
    (30412, "青梧宝", "qingwubao", "注册即送588元体验金，收益可提现", "体验标3天到期自动回款", "2017-06-11", 5230),
    (30409, "岚山易贷", "lanshan", "首投满2000元返现60元，可叠加红包", "30天新手标，起投100元", "2017-06-10", 781),
    (30405, "檀木金融", "tanmu", "新手投资送10%加息券，另送爱奇艺月卡", "加息券有效期15天", "2017-06-10", 1277),
    (30401, "白鹭e贷", "bailu", "注册绑卡送20元，首投再送40元", "单笔满5000元送电影票两张", "2017-06-09", 2048),
    (30398, "雁回理财", "yanhui", "首次出借满3000元返现90元", "活动仅限APP端参与", "2017-06-09", 669),
    (30396, "栖霞金服", "qixia", "实名认证送38元，累计投资送精美礼品", "周末专场，满额再抽奖", "2017-06-08", 1530),
    (30393, "竹溪贷", "zhuxi", "新人礼包1888元，首投返现最高200元", "新手标年化12%，期限1个月", "2017-06-08", 4012),
    (30390, "渔歌宝", "yuge", "注册送8元现金，首投送10元现金", "现金可直接提现，无门槛", "2017-06-07", 2390),
    (30387, "暮云理财", "muyun", "首投满1000元送50元京东E卡", "E卡于满标后三个工作日内发放", "2017-06-07", 857),
    (30385, "晴川贷", "qingchuan", "新用户首投返现1.5%，单人最高150元", "按投资金额比例返现", "2017-06-06", 1126),
    (30381, "望舒金服", "wangshu", "注册送66元红包，首投满3000元返现100元", "新手标限投5万元", "2017-06-06", 703),
    (30378, "听松贷", "tingsong", "首投满500元送30元话费", "话费充值于次日到账", "2017-06-05", 412),
]

DESCRIPTIONS = [
    "活动期间，新用户在平台完成注册、实名认证并绑定银行卡后，即可获得对应奖励；首次投资新手标达到要求金额，"
    "返现将在满标放款后的三个工作日内发放至账户余额。红包不可提现，仅可在投资时抵扣。",
    "本活动仅限首次在平台投资的用户参与，同一手机号、身份证、银行卡及设备视为同一用户。"
    "投资期限不少于30天的标的方可参与返现，债权转让标不计入活动金额。",
    "用户需通过本站链接注册，注册后请在活动页面提交用户名与手机号后四位，以便核对返利。"
    "返利统一于每周三、周五发放，节假日顺延，请留意站内消息。",
    "平台为新用户准备了体验金与加息券，体验金收益到期后自动转入可用余额，达到最低提现金额即可提现。"
    "加息券仅限在有效期内使用，逾期自动作废，不可与其他加息活动同时使用。",
]

RULES = [
    ("同一用户仅可参与一次，刷单、恶意套利者取消奖励资格", "奖励以平台实际发放为准，本站不承担平台延期发放的责任",
     "投资前请确认平台资金存管与备案信息，量力而行"),
    ("首投金额以单笔为准，多笔投资不累计", "返现到账后可在账户中心查看明细",
     "提前赎回或转让的投资不享受返现"),
    ("活动奖励与平台其他新手活动不可同时享受", "如有疑问请联系本站客服，工作时间9:00-18:00",
     "本站保留在法律允许范围内对活动的最终解释权"),
]

BACKGROUNDS = [
    ("民营系", "2015-08", "5000万元", "已上线"),
    ("上市公司参股", "2014-11", "1亿元", "已上线"),
    ("风投系", "2016-03", "3000万元", "对接中"),
]

SIDEBAR_NEWS = [
    "关于端午节假期返利发放时间的通知",
    "本站新增平台风险评级，请投资前仔细查看",
    "提醒：切勿轻信私下承诺高额返利的个人",
    "六月新手活动汇总，持续更新中",
    "如何判断一个平台的资金存管是否真实",
    "返利申请填写错误怎么办？看这里",
    "五月返利已全部发放完毕",
    "新人必读：参加活动前需要了解的几件事",
    "部分平台活动调整，以平台页面为准",
    "本站客服工作时间调整公告",
    "出借人须知：资金存管与风险备付金的区别",
    "返利到账查询方法说明",
    "新手标与普通标有什么不同",
    "关于部分平台暂停新手活动的说明",
    "体验金收益如何提现？一文看懂",
    "加息券和红包可以同时使用吗",
    "投资返利常见问题解答",
    "六月第二周活动更新预告",
    "平台提现到账时间一览",
    "谨防假冒本站客服的诈骗信息",
    "如何查看平台的备案与存管信息",
    "本站返利规则调整说明",
    "端午特辑：加息活动合集",
    "新用户注册常见问题",
    "邀请好友奖励发放说明",
    "七月活动征集开始",
]


def entry(index, e):
    pid, name, slug, reward, headline, date, joined = e
    desc = "".join(DESCRIPTIONS[(index + k) % len(DESCRIPTIONS)] for k in range(3))
    background = BACKGROUNDS[index % len(BACKGROUNDS)]
    rules = RULES[index % len(RULES)]
    return f"""<table width="460" border="0" cellspacing="0" cellpadding="0" class="hd_list">
  <tr>
    <td colspan="2" class="hd_pic"><a href="/product/{pid}" target="_blank"><img src="/uploads/hd/201706/{pid}.jpg" alt="{reward}" width="440" height="130" border="0" /></a></td>
  </tr>
  <tr>
    <td class="hd_title">【<a href="/pingtai/{slug}/" target="_blank" class="f_link">{name}</a>】{headline}</td>
    <td class="hd_date" align="right">{date}</td>
  </tr>
  <tr>
    <td colspan="2" class="hd_info">{desc}</td>
  </tr>
  <tr>
    <td colspan="2" class="hd_bg">平台背景：{background[0]} | 上线时间：{background[1]} | 注册资本：{background[2]} | 资金存管：{background[3]}</td>
  </tr>
  <tr>
    <td colspan="2" class="hd_rule"><b>活动规则：</b><br />1、{rules[0]}；<br />2、{rules[1]}；<br />3、{rules[2]}。</td>
  </tr>
  <tr>
    <td colspan="2" class="hd_more"><span class="hd_num">已参与：<b>{joined}</b>人</span> <a href="/product/{pid}" target="_blank" class="btn_join">查看详情</a></td>
  </tr>
</table>
<div class="hd_line"></div>
"""


def head(news_count, spaces):
    news = "".join(
        f'      <li><a href="/notice/{700 + i}.html" target="_blank" title="{t}">{t}</a></li>\n'
        for i, t in enumerate((SIDEBAR_NEWS * 2)[:news_count]))
    ranks = "".join(
        f'      <li><em>{i + 1}</em><a href="/pingtai/{e[2]}/" target="_blank">{e[1]}</a><span>{e[6]}人参与</span></li>\n'
        for i, e in enumerate(ENTRIES[:10]))
    return f"""<!DOCTYPE html PUBLIC "-//W3C//DTD XHTML 1.0 Transitional//EN" "http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd">
<html xmlns="http://www.w3.org/1999/xhtml">
<head>
<meta http-equiv="Content-Type" content="text/html; charset=gb2312" />
<title>网贷新手活动_注册送红包_首投返现 - 贷友活动汇</title>
<meta name="keywords" content="网贷活动,新手红包,首投返现,理财活动" />
<meta name="description" content="每日更新网贷平台新手活动，注册送红包、首投返现、体验金，一站看全。" />
<link href="/templets/style/common.css" rel="stylesheet" type="text/css" />
<link href="/templets/style/list.css" rel="stylesheet" type="text/css" />
<script type="text/javascript" src="/templets/js/jquery.min.js"></script>
</head>
<body>
<div class="top">
  <div class="w960">
    <span class="fl">欢迎来到贷友活动汇！每日更新网贷新手活动</span>
    <span class="fr"><a href="/member/login.php">登录</a> | <a href="/member/reg.php">注册</a> | <a href="javascript:;" onclick="AddFavorite(window.location,document.title)">收藏本站</a></span>
  </div>
</div>
<div class="header w960">
  <div class="logo fl"><a href="/"><img src="/templets/images/logo.png" alt="贷友活动汇" width="220" height="60" /></a></div>
  <div class="search fr">
    <form action="/plus/search.php" method="get" name="formsearch">
      <input type="hidden" name="kwtype" value="0" />
      <input name="q" type="text" class="search_text" value="输入平台名称" onfocus="if(this.value=='输入平台名称')this.value='';" />
      <input type="submit" class="search_btn" value="搜索" />
    </form>
  </div>
</div>
<div class="nav">
  <ul class="w960">
    <li><a href="/">首页</a></li>
    <li class="on"><a href="/huodong/">新手活动</a></li>
    <li><a href="/fanli/">投资返利</a></li>
    <li><a href="/pingtai/">平台大全</a></li>
    <li><a href="/pingji/">风险评级</a></li>
    <li><a href="/zixun/">行业资讯</a></li>
    <li><a href="/notice/">本站公告</a></li>
  </ul>
</div>
<div class="w960 position">当前位置：<a href="/">首页</a> &gt; <a href="/huodong/">新手活动</a> &gt; 最新活动{" " * spaces}</div>
<div class="w960 main">
  <div class="side fr">
    <div class="side_box">
      <h3>最新公告</h3>
      <ul class="news_list">
{news}      </ul>
    </div>
    <div class="side_box">
      <h3>人气平台排行</h3>
      <ul class="rank_list">
{ranks}      </ul>
    </div>
    <div class="side_ad"><a href="/fanli/" target="_blank"><img src="/uploads/ad/side_fanli.gif" alt="投资返利，额外多赚" width="240" height="180" border="0" /></a></div>
  </div>
  <div class="list fl">
    <div class="list_tip">温馨提示：网贷有风险，出借需谨慎。本站所列活动均以平台页面为准，返利规则请阅读活动说明。</div>
"""


def page(news_count, spaces):
    body = head(news_count, spaces) + "".join(entry(i, e) for i, e in enumerate(ENTRIES))
    body += "  </div>\n</div>\n</body>\n</html>\n"
    return body.replace("\n", "\r\n").encode("gbk")


def cut_fits(data):
    """The cut falls in the description of the entry after the last whole one,
    on the lead byte of a double-byte character."""
    marks = [i for i in range(len(data)) if data.startswith(b'class="hd_info">', i)]
    start = marks[WHOLE_ENTRIES] + len(b'class="hd_info">')
    end = data.index(b"</td>", start)
    if not start < PAGE_BYTES < end:
        return False
    # Walk the description by characters: the last kept byte must open one.
    i = start
    while i < PAGE_BYTES - 1:
        i += 2 if data[i] >= 0x80 else 1
    return i == PAGE_BYTES - 1 and data[i] >= 0x80


def main():
    for news_count in range(0, 2 * len(SIDEBAR_NEWS) + 1):
        for spaces in range(0, 2):
            data = page(news_count, spaces)
            if len(data) > PAGE_BYTES and cut_fits(data):
                with open(sys.argv[1], "wb") as out:
                    out.write(data[:PAGE_BYTES])
                return
    sys.exit("no layout puts the cut inside the fourteenth entry")


if __name__ == "__main__":
    main()
