#include "desktop/RecordEditor.h"

#include "desktop/ActionGuard.h"
#include "desktop/DBNavigator.h"
#include "desktop/GridBinding.h"
#include "store/RecordModel.h"

#include <QLabel>
#include <QLineEdit>
#include <QTableView>

#include <algorithm>

namespace wm {

RecordEditor::RecordEditor(const Widgets& widgets, RecordModel& model, Prompts& prompts,
                           std::function<void()> requireOpen, QObject* parent)
    : QObject(parent), m_w(widgets), m_model(model), m_prompts(prompts), m_requireOpen(std::move(requireOpen)) {
    connect(&m_model, &RecordModel::currentChanged, this, &RecordEditor::recordChanged);
    // Values changed under the fields show at once, unless the fields hold typed text.
    const auto reload = [this] {
        if (!m_dirty) {
            load();
        }
    };
    connect(&m_model, &QAbstractItemModel::dataChanged, this, reload);
    connect(&m_model, &QAbstractItemModel::modelReset, this, reload);
    for (const Field& f : m_w.fields) {
        connect(f.edit, &QLineEdit::textEdited, this, [this] { m_dirty = true; });
        connect(f.edit, &QLineEdit::returnPressed, this, [this] { postFields(); });
    }
    m_w.navigator->setButtons({DBNavigator::Insert, DBNavigator::Delete, DBNavigator::Cancel, DBNavigator::Refresh});
    m_w.navigator->setModel(&m_model);
    connect(m_w.navigator, &DBNavigator::insertRequested, this, &RecordEditor::insertRecord);
    connect(m_w.navigator, &DBNavigator::deleteRequested, this, &RecordEditor::deleteRecord);
    connect(m_w.navigator, &DBNavigator::cancelRequested, this, &RecordEditor::cancelEdit);
    connect(m_w.navigator, &DBNavigator::refreshRequested, this, &RecordEditor::refreshRecords);
}

void RecordEditor::load() {
    m_fieldsRowid = m_model.currentRowid();
    m_dirty = false;
    const bool has = m_model.hasCurrent();
    for (const Field& f : m_w.fields) {
        f.edit->setText(has ? m_model.currentText(f.field) : QString());
    }
    for (const Shown& s : m_w.shown) {
        s.label->setText(has ? m_model.currentText(s.field) : QString());
    }
}

void RecordEditor::forget() {
    m_dirty = false;
    m_insertedRowid = -1;
}

bool RecordEditor::post() {
    commitPendingEdit(m_w.grid);
    return postFields();
}

bool RecordEditor::postFields() {
    Table& table = m_model.table();
    if (!m_dirty || m_fieldsRowid < 0 || !table.isOpen()) {
        m_dirty = false;
        return true;
    }
    QVariantMap values;
    for (const Field& f : m_w.fields) {
        values.insert(f.field, f.edit->text());
    }
    const bool ok = guarded(m_prompts, [&] { table.setValues(m_fieldsRowid, values); });
    if (ok) {
        m_dirty = false;
        const qint64 rowid = m_fieldsRowid;
        guarded(m_prompts, [&] {
            m_model.refresh();
            m_model.locate(rowid);
        });
        load();
    }
    return ok;
}

void RecordEditor::recordChanged() {
    if (m_dirty && m_fieldsRowid != m_model.currentRowid()) {
        const qint64 typedFor = m_fieldsRowid;
        if (!postFields()) {
            // The typed text stays on screen with the record it was typed for.
            const QSignalBlocker block(&m_model);
            m_model.locate(typedFor);
            m_w.grid->selectRow(m_model.current());
            return;
        }
    }
    if (!m_dirty) {
        load();
    }
}

void RecordEditor::insertRecord() {
    guarded(m_prompts, [&] {
        m_requireOpen();
        if (!post()) {
            return;
        }
        const qint64 rowid = m_model.table().insert({});
        m_insertedRowid = rowid;
        m_model.refresh();
        m_model.locate(rowid);
        m_w.grid->setFocus();
        m_w.grid->edit(m_model.index(m_model.current(), 0));
    });
}

void RecordEditor::deleteRecord() {
    guarded(m_prompts, [&] {
        m_requireOpen();
        if (!m_model.hasCurrent() || !m_prompts.ask(kAppCaption, QStringLiteral("Datensatz löschen?"))) {
            return;
        }
        const qint64 rowid = m_model.currentRowid();
        m_dirty = false;
        m_model.table().removeRow(rowid);
        m_model.refresh();
        load();
    });
}

void RecordEditor::cancelEdit() {
    guarded(m_prompts, [&] {
        Table& table = m_model.table();
        // Closing the editors drops what is typed in the grid without writing it.
        m_w.grid->reset();
        m_dirty = false;
        if (table.isOpen() && m_insertedRowid >= 0 && m_insertedRowid == m_model.currentRowid()) {
            const Table::Row row = table.read(m_insertedRowid);
            if (std::all_of(row.values.begin(), row.values.end(), [](const QVariant& v) { return v.isNull(); })) {
                table.removeRow(m_insertedRowid);
            }
        }
        m_insertedRowid = -1;
        if (table.isOpen()) {
            m_model.refresh();
        }
        m_w.grid->selectRow(m_model.current());
        load();
    });
}

void RecordEditor::refreshRecords() {
    guarded(m_prompts, [&] {
        m_requireOpen();
        if (post()) {
            m_model.refresh();
            load();
        }
    });
}

} // namespace wm
