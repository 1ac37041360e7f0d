#pragma once

#include <QObject>
#include <QPageLayout>

namespace wm {

// The printed series ranking: A4 landscape with 10 mm margins.
class TReportS : public QObject {
    Q_OBJECT
public:
    explicit TReportS(QObject* parent = nullptr);
    QPageLayout pageLayout() const;
};

} // namespace wm
