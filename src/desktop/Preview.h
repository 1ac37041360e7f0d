#pragma once

#include <QPageLayout>

#include <functional>

class QPrinter;
class QWidget;

namespace wm {

// Readies a printer for a report laid out on the paper itself: the page layout first, then full-page mode,
// because setting a page layout switches full-page mode off again.
void preparePrinter(QPrinter& printer, const QPageLayout& layout, const QString& title);

// Shows a report: the real one opens the modal print preview from which the user prints; tests render the
// same pages into a PDF file instead.
class Preview {
public:
    using Paint = std::function<void(QPrinter&)>;
    virtual ~Preview() = default;
    virtual void show(const QString& title, const QPageLayout& layout, const Paint& paint) = 0;
};

class DialogPreview : public Preview {
public:
    void setParent(QWidget* parent) { m_parent = parent; }
    void show(const QString& title, const QPageLayout& layout, const Paint& paint) override;

private:
    QWidget* m_parent = nullptr;
};

} // namespace wm
