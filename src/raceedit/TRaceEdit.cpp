#include "raceedit/TRaceEdit.h"

namespace wm {

TRaceEdit::TRaceEdit(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinMaxButtonsHint) {
    setObjectName(QStringLiteral("TRaceEdit"));
    setWindowTitle(QStringLiteral("Wettfahrt nachbearbeiten"));
    resize(854, 556);
    setModal(true);
}

} // namespace wm
