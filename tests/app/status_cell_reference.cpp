// For the test under Xvfb: draws the main window's job list holding one row whose status
// is the given text, on the same display and with the same set-up as the program's own
// list, saves it as PNG and prints where the status cell of that row lies
// ("x y width height", list coordinates), so the script can compare that cell with the
// real window's.
// Usage: status_cell_reference <out.png> <status text>
#include "main_dlg.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <out.png> <status text>\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    QTemporaryDir module;
    CMainDlg window(module.path().toLocal8Bit().constData());
    QTreeWidget* list = window.jobList();
    list->addTopLevelItem(new QTreeWidgetItem(
        QStringList{QStringLiteral("name"), QStringLiteral("00:00:03.00"), QStringLiteral("0.0MB"),
                    QString::fromLocal8Bit(argv[2])}));
    list->show();
    window.show();
    QApplication::processEvents();
    if (!list->grab().save(QString::fromLocal8Bit(argv[1])))
        return 1;
    const QModelIndex status = list->model()->index(0, 3);
    const QRect cell = list->visualRect(status).translated(list->viewport()->mapTo(list, QPoint(0, 0)));
    std::printf("%d %d %d %d\n", cell.x(), cell.y(), cell.width(), cell.height());
    return 0;
}
