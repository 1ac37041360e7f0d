#include "series/TSeriesManager.h"

#include "desktop/ActionGuard.h"
#include "desktop/ClassReportPanel.h"
#include "desktop/CommandLabels.h"
#include "desktop/GridBinding.h"
#include "desktop/Notifier.h"
#include "desktop/Preview.h"
#include "series/AppendRace.h"
#include "series/SeriesStore.h"
#include "series/TReportS.h"
#include "series/TSeriesRules.h"
#include "store/Clock.h"
#include "store/Error.h"
#include "timing/Race.h"
#include "ui_TSeriesManager.h"

#include <QCursor>
#include <QDir>
#include <QHeaderView>
#include <QMenu>
#include <QPrinter>

#include <algorithm>

namespace wm {

namespace {

const QString kNoSeries = QStringLiteral("Bitte wählen Sie zuerst eine Serie aus.");

} // namespace

TSeriesManager::TSeriesManager(Race& running, const Seams& seams, QWidget* parent)
    : BrowserDialog(parent), m_ui(std::make_unique<Ui::TSeriesManager>()), m_running(running), m_seams(seams),
      m_grid(m_tblSerie) {
    m_ui->setupUi(this);
    setUpFrame({m_ui->HeaderBG, m_ui->MisterX, m_ui->TreeView1, Placement::OverOwner},
               [this](const QString& name) { TreeView1Change(name); });
    commands().add({m_ui->Label1, m_ui->imgClose, 6, 7, [this] { accept(); }});
    commands().add({m_ui->Label3, m_ui->imgNewS, 10, 11, [this] { Label3Click(); }});
    commands().add({m_ui->Label4, nullptr, 0, 0, [this] { Label4Click(); }});
    commands().add({m_ui->LabelWertung, nullptr, 0, 0, [this] { LabelWertungClick(); }});
    m_reports =
        new ClassReportPanel({m_ui->Label2, m_ui->imgReport, m_ui->Label13, m_ui->Label14, m_ui->Label7, m_ui->Label5,
                              m_ui->Label6, m_ui->ComboBox1, m_ui->Edit1, m_ui->UpDown1, m_ui->Edit2, m_ui->UpDown2},
                             {[this] { Label2Click(); }, [this] { Label13Click(); }, [this] { Label14Click(); },
                              [this] { Label7Click(); }, [this] { Label5Click(); }, [this] { Label6Click(); }},
                             commands(), this);

    m_popAppend = new QMenu(this);
    m_popAppend->setObjectName(QStringLiteral("popAppend"));

    m_grid.setErrorHandler([this](const QString& message) { m_seams.prompts.error(message); });
    bindGrid(m_ui->DBGrid1, &m_grid);
    connect(&m_grid, &RecordModel::currentChanged, this,
            [this] { m_ui->CurrTyp->setText(m_grid.hasCurrent() ? m_grid.currentText(field::TYP) : QString()); });
    connect(m_ui->Button3, &QPushButton::clicked, this, &TSeriesManager::Button3Click);

    m_ui->Label2->setEnabled(false);
    m_ui->imgReport->setEnabled(false);
    m_ui->Label4->setEnabled(false);
    m_ui->LabelWertung->setEnabled(false);
    RefreshTree();
}

TSeriesManager::~TSeriesManager() = default;

QStringList TSeriesManager::raceMenu() const {
    QStringList names;
    for (const QAction* action : m_popAppend->actions()) {
        names << action->data().toString();
    }
    return names;
}

void TSeriesManager::aboutToShow() {
    RefreshPop();
}

// ---- series tree, race list, race menu and type list ----

void TSeriesManager::enableAppend() {
    m_ui->Label4->setEnabled(!m_series.name.isEmpty() && (m_tblSerie.isOpen() || seriesExists(m_series)));
    m_ui->LabelWertung->setEnabled(m_tblSerie.isOpen());
}

void TSeriesManager::RefreshTree() {
    listNames(seriesNames(m_seams.programDir), m_tblSerie.isOpen() ? m_series.name : QString());
    enableAppend();
}

void TSeriesManager::TreeView1Change(const QString& name) {
    guarded(m_seams.prompts, [&] {
        closeSeriesTable();
        m_series = seriesFiles(m_seams.programDir, name);
        m_rules = {};
        try {
            openSeriesTable();
        } catch (const Error&) {
            showSeries();
            enableAppend();
            throw;
        }
        readRules();
        RefreshWF();
        enableAppend();
    });
}

void TSeriesManager::RefreshWF() {
    m_ui->WFList->setPlainText(raceListLines(m_series.settingsPath, raceCount(m_tblSerie)).join(u'\n'));
    showSeries();
}

// The grid's columns for the open series (none while no series is open).
void TSeriesManager::showSeries() {
    QTableView* view = m_ui->DBGrid1;
    QList<SeriesColumn> columns =
        m_tblSerie.isOpen() ? seriesGridColumns(m_tblSerie.fields(), view->width()) : QList<SeriesColumn>();
    QList<RecordModel::Column> shown;
    for (const SeriesColumn& c : columns) {
        shown.append({c.field, c.caption, c.width});
    }
    m_standings.clear();
    m_grid.setArrange({});
    if (m_tblSerie.isOpen() && m_rules.kind == SeriesRules::Kind::AppendixA) {
        // Under Appendix A the grid also shows the place and the net total, ranked by them.
        const QList<qint64> rowids = m_tblSerie.selectRowids();
        const QList<BoatStanding> standings = scoreAppendixA(seriesRaceEntries(m_tblSerie), m_rules);
        for (qsizetype b = 0; b < rowids.size(); ++b) {
            m_standings.insert(rowids[b], standings.value(b));
        }
        auto column = [this](const QString& title, int width, auto value) {
            return RecordModel::Column{{}, title, width, [this, value](qint64 rowid) {
                                           const auto at = m_standings.constFind(rowid);
                                           return at == m_standings.constEnd() ? QString() : value(*at);
                                       }};
        };
        const int width = view->width();
        shown.prepend(column(kPlatz, width / 20, [](const BoatStanding& b) { return QString::number(b.place); }));
        columns.prepend({{}, kPlatz, width / 20, true});
        const qsizetype total = 1 + kSeriesFixedFields; // after "Gesamt", the last fixed field
        shown.insert(total, column(kNetto, width / 14, [](const BoatStanding& b) { return pointsText(b.net); }));
        columns.insert(total, {{}, kNetto, width / 14, true});
        m_grid.setArrange([this](QList<qint64>& ids) {
            std::stable_sort(ids.begin(), ids.end(), [this](qint64 a, qint64 b) {
                return m_standings.value(a).place < m_standings.value(b).place;
            });
        });
    }
    m_grid.setColumns(shown);
    if (m_tblSerie.isOpen()) {
        m_grid.refresh();
        m_grid.first();
    } else {
        m_grid.clear();
        m_ui->WFList->clear();
        m_ui->CurrTyp->clear();
    }
    showRules();
    applyColumnWidths(view, &m_grid);
    for (int i = 0; i < int(columns.size()); ++i) {
        view->setColumnHidden(i, !columns[i].visible);
    }
}

void TSeriesManager::readRules() {
    m_rules = {};
    try {
        m_rules = readSeriesRules(m_series.settingsPath);
    } catch (const Error& e) {
        m_seams.prompts.error(e.message());
    }
    showRules();
}

void TSeriesManager::showRules() {
    m_ui->lblWertung->setText(m_tblSerie.isOpen() ? QStringLiteral("Wertung: ") + seriesRulesLine(m_rules) : QString());
}

void TSeriesManager::RefreshPop() {
    m_popAppend->clear();
    guarded(m_seams.prompts, [&] {
        for (const QString& name : raceTableNames(m_seams.programDir)) {
            // Menus take '&' as the mark of an access key; doubled, it shows as typed.
            QAction* action = m_popAppend->addAction(QString(name).replace(u'&', QStringLiteral("&&")));
            action->setData(name);
            connect(action, &QAction::triggered, this, [this, name] { AppendRace(name); });
        }
    });
}

void TSeriesManager::RefreshCombo() {
    m_reports->gatherTypes(m_tblSerie);
}

// ---- opening and closing the series table ----

void TSeriesManager::openSeriesTable() {
    openSeries(m_tblSerie, m_series.tablePath);
    tblSerieAfterOpen();
}

void TSeriesManager::closeSeriesTable() {
    commitPendingEdit(m_ui->DBGrid1);
    m_grid.clear();
    if (m_tblSerie.isOpen()) {
        m_tblSerie.close();
    }
    tblSerieAfterClose();
}

void TSeriesManager::tblSerieAfterOpen() {
    m_reports->setEnabled(true);
    RefreshCombo();
}

void TSeriesManager::tblSerieAfterClose() {
    m_reports->setEnabled(false);
}

// ---- creating, deleting, appending ----

void TSeriesManager::Label3Click() {
    guarded(m_seams.prompts, [&] {
        const QString def = QStringLiteral("Serie001");
        const QString name =
            m_seams.prompts.inputText(QStringLiteral("Neue Serie"), QStringLiteral("Name für neue Serie"), def)
                .value_or(def);
        const SeriesFiles files = seriesFiles(m_seams.programDir, name);
        if (seriesExists(files) &&
            !m_seams.prompts.ask(
                QStringLiteral("Neue Serie"),
                QStringLiteral("Die Serie '%1' gibt es bereits. Soll sie durch eine leere Serie ersetzt "
                               "werden? Alle ihre Wertungen gehen dabei verloren.")
                    .arg(name),
                false)) {
            return;
        }
        const SeriesFiles previous = m_series;
        closeSeriesTable();
        try {
            createSeries(files);
        } catch (const Error&) {
            // The series shown before stays shown.
            if (!previous.name.isEmpty() && seriesExists(previous)) {
                openSeriesTable();
            }
            showSeries();
            throw;
        }
        m_series = files;
        m_rules = {};
        openSeriesTable();
        RefreshTree();
        readRules();
        // A new series has no races yet: the race list stays empty, even if an old settings file remains.
        RefreshWF();
    });
}

void TSeriesManager::Button3Click() {
    guarded(m_seams.prompts, [&] {
        if (!m_tblSerie.isOpen()) {
            m_seams.prompts.message(kNoSeries);
            return;
        }
        if (!m_seams.prompts.ask(
                kAppCaption,
                QStringLiteral("Die Serie '%1' mit allen Wertungen unwiderruflich löschen?").arg(m_series.name),
                false)) {
            return;
        }
        closeSeriesTable();
        try {
            deleteSeries(m_series);
        } catch (const Error&) {
            if (seriesExists(m_series)) {
                openSeriesTable();
            }
            RefreshWF();
            throw;
        }
        // Nothing is open now: the grid, the race list and the reports show no series until one is chosen.
        m_series = {};
        m_rules = {};
        showSeries();
        RefreshTree();
    });
}

void TSeriesManager::Label4Click() {
    RefreshPop();
    m_popAppend->popup(QCursor::pos());
}

void TSeriesManager::AppendRace(const QString& raceName) {
    guarded(m_seams.prompts, [&] {
        if (!requireSeries()) {
            return;
        }
        const QDir dataDir(m_seams.programDir.dataDir());
        const bool inProgress = m_running.holdsTable(dataDir.filePath(raceName + QStringLiteral(".db")));
        // The append works on the series file itself; the grid's connection must not hold it meanwhile.
        closeSeriesTable();
        struct Reopen {
            TSeriesManager& window;
            ~Reopen() {
                guarded(window.m_seams.prompts, [this] {
                    if (seriesExists(window.m_series)) {
                        window.openSeriesTable();
                    }
                    window.RefreshWF();
                    window.enableAppend();
                });
            }
        } reopen{*this};
        try {
            if (inProgress) {
                wm::AppendRace(m_series, m_running.table(), raceName,
                               dataDir.filePath(raceName + QStringLiteral(".ini")));
            } else {
                wm::AppendRace(m_seams.programDir, m_series, raceName);
            }
        } catch (const RaceOpenError& e) {
            throw Error(e.message() + QStringLiteral("\n\n") + e.detail());
        }
    });
}

// ---- reports ----

bool TSeriesManager::requireSeries() {
    if (!m_tblSerie.isOpen()) {
        m_seams.prompts.message(kNoSeries);
        return false;
    }
    commitPendingEdit(m_ui->DBGrid1);
    return true;
}

SeriesSelection TSeriesManager::selection(SeriesSelection::Kind kind) const {
    return {kind, m_reports->type(), m_reports->low(), m_reports->high()};
}

Result TSeriesManager::printedRanking(const SeriesSelection& sel) {
    const int n = raceCount(m_tblSerie);
    Result ranking = seriesResult(m_tblSerie, sel, seriesPrintedTitle(m_series.name, sel),
                                  raceListLine(raceListLines(m_series.settingsPath, n)), m_rules);
    if (n > TReportS::raceColumns(ranking)) {
        m_seams.prompts.message(ranking.appendixA ? kTooManyPlacedRacesMessage : kTooManyRacesMessage);
    }
    return ranking;
}

Result TSeriesManager::PrepareReport(bool range) {
    return printedRanking(selection(range ? SeriesSelection::Kind::Range : SeriesSelection::Kind::Type));
}

void TSeriesManager::previewReport(const Result& ranking) {
    // A notice still on screen would cover the preview.
    m_seams.notifier.clear();
    const ReportLayout layout = TReportS::layout(ranking, m_seams.clock.now());
    m_seams.preview.show(ranking.caption, layout.pageLayout,
                         [&layout](QPrinter& printer) { paintReport(layout, printer); });
}

void TSeriesManager::printReport(const std::function<Result()>& prepare) {
    guarded(m_seams.prompts, [&] {
        if (requireSeries()) {
            previewReport(prepare());
        }
    });
}

void TSeriesManager::Label2Click() {
    printReport([this] { return printedRanking(SeriesSelection()); });
}

void TSeriesManager::Label13Click() {
    printReport([this] { return PrepareReport(false); });
}

void TSeriesManager::Label14Click() {
    printReport([this] { return PrepareReport(true); });
}

void TSeriesManager::exportPdf(const SeriesSelection& sel) {
    if (!requireSeries()) {
        return;
    }
    const Result ranking =
        seriesResult(m_tblSerie, sel, seriesPdfHeader(m_series.name, sel),
                     raceListLine(raceListLines(m_series.settingsPath, raceCount(m_tblSerie))), m_rules);
    if (ranking.rows.rows.isEmpty()) {
        throw Error(noBoatsMessage(m_series.name, sel));
    }
    const QString path = ProgramDir::findEntry(m_seams.programDir.root(), QStringLiteral("Reports")) + u'/' +
                         seriesPdfName(m_series.name, sel);
    writeResultFiles(seriesFiles(ranking, m_seams.clock), path);
    m_seams.notifier.notify(kAppCaption, QStringLiteral("Der Report der Serie '") + ranking.caption +
                                             QStringLiteral("' wurde exportiert:\r\r") +
                                             QDir::toNativeSeparators(path));
}

void TSeriesManager::Label7Click() {
    guarded(m_seams.prompts, [&] { exportPdf(selection(SeriesSelection::Kind::All)); });
}

void TSeriesManager::Label5Click() {
    guarded(m_seams.prompts, [&] { exportPdf(selection(SeriesSelection::Kind::Type)); });
}

void TSeriesManager::Label6Click() {
    guarded(m_seams.prompts, [&] { exportPdf(selection(SeriesSelection::Kind::Range)); });
}

void TSeriesManager::LabelWertungClick() {
    guarded(m_seams.prompts, [&] {
        if (!requireSeries()) {
            return;
        }
        TSeriesRules dialog(m_rules, this);
        if (dialog.exec() != QDialog::Accepted) {
            return;
        }
        const SeriesRules rules = dialog.rules().value_or(m_rules);
        writeSeriesRules(m_series.settingsPath, rules);
        m_rules = rules;
        showSeries();
    });
}

} // namespace wm
