#include "desktop/Preview.h"

#include <QPrintPreviewDialog>
#include <QPrinter>

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
    dialog.setWindowState(Qt::WindowMaximized);
    dialog.exec();
}

} // namespace wm
