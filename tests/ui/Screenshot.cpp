// Writes a picture of the main window as it starts, or with every tab shown as after an Open,
// to look at its layout without a display:
//   QT_QPA_PLATFORM=offscreen tablory_ui_screenshot start.png [working]
#include "app/TForm1.h"

#include <QApplication>
#include <QCoreApplication>
#include <QPixmap>

#include <cstdio>
#include <string_view>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const bool working = argc == 3 && std::string_view(argv[2]) == "working";
    if (argc != 2 && !working) {
        std::fprintf(stderr, "usage: %s <file.png> [working]\n", argv[0]);
        return 2;
    }
    QCoreApplication::setApplicationName(QStringLiteral("Tablory"));
    app::TForm1 form;
    using window::Page;
    if (working)
        form.showPages(
            {Page::ExecuteSql, Page::QueryBuilder, Page::TableCreator, Page::TableBrowser});
    form.show();
    QCoreApplication::processEvents();
    const bool saved = form.grab().save(QString::fromLocal8Bit(argv[1]), "PNG");
    if (!saved) std::fprintf(stderr, "could not write %s\n", argv[1]);
    return saved ? 0 : 1;
}
