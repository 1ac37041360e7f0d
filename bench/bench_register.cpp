// The participant register with 10,000 boats: narrowing it while typing, and starting the program over it.

#include "BenchSupport.h"
#include "app/RaceOffice.h"
#include "app/TMain.h"
#include "desktop/AppSetup.h"
#include "participants/ParticipantRegister.h"
#include "store/Clock.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QLineEdit>
#include <QTableView>
#include <QWindow>

#include <functional>
#include <memory>
#include <sqlite3.h>

using namespace wm;

namespace {

constexpr int kBoats = 10'000;
constexpr int kStartups = 5;
constexpr int kTypingRounds = 4;

struct PaintWatch : QObject {
    bool painted = false;
    bool eventFilter(QObject*, QEvent* event) override {
        painted = painted || event->type() == QEvent::Paint;
        return false;
    }
};

// From the start of create() until the window it returns has been shown, exposed and painted once.
double timeToFirstPaint(const std::function<QWidget*()>& create) {
    QElapsedTimer timer;
    timer.start();
    QWidget* window = create();
    PaintWatch watch;
    window->installEventFilter(&watch);
    window->show();
    while (!(watch.painted && window->windowHandle() && window->windowHandle()->isExposed()) &&
           timer.elapsed() < 60'000) {
        QCoreApplication::processEvents();
    }
    const double ms = bench::elapsedMs(timer);
    window->removeEventFilter(&watch);
    return ms;
}

void freshCopy(const QString& from, const QString& to) {
    Table::remove(to);
    if (!QFile::copy(from, to)) {
        std::fprintf(stderr, "cannot copy %s\n", qPrintable(from));
    }
}

// The register's text comparison, as the program registers it with SQLite.
void matchFunction(sqlite3_context* context, int, sqlite3_value** argv) {
    auto text = [](sqlite3_value* v) {
        const auto* t = reinterpret_cast<const char*>(sqlite3_value_text(v));
        return t ? QString::fromUtf8(t, sqlite3_value_bytes(v)) : QString();
    };
    const QString value = text(argv[0]);
    const QString constant = text(argv[1]);
    const Qt::CaseSensitivity cs = sqlite3_value_int(argv[3]) ? Qt::CaseInsensitive : Qt::CaseSensitive;
    const bool result = sqlite3_value_int(argv[2]) ? value.startsWith(constant, cs) : value.compare(constant, cs) == 0;
    sqlite3_result_int(context, result ? 1 : 0);
}

// The register's query through the C API alone: same WHERE, same order, every column read.
class BareRegister {
public:
    explicit BareRegister(const QString& path) {
        sqlite3_open(path.toUtf8().constData(), &m_db);
        sqlite3_create_function_v2(m_db, "wm_match", 4, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, &matchFunction,
                                   nullptr, nullptr, nullptr);
        sqlite3_exec(m_db, "UPDATE records SET STATUS = 0", nullptr, nullptr, nullptr);
    }
    ~BareRegister() { sqlite3_close(m_db); }
    BareRegister(const BareRegister&) = delete;
    BareRegister& operator=(const BareRegister&) = delete;

    int select(const QString& searchText) {
        QVariantList binds;
        const QString where = ParticipantRegister::registerFilter(searchText).toSql(true, binds);
        const QByteArray sql =
            (QStringLiteral("SELECT rowid, * FROM records WHERE ") + where + QStringLiteral(" ORDER BY rowid"))
                .toUtf8();
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(m_db, sql.constData(), int(sql.size()), &statement, nullptr);
        for (int i = 0; i < binds.size(); ++i) {
            const QByteArray value = binds[i].toString().toUtf8();
            sqlite3_bind_text(statement, i + 1, value.constData(), int(value.size()), SQLITE_TRANSIENT);
        }
        int rows = 0;
        QList<QString> texts;
        while (sqlite3_step(statement) == SQLITE_ROW) {
            ++rows;
            for (int c = 0; c < sqlite3_column_count(statement); ++c) {
                if (sqlite3_column_type(statement, c) == SQLITE_TEXT) {
                    texts << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, c)),
                                               sqlite3_column_bytes(statement, c));
                } else {
                    m_sink += sqlite3_column_double(statement, c);
                }
            }
        }
        sqlite3_finalize(statement);
        return rows;
    }

