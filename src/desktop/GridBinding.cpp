#include "desktop/GridBinding.h"

#include "store/RecordModel.h"

#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QStyledItemDelegate>
#include <QTableView>

#include <cmath>

namespace wm {

namespace {

constexpr int kRowHeight = 20;

// In-place editors take no more characters than the field holds.
class FieldWidthDelegate : public QStyledItemDelegate {
public:
    FieldWidthDelegate(RecordModel* model, QObject* parent) : QStyledItemDelegate(parent), m_model(model) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor); line && index.column() < m_model->columns().size()) {
            const FieldList& fields = m_model->table().fields();
            const FieldDef* f = findField(fields, m_model->columns()[index.column()].field);
            if (f && f->type == FieldType::Text && f->width > 0) {
                line->setMaxLength(f->width);
            }
        }
        return editor;
    }

private:
    RecordModel* m_model;
};

} // namespace

void applyColumnWidths(QTableView* view, const RecordModel* model) {
    const double scale = view->property("columnScale").isValid() ? view->property("columnScale").toDouble() : 1.0;
    for (int i = 0; i < model->columns().size(); ++i) {
        view->setColumnWidth(i, int(std::lround(model->columns()[i].width * scale)));
    }
}

void scaleGrid(QTableView* view, const RecordModel* model, double factor) {
    view->setProperty("columnScale", factor);
    view->verticalHeader()->setDefaultSectionSize(int(std::lround(kRowHeight * factor)));
    applyColumnWidths(view, model);
}

void commitPendingEdit(QTableView* view) {
    QWidget* editor = QApplication::focusWidget();
    if (editor && view->viewport()->isAncestorOf(editor)) {
        emit view->itemDelegate()->commitData(editor);
        emit view->itemDelegate()->closeEditor(editor);
    }
}

void bindGrid(QTableView* view, RecordModel* model) {
    view->setModel(model);
    view->setItemDelegate(new FieldWidthDelegate(model, view));
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->verticalHeader()->setDefaultSectionSize(kRowHeight);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setFixedWidth(14);
    view->horizontalHeader()->setHighlightSections(false);
    applyColumnWidths(view, model);
    QObject::connect(model, &QAbstractItemModel::modelReset, view, [view, model] { applyColumnWidths(view, model); });

    QObject::connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, model,
                     [model](const QModelIndex& current) {
                         if (current.isValid() && current.row() != model->current()) {
                             model->setCurrent(current.row());
                         }
                     });
    QObject::connect(model, &RecordModel::currentChanged, view, [view, model](int row) {
        if (row < 0) {
            view->selectionModel()->clearCurrentIndex();
            return;
        }
        const int column = std::max(0, view->currentIndex().column());
        const QModelIndex index = model->index(row, column);
        if (view->currentIndex() != index) {
            view->selectionModel()->setCurrentIndex(index,
                                                    QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        }
        view->scrollTo(index);
    });
}

void moveByArrowKey(RecordModel& list, int key) {
    switch (key) {
    case Qt::Key_Down:
        list.next();
        break;
    case Qt::Key_Up:
        list.prior();
        break;
    case Qt::Key_Left:
        list.first();
        break;
    case Qt::Key_Right:
        list.last();
        break;
    default:
        break;
    }
}

} // namespace wm
