#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <cstring>

#include "app/main_window.h"
#include "app/startup.h"
#include "app/translations.h"
#include "tavo_version.h"

// tavo [FILE|FOLDER]: the window, on the folder of FILE with FILE analysed,
// or on FOLDER; without an argument, on the data directory.
int main(int argc, char** argv) {
    // Answered before Qt looks for a display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("tavo %s\n", TAVO_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::printf(
                "Usage: tavo [FILE|FOLDER]\n"
                "Opens the window on FOLDER, or on the folder of the tester file FILE with FILE analysed;\n"
                "without an argument, on the data directory.\n");
            return 0;
        }
    }
    QApplication app(argc, argv);
    tavo::load_chinese_translations(app);
    QApplication::setApplicationVersion(QStringLiteral(TAVO_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("tavo"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("tavo")));
    const QStringList args = QApplication::arguments().mid(1);
    if (args.size() > 1)
        std::fprintf(stderr, "tavo: only the first argument is opened; %lld more ignored\n",
                     static_cast<long long>(args.size() - 1));
    const auto w = tavo::start_window(args);
    return app.exec();
}
