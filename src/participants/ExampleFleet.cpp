#include "participants/ExampleFleet.h"

#include "store/Fields.h"
#include "store/Table.h"

namespace wm {

namespace {

struct Boat {
    const char* sailNumber;
    const char* boatName;
    const char* name;
    const char* type;
    double yardstick;
    int start;
};

const Boat kFleet[] = {
    {"GER 1402", "Möwe", "Anke Brandt", "Laser", 113, 1},
    {"GER 2188", "Blauer Peter", "Jonas Keller", "Laser", 113, 1},
    {"GER 511", "Flinke Jolle", "Merle Hansen", "Laser Radial", 117, 1},
    {"GER 7730", "Kleiner Wal", "Tim Oltmanns", "Europe", 115, 1},
    {"GER 90", "Seeschwalbe", "Greta Vogt", "OK-Jolle", 111, 1},
    {"GER 3321", "Windsbraut", "Hauke Petersen", "Finn", 110, 1},
    {"G 12", "Nordlicht", "Lars Behrens", "420er", 111, 2},
    {"G 4417", "Krabbe", "Frieda Albers", "420er", 111, 2},
    {"G 1989", "Sturmvogel", "Nils Janssen", "470er", 103, 2},
    {"G 2501", "Lütte Deern", "Ida Carstens", "Pirat", 113, 2},
    {"G 345", "Hafenkind", "Ole Thiessen", "Pirat", 113, 2},
    {"G 17", "Fliegender Fisch", "Paula Wendt", "Flying Dutchman", 84, 2},
    {"G 78", "Wellenreiter", "Finn Lorenzen", "Korsar", 106, 2},
    {"GER 245", "Seestern", "Klaus Martens", "Folkeboot", 116, 3},
    {"GER 881", "Albatros", "Birte Iwersen", "Folkeboot", 116, 3},
    {"GER 1201", "Silbermöwe", "Henning Rathje", "J/24", 100, 3},
    {"GER 4412", "Nordwind", "Svenja Röhl", "J/80", 98, 3},
    {"GER 67", "Ostwind", "Malte Sievers", "Drachen", 95, 3},
    {"GER 3050", "Kormoran", "Wiebke Lüders", "H-Boot", 107, 3},
    {"GER 19", "Leuchtfeuer", "Jan Ehlers", "Melges 24", 89, 3},
    {"GER 508", "Tümmler", "Carla Feddersen", "Dyas", 104, 3},
};

} // namespace

void writeExampleFleet(Table& participants) {
    Table::Transaction transaction(participants);
    for (const Boat& b : kFleet) {
        participants.insert({{field::SEGELNR, QString::fromUtf8(b.sailNumber)},
                             {field::BOOTSNAME, QString::fromUtf8(b.boatName)},
                             {field::NAME, QString::fromUtf8(b.name)},
                             {field::TYP, QString::fromUtf8(b.type)},
                             {field::YS, b.yardstick},
                             {field::START, b.start},
                             {field::STATUS, 0}});
    }
    transaction.commit();
}

} // namespace wm
