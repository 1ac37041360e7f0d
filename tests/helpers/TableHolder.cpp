// A second process for the lock tests: "hold <path>" keeps the table open exclusively until stdin closes,
// "try <path>" reports whether an exclusive open succeeds.
#include "store/Error.h"
#include "store/Table.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3 || (args[1] != QLatin1String("hold") && args[1] != QLatin1String("try"))) {
        std::fputs("usage: table_holder hold|try <path>\n", stderr);
        return 2;
    }
    wm::Table table;
    try {
        table.open(args[2], wm::Table::Mode::Exclusive);
    } catch (const wm::Error& e) {
        std::printf("error: %s\n", e.what());
        std::fflush(stdout);
        return 1;
    }
    if (args[1] == QLatin1String("try")) {
        std::puts("ok");
        return 0;
    }
    std::puts("ready");
    std::fflush(stdout);
    // Hold the lock until the test closes our stdin (or kills us).
    char buffer[256];
    while (std::fread(buffer, 1, sizeof buffer, stdin) > 0) {
    }
    return 0;
}
