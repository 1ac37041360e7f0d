// Takes the handbook's pictures from the real windows: the program's windows over a temporary program folder
// with the example fleet, driven through a club evening (register, start sequence, start mode, finish mode,
// race over, race browser, a series of three races under the racing rules' Appendix A) and grabbed as PNG.
//
//     wendemark-handbook-shots <picture dir> <example fleet writer>
//
// Writes <picture dir>/*.png and <picture dir>/ergebnis.pdf (the race's PDF, for one page as a picture).
// Run under Xvfb (`make handbook`); prompts are scripted and the clock is a manual one, so every run shows the
// same times.
#include "MainFixture.h"
#include "app/RaceOffice.h"
#include "app/TMain.h"
#include "desktop/AppSetup.h"
#include "desktop/Prompts.h"
#include "raceedit/TRaceEdit.h"
#include "series/TSeriesManager.h"
#include "store/Fields.h"
#include "timing/StartClock.h"
#include "timing/TimeMath.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProcess>
#include <QSpinBox>
#include <QTest>

#include <cstdio>
#include <cstdlib>

using namespace wm;
using namespace wm::test;
using namespace Qt::Literals::StringLiterals;

namespace {

QString g_out;

[[noreturn]] void fail(const QString& what) {
    std::fprintf(stderr, "wendemark-handbook-shots: %s\n", qPrintable(what));
    std::exit(1);
}

void settle();

void showOnScreen(QWidget& w) {
    w.show();
    if (!QTest::qWaitForWindowExposed(&w)) {
        std::fprintf(stderr, "wendemark-handbook-shots: %s is not shown\n", qPrintable(w.objectName()));
        std::exit(1);
    }
}

void settle() {
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
        QTest::qWait(20);
    }
}

void save(QWidget& w, const QString& name) {
    settle();
    const QString path = g_out + u'/' + name + u".png"_s;
    if (!w.grab().save(path)) {
        fail(u"kann %1 nicht schreiben"_s.arg(path));
    }
    std::printf("%s\n", qPrintable(path));
}

QWidget* child(QWidget& root, const char* name) {
    auto* w = root.findChild<QWidget*>(QString::fromLatin1(name));
    if (!w) {
        fail(u"%1 hat kein %2"_s.arg(root.objectName(), QString::fromLatin1(name)));
    }
    return w;
}

void click(QWidget& root, const char* name) {
    if (!press(child(root, name))) {
        fail(u"%1 ist verborgen oder gesperrt"_s.arg(QString::fromLatin1(name)));
    }
}

// Grabs the next modal dialog as a picture, then lets `then` finish it (it is rejected when still open).
void shootNextDialog(const QString& name, std::function<void(QDialog&)> prepare = {},
                     std::function<void(QDialog&)> then = {}) {
    onNextDialog([name, prepare = std::move(prepare), then = std::move(then)](QDialog& dialog) {
        if (prepare) {
            prepare(dialog);
        }
        save(dialog, name);
        if (then) {
            then(dialog);
        }
    });
}

void setSpin(QDialog& dialog, const char* name, int value) {
    auto* spin = dialog.findChild<QSpinBox*>(QString::fromLatin1(name));
    if (!spin) {
        fail(u"kein %1"_s.arg(QString::fromLatin1(name)));
    }
    spin->setValue(value);
}

void tick(MainFixture& f, TMain& main, QTime t) {
    f.clock.setTime(t);
    main.startClock().Timer2Timer();
}

void selectBoat(TMain& main, const QString& sail) {
    RecordModel& list = main.race().list();
    for (int i = 0; i < list.count(); ++i) {
        if (list.value(i, field::SEGELNR).toString() == sail) {
            list.setCurrent(i);
            return;
        }
    }
    fail(u"Boot %1 ist nicht auf der Bahn"_s.arg(sail));
}

void enter(TMain& main, const QStringList& sails) {
    auto* search = qobject_cast<QLineEdit*>(child(main, "FilterStarter"));
    for (const QString& sail : sails) {
        search->setText(sail);
        QTest::keyClick(search, Qt::Key_Return);
    }
    search->clear();
}

