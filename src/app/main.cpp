// librovista: the desktop program.
#include <QApplication>
#include <cstdio>
#include <cstring>

#include "app/shell/app.h"

int main(int argc, char* argv[]) {
    // Answered before Qt starts, so that it works without a display.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("librovista %s\nprogram folder: %s\n", CLibrovistaApp::kVersion, GetProgramFolder(argv[0]).c_str());
        return 0;
    }
    CGuardedApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Librovista"));
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.librovista"));
    CLibrovistaApp app;
    if (!app.InitInstance(QApplication::arguments())) return 1;
    QApplication::exec();
    return app.ExitInstance();
}
