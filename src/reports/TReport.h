#pragma once

#include <QObject>
#include <QPageLayout>

namespace wm {

// The printed race result: A4 landscape with 10 mm margins. Its bands are laid out by the result report.
class TReport : public QObject {
    Q_OBJECT
public:
    explicit TReport(QObject* parent = nullptr);
    QPageLayout pageLayout() const;
};

} // namespace wm