struct Finish {
    QString sail;
    QTime at;     // a time of day, or
    QString code; // "DNF", "DSQ" or one of the menu
};

void record(MainFixture& f, TMain& main, const Finish& finish) {
    selectBoat(main, finish.sail);
    if (finish.code.isEmpty()) {
        tick(f, main, finish.at);
        click(main, "cmdZeiten");
    } else if (finish.code == u"DNF"_s) {
        click(main, "cmdDNF");
    } else {
        click(main, "cmdDSQ");
    }
}

const QStringList kBoats = {u"GER 1402"_s, u"GER 2188"_s, u"GER 511"_s, u"GER 7730"_s, u"G 1989"_s,   u"G 2501"_s,
                            u"G 345"_s,    u"G 78"_s,     u"GER 245"_s, u"GER 881"_s,  u"GER 4412"_s, u"GER 3050"_s};

// The first evening: start sequence and signals, finish mode with stamps, the race over and its PDF.
void firstRace(MainFixture& f) {
    f.clock.setTime(QTime(17, 58, 10));
    TMain& main = f.start().main();
    main.timLoadTimer();
    showOnScreen(main);
    save(main, u"hauptfenster"_s);

    shootNextDialog(
        u"neuer-teilnehmer"_s,
        [](QDialog& dialog) {
            const char* fields[] = {"DBEdit1", "DBEdit2", "DBEdit3", "DBEdit4", "DBEdit5", "DBEdit6"};
            const QStringList values = {u"GER 4711"_s, u"Pünktchen"_s, u"Jana Meyer"_s, u"Laser"_s, u"113"_s, u"1"_s};
            for (int i = 0; i < 6; ++i) {
                qobject_cast<QLineEdit*>(child(dialog, fields[i]))->setText(values[i]);
            }
        },
        [](QDialog& dialog) { click(dialog, "Button2"); });
    click(main, "cmdNewParticip");

    shootNextDialog(
        u"startfolge"_s, [](QDialog& dialog) { setSpin(dialog, "spnGroups", 3); },
        [](QDialog& dialog) { click(dialog, "cmdOK"); });
    click(main, "cmdStartfolge");
    click(main, "chkSignale");

    f.prompts.inputs = {u"Mittwoch 1"_s};
    click(main, "Label22");
    enter(main, kBoats);
    tick(f, main, QTime(18, 3, 30));
    save(main, u"start"_s);

    f.prompts.answers = {true};
    tick(f, main, QTime(18, 16, 0));
    click(main, "cmdZiel");
    const QList<Finish> first = {{u"GER 1402"_s, QTime(18, 48, 10), {}},
                                 {u"GER 2188"_s, QTime(18, 49, 2), {}},
                                 {u"G 1989"_s, QTime(18, 51, 40), {}},
                                 {u"GER 7730"_s, {}, u"DNF"_s}};
    for (const Finish& finish : first) {
        record(f, main, finish);
    }
    // Two boats close together: the times are taken first.
    for (const QTime& t : {QTime(18, 53, 11, 250), QTime(18, 53, 12, 900)}) {
        f.clock.setTime(t);
        click(main, "cmdStamp");
    }
    tick(f, main, QTime(18, 53, 30));
    selectBoat(main, u"GER 881"_s);
    save(main, u"ziel"_s);

    // The stamps assigned, then the rest of the fleet.
    auto* stamps = qobject_cast<QListWidget*>(child(main, "lstStamps"));
    for (const QString& sail : {u"G 2501"_s, u"G 345"_s}) {
        selectBoat(main, sail);
        stamps->setCurrentRow(stamps->count() - 1);
        click(main, "cmdAssign");
    }
    const QList<Finish> rest = {{u"GER 511"_s, QTime(18, 54, 30), {}}, {u"GER 245"_s, QTime(18, 56, 5), {}},
                                {u"GER 881"_s, QTime(18, 56, 9), {}},  {u"G 78"_s, QTime(18, 58, 44), {}},
                                {u"GER 4412"_s, QTime(19, 0, 20), {}}, {u"GER 3050"_s, {}, u"DSQ"_s}};
    for (const Finish& finish : rest) {
        record(f, main, finish);
    }
    if (main.race().mode() != Race::Mode::Over) {
        fail(u"die erste Wettfahrt ist nicht vorbei"_s);
    }
    click(main, "cmdReportPDF");
    save(main, u"vorbei"_s);
    const QString pdf = f.folder.path() + u"/Reports/Mittwoch 1.pdf"_s;
    QFile::remove(g_out + u"/ergebnis.pdf"_s);
    if (!QFile::copy(pdf, g_out + u"/ergebnis.pdf"_s)) {
        fail(u"kein PDF unter %1"_s.arg(pdf));
    }
    main.hide();
}

