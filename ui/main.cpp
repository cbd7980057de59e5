#include "ui/CalculatorWindow.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    halvern::ui::CalculatorWindow form1;
    form1.show();
    return QApplication::exec();
}
