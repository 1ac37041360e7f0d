#include "desktop/DBNavigator.h"

#include "store/RecordModel.h"

#include <QStyle>
#include <QToolButton>

namespace wm {

namespace {

struct ButtonInfo {
    const char* name;
    QStyle::StandardPixmap pixmap;
    const char* tip;
};

ButtonInfo infoOf(DBNavigator::Button b) {
    switch (b) {
    case DBNavigator::First:
        return {"btnFirst", QStyle::SP_MediaSkipBackward, "Erster Datensatz"};
    case DBNavigator::Prior:
        return {"btnPrior", QStyle::SP_MediaSeekBackward, "Vorheriger Datensatz"};
    case DBNavigator::Next:
        return {"btnNext", QStyle::SP_MediaSeekForward, "Nächster Datensatz"};
    case DBNavigator::Last:
        return {"btnLast", QStyle::SP_MediaSkipForward, "Letzter Datensatz"};
    case DBNavigator::Insert:
        return {"btnInsert", QStyle::SP_FileDialogNewFolder, "Datensatz einfügen"};
    case DBNavigator::Delete:
        return {"btnDelete", QStyle::SP_DialogDiscardButton, "Datensatz löschen"};
    case DBNavigator::Cancel:
        return {"btnCancel", QStyle::SP_DialogCancelButton, "Bearbeitung abbrechen"};
    case DBNavigator::Refresh:
        return {"btnRefresh", QStyle::SP_BrowserReload, "Daten aktualisieren"};
    }
    return {"", QStyle::SP_CustomBase, ""};
}

} // namespace

DBNavigator::DBNavigator(QWidget* parent) : QWidget(parent) {}

void DBNavigator::setButtons(const QList<Button>& buttons) {
    qDeleteAll(m_buttons);
    m_buttons.clear();
    m_kinds = buttons;
    for (Button b : buttons) {
        const ButtonInfo info = infoOf(b);
        auto* button = new QToolButton(this);
        button->setObjectName(QString::fromLatin1(info.name));
        button->setIcon(style()->standardIcon(info.pixmap));
        button->setToolTip(QString::fromUtf8(info.tip));
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QToolButton::clicked, this, [this, b] { clicked(b); });
        button->show();
        m_buttons << button;
    }
    layoutButtons();
}

QToolButton* DBNavigator::button(Button which) const {
    const int i = int(m_kinds.indexOf(which));
    return i < 0 ? nullptr : m_buttons[i];
}

void DBNavigator::clicked(Button which) {
    switch (which) {
    case Insert:
        emit insertRequested();
        return;
    case Delete:
        emit deleteRequested();
        return;
    case Cancel:
        emit cancelRequested();
        return;
    case Refresh:
        emit refreshRequested();
        return;
    default:
        break;
    }
    if (!m_model) {
        return;
    }
    switch (which) {
    case First:
        m_model->first();
        break;
    case Prior:
        m_model->prior();
        break;
    case Next:
        m_model->next();
        break;
    case Last:
        m_model->last();
        break;
    default:
        break;
    }
}

void DBNavigator::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutButtons();
}

void DBNavigator::layoutButtons() {
    if (m_buttons.isEmpty()) {
        return;
    }
    const int n = int(m_buttons.size());
    for (int i = 0; i < n; ++i) {
        const int left = width() * i / n;
        const int right = width() * (i + 1) / n;
        m_buttons[i]->setGeometry(left, 0, right - left, height());
    }
}

} // namespace wm
