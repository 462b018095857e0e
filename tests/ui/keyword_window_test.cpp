#include <filesystem>

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

#include "tests/support/temp_files.h"
#include "tests/ui/ui_support.h"
#include "ui/keyword_window.h"
#include "ui/list_box_widget.h"

namespace lumora::test {
namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// GBK: 返利, 红包, 抽奖, 签到; the window's full-width space U+3000 is GBK A1 A1
const Text kRebate = "\xB7\xB5\xC0\xFB";
const Text kRedPacket = "\xBA\xEC\xB0\xFC";
const Text kLottery = "\xB3\xE9\xBD\xB1";
const Text kCheckIn = "\xC7\xA9\xB5\xBD";

class KeywordWindowTest : public testing::Test {
protected:
    void Start(const std::string& fileBytes) {
        WindowConfig config;
        config.keywordFile = dir.Write("keywords.txt", fileBytes);
        StartWith(std::move(config));
    }
    void StartWith(WindowConfig config) {
        ui = std::make_unique<WindowUnderTest>(std::move(config));
        ui->window->show();
    }
    MainWindow& window() { return *ui->window; }
    KeywordWindow& Open() {
        window().OpenKeywordWindow();
        if (!window().keywordWindow()) throw std::runtime_error("keyword window not open");
        return *window().keywordWindow();
    }
    ListBoxWidget& List(const char* name) { return *window().keywordWindow()->findChild<ListBoxWidget*>(U(name)); }
    QPushButton& Button(const char* name) { return *window().keywordWindow()->findChild<QPushButton*>(U(name)); }
    std::vector<Text> Items(const char* name) {
        std::vector<Text> items;
        ListBox& box = List(name).box();
        for (int i = 0; i < ListBoxCount(box); ++i) items.push_back(ListBoxItemText(box, i));
        return items;
    }
    void ClickItem(const char* list, int index, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        ListBoxWidget& view = List(list);
        Click(view.viewport(), modifiers, view.visualItemRect(view.item(index)).center());
    }
    void CloseWithTitleBar() {
        window().keywordWindow()->close();
        DrainEvents();
    }

    TempDir dir;
    std::unique_ptr<WindowUnderTest> ui;
};

TEST_F(KeywordWindowTest, WindowIsLaidOutAsDrawn) {
    Start("");
    KeywordWindow& keywords = Open();
    EXPECT_EQ(keywords.windowTitle(), U("关键词设置工具"));
    EXPECT_EQ(keywords.size(), QSize(384, 333));
    EXPECT_EQ(keywords.minimumSize(), keywords.maximumSize());
    EXPECT_FALSE(keywords.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(keywords.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(keywords.parentWidget(), &window());
    EXPECT_FALSE(keywords.isModal());
    struct Expected {
        const char* name;
        QRect place;
        const char* text;
    };
    const std::vector<Expected> controls = {
        {"列表框1", {8, 8, 112, 280}, ""},
        {"列表框2", {256, 8, 112, 280}, ""},
        {"按钮1", {174, 16, 32, 32}, "》"},
        {"按钮2", {174, 64, 32, 32}, "《"},
        {"编辑框3", {128, 120, 120, 32}, ""},
        {"按钮3", {136, 168, 104, 32}, "自定义关键字》"},
        {"按钮4", {168, 248, 48, 32}, "确定"},
    };
    for (const Expected& control : controls) {
        SCOPED_TRACE(control.name);
        auto* widget = keywords.findChild<QWidget*>(U(control.name));
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->geometry(), control.place);
        if (auto* button = qobject_cast<QPushButton*>(widget)) {
            EXPECT_EQ(button->text(), U(control.text));
        }
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            EXPECT_TRUE(edit->text().isEmpty());
        }
        if (auto* list = qobject_cast<QListWidget*>(widget)) {
            EXPECT_EQ(list->selectionMode(), QAbstractItemView::ExtendedSelection);
            EXPECT_FALSE(list->isSortingEnabled());
            EXPECT_TRUE(list->selectedItems().isEmpty());
        }
    }
}

TEST_F(KeywordWindowTest, KeywordFileSeedsTheOfferedList) {
    struct Case {
        const char* name;
        std::string file;
        std::vector<Text> offered;
    };
    const std::vector<Case> cases = {
        {"two lines", kRebate + "\r\n" + kRedPacket + "\r\n", {kRebate, kRedPacket}},
        {"empty line between", kRebate + "\r\n\r\n" + kRedPacket, {kRebate, "", kRedPacket}},
        {"stops at NUL", kRebate + "\r\n" + std::string("\0", 1) + kRedPacket + "\r\n", {kRebate}},
        {"stops at Ctrl-Z", kRebate + "\r\n\x1A" + kRedPacket + "\r\n", {kRebate}},
        {"insertion order, no sorting", kRedPacket + "\r\nb\r\na\r\n", {kRedPacket, "b", "a"}},
        // A lead byte with no trail byte: kept as read, shown as best it can be.
        {"truncated lead byte", kRebate + "\r\n\xBA", {kRebate, "\xBA"}},
        {"empty file", "", {}},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        Start(row.file);
        Open();
        EXPECT_EQ(Items("列表框1"), row.offered);
        EXPECT_TRUE(Items("列表框2").empty());
        EXPECT_EQ(List("列表框1").count(), static_cast<int>(row.offered.size()));
        ui.reset();
    }
}

TEST_F(KeywordWindowTest, MissingFileLeavesTheOfferedListEmptyAndTypingStillWorks) {
    WindowConfig config;
    config.keywordFile = dir.path() / "absent.txt";
    StartWith(std::move(config));
    KeywordWindow& keywords = Open();
    EXPECT_TRUE(Items("列表框1").empty());
    SetText(*keywords.form().Find<EditBox>("编辑框3"), kLottery);
    Click(&Button("按钮3"));
    EXPECT_EQ(Items("列表框2"), std::vector<Text>{kLottery});
}

TEST_F(KeywordWindowTest, ReadOnlyFileIsReadAndNeverWritten) {
    const auto file = dir.Write("readonly.txt", kRebate + "\r\n");
    std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                           std::filesystem::perms::others_read);
    const auto before = std::filesystem::last_write_time(file);
    WindowConfig config;
    config.keywordFile = file;
    StartWith(std::move(config));
    Open();
    EXPECT_EQ(Items("列表框1"), std::vector<Text>{kRebate});
    ClickItem("列表框1", 0);
    Click(&Button("按钮1"));
    Click(&Button("按钮4"));
    EXPECT_EQ(std::filesystem::last_write_time(file), before);
    EXPECT_EQ(ReadKeywordFile(file), kRebate + "\r\n");
}

