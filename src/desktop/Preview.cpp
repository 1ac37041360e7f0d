#include "desktop/Preview.h"

#include <QGuiApplication>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QWidget>

namespace wm {

void preparePrinter(QPrinter& printer, const QPageLayout& layout, const QString& title) {
    printer.setPageLayout(layout);
    // The report draws its own margins; the printer's would shift every text by them.
    printer.setFullPage(true);
    printer.setDocName(title);
}

void DialogPreview::show(const QString& title, const QPageLayout& layout, const Paint& paint) {
    QPrinter printer(QPrinter::HighResolution);
    preparePrinter(printer, layout, title);
    QPrintPreviewDialog dialog(&printer, m_parent);
    dialog.setWindowTitle(title);
    dialog.setWindowModality(Qt::ApplicationModal);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&](QPrinter* p) { paint(*p); });
    // Without a window manager a maximized state means nothing, so the dialog is also given the screen's size.
    if (const QScreen* screen = m_parent ? m_parent->screen() : QGuiApplication::primaryScreen()) {
        dialog.setGeometry(screen->availableGeometry());
    }
    dialog.setWindowState(Qt::WindowMaximized);
    dialog.exec();
}

} // namespace wm
