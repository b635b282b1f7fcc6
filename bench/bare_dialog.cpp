// The baseline of korvel-bench's start-up and memory figures: a bare Qt
// Widgets dialog of the main dialog's client size (855 x 518) with nothing
// in it, run the way the program runs (a modal dialog in the toolkit's
// event loop) and observed through the same probe.
#include <QApplication>
#include <QDialog>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QDialog dialog;
    dialog.setFixedSize(855, 518);
    dialog.exec();
    return 0;
}
