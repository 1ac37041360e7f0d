#include "TReportS.h"

#include <QPageSize>

namespace wm {

TReportS::TReportS(QObject* parent) : QObject(parent) {
    setObjectName(QStringLiteral("TReportS"));
}

QPageLayout TReportS::pageLayout() const {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Millimeter);
}

} // namespace wm