TEST_F(KeywordWindowTest, CtrlSelectionOfTwoApartMovesExactlyThoseToTheEnd) {
    Start("a\r\nb\r\nc\r\nd\r\n");
    Open();
    // Something already in force, so "the end" is visible.
    ClickItem("列表框1", 3);
    Click(&Button("按钮1"));
    ASSERT_EQ(Items("列表框2"), std::vector<Text>{"d"});

    ClickItem("列表框1", 0);
    ClickItem("列表框1", 2, Qt::ControlModifier);
    EXPECT_EQ(ListBoxSelectedIndexes(List("列表框1").box()), (std::vector<int>{0, 2}));
    Click(&Button("按钮1"));
    EXPECT_EQ(Items("列表框1"), std::vector<Text>{"b"});
    EXPECT_EQ(Items("列表框2"), (std::vector<Text>{"d", "a", "c"}));

    ClickItem("列表框2", 1);
    ClickItem("列表框2", 2, Qt::ShiftModifier);
    Click(&Button("按钮2"));
    EXPECT_EQ(Items("列表框1"), (std::vector<Text>{"b", "a", "c"}));
    EXPECT_EQ(Items("列表框2"), std::vector<Text>{"d"});

    // Nothing selected: nothing moves.
    Click(&Button("按钮2"));
    Click(&Button("按钮1"));
    EXPECT_EQ(Items("列表框1"), (std::vector<Text>{"b", "a", "c"}));
}

TEST_F(KeywordWindowTest, DoubleClickMovesTheItem) {
    Start("a\r\nb\r\nc\r\n");
    Open();
    ListBoxWidget& offered = List("列表框1");
    DoubleClick(offered.viewport(), offered.visualItemRect(offered.item(1)).center());
    EXPECT_EQ(Items("列表框1"), (std::vector<Text>{"a", "c"}));
    EXPECT_EQ(Items("列表框2"), std::vector<Text>{"b"});
    ListBoxWidget& inForce = List("列表框2");
    DoubleClick(inForce.viewport(), inForce.visualItemRect(inForce.item(0)).center());
    EXPECT_EQ(Items("列表框1"), (std::vector<Text>{"a", "c", "b"}));
    EXPECT_TRUE(Items("列表框2").empty());
}

