#include "desktop/ClassReportPanel.h"

#include "desktop/CommandLabels.h"
#include "desktop/UpDown.h"
#include "store/Table.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace wm {

ClassReportPanel::ClassReportPanel(const Widgets& widgets, const Handlers& handlers, CommandLabels& commands,
                                   QObject* parent)
    : QObject(parent), m_w(widgets) {
    commands.add({m_w.printAll, m_w.printAllIcon, 18, 4, handlers.printAll});
    commands.add({m_w.printType, nullptr, 0, 0, handlers.printType});
    commands.add({m_w.printRange, nullptr, 0, 0, handlers.printRange});
    commands.add({m_w.pdfAll, nullptr, 0, 0, handlers.pdfAll});
    commands.add({m_w.pdfType, nullptr, 0, 0, handlers.pdfType});
    commands.add({m_w.pdfRange, nullptr, 0, 0, handlers.pdfRange});

    m_w.lowSpinner->setBuddy(m_w.low);
    m_w.lowSpinner->setMinimum(60);
    m_w.lowSpinner->setMaximum(180);
    m_w.lowSpinner->setPosition(100);
    m_w.highSpinner->setBuddy(m_w.high);
    m_w.highSpinner->setMinimum(60);
    m_w.highSpinner->setMaximum(200);
    m_w.highSpinner->setPosition(110);
}

QString ClassReportPanel::type() const {
    return m_w.types->currentText();
}

QString ClassReportPanel::low() const {
    return m_w.low->text();
}

QString ClassReportPanel::high() const {
    return m_w.high->text();
}

void ClassReportPanel::gatherTypes(const Table& table) {
    QComboBox* types = m_w.types;
    const int typ = table.fieldIndex(field::TYP);
    for (const Table::Row& row : table.select()) {
        const QString type = displayText(row.values.value(typ));
        if (type.isEmpty() || types->findText(type, Qt::MatchExactly) >= 0) {
            continue;
        }
        int at = 0;
        while (at < types->count() && types->itemText(at).compare(type, Qt::CaseInsensitive) < 0) {
            ++at;
        }
        types->insertItem(at, type);
    }
    if (types->count() > 0) {
        types->setCurrentIndex(0);
    }
}

void ClassReportPanel::setEnabled(bool enabled) {
    for (QWidget* w : std::initializer_list<QWidget*>{m_w.printAll, m_w.printAllIcon, m_w.types, m_w.low, m_w.high,
                                                      m_w.lowSpinner, m_w.highSpinner}) {
        w->setEnabled(enabled);
    }
}

} // namespace wm
