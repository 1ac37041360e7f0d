#pragma once

#include <QDialog>

#include <functional>
#include <memory>

namespace Ui {
class TNewParticipant;
}

namespace wm {

class ParticipantRegister;
class Prompts;

// The entry dialog for a new boat. The record is written only when it is saved, so a discarded or
// interrupted entry leaves nothing behind in the participant table.
class TNewParticipant : public QDialog {
    Q_OBJECT
public:
    TNewParticipant(ParticipantRegister& participants, Prompts& prompts, QWidget* parent = nullptr);
    ~TNewParticipant() override;

    // Where a saved boat's sail number (or boat name) goes: the main window's search field.
    void setSearchTextSink(std::function<void(const QString&)> sink) { m_setSearchText = std::move(sink); }

    void FormActivate();
    void Button1Click();
    void Button2Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    const std::unique_ptr<Ui::TNewParticipant> m_ui;
    ParticipantRegister& m_participants;
    Prompts& m_prompts;
    std::function<void(const QString&)> m_setSearchText;
};

} // namespace wm
