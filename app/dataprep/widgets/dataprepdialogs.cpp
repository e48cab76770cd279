#include "dataprep/widgets/dataprepdialogs.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

#include "dataprep/createtest.h"
#include "dataprep/normworkflow.h"
#include "dataprep/widgets/createtestform.h"
#include "dataprep/widgets/normdialog.h"
#include "gui/qtuiport.h"
#include "session/workbench.h"

namespace {

void showOption(QRadioButton *button, const NormOption &option)
{
    const QSignalBlocker block(button);
    button->setEnabled(option.enabled);
    if (option.checked) {
        button->setChecked(true);
    }
}

void showNormForm(NormDialog &dialog, const NormForm &form)
{
    Ui::NormDialog *ui = dialog.ui();
    const QSignalBlocker b1(ui->TXT_NMinIn), b2(ui->TXT_NMaxIn), b3(ui->TXT_NMinOut),
            b4(ui->TXT_NMaxOut), b5(ui->CHK_NormIns), b6(ui->CHK_NormOuts), b7(ui->OPT_GLB),
            b8(ui->OPT_Node);
    ui->TXT_NMinIn->setText(form.newMinIn);
    ui->TXT_NMaxIn->setText(form.newMaxIn);
    ui->TXT_NMinOut->setText(form.newMinOut);
    ui->TXT_NMaxOut->setText(form.newMaxOut);
    ui->TXT_MinIn->setText(form.minIn);
    ui->TXT_MaxIn->setText(form.maxIn);
    ui->TXT_MinOut->setText(form.minOut);
    ui->TXT_MaxOut->setText(form.maxOut);
    (form.global ? ui->OPT_GLB : ui->OPT_Node)->setChecked(true);
    ui->CHK_NormIns->setChecked(form.normIns);
    ui->CHK_NormOuts->setChecked(form.normOuts);
    showOption(ui->CHK_InLin, form.inLin);
    showOption(ui->CHK_InLog, form.inLog);
    showOption(ui->CHK_OutLin, form.outLin);
    showOption(ui->CHK_OutLog, form.outLog);
    ui->Panel1->setText(form.status);
    dialog.updateLogHints();
}

void showChoice(CreateTestForm &dialog, const CreateTestChoice &choice)
{
    Ui::CreateTestForm *ui = dialog.ui();
    for (std::size_t i = 0; i < 4; ++i) {
        const QSignalBlocker block(ui->TXT_Data[i]);
        ui->TXT_Data[i]->setText(choice.data[i]);
        ui->TXT_Data[i]->setVisible(choice.visible[i]);
        ui->LBL_Method[i]->setVisible(choice.visible[i]);
    }
    const QSignalBlocker block(ui->OPT_Method[static_cast<std::size_t>(choice.method - 1)]);
    ui->OPT_Method[static_cast<std::size_t>(choice.method - 1)]->setChecked(true);
    ui->Panel1->setText(choice.status);
}

} // namespace

void runNormalizeDialog(Workbench &wb, QtUiPort &port, QWidget *parent)
{
    NormDialog dialog(parent);
    Ui::NormDialog *ui = dialog.ui();
    NormForm form;
    form.onStatus = [ui, &port](const QString &text) {
        ui->Panel1->setText(text);
        port.yield();
    };
    port.setStatusPanel(ui->Panel1);
    {
        BusyGuard busy(port);
        fillNormForm(wb, form);
    }
    showNormForm(dialog, form);
    const auto refresh = [&dialog, &form] { showNormForm(dialog, form); };

    const auto bindText = [&](QLineEdit *box, QString NormForm::*field) {
        QObject::connect(box, &QLineEdit::textEdited, &dialog,
                         [&form, field](const QString &text) { form.*field = text; });
    };
    bindText(ui->TXT_NMinIn, &NormForm::newMinIn);
    bindText(ui->TXT_NMaxIn, &NormForm::newMaxIn);
    bindText(ui->TXT_NMinOut, &NormForm::newMinOut);
    bindText(ui->TXT_NMaxOut, &NormForm::newMaxOut);
    QObject::connect(ui->CHK_NormIns, &QCheckBox::clicked, &dialog, [&form, refresh](bool on) {
        setNormalizeInputs(form, on);
        refresh();
    });
    QObject::connect(ui->CHK_NormOuts, &QCheckBox::clicked, &dialog, [&form, refresh](bool on) {
        setNormalizeOutputs(form, on);
        refresh();
    });
    const auto bindOption = [&](QRadioButton *button, auto choose) {
        QObject::connect(button, &QRadioButton::clicked, &dialog, [&form, refresh, choose] {
            choose(form);
            refresh();
        });
    };
    bindOption(ui->CHK_InLin, [](NormForm &f) { chooseInputLog(f, false); });
    bindOption(ui->CHK_InLog, [](NormForm &f) { chooseInputLog(f, true); });
    bindOption(ui->CHK_OutLin, [](NormForm &f) { chooseOutputLog(f, false); });
    bindOption(ui->CHK_OutLog, [](NormForm &f) { chooseOutputLog(f, true); });
    bindOption(ui->OPT_GLB, [&wb](NormForm &f) { chooseGlobalNorm(wb, f, true); });
    bindOption(ui->OPT_Node, [&wb](NormForm &f) { chooseGlobalNorm(wb, f, false); });
    QObject::connect(ui->Command2, &QPushButton::clicked, &dialog, [&wb, &form, refresh] {
        normalizeData(wb, form);
        refresh();
    });
    QObject::connect(ui->Command3, &QPushButton::clicked, &dialog, [&wb, &form, &port, refresh] {
        BusyGuard busy(port);
        resetNormalization(wb, form);
        refresh();
    });
    dialog.exec();
    port.setStatusPanel(nullptr);
}

void runCreateTestDialog(Workbench &wb, QtUiPort &port, QWidget *parent)
{
    CreateTestForm dialog(parent);
    Ui::CreateTestForm *ui = dialog.ui();
    CreateTestChoice choice;
    choice.onStatus = [ui, &port](const QString &text) {
        ui->Panel1->setText(text);
        port.yield();
    };
    port.setStatusPanel(ui->Panel1);
    openCreateTest(wb, choice);
    showChoice(dialog, choice);
    for (std::size_t i = 0; i < 3; ++i) {
        QObject::connect(ui->OPT_Method[i], &QRadioButton::clicked, &dialog, [&dialog, &choice, i] {
            chooseTestMethod(choice, static_cast<int>(i));
            showChoice(dialog, choice);
        });
    }
    for (std::size_t i = 0; i < 4; ++i) {
        QObject::connect(ui->TXT_Data[i], &QLineEdit::textEdited, &dialog,
                         [&choice, i](const QString &text) { choice.data[i] = text; });
    }
    QObject::connect(ui->Command2, &QPushButton::clicked, &dialog, [&wb, &choice, &dialog] {
        createTest(wb, choice);
        dialog.accept();
    });
    dialog.exec();
    port.setStatusPanel(nullptr);
}
