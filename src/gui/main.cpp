#include "gui/MainWindow.h"

#include "support/LargePages.h"
#include "support/PlatformFolders.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[]) {
    PreferLargePagesForHeap();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Varnholm"));
    QApplication::setOrganizationName(QStringLiteral("Tessaly"));
    QApplication::setDesktopFileName(QStringLiteral("varnholm"));
    QApplication::setWindowIcon(QIcon::fromTheme(
        QStringLiteral("varnholm"),
        QIcon(PlatformFolders::InstalledDataFolder() + QStringLiteral("/icons/varnholm.svg"))));
    MainWindow window;
    window.show();
    window.HandleCommandLine(QApplication::arguments().mid(1));
    return QApplication::exec();
}
