#include "raceedit/TRaceEdit.h"

#include "desktop/ActionGuard.h"
#include "desktop/ClassReportPanel.h"
#include "desktop/CommandLabels.h"
#include "desktop/GridBinding.h"
#include "desktop/RecordEditor.h"
#include "desktop/TResultCheck.h"
#include "raceedit/StoredRaces.h"
#include "store/Error.h"
#include "timing/Race.h"
#include "timing/ResultCheck.h"
#include "ui_TRaceEdit.h"

namespace wm {

namespace {

const QString kNoRaceHeading = QStringLiteral("Ausgewaehlte WF");

// The columns of the participant grid of the main window.
const QList<RecordModel::Column>& participantColumns() {
    static const QList<RecordModel::Column> columns = {{field::SEGELNR, QStringLiteral("Segelnr."), 78},
                                                       {field::BOOTSNAME, QStringLiteral("Bootsname"), 150},
                                                       {field::NAME, QStringLiteral("Name"), 167},
                                                       {field::TYP, QStringLiteral("Typ"), 118},
                                                       {field::YS, QStringLiteral("YS"), 44},
                                                       {field::START, QStringLiteral("Start"), 39}};
    return columns;
}

} // namespace

TRaceEdit::TRaceEdit(Race& running, const Seams& seams, QWidget* parent)
    : BrowserDialog(parent), m_ui(std::make_unique<Ui::TRaceEdit>()), m_running(running), m_seams(seams),
      m_entries(m_table) {
    m_ui->setupUi(this);
    setUpFrame({m_ui->HeaderBG, m_ui->MisterX, m_ui->TreeView1, Placement::CentreOfScreen},
               [this](const QString& name) { selectRace(name); });
    commands().add({m_ui->Label19, m_ui->imgHalt, 6, 7, [this] { closeWindow(); }});
    commands().add({m_ui->Label5, m_ui->imgDelete, 16, 17, [this] { Label5Click(); }});
    commands().add({m_ui->LabelStartFix, nullptr, 0, 0, [this] { LabelStartFixClick(); }});
    commands().add({m_ui->LabelCheck, nullptr, 0, 0, [this] { LabelCheckClick(); }});
    m_reports =
        new ClassReportPanel({m_ui->Label8, m_ui->imgReport, m_ui->Label13, m_ui->Label14, m_ui->Label17, m_ui->Label15,
                              m_ui->Label16, m_ui->ComboBox1, m_ui->Edit1, m_ui->UpDown1, m_ui->Edit2, m_ui->UpDown2},
                             {[this] { Label8Click(); }, [this] { Label13Click(); }, [this] { Label14Click(); },
                              [this] { Label17Click(); }, [this] { Label15Click(); }, [this] { Label16Click(); }},
                             commands(), this);

    m_entries.setColumns(participantColumns());
    m_entries.setErrorHandler([this](const QString& message) { m_seams.prompts.error(message); });
    bindGrid(m_ui->DBGrid1, &m_entries);
    m_editor = new RecordEditor(
        {m_ui->DBGrid1,
         m_ui->DBNavigator1,
         {{m_ui->DBEdit1, field::GZEIT}, {m_ui->DBEdit2, field::YS}},
         {{m_ui->DBText1, field::BZEIT}}},
        m_entries, m_seams.prompts, [this] { requireRace(); }, this);
    connect(m_ui->Button1, &QPushButton::clicked, this, &TRaceEdit::Button1Click);
    // Return in a field posts it; it must not also press the window's default button.
    m_ui->Button1->setAutoDefault(false);

    RefreshTree();
}

TRaceEdit::~TRaceEdit() = default;

void TRaceEdit::aboutToShow() {
    // The table was closed with the window; the heading names no race the grid does not show.
    m_ui->Label2->setText(kNoRaceHeading);
    m_raceName.clear();
    RefreshTree();
}

void TRaceEdit::RefreshTree() {
    listNames(raceNames(m_seams.programDir.dataDir()));
}

void TRaceEdit::refuseRunning(const QString& path) const {
    if (m_running.holdsTable(path)) {
        throw Error(QStringLiteral("Die Wettfahrt '%1' wird gerade im Hauptfenster gewertet. Sie kann hier erst "
                                   "bearbeitet oder gelöscht werden, wenn im Hauptfenster eine andere Wettfahrt "
                                   "begonnen oder das Programm neu gestartet wurde.")
                        .arg(m_running.name()));
    }
}

void TRaceEdit::selectRace(const QString& name) {
    guarded(m_seams.prompts, [&] {
        if (!m_editor->post()) {
            return;
        }
        closeRace();
        m_ui->Label2->setText(kNoRaceHeading);
        m_raceName.clear();
        const QString path = RaceFiles(m_seams.programDir.dataDir(), name).tablePath();
        refuseRunning(path);
        m_table.open(path, Table::Mode::Shared,
                     [](const Table& t) { t.requireLayout(raceFields(participantFields())); });
        Table1AfterOpen();
        m_raceName = name;
        m_ui->Label2->setText(name);
        m_entries.setOrder({});
        m_entries.setColumns(participantColumns());
        m_entries.refresh();
        applyColumnWidths(m_ui->DBGrid1, &m_entries);
        m_entries.first();
        m_editor->load();
    });
}

void TRaceEdit::closeRace() {
    m_entries.clear();
    m_table.close();
    m_editor->forget();
    m_editor->load();
}

void TRaceEdit::Table1AfterOpen() {
    m_reports->gatherTypes(m_table);
}

void TRaceEdit::requireRace() const {
    if (!m_table.isOpen()) {
        throw Error(QStringLiteral("Bitte wählen Sie zuerst eine Wettfahrt aus."));
    }
}

// ---- corrections ----

void TRaceEdit::Button1Click() {
    guarded(m_seams.prompts, [&] {
        requireRace();
        commitPendingEdit(m_ui->DBGrid1);
        const qint64 rowid = m_entries.currentRowid();
        if (rowid < 0) {
            throw Error(QStringLiteral("Die Wettfahrt '%1' hat keinen Eintrag.").arg(m_raceName));
        }
        // On a bad text this throws before anything is written; the fields keep what was typed.
        correctTime(m_table, rowid, m_ui->DBEdit1->text(), m_ui->DBEdit2->text());
        showRescored(rowid);
    });
}

void TRaceEdit::LabelStartFixClick() {
    guarded(m_seams.prompts, [&] {
        requireRace();
        if (!m_editor->post()) {
            return;
        }
        const std::optional<QString> groupText = m_seams.prompts.inputText(
            kAppCaption, QStringLiteral("Startzeit welcher Startgruppe (1-5)?"), QStringLiteral("1"));
        if (!groupText) {
            return;
        }
        const int group = parseStartGroup(*groupText);
        const std::optional<QString> shiftText = m_seams.prompts.inputText(
            kAppCaption, QStringLiteral("Um wie viele Sekunden verschieben (positiv: der Start war später)?"),
            QStringLiteral("0"));
        if (!shiftText) {
            return;
        }
        const int seconds = parseShiftSeconds(*shiftText);
        const QList<StartShift> plan = planStartShift(m_table, group, seconds);
        if (plan.isEmpty()) {
            m_seams.prompts.message(
                QStringLiteral("In der Startgruppe %1 hat kein Eintrag eine gesegelte Zeit.").arg(group));
            return;
        }
        if (!m_seams.prompts.ask(kAppCaption, startShiftPreview(plan, group, seconds))) {
            return;
        }
        shiftStart(m_table, group, seconds);
        showRescored(m_entries.currentRowid());
    });
}

void TRaceEdit::LabelCheckClick() {
    guarded(m_seams.prompts, [&] {
        requireRace();
        if (!m_editor->post()) {
            return;
        }
        const QStringList lines = checkRace(m_table, RaceFiles(m_seams.programDir.dataDir(), m_raceName).infoPath(),
                                            unassignedStampTexts(m_table));
        if (lines.isEmpty()) {
            m_seams.prompts.message(QStringLiteral("Keine Auffälligkeiten gefunden."));
            return;
        }
        confirmResultCheck(m_raceName, lines, this);
    });
}

void TRaceEdit::showRescored(qint64 rowid) {
    m_editor->forget();
    m_entries.setOrder({field::BZEIT});
    m_entries.refresh();
    m_entries.locate(rowid);
    m_editor->load();
}

// ---- closing and deleting ----

void TRaceEdit::closeWindow() {
    if (!m_editor->post()) {
        return;
    }
    closeRace();
    QDialog::accept();
}

void TRaceEdit::reject() {
    closeWindow();
}

void TRaceEdit::Label5Click() {
    guarded(m_seams.prompts, [&] {
        struct Refresh {
            TRaceEdit& window;
            ~Refresh() { window.RefreshTree(); }
        } refresh{*this};
        requireRace();
        refuseRunning(m_table.path());
        if (!m_seams.prompts.ask(kAppCaption, QStringLiteral("Diese Wettfahrt wirklich unwiderruflich löschen?"))) {
            return;
        }
        const QString path = m_table.path();
        closeRace();
        try {
            deleteRace(m_seams.programDir.dataDir(), m_raceName);
        } catch (const Error&) {
            // Nothing was deleted: the race stays chosen as it was.
            m_table.open(path);
            m_entries.refresh();
            m_entries.first();
            m_editor->load();
            throw;
        }
    });
}

} // namespace wm
