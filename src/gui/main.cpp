#include "gui/MainWindow.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Varnholm"));
    QApplication::setOrganizationName(QStringLiteral("Tessaly"));
    MainWindow window;
    window.show();
    return QApplication::exec();
}
