// librovista: the desktop program.
#include <QApplication>

#include "app/shell/app.h"

int main(int argc, char* argv[]) {
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Librovista"));
    CLibrovistaApp app;
    if (!app.InitInstance(QApplication::arguments())) return 1;
    QApplication::exec();
    return app.ExitInstance();
}
