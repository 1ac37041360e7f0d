#include "participants/ParticipantRegister.h"

namespace wm {

ParticipantRegister::ParticipantRegister() : m_model(m_table) {
    m_model.setColumns({{field::SEGELNR, QStringLiteral("Segelnr."), 78},
                        {field::BOOTSNAME, QStringLiteral("Bootsname"), 150},
                        {field::NAME, QStringLiteral("Name"), 167},
                        {field::TYP, QStringLiteral("Typ"), 118},
                        {field::YS, QStringLiteral("YS"), 44},
                        {field::START, QStringLiteral("Start"), 39}});
    m_model.setFilter(registerFilter(QString()), false);
}

void ParticipantRegister::open(const QString& path) {
    m_model.clear();
    // The layout is checked before the table is locked and written: a stored race named by mistake stays as
    // it is.
    m_table.open(path, Table::Mode::Exclusive, [](const Table& t) { t.requireLayout(participantFields()); });
}

void ParticipantRegister::close() {
    m_table.close();
    m_model.clear();
}

void ParticipantRegister::resetStatus() {
    m_table.setAll(field::STATUS, QStringLiteral("0"));
}

Filter ParticipantRegister::registerFilter(const QString& searchText) {
    const Filter available = Filter::equals(field::STATUS, QStringLiteral("0"));
    if (searchText.isEmpty()) {
        return available;
    }
    const QString p = searchText + u'*';
    return (Filter::match(field::SEGELNR, p) || Filter::match(field::BOOTSNAME, p) || Filter::match(field::NAME, p) ||
            Filter::match(field::TYP, p)) &&
           available;
}

void ParticipantRegister::setSearchText(const QString& searchText) {
    m_searchText = searchText;
    m_model.setFiltered(true);
    m_model.setFilter(registerFilter(searchText), !searchText.isEmpty());
    m_model.refresh();
    // The first match becomes current, so typing the start of a sail number and Enter takes that boat.
    m_model.first();
}

} // namespace wm
