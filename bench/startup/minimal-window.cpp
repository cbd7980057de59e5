// The floor of our toolkit: a Qt Widgets window with the calculator's ten controls at their
// places and nothing else (no icon, logo, colours, font fitting or calculation), for the start-up
// benchmark to compare with.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

int main(int argc, char* argv[]) {
    const QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Minimal Qt window"));
    window.setFixedSize(312, 213);
    (new QLineEdit(&window))->setGeometry(200, 136, 89, 19);
    (new QLineEdit(QStringLiteral("550"), &window))->setGeometry(200, 80, 89, 19);
    (new QPushButton(QStringLiteral("Calculate fee"), &window))->setGeometry(32, 136, 89, 17);
    (new QLineEdit(&window))->setGeometry(200, 56, 89, 19);
    (new QLabel(QStringLiteral("www.hfc.example"), &window))->setGeometry(2, 0, 87, 13);
    (new QLabel(QStringLiteral("This software is free. Feel free to donate to halvern 4711023"),
                &window))
        ->setGeometry(8, 192, 281, 17);
    (new QLabel(&window))->setGeometry(192, 0, 105, 45);
    (new QLabel(QStringLiteral("Fee $"), &window))->setGeometry(168, 139, 28, 13);
    (new QLabel(QStringLiteral("Goldprice $/ounce"), &window))->setGeometry(104, 82, 89, 17);
    (new QLabel(QStringLiteral("Input transfered amount $"), &window))
        ->setGeometry(72, 59, 121, 17);
    window.show();
    return QApplication::exec();
}
