#pragma once

#include <memory>

#include <QDialog>

class QLineEdit;
class QPushButton;
struct Workbench;

namespace Ui {
struct LearnParForm
{
    QLineEdit *TXT_EtaInc = nullptr;
    QLineEdit *TXT_EtaDec = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *Command1 = nullptr;
};
} // namespace Ui

// The "Auto Learning" dialog FRM_LearnPar: the factors applied to Eta when the error falls and
// when it does not. "&OK" (Command2) accepts and "&Cancel" (Command1) rejects; the caller reads
// the boxes after an accepted exec().
class LearnParForm final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LearnParForm)

public:
    explicit LearnParForm(QWidget *parent = nullptr);
    ~LearnParForm() override;

    Ui::LearnParForm *ui() const { return m_ui.get(); }

private:
    std::unique_ptr<Ui::LearnParForm> m_ui;
};

// CHK_AutoLearn checked: the dialog with the model's factors, modal; "&OK" turns adaptation on
// with the factors typed, "&Cancel" turns it off.
void runAutoLearnDialog(Workbench &wb, QWidget *parent);
