#include "Preview.h"

#include <QPrintPreviewDialog>
#include <QPrinter>

namespace wm {

void DialogPreview::show(const QString& title, const QPageLayout& layout, const Paint& paint) {
    QPrinter printer(QPrinter::HighResolution);
    // Full-page mode: the report places its own margins, so positions do not drift with the printer's.
    printer.setFullPage(true);
    printer.setPageLayout(layout);
    printer.setDocName(title);
    QPrintPreviewDialog dialog(&printer, m_parent);
    dialog.setWindowTitle(title);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&](QPrinter* p) { paint(*p); });
    dialog.setWindowState(Qt::WindowMaximized);
    dialog.exec();
}

} // namespace wm
