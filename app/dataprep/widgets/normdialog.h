#pragma once

#include <memory>

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStatusBar;

namespace Ui {
struct NormDialog
{
    QGroupBox *FRA_NormalizeTo = nullptr;
    QLineEdit *TXT_NMinIn = nullptr;
    QLineEdit *TXT_NMaxIn = nullptr;
    QLineEdit *TXT_NMinOut = nullptr;
    QLineEdit *TXT_NMaxOut = nullptr;
    QGroupBox *FRA_Loaded = nullptr;
    QLabel *TXT_MinIn = nullptr;
    QLabel *TXT_MaxIn = nullptr;
    QLabel *TXT_MinOut = nullptr;
    QLabel *TXT_MaxOut = nullptr;
    QGroupBox *FRA_Method = nullptr;
    QRadioButton *OPT_Node = nullptr;
    QRadioButton *OPT_GLB = nullptr;
    QGroupBox *FRA_Inputs = nullptr;
    QCheckBox *CHK_NormIns = nullptr;
    QRadioButton *CHK_InLin = nullptr;
    QRadioButton *CHK_InLog = nullptr;
    QGroupBox *FRA_Outputs = nullptr;
    QCheckBox *CHK_NormOuts = nullptr;
    QRadioButton *CHK_OutLin = nullptr;
    QRadioButton *CHK_OutLog = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *Command3 = nullptr;
    QPushButton *Command1 = nullptr;
    QLabel *Label3 = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    // First panel of StatusBar1: the progress texts.
    QLabel *Panel1 = nullptr;
};
} // namespace Ui

// The "Normalize Data" dialog Norm: target ranges, the ranges of the loaded data, the method and
// the transform of each side. "&Quit" closes it; "&Normalize" and "&Reset" belong to the binding
// layer (the dialog stays open while they run).
class NormDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NormDialog)

public:
    explicit NormDialog(QWidget *parent = nullptr);
    ~NormDialog() override;

    Ui::NormDialog *ui() const { return m_ui.get(); }

    // The hint of a side's frame reads "Click Reset to enable Log normalization " while its Log
    // option is disabled, and nothing otherwise; it follows the option by itself.
    void updateLogHints();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::unique_ptr<Ui::NormDialog> m_ui;
};
