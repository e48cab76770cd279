#include "training/widgets/learnparform.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/formhelpers.h"
#include "session/workbench.h"
#include "training/parameters.h"

LearnParForm::LearnParForm(QWidget *parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::LearnParForm>())
{
    setObjectName(QStringLiteral("FRM_LearnPar"));
    setWindowTitle(QStringLiteral("Auto Learning"));
    auto *layout = new QVBoxLayout(this);
    auto *grid = new QGridLayout;
    m_ui->TXT_EtaInc = Form::edit(this, "TXT_EtaInc", QStringLiteral("1.02"),
                                  tr("Factor applied to Eta when the error fell"));
    m_ui->TXT_EtaDec = Form::edit(this, "TXT_EtaDec", QStringLiteral("0.96"),
                                  tr("Factor applied to Eta when the error did not fall"));
    grid->addWidget(Form::caption(this, QStringLiteral("Increase Eta by:")), 0, 0);
    grid->addWidget(m_ui->TXT_EtaInc, 0, 1);
    grid->addWidget(Form::caption(this, QStringLiteral("Decrease Eta by:")), 1, 0);
    grid->addWidget(m_ui->TXT_EtaDec, 1, 1);
    layout->addLayout(grid);

    m_ui->Command2 = Form::button(this, "Command2", QStringLiteral("&OK"));
    m_ui->Command1 = Form::button(this, "Command1", QStringLiteral("&Cancel"));
    m_ui->Command2->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ui->Command2);
    buttons->addWidget(m_ui->Command1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_ui->Command2, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_ui->Command1, &QPushButton::clicked, this, &QDialog::reject);
}

LearnParForm::~LearnParForm() = default;

void runAutoLearnDialog(Workbench &wb, QWidget *parent)
{
    LearnParForm dialog(parent);
    const AutoLearnForm form = AutoLearnForm::fill(wb.model);
    dialog.ui()->TXT_EtaInc->setText(form.TXT_EtaInc);
    dialog.ui()->TXT_EtaDec->setText(form.TXT_EtaDec);
    if (dialog.exec() == QDialog::Accepted) {
        autoLearnAccepted(wb, {dialog.ui()->TXT_EtaInc->text(), dialog.ui()->TXT_EtaDec->text()});
    } else {
        autoLearnCancelled(wb);
    }
}
