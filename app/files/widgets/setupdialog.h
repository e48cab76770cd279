#pragma once

#include <memory>

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
struct Workbench;

namespace Ui {
struct SetupDialog
{
    QGroupBox *FRA_TrainingAlgorithm = nullptr;
    // The two elements of OPT_TrainigMTD, index 1 and 2.
    QRadioButton *OPT_TrainigMTD_1 = nullptr;
    QRadioButton *OPT_TrainigMTD_2 = nullptr;
    QLineEdit *TXT_GF = nullptr;
    QLineEdit *TXT_WCutOff = nullptr;
    QLineEdit *TXT_WDecay = nullptr;
    QLineEdit *TXT_Seed = nullptr;
    QGroupBox *FRA_Files = nullptr;
    QCheckBox *CHK_LocalNames = nullptr;
    QLineEdit *TXT_Editor = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *Command1 = nullptr;
};
} // namespace Ui

// The Setup dialog ("Axona Setup"): training algorithm, quick-prop parameters, the fixed seed,
// local file search and the editor. "&OK" (Command2) accepts and "&Cancel" (Command1) rejects; the caller stores the
// values after an accepted exec(). Choosing back-propagation disables the three quick-prop boxes.
class SetupDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SetupDialog)

public:
    explicit SetupDialog(QWidget *parent = nullptr);
    ~SetupDialog() override;

    Ui::SetupDialog *ui() const { return m_ui.get(); }

private:
    void updateQuickPropBoxes();

    std::unique_ptr<Ui::SetupDialog> m_ui;
};

// "&Setup...": the dialog filled from the model and the settings file, modal; "&OK" stores its
// values.
void runSetupDialog(Workbench &wb, QWidget *parent);
