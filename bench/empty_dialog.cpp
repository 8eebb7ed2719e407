// The yardstick for bench/start-time: the least a Qt Widgets program does to show a dialog
// (one label and one button), so that a start of the real program can be given as a multiple of
// it on the same machine and display.
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Empty dialog"));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QStringLiteral("Nothing to see here."), &dialog));
    auto* close = new QPushButton(QStringLiteral("Close"), &dialog);
    QObject::connect(close, &QPushButton::clicked, &dialog, &QDialog::accept);
    layout->addWidget(close);
    dialog.show();
    return dialog.exec();
}
