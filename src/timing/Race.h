#pragma once

#include "store/RecordModel.h"
#include "store/Table.h"
#include "timing/RaceFiles.h"

#include <QDate>

#include <array>

namespace wm {

// The five staggered starts of a race.
constexpr int kStarts = 5;

// The suggested name of a race: year, German month abbreviation and day, e.g. "2005-Mrz-7".
QString defaultRaceName(const QDate& date);

// The race table's fields: the participant table's fields and "Punkte".
FieldList raceFields(const FieldList& participantFields);

// The race in progress: its table (held for this program alone), the race list over it and its mode.
class Race {
public:
    enum class Mode { NoRace, Start, Finish, Over };

    Race();

    Table& table() { return m_table; }
    RecordModel& list() { return m_list; }
    const QString& name() const { return m_name; }
    Mode mode() const { return m_mode; }
    void setMode(Mode mode) { m_mode = mode; }
    bool isOpen() const { return m_table.isOpen(); }
    // Whether the race is open on this table file, however the path names it.
    bool holdsTable(const QString& path) const;

    // Creates the race table (replacing a file of that name) and opens it. Throws wm::Error.
    void create(const QString& path, const QString& name, const FieldList& participantFields);
    // Opens a stored race for this program alone, to go on timing it. Throws wm::Error.
    void open(const QString& path, const QString& name);
    // The race information file beside the table: the entry count, the start times in force and the order of
    // the finishes.
    QString infoPath() const;
    void close();

    // Copies every participant row with the current boat's sail number, name and boat name into the race
    // (entered, STATUS 1) and marks the boat entered in the participant table. Returns the number copied.
    int addBoat(Table& participants, qint64 participantRowid);

    // The race list's search. In finish mode only boats still racing are ever listed, so a finished boat
    // can never be timed a second time.
    void setSearchText(const QString& text);
    const QString& searchText() const { return m_searchText; }
    static Filter searchFilter(const QString& text, bool finishMode);

    // Finish of the current entry with the elapsed time its start clock shows; the corrected time comes
    // from its Yardstick number. Throws wm::Error and changes nothing when the time or the number is unusable.
    void recordFinish(const QString& elapsed);
    // "DNF" or "DSQ" for the current entry.
    void recordMarker(const QString& marker);

    // A time taken at the line before the boat is named: the time of day in milliseconds, and the entry it was
    // assigned to (0 while unassigned). Kept in the race's own file, each committed when it is taken.
    struct Stamp {
        qint64 id = 0;
        int ms = 0;
        qint64 entry = 0;
    };
    // Takes a time, committed at once; returns its id. Throws wm::Error.
    qint64 addStamp(int msOfDay);
    // Every stamp, newest first.
    QList<Stamp> stamps() const;
    // Deletes an unassigned stamp. Throws wm::Error.
    void deleteStamp(qint64 id);
    // Finishes the current entry with this elapsed time and marks the stamp as its own, one commit. Refused
    // (wm::Error) for a stamp already assigned or an entry no longer racing.
    void assignStamp(qint64 id, const QString& elapsed);

    // The finished entries (rowids), first finish first. The order is committed with each finish; entries
    // finished otherwise (in the race browser) follow in natural order.
    QList<qint64> finishOrder() const;
    // Returns the most recently finished entry to racing (no times, no points), committed at once, and
    // returns its rowid; -1 when no entry has finished. A stamp it was finished with is unassigned again.
    // Throws wm::Error.
    qint64 undoLastFinish();

private:
    void leaveList();
    // Keeps the order of finishes in the race's own file (taking over an order kept in the information file).
    void prepareFinishOrder();
    // The entry's finish and its place in the order, one commit; then the entry leaves the list.
    void storeFinish(qint64 rowid, const QVariantMap& values, qint64 stamp = 0);

    Table m_table;
    RecordModel m_list;
    QString m_name;
    QString m_searchText;
    Mode m_mode = Mode::NoRace;
};

// The stamps kept in a race table, newest first; none for a race timed without them. Throws wm::Error.
QList<Race::Stamp> storedStamps(const Table& race);
// The times of the stamps not assigned to a boat, oldest first, as the stamp list shows them.
QStringList unassignedStampTexts(const Table& race);

// "18:47:12.345": a stamp's time of day.
QString stampText(int msOfDay);
// The elapsed time a start clock showed at a stamp: start − stamp, formatted as the clocks format it.
QString elapsedAtStamp(double startTime, int msOfDay);

// The start groups (1 to 5) that entries of the race use but that have no active start, in ascending order.
// Finish mode needs an active start for every group in use. Throws wm::Error.
QList<int> startsWithoutActiveStart(const Table& race, const std::array<bool, kStarts>& active);

// The race information file beside a race table: how many boats were entered.
void writeStarted(const QString& iniPath, int entries);

// The section of the race information file that keeps the start times in force while a race is timed.
inline const QString kStartTimesSection = QStringLiteral("Startzeiten");

// Races in the data folder whose timing was interrupted: entries still racing, start times kept, and the
// office has not declined to go on with them. Newest file first. Races that cannot be read are left out.
QStringList interruptedRaces(const QString& dataDir);
// Records that the race is not to be offered for resuming again (declined, or timed to the end). Throws
// wm::Error.
void declineResume(const QString& iniPath);

} // namespace wm
