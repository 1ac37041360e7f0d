#pragma once

#include "participants/CsvImport.h"

#include <QDialog>

#include <memory>

namespace Ui {
class TImportPreview;
}

namespace wm {

// The preview of a boat list before it is imported: every row of the file with what will happen to it.
// "Importieren" accepts, "Abbrechen" rejects; the dialog itself writes nothing.
class TImportPreview : public QDialog {
    Q_OBJECT
public:
    explicit TImportPreview(const QList<ImportRow>& rows, QWidget* parent = nullptr);
    ~TImportPreview() override;

private:
    std::unique_ptr<Ui::TImportPreview> m_ui;
};

} // namespace wm
