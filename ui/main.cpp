#include "AppIdentity.h"
#include "ui/CalculatorWindow.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication::setApplicationName(QString::fromUtf8(halvern::ui::applicationName));
    QApplication::setApplicationVersion(QString::fromUtf8(halvern::ui::applicationVersion));
    QApplication::setDesktopFileName(QString::fromUtf8(halvern::ui::desktopFileName));
    QApplication app(argc, argv);

    halvern::ui::CalculatorWindow form1;
    form1.show();
    return QApplication::exec();
}
