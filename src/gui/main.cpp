#include "gui/MainWindow.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Varnholm"));
    QApplication::setOrganizationName(QStringLiteral("Tessaly"));
    QApplication::setDesktopFileName(QStringLiteral("varnholm"));
    MainWindow window;
    window.show();
    window.HandleCommandLine(QApplication::arguments().mid(1));
    return QApplication::exec();
}
