#pragma once

#include <QWidget>

#include <functional>

class QToolButton;

namespace wm {

class RecordModel;

// A row of record buttons over one RecordModel: first, prior, next, last, insert, delete, cancel, refresh, as
// chosen.
class DBNavigator : public QWidget {
    Q_OBJECT
public:
    enum Button { First, Prior, Next, Last, Delete, Refresh, Insert, Cancel };

    explicit DBNavigator(QWidget* parent = nullptr);
    void setButtons(const QList<Button>& buttons);
    void setModel(RecordModel* model) { m_model = model; }
    QToolButton* button(Button which) const;

signals:
    // Emitted instead of acting for the buttons that change records, which need the owner (confirmation,
    // error box).
    void insertRequested();
    void deleteRequested();
    void cancelRequested();
    void refreshRequested();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutButtons();
    void clicked(Button which);

    RecordModel* m_model = nullptr;
    QList<QToolButton*> m_buttons;
    QList<Button> m_kinds;
};

} // namespace wm
