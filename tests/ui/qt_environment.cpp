// One QApplication for the whole test program, on the offscreen platform
// unless the caller chose another.

#include <QApplication>

#include <gtest/gtest.h>

#include "ui/startup.h"

namespace {

class QtEnvironment : public testing::Environment {
public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        m_app = std::make_unique<QApplication>(m_argc, m_argv);
        QApplication::setQuitOnLastWindowClosed(false);
        lumora::ApplyWindowStyle(*m_app);
    }
    void TearDown() override { m_app.reset(); }

private:
    int m_argc = 1;
    char m_name[8] = "test_ui";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QApplication> m_app;
};

[[maybe_unused]] testing::Environment* const kQtEnvironment = testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
