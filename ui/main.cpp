#include <QApplication>
#include <QLabel>

// Placeholder until the main window lands.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("Lumora: the window is not built yet; lumora-cli runs the monitors."));
    label.show();
    return app.exec();
}
