#include <QCloseEvent>

#include <gtest/gtest.h>

#include "tests/ui/ui_support.h"

namespace lumora::test {
namespace {

class TrayTest : public testing::Test {
protected:
    explicit TrayTest(bool trayAvailable = true) {
        WindowConfig config;
        config.trayAvailable = trayAvailable;
        ui = std::make_unique<WindowUnderTest>(std::move(config));
        QObject::connect(ui->window.get(), &MainWindow::quitRequested, [this] { ++quits; });
        ui->window->show();
    }

    MainWindow& window() { return *ui->window; }
    /// What the title bar's close button, the system menu and Alt+F4 send.
    bool RequestClose() {
        QCloseEvent event;
        QApplication::sendEvent(&window(), &event);
        return event.isAccepted();
    }

    std::unique_ptr<WindowUnderTest> ui;
    int quits = 0;
};

TEST_F(TrayTest, CloseHidesToTheTrayAndLeftClickBringsTheWindowBack) {
    EXPECT_FALSE(ui->tray.shown);
    EXPECT_FALSE(RequestClose());
    EXPECT_FALSE(window().isVisible());
    EXPECT_TRUE(ui->tray.shown);
    EXPECT_EQ(ui->tray.tip, QStringLiteral("ok"));
    EXPECT_FALSE(ui->tray.icon.isNull());
    EXPECT_TRUE(ui->tray.icon.availableSizes().contains(QSize(32, 32)));
    ASSERT_NE(ui->tray.menu, nullptr);
    EXPECT_EQ(ui->tray.menu->objectName(), QString::fromUtf8("托盘"));
    EXPECT_EQ(quits, 0);

    ui->tray.Emit(Tray::kLeftClick);
    EXPECT_TRUE(window().isVisible());
    EXPECT_FALSE(ui->tray.shown);

    // A double-click brings nothing more than its first release did.
    ui->tray.Emit(Tray::kDoubleClick);
    EXPECT_TRUE(window().isVisible());
    EXPECT_FALSE(ui->tray.shown);
    EXPECT_TRUE(ui->popups.empty());
    EXPECT_EQ(quits, 0);
}

TEST_F(TrayTest, RightButtonOffersOnlyQuit) {
    RequestClose();
    ui->tray.Emit(Tray::kMenuRequest);
    ASSERT_EQ(ui->popups.size(), 1u);
    EXPECT_EQ(ui->popups[0], QString::fromUtf8("托盘"));
    const QList<QAction*> items = window().popupMenu("托盘")->actions();
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(items[0]->text(), QString::fromUtf8("退出"));
    EXPECT_FALSE(window().isVisible());
}

TEST_F(TrayTest, QuitStopsEveryMonitorAndEndsTheProgram) {
    for (int slot : {1, 2, 9}) {
        SetChecked(window().monitors().StartButtonOf(slot), true);
        window().monitors().StartMonitor(slot);
    }
    RequestClose();
    window().popupMenu("托盘")->actions().front()->trigger();
    EXPECT_EQ(quits, 1);
    for (int slot = 1; slot <= 9; ++slot) EXPECT_FALSE(window().monitors().IsRunning(slot)) << slot;
    EXPECT_FALSE(ui->tray.shown);
    EXPECT_TRUE(RequestClose()) << "once ending, the window closes for real";
    ui->window.reset();
}

class NoTrayTest : public TrayTest {
protected:
    NoTrayTest() : TrayTest(false) {}
};

TEST_F(NoTrayTest, CloseEndsTheProgramWhereNoTrayExists) {
    SetChecked(window().monitors().StartButtonOf(1), true);
    window().monitors().StartMonitor(1);
    EXPECT_TRUE(RequestClose());
    EXPECT_EQ(quits, 1);
    EXPECT_FALSE(ui->tray.shown);
    EXPECT_FALSE(window().monitors().IsRunning(1));
}

}  // namespace
}  // namespace lumora::test