// Another evening, quickly: every start at a fixed time, the boats finished in the given order.
void quickRace(MainFixture& f, const QString& name, const QList<Finish>& finishes, const QStringList& boats) {
    f.stop();
    f.clock.setTime(QTime(17, 50, 0));
    TMain& main = f.start().main();
    main.timLoadTimer();
    for (int n = 1; n <= StartClock::kStarts; ++n) {
        main.startClock().setStartTime(n, ParseTime(u"18:%1:00"_s.arg(n * 5, 2, 10, QChar(u'0'))));
        main.startClock().setActive(n, n <= 3);
    }
    f.prompts.inputs = {name};
    click(main, "Label22");
    enter(main, boats);
    f.prompts.answers = {true};
    tick(f, main, QTime(18, 16, 0));
    click(main, "cmdZiel");
    for (const Finish& finish : finishes) {
        record(f, main, finish);
    }
    if (main.race().mode() != Race::Mode::Over) {
        fail(u"%1 ist nicht vorbei"_s.arg(name));
    }
}

// The first start after a crash: the question with the real message box of the program.
void resumeQuestion(MainFixture& f) {
    f.stop();
    f.clock.setTime(QTime(18, 20, 0));
    TMain& main = f.start().main();
    showOnScreen(main);
    DialogPrompts prompts;
    prompts.setParent(&main);
    shootNextDialog(u"fortsetzen"_s);
    prompts.ask(u"Wendemark"_s, u"Die Wettfahrt '%1' wurde nicht beendet. Fortsetzen?"_s.arg(u"Mittwoch 4"_s), true);
    main.hide();
}

void importAndYardstickList(MainFixture& f) {
    f.stop();
    TMain& main = f.start().main();
    main.timLoadTimer();
    showOnScreen(main);

    const QString boats = f.folder.path() + u"/Meldeliste.csv"_s;
    writeFile(boats, "Segelnummer;Bootsname;Name;Typ;Yardstick;Start\n"
                     "GER 1402;M\xc3\xb6we;Anke Brandt;Laser;113;1\n"
                     "GER 6021;Seeadler;Tom Brandt;Laser;113;1\n"
                     "GER 88;Kaiman;Ute Sander;Contender;1O5;1\n"
                     "G 612;Libelle;Rieke Hansen;420er;111;2\n");
    f.prompts.fileNames = {boats};
    shootNextDialog(u"import"_s);
    click(main, "cmdImportSID");

    const QString list = f.folder.path() + u"/DSV 2027.csv"_s;
    writeFile(list, "Typ;Yardstick;Hinweis\nLaser;112;\nFolkeboot;115 B;\n420er;110;\nPirat;112;\nJ/80;97;\n"
                    "Finn;109;\nOK-Jolle;111,5;\n");
    onNextDialog([&](QDialog& dialog) {
        f.prompts.fileNames = {list};
        click(dialog, "cmdFile");
        settle();
        dialog.resize(dialog.width(), dialog.height());
        save(dialog, u"yardstick-liste"_s);
    });
    click(main, "cmdYsList");
    main.hide();
}

void raceBrowser(MainFixture& f) {
    TRaceEdit& browser = f.app->raceEdit();
    showOnScreen(browser);
    auto* tree = browser.findChild<QAbstractItemView*>(u"TreeView1"_s);
    const QModelIndexList found =
        tree->model()->match(tree->model()->index(0, 0), Qt::DisplayRole, u"Mittwoch 1"_s, 1, Qt::MatchExactly);
    if (found.isEmpty()) {
        fail(u"Mittwoch 1 fehlt in der Nachbearbeitung"_s);
    }
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(found.first()).center());
    save(browser, u"nachbearbeiten"_s);
    browser.hide();
}

