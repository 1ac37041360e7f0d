// Creates a participant table with an invented example fleet, so that a first run can time a race at once.
#include "participants/ExampleFleet.h"

#include "store/Error.h"
#include "store/Table.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: wendemark-example-fleet <file.db>\n");
        return 2;
    }
    try {
        const QString path = QString::fromLocal8Bit(argv[1]);
        wm::Table::create(path, wm::participantFields());
        wm::Table table;
        table.open(path);
        wm::writeExampleFleet(table);
    } catch (const wm::Error& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
