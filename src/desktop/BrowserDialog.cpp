#include "desktop/BrowserDialog.h"

#include "desktop/CommandLabels.h"
#include "desktop/WidgetScaling.h"

#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>
#include <QTreeView>

namespace wm {

BrowserDialog::BrowserDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinMaxButtonsHint) {}

BrowserDialog::~BrowserDialog() = default;

void BrowserDialog::setUpFrame(const Frame& frame, std::function<void(const QString&)> chosen) {
    m_frame = frame;
    applyPixelFonts(this);
    setModal(true);
    m_commands = new CommandLabels(m_images24, this);
    m_commands->setResetArea(frame.resetArea);
    frame.tree->setModel(&m_names);
    connect(frame.tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [chosen = std::move(chosen)](const QModelIndex& index) {
                if (index.isValid()) {
                    chosen(index.data().toString());
                }
            });
}

QStringList BrowserDialog::names() const {
    QStringList names;
    for (int r = 0; r < m_names.rowCount(); ++r) {
        names << m_names.item(r)->text();
    }
    return names;
}

void BrowserDialog::listNames(const QStringList& names, const QString& current) {
    const QSignalBlocker block(m_frame.tree->selectionModel());
    m_names.clear();
    QModelIndex chosen;
    for (const QString& name : names) {
        auto* item = new QStandardItem(name);
        item->setEditable(false);
        m_names.appendRow(item);
        if (!current.isEmpty() && name == current) {
            chosen = item->index();
        }
    }
    m_frame.tree->setCurrentIndex(chosen);
    m_frame.tree->expandAll();
}

void BrowserDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) {
        return;
    }
    const QWidget* owner = parentWidget();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect around = m_frame.placement == Placement::OverOwner && owner && owner->isVisible()
                             ? owner->frameGeometry()
                         : screen ? screen->availableGeometry()
                                  : QRect();
    if (around.isValid()) {
        move(around.center() - rect().center());
    }
    m_commands->showNormal();
    aboutToShow();
}

void BrowserDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (!m_frame.headerBand) {
        return;
    }
    // The band runs across the whole window, however wide it is made.
    QRect band = m_frame.headerBand->geometry();
    band.setWidth(width());
    m_frame.headerBand->setGeometry(band);
}

} // namespace wm
