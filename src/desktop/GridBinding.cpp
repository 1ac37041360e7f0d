#include "GridBinding.h"

#include "RecordModel.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>

namespace wm {

void applyColumnWidths(QTableView* view, const RecordModel* model) {
    for (int i = 0; i < model->columns().size(); ++i) {
        view->setColumnWidth(i, model->columns()[i].width);
    }
}

void bindGrid(QTableView* view, RecordModel* model) {
    view->setModel(model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->verticalHeader()->setDefaultSectionSize(20);
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

} // namespace wm
