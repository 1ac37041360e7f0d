#include "TReport.h"

#include <QPageSize>

namespace wm {

TReport::TReport(QObject* parent) : QObject(parent) {
    setObjectName(QStringLiteral("TReport"));
}

QPageLayout TReport::pageLayout() const {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Millimeter);
}

} // namespace wm
