// The baseline of the start-up benchmark: a bare Qt Widgets program that shows a main window
// with a tab widget and a table view, and quits once the window is shown.
#include <QApplication>
#include <QMainWindow>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    auto* tabs = new QTabWidget(&window);
    auto* view = new QTableView(tabs);
    auto* model = new QStandardItemModel(10, 3, view);
    view->setModel(model);
    tabs->addTab(view, QStringLiteral("Table"));
    window.setCentralWidget(tabs);
    window.resize(800, 600);
    window.show();
    QTimer::singleShot(0, &app, &QApplication::quit);
    return QApplication::exec();
}
