#include "dataprep/widgets/normdialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include "gui/formhelpers.h"

namespace {

const QString logHint = QStringLiteral("Click Reset to enable Log normalization ");

QLineEdit *rangeBox(QWidget *parent, const char *name, const char *text, const char *hint)
{
    QLineEdit *edit =
            Form::edit(parent, name, QString::fromLatin1(text), QString::fromLatin1(hint));
    edit->setMaximumWidth(90);
    return edit;
}

QLabel *rangeLabel(QWidget *parent, const char *name)
{
    QLabel *label = Form::value(parent, name);
    label->setMinimumWidth(90);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

// One side's frame: the Normalize box and the Linear/Log choice.
QGroupBox *sideFrame(QWidget *parent,
                     const char *name,
                     const QString &title,
                     QCheckBox *&normalize,
                     QRadioButton *&linear,
                     QRadioButton *&log,
                     const char *checkName,
                     const char *linName,
                     const char *logName,
                     const char *linHint,
                     const char *logHint)
{
    QGroupBox *box = Form::frame(parent, name, title);
    auto *v = new QVBoxLayout(box);
    normalize = Form::check(box, checkName, QStringLiteral("Normalize"));
    linear = Form::option(box, linName, QStringLiteral("Linear"), QString::fromLatin1(linHint));
    log = Form::option(box, logName, QStringLiteral("Log"), QString::fromLatin1(logHint));
    normalize->setChecked(true);
    linear->setChecked(true);
    auto *group = new QButtonGroup(box);
    group->addButton(linear);
    group->addButton(log);
    v->addWidget(normalize);
    v->addWidget(linear);
    v->addWidget(log);
    v->addStretch();
    return box;
}

} // namespace

NormDialog::NormDialog(QWidget *parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::NormDialog>())
{
    Ui::NormDialog &ui = *m_ui;
    setObjectName(QStringLiteral("Norm"));
    setWindowTitle(QStringLiteral("Normalize Data"));
    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;

    ui.FRA_NormalizeTo = Form::frame(this, "FRA_NormalizeTo", QStringLiteral("NORMALIZE TO"));
    {
        QGroupBox *box = ui.FRA_NormalizeTo;
        auto *g = new QGridLayout(box);
        ui.TXT_NMinIn = rangeBox(box, "TXT_NMinIn", "0.0", "Input Min value");
        ui.TXT_NMaxIn = rangeBox(box, "TXT_NMaxIn", "1.0", "Input Max value");
        ui.TXT_NMinOut = rangeBox(box, "TXT_NMinOut", "0.1", "Output Min value");
        ui.TXT_NMaxOut = rangeBox(box, "TXT_NMaxOut", "0.9", "Output Max value");
        g->addWidget(Form::caption(box, QStringLiteral("INs")), 0, 1, Qt::AlignHCenter);
        g->addWidget(Form::caption(box, QStringLiteral("OUTs")), 0, 2, Qt::AlignHCenter);
        g->addWidget(Form::caption(box, QStringLiteral("New Min:")), 1, 0);
        g->addWidget(ui.TXT_NMinIn, 1, 1);
        g->addWidget(ui.TXT_NMinOut, 1, 2);
        g->addWidget(Form::caption(box, QStringLiteral("New Max:")), 2, 0);
        g->addWidget(ui.TXT_NMaxIn, 2, 1);
        g->addWidget(ui.TXT_NMaxOut, 2, 2);
    }
    top->addWidget(ui.FRA_NormalizeTo);

    ui.FRA_Loaded = Form::frame(this, "FRA_Loaded", QStringLiteral("LOADED PAT. DATA"));
    {
        QGroupBox *box = ui.FRA_Loaded;
        auto *g = new QGridLayout(box);
        ui.TXT_MinIn = rangeLabel(box, "TXT_MinIn");
        ui.TXT_MaxIn = rangeLabel(box, "TXT_MaxIn");
        ui.TXT_MinOut = rangeLabel(box, "TXT_MinOut");
        ui.TXT_MaxOut = rangeLabel(box, "TXT_MaxOut");
        g->addWidget(Form::caption(box, QStringLiteral("INs")), 0, 1, Qt::AlignHCenter);
        g->addWidget(Form::caption(box, QStringLiteral("OUTs")), 0, 2, Qt::AlignHCenter);
        g->addWidget(Form::caption(box, QStringLiteral("Min:")), 1, 0);
        g->addWidget(ui.TXT_MinIn, 1, 1);
        g->addWidget(ui.TXT_MinOut, 1, 2);
        g->addWidget(Form::caption(box, QStringLiteral("Max:")), 2, 0);
        g->addWidget(ui.TXT_MaxIn, 2, 1);
        g->addWidget(ui.TXT_MaxOut, 2, 2);
    }
    top->addWidget(ui.FRA_Loaded);
    layout->addLayout(top);

    auto *middle = new QHBoxLayout;
    ui.FRA_Method = Form::frame(this, "FRA_Method", QStringLiteral(" Method"));
    {
        auto *v = new QVBoxLayout(ui.FRA_Method);
        ui.OPT_Node = Form::option(ui.FRA_Method, "OPT_Node", QStringLiteral("By Node"),
                                   QStringLiteral("Node normalization of inputs and Outputs"));
        ui.OPT_GLB = Form::option(ui.FRA_Method, "OPT_GLB", QStringLiteral("Global"),
                                  QStringLiteral("Global normalization of inputs and Outputs"));
        ui.OPT_Node->setChecked(true);
        v->addWidget(ui.OPT_Node);
        v->addWidget(ui.OPT_GLB);
        v->addStretch();
    }
    middle->addWidget(ui.FRA_Method);
    ui.FRA_Inputs = sideFrame(this, "FRA_Inputs", QStringLiteral("Inputs"), ui.CHK_NormIns,
                              ui.CHK_InLin, ui.CHK_InLog, "CHK_NormIns", "CHK_InLin", "CHK_InLog",
                              "Linear normalization of inputs", "Log normalization of inputs ");
    ui.FRA_Outputs =
            sideFrame(this, "FRA_Outputs", QStringLiteral("Outputs"), ui.CHK_NormOuts,
                      ui.CHK_OutLin, ui.CHK_OutLog, "CHK_NormOuts", "CHK_OutLin", "CHK_OutLog",
                      "Linear normalization of Outputs", "Log normalization of Outputs ");
    middle->addWidget(ui.FRA_Inputs, 1);
    middle->addWidget(ui.FRA_Outputs, 1);

    auto *buttons = new QVBoxLayout;
    ui.Command2 = Form::button(this, "Command2", QStringLiteral("&Normalize"));
    ui.Command3 = Form::button(this, "Command3", QStringLiteral("&Reset"));
    ui.Command1 = Form::button(this, "Command1", QStringLiteral("&Quit"));
    buttons->addWidget(ui.Command2);
    buttons->addWidget(ui.Command3);
    buttons->addWidget(ui.Command1);
    buttons->addStretch();
    middle->addLayout(buttons);
    layout->addLayout(middle);

    ui.Label3 = Form::value(
            this, "Label3",
            QStringLiteral("Linear Nomalization Y=a*x+b, Log Nomallization Y=a*log(x)+b"));
    ui.Label3->setFrameShape(QFrame::NoFrame);
    ui.Label3->setAlignment(Qt::AlignCenter);
    layout->addWidget(ui.Label3);

    ui.StatusBar1 = new QStatusBar(this);
    ui.StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    ui.StatusBar1->setSizeGripEnabled(false);
    ui.Panel1 = new QLabel(ui.StatusBar1);
    ui.Panel1->setObjectName(QStringLiteral("Panel1"));
    ui.StatusBar1->addWidget(ui.Panel1, 1);
    layout->addWidget(ui.StatusBar1);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(ui.Command1, &QPushButton::clicked, this, &QDialog::reject);
    for (QRadioButton *log : {ui.CHK_InLog, ui.CHK_OutLog}) {
        log->installEventFilter(this);
    }
    updateLogHints();
}

NormDialog::~NormDialog() = default;

bool NormDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::EnabledChange) {
        updateLogHints();
    }
    return QDialog::eventFilter(watched, event);
}

void NormDialog::updateLogHints()
{
    const struct
    {
        QGroupBox *frame;
        QRadioButton *log;
    } sides[] = {{m_ui->FRA_Inputs, m_ui->CHK_InLog}, {m_ui->FRA_Outputs, m_ui->CHK_OutLog}};

    for (const auto &side : sides) {
        side.frame->setToolTip(side.log->isEnabled() ? QString() : logHint);
    }
}