TEST_F(KeywordWindowTest, TypedKeywordLosesItsBlanksOnly) {
    Start("");
    KeywordWindow& keywords = Open();
    EditBox& typed = *keywords.form().Find<EditBox>("编辑框3");
    auto* edit = keywords.findChild<QLineEdit*>(U("编辑框3"));
    struct Case {
        const char* name;
        QString typed;
        Text added;
    };
    const std::vector<Case> cases = {
        {"half- and full-width blanks", U("  \u3000抽奖\u3000 "), kLottery},
        {"inner blanks stay", U(" 抽 奖 "), "\xB3\xE9 \xBD\xB1"},
        {"tabs stay", U("\t抽奖"), "\t" + kLottery},
        {"only blanks give an empty keyword", U(" \u3000 "), ""},
    };
    std::vector<Text> expected;
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        edit->setText(QString());
        edit->insert(row.typed);
        Click(&Button("按钮3"));
        expected.push_back(row.added);
        EXPECT_EQ(Items("列表框2"), expected);
        EXPECT_EQ(ReadText(typed), "");
        EXPECT_TRUE(edit->text().isEmpty());
    }
    Click(&Button("按钮4"));
    EXPECT_EQ(window().keywordList().KeywordText(),
              kLottery + "\r\n\xB3\xE9 \xBD\xB1\r\n\t" + kLottery + "\r\n\r\n");
}

TEST_F(KeywordWindowTest, AcceptStoresBothListsAndCloses) {
    Start(kRebate + "\r\n" + kRedPacket + "\r\n" + kCheckIn + "\r\n");
    Open();
    ClickItem("列表框1", 0);
    ClickItem("列表框1", 1, Qt::ControlModifier);
    Click(&Button("按钮1"));
    Click(&Button("按钮4"));
    DrainEvents();
    EXPECT_EQ(window().keywordWindow(), nullptr);
    EXPECT_EQ(window().keywordList().KeywordText(), kRebate + "\r\n" + kRedPacket + "\r\n");
    EXPECT_EQ(window().keywords().AvailableKeywords(), kCheckIn + "\r\n");

    // The next opening shows what was stored.
    Open();
    EXPECT_EQ(Items("列表框1"), std::vector<Text>{kCheckIn});
    EXPECT_EQ(Items("列表框2"), (std::vector<Text>{kRebate, kRedPacket}));
}

TEST_F(KeywordWindowTest, AcceptWithNothingInForceKeepsEveryPost) {
    Start(kRebate + "\r\n");
    Open();
    ClickItem("列表框1", 0);
    Click(&Button("按钮1"));
    Click(&Button("按钮4"));
    ASSERT_EQ(window().keywordList().KeywordText(), kRebate + "\r\n");
    Open();
    ClickItem("列表框2", 0);
    Click(&Button("按钮2"));
    Click(&Button("按钮4"));
    EXPECT_EQ(window().keywordList().KeywordText(), "");
    EXPECT_TRUE(window().keywordList().Snapshot()->keywords().empty());
    EXPECT_EQ(window().keywords().AvailableKeywords(), kRebate + "\r\n");
}

TEST_F(KeywordWindowTest, CloseButtonDropsTheChanges) {
    Start(kRebate + "\r\n" + kRedPacket + "\r\n");
    Open();
    ClickItem("列表框1", 0);
    Click(&Button("按钮1"));
    SetText(*window().keywordWindow()->form().Find<EditBox>("编辑框3"), kLottery);
    Click(&Button("按钮3"));
    CloseWithTitleBar();
    EXPECT_EQ(window().keywordWindow(), nullptr);
    EXPECT_EQ(window().keywordList().KeywordText(), "");
    EXPECT_EQ(window().keywords().AvailableKeywords(), kRebate + "\r\n" + kRedPacket + "\r\n");
    Open();
    EXPECT_EQ(Items("列表框1"), (std::vector<Text>{kRebate, kRedPacket}));
    EXPECT_TRUE(Items("列表框2").empty());
}

TEST_F(KeywordWindowTest, FileIsReadOncePerRunAndASecondOpeningRaisesTheWindow) {
    const auto file = dir.Write("keywords.txt", kRebate + "\r\n");
    WindowConfig config;
    config.keywordFile = file;
    StartWith(std::move(config));
    KeywordWindow& first = Open();
    ClickItem("列表框1", 0);
    Click(&Button("按钮1"));

    // Opening again while open: the same window, its lists as the user left them.
    dir.Write("keywords.txt", kCheckIn + "\r\n");
    first.showMinimized();
    EXPECT_EQ(&Open(), &first);
    EXPECT_FALSE(first.isMinimized());
    EXPECT_TRUE(Items("列表框1").empty());
    EXPECT_EQ(Items("列表框2"), std::vector<Text>{kRebate});

    // Closed without 确定 and reopened: the file's first text, not its new one.
    CloseWithTitleBar();
    Open();
    EXPECT_EQ(Items("列表框1"), std::vector<Text>{kRebate});
    EXPECT_FALSE(window().keywords().FilePending());
}

}  // namespace
}  // namespace lumora::test
