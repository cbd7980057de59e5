#include "AppIdentity.h"
#include "ui/qt/CalculatorWindow.h"
#include "ui/qt/Startup.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    using namespace halvern::qt;
    QApplication::setApplicationName(QString::fromUtf8(applicationName));
    QApplication::setApplicationVersion(QString::fromUtf8(applicationVersion));
    QApplication::setDesktopFileName(QString::fromUtf8(desktopFileName));
    const auto app = openDisplay(argc, argv);
    QApplication::setApplicationDisplayName(QString::fromUtf8(applicationDisplayName));
    nameApplicationForAssistiveTechnology();

    CalculatorWindow form1;
    form1.show();
    WindowDestroyedWatcher watcher(form1);
    QApplication::instance()->installNativeEventFilter(&watcher);
    return QApplication::exec();
}