void series(MainFixture& f) {
    TSeriesManager& window = f.app->seriesManager();
    showOnScreen(window);
    f.prompts.inputs = {u"Mittwoch 2026"_s};
    click(window, "Label3");
    shootNextDialog(
        u"serie-wertung"_s,
        [](QDialog& dialog) {
            dialog.findChild<QComboBox*>(u"cboRegel"_s)->setCurrentIndex(1);
            click(dialog, "optStufen");
            setSpin(dialog, "spnAb1", 3);
            setSpin(dialog, "spnAnz1", 1);
        },
        [](QDialog& dialog) { click(dialog, "cmdOK"); });
    click(window, "LabelWertung");
    for (const QString& race : {u"Mittwoch 1"_s, u"Mittwoch 2"_s, u"Mittwoch 3"_s}) {
        click(window, "Label4");
        QMenu* menu = window.popAppend();
        const int at = int(window.raceMenu().indexOf(race));
        if (!menu->isVisible() || at < 0) {
            fail(u"%1 steht nicht im Menü"_s.arg(race));
        }
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(menu->actions().at(at)).center());
    }
    save(window, u"serie"_s);
    window.hide();
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    setUpApplication(app);
    if (argc != 3) {
        std::fprintf(stderr, "usage: wendemark-handbook-shots <picture dir> <example fleet writer>\n");
        return 2;
    }
    g_out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QDir().mkpath(g_out);

    MainFixture f;
    f.clock.set(QDateTime(QDate(2026, 5, 13), QTime(17, 58, 10)));
    if (QProcess::execute(QString::fromLocal8Bit(argv[2]), {f.folder.starter()}) != 0) {
        fail(u"die Beispielflotte wurde nicht geschrieben"_s);
    }
    firstRace(f);
    QList<Finish> second = {{u"GER 2188"_s, QTime(18, 47, 0), {}}, {u"GER 1402"_s, QTime(18, 47, 30), {}},
                            {u"G 2501"_s, QTime(18, 50, 10), {}},  {u"G 1989"_s, QTime(18, 51, 0), {}},
                            {u"GER 881"_s, QTime(18, 55, 0), {}},  {u"GER 245"_s, QTime(18, 55, 40), {}},
                            {u"GER 4412"_s, QTime(18, 58, 0), {}}, {u"G 345"_s, {}, u"DNF"_s},
                            {u"GER 511"_s, QTime(18, 52, 0), {}},  {u"GER 3050"_s, QTime(19, 1, 0), {}}};
    QStringList secondBoats = kBoats;
    secondBoats.removeAll(u"GER 7730"_s);
    secondBoats.removeAll(u"G 78"_s);
    quickRace(f, u"Mittwoch 2"_s, second, secondBoats);
    QList<Finish> third = {{u"GER 1402"_s, QTime(18, 46, 20), {}}, {u"G 78"_s, QTime(18, 49, 0), {}},
                           {u"GER 2188"_s, QTime(18, 48, 0), {}},  {u"GER 7730"_s, QTime(18, 49, 30), {}},
                           {u"G 1989"_s, QTime(18, 52, 15), {}},   {u"G 2501"_s, QTime(18, 52, 30), {}},
                           {u"G 345"_s, QTime(18, 53, 0), {}},     {u"GER 511"_s, QTime(18, 51, 0), {}},
                           {u"GER 245"_s, QTime(18, 57, 0), {}},   {u"GER 881"_s, QTime(18, 56, 30), {}},
                           {u"GER 4412"_s, QTime(18, 59, 0), {}},  {u"GER 3050"_s, QTime(19, 0, 0), {}}};
    quickRace(f, u"Mittwoch 3"_s, third, kBoats);
    raceBrowser(f);
    series(f);
    importAndYardstickList(f);
    resumeQuestion(f);
    return 0;
}