private:
    sqlite3* m_db = nullptr;
    double m_sink = 0;
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    setUpApplication(application);

    test::ProgramFolder folder;
    // Outside data/: the start-up backup copies the data folder, and the fleet is only the source of each
    // fresh participant table.
    const QString original = folder.path() + QStringLiteral("/fleet.db");
    bench::writeFleet(original, bench::fleet(kBoats));
    bench::Seams seams;
    const Services services = seams.services(folder.path());

    // The same window over an empty program folder: no participant table, so nothing is read.
    test::ProgramFolder emptyFolder;
    bench::Seams emptySeams;
    const Services emptyServices = emptySeams.services(emptyFolder.path());

    std::unique_ptr<RaceOffice> windows;
    std::unique_ptr<RaceOffice> formOnly;
    std::unique_ptr<QWidget> bare;
    auto startForm = [&] {
        formOnly.reset();
        return timeToFirstPaint([&] {
            formOnly = std::make_unique<RaceOffice>(emptyServices);
            return &formOnly->main();
        });
    };
    auto startProgram = [&] {
        windows.reset();
        QFile::remove(folder.prefs());
        freshCopy(original, folder.starter());
        return timeToFirstPaint([&] {
            windows = std::make_unique<RaceOffice>(services);
            return &windows->main();
        });
    };
    auto startBare = [&] {
        bare.reset();
        formOnly.reset();
        return timeToFirstPaint([&] {
            bare = std::make_unique<QWidget>();
            bare->resize(972, 791);
            return bare.get();
        });
    };

    // The first window of a process pays for fonts and the platform plugin; neither run counts.
    startBare();
    startForm();
    startProgram();
    std::vector<double> program;
    std::vector<double> reference;
    std::vector<double> form;
    for (int k = 0; k < kStartups; ++k) {
        reference.push_back(startBare());
        form.push_back(startForm());
        program.push_back(startProgram());
        const int available = windows->main().participants().table().count(Filter::equals(field::STATUS, 0));
        if (available != kBoats || !seams.prompts.errors.isEmpty()) {
            std::fprintf(stderr, "start-up left %d of %d boats available, errors: %s\n", available, kBoats,
                         qPrintable(seams.prompts.errors.join(u'|')));
        }
    }
    bare.reset();

    TMain& main = windows->main();
    auto* search = main.findChild<QLineEdit*>(QStringLiteral("FilterStarter"));
    const RecordModel& model = main.participants().model();
    const Table& table = main.participants().table();
    const QString copy = folder.data(QStringLiteral("bare.db"));
    freshCopy(original, copy);
    BareRegister raw(copy);

    const QStringList words = {QStringLiteral("GER 1"),    QStringLiteral("Laser R"), QStringLiteral("Möwe 4"),
                               QStringLiteral("Jürgen K"), QStringLiteral("Ostwind"), QStringLiteral("H-Boot"),
                               QStringLiteral("1"),        QStringLiteral("anke br"), QStringLiteral("DEN 5"),
                               QStringLiteral("Opti"),     QStringLiteral("sönke ö"), QStringLiteral("Zugv")};
    std::vector<double> refilter;
    std::vector<double> painted;
    std::vector<double> selects;
    std::vector<double> sqlite;
    std::vector<double> clears;
    for (int round = 0; round < kTypingRounds; ++round) {
        for (const QString& word : words) {
            if (!search->text().isEmpty()) {
                QElapsedTimer cleared;
                cleared.start();
                search->clear();
                clears.push_back(bench::elapsedMs(cleared));
            }
            QCoreApplication::processEvents();
            for (qsizetype length = 1; length <= word.size(); ++length) {
                const QString typed = word.left(length);
                QElapsedTimer timer;
                timer.start();
                search->setText(typed);
                const double ms = bench::elapsedMs(timer);
                QCoreApplication::processEvents();
                refilter.push_back(ms);
                painted.push_back(bench::elapsedMs(timer));

                timer.restart();
                const qsizetype rows = table.select(ParticipantRegister::registerFilter(typed), true).size();
                selects.push_back(bench::elapsedMs(timer));

                timer.restart();
                const int rawRows = raw.select(typed);
                sqlite.push_back(bench::elapsedMs(timer));
                if (rows != model.count() || rawRows != rows) {
                    std::fprintf(stderr, "'%s': register %d, select %d, sqlite3 %d rows\n", qPrintable(typed),
                                 model.count(), int(rows), rawRows);
                }
            }
        }
    }

    bench::comment(
        "register_refilter: FilterStarter setText (synchronous refresh), median over typed characters; "
        "ratio over wm::Table::select with the same register filter on the program's own connection; "
        "register_query_sqlite3: the same WHERE through the sqlite3 C API on a copy; register_clear: "
        "emptying the field (all boats listed again), median and worst; startup: median of "
        "5 fresh copies, ratio over a bare 972x791 QWidget shown the same way; startup_form: the main window over "
        "an empty program folder, startup_form_ratio: startup with 10,000 boats over it");
    bench::print("register_refilter", bench::median(refilter), "ms");
    bench::print("register_refilter_ratio", bench::median(refilter) / bench::median(selects), "x");
    bench::print("register_refilter_worst", bench::worst(refilter), "ms");
    bench::print("register_refilter_painted", bench::median(painted), "ms");
    bench::print("register_clear", bench::median(clears), "ms");
    bench::print("register_clear_worst", bench::worst(clears), "ms");
    bench::print("register_query_select", bench::median(selects), "ms");
    bench::print("register_query_sqlite3", bench::median(sqlite), "ms");
    bench::print("startup", bench::median(program), "ms");
    bench::print("startup_ratio", bench::median(program) / bench::median(reference), "x");
    bench::print("startup_bare_widget", bench::median(reference), "ms");
    bench::print("startup_form", bench::median(form), "ms");
    bench::print("startup_form_ratio", bench::median(program) / bench::median(form), "x");
    return 0;
}
