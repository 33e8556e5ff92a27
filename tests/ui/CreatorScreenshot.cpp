// Writes a picture of the Table Creator page after the customers example, or of the Execute SQL
// page with a statement typed, to look at their layout without a display:
//   QT_QPA_PLATFORM=offscreen tablory_ui_creator_screenshot creator.png [console]
#include "CreatorHelpers.h"

#include <QApplication>
#include <QPixmap>

#include <cstdio>
#include <string_view>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const bool console = argc == 3 && std::string_view(argv[2]) == "console";
    if (argc != 2 && !console) {
        std::fprintf(stderr, "usage: %s <file.png> [console]\n", argv[0]);
        return 2;
    }
    test::useApplicationTitle();
    test::CreatorWindow window;
    if (console) {
        if (!window.showPage(window::Page::ExecuteSql)) return 1;
        window.box("Memo1").setPlainText(
            QStringLiteral("insert into Customers ([Name]) values ('Ada Lovelace')"));
    } else {
        if (!window.showPage(window::Page::TableCreator)) return 1;
        window.buildCustomersSchema();
    }
    QCoreApplication::processEvents();
    const bool saved = window.form->grab().save(QString::fromLocal8Bit(argv[1]), "PNG");
    if (!saved) std::fprintf(stderr, "could not write %s\n", argv[1]);
    return saved ? 0 : 1;
}
