#include "files/widgets/setupdialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "files/setup.h"
#include "gui/formhelpers.h"

SetupDialog::SetupDialog(QWidget *parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::SetupDialog>())
{
    Ui::SetupDialog &ui = *m_ui;
    setObjectName(QStringLiteral("Setup"));
    setWindowTitle(QStringLiteral("Axona Setup"));
    auto *layout = new QVBoxLayout(this);

    ui.FRA_TrainingAlgorithm =
            Form::frame(this, "FRA_TrainingAlgorithm", QStringLiteral("Training Algorithm"));
    {
        QGroupBox *box = ui.FRA_TrainingAlgorithm;
        auto *g = new QGridLayout(box);
        ui.OPT_TrainigMTD_1 =
                Form::option(box, "OPT_TrainigMTD_1", QStringLiteral("Back propagation"),
                             QStringLiteral("Select Back-Propagation training mode"));
        ui.OPT_TrainigMTD_2 = Form::option(box, "OPT_TrainigMTD_2", QStringLiteral("Quick Prop."),
                                           QStringLiteral("Select Quick-Prop. training mode"));
        ui.OPT_TrainigMTD_1->setProperty("index", 1);
        ui.OPT_TrainigMTD_2->setProperty("index", 2);
        ui.OPT_TrainigMTD_1->setChecked(true);
        ui.TXT_GF = Form::edit(box, "TXT_GF", QStringLiteral("1.75"),
                               QStringLiteral("Adjust Quick-Prop. Max. weight growth"));
        ui.TXT_WCutOff =
                Form::edit(box, "TXT_WCutOff", QStringLiteral("30"),
                           QStringLiteral("Weights above this value are multiplied by the Weight "
                                          "Decay"));
        ui.TXT_WDecay = Form::edit(box, "TXT_WDecay", QStringLiteral("0.01"),
                                   QStringLiteral("Multiplier of all weights above Weight Cutoff"));
        g->addWidget(ui.OPT_TrainigMTD_1, 0, 0);
        g->addWidget(ui.OPT_TrainigMTD_2, 1, 0);
        g->setColumnMinimumWidth(1, 16);

        const struct
        {
            const char *caption;
            QLineEdit *edit;
        } rows[] = {{"Growth Factor:", ui.TXT_GF},
                    {"Weight Cutoff:", ui.TXT_WCutOff},
                    {"Weight Decay:", ui.TXT_WDecay}};

        int row = 0;
        for (const auto &r : rows) {
            g->addWidget(Form::caption(box, QString::fromLatin1(r.caption)), row, 2);
            r.edit->setMaximumWidth(90);
            g->addWidget(r.edit, row, 3);
            ++row;
        }
        ui.TXT_Seed = Form::edit(box, "TXT_Seed", QString(),
                                 QStringLiteral("A whole number every random draw starts from, so "
                                                "runs repeat; empty for the clock"));
        ui.TXT_Seed->setMaximumWidth(90);
        g->addWidget(Form::caption(box, QStringLiteral("Fixed seed:")), row, 2);
        g->addWidget(ui.TXT_Seed, row, 3);
    }
    layout->addWidget(ui.FRA_TrainingAlgorithm);

    ui.FRA_Files = Form::frame(this, "FRA_Files", QStringLiteral("Files"));
    {
        QGroupBox *box = ui.FRA_Files;
        auto *g = new QGridLayout(box);
        ui.CHK_LocalNames =
                Form::check(box, "CHK_LocalNames", QStringLiteral("Search for local files first"),
                            QStringLiteral("Search for files in the local directory first"));
        ui.TXT_Editor = Form::edit(box, "TXT_Editor", QString(),
                                   QStringLiteral("Enter full path and name of the default text "
                                                  "editor"));
        ui.TXT_Editor->setMinimumWidth(260);
        g->addWidget(ui.CHK_LocalNames, 0, 0, 1, 2);
        g->addWidget(Form::caption(box, QStringLiteral("Editor:")), 1, 0);
        g->addWidget(ui.TXT_Editor, 1, 1);
    }
    layout->addWidget(ui.FRA_Files);

    ui.Command2 = Form::button(this, "Command2", QStringLiteral("&OK"));
    ui.Command1 = Form::button(this, "Command1", QStringLiteral("&Cancel"));
    ui.Command2->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ui.Command2);
    buttons->addWidget(ui.Command1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(ui.Command2, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui.Command1, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui.OPT_TrainigMTD_1, &QRadioButton::toggled, this, &SetupDialog::updateQuickPropBoxes);
    updateQuickPropBoxes();
}

SetupDialog::~SetupDialog() = default;

void SetupDialog::updateQuickPropBoxes()
{
    const bool quickProp = m_ui->OPT_TrainigMTD_2->isChecked();
    for (QLineEdit *edit : {m_ui->TXT_GF, m_ui->TXT_WCutOff, m_ui->TXT_WDecay}) {
        edit->setEnabled(quickProp);
    }
}

void runSetupDialog(Workbench &wb, QWidget *parent)
{
    SetupValues values = loadSetup(wb);
    SetupDialog dialog(parent);
    Ui::SetupDialog *ui = dialog.ui();
    ui->TXT_Editor->setText(values.editor);
    ui->CHK_LocalNames->setChecked(values.localNames);
    ui->OPT_TrainigMTD_1->setChecked(values.trainingMethod == 1);
    ui->OPT_TrainigMTD_2->setChecked(values.trainingMethod == 2);
    ui->TXT_GF->setText(values.growthFactor);
    ui->TXT_WCutOff->setText(values.weightCutOff);
    ui->TXT_WDecay->setText(values.weightDecay);
    ui->TXT_Seed->setText(values.fixedSeed);
    for (QLineEdit *box : {ui->TXT_GF, ui->TXT_WCutOff, ui->TXT_WDecay}) {
        box->setEnabled(values.quickPropEnabled);
    }
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    values.editor = ui->TXT_Editor->text();
    values.localNames = ui->CHK_LocalNames->isChecked();
    if (ui->OPT_TrainigMTD_1->isChecked()) {
        chooseTrainingMethod(values, 1);
    } else if (ui->OPT_TrainigMTD_2->isChecked()) {
        chooseTrainingMethod(values, 2);
    }
    values.growthFactor = ui->TXT_GF->text();
    values.weightCutOff = ui->TXT_WCutOff->text();
    values.weightDecay = ui->TXT_WDecay->text();
    values.fixedSeed = ui->TXT_Seed->text();
    storeSetup(wb, values);
}
