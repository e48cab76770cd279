#include "training/widgets/reportwindow.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "files/editor.h"
#include "gui/formhelpers.h"
#include "gui/updown.h"
#include "session/workbench.h"
#include "training/analysis.h"
#include "training/report.h"

namespace {

QFrame *panel(QWidget *parent, const char *name)
{
    auto *frame = new QFrame(parent);
    frame->setObjectName(QLatin1String(name));
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setFrameShadow(QFrame::Raised);
    return frame;
}

QLabel *counter(QWidget *parent, const char *name, const QString &text, const QString &hint)
{
    QLabel *label = Form::value(parent, name, text, hint);
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumWidth(40);
    return label;
}

} // namespace

ReportWindow::ReportWindow(QWidget *parent)
    : QMainWindow(parent)
    , m_ui(std::make_unique<Ui::ReportWindow>())
{
    Ui::ReportWindow &ui = *m_ui;
    setObjectName(QStringLiteral("Report"));
    setWindowTitle(QStringLiteral("Neural Report"));
    setProperty("Tag", QStringLiteral("REPORT"));

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 4);
    auto *controls = new QHBoxLayout;

    ui.PNL_Lcontrols = panel(central, "PNL_Lcontrols");
    {
        auto *h = new QHBoxLayout(ui.PNL_Lcontrols);
        ui.PNL_Layer = counter(ui.PNL_Lcontrols, "PNL_Layer", QStringLiteral("3"),
                               tr("Layer whose nodes are listed"));
        ui.UpDown1 = new UpDown(ui.PNL_Lcontrols);
        ui.UpDown1->setObjectName(QStringLiteral("UpDown1"));
        ui.UpDown1->setToolTip(tr("Show another layer"));
        h->addWidget(Form::caption(ui.PNL_Lcontrols, QStringLiteral("Show Layer:")));
        h->addWidget(ui.PNL_Layer);
        h->addWidget(ui.UpDown1);
    }
    controls->addWidget(ui.PNL_Lcontrols);

    ui.PNL_Scontrols = panel(central, "PNL_Scontrols");
    {
        auto *h = new QHBoxLayout(ui.PNL_Scontrols);
        ui.PNL_Sens = counter(ui.PNL_Scontrols, "PNL_Sens", QStringLiteral("10"),
                              tr("Relative change of each input, in percent"));
        ui.UpDown2 = new UpDown(ui.PNL_Scontrols);
        ui.UpDown2->setObjectName(QStringLiteral("UpDown2"));
        ui.UpDown2->setToolTip(tr("Change the step by 1%"));
        ui.Command1 = Form::button(ui.PNL_Scontrols, "Command1", QStringLiteral("&Update"),
                                   tr("Compute the sensitivities again"));
        h->addWidget(Form::caption(ui.PNL_Scontrols, QStringLiteral("Sensitivity:")));
        h->addWidget(ui.PNL_Sens);
        h->addWidget(ui.UpDown2);
        h->addWidget(ui.Command1);
    }
    controls->addWidget(ui.PNL_Scontrols);
    controls->addStretch();
    layout->addLayout(controls);

    // Read-only still lets the user select the text and copy it with Ctrl+C; every other key
    // is refused.
    ui.TXT_Rep = new QPlainTextEdit(central);
    ui.TXT_Rep->setObjectName(QStringLiteral("TXT_Rep"));
    ui.TXT_Rep->setReadOnly(true);
    ui.TXT_Rep->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    ui.TXT_Rep->setLineWrapMode(QPlainTextEdit::NoWrap);
    ui.TXT_Rep->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    layout->addWidget(ui.TXT_Rep, 1);
    setCentralWidget(central);

    ui.MNU_FILE = new QMenu(tr("&File"), this);
    ui.MNU_FILE->setObjectName(QStringLiteral("MNU_FILE"));
    ui.MNU_FILE_SaveAs = ui.MNU_FILE->addAction(QStringLiteral("&Save As..."));
    ui.MNU_FILE_SaveAs->setObjectName(QStringLiteral("MNU_FILE_SaveAs"));
    ui.MNU_FILE_SaveEdit = ui.MNU_FILE->addAction(QStringLiteral("Save and &Edit..."));
    ui.MNU_FILE_SaveEdit->setObjectName(QStringLiteral("MNU_FILE_SaveEdit"));
    ui.MNU_FILE->addSeparator();
    ui.MNU_FILE_Close = ui.MNU_FILE->addAction(QStringLiteral("&Close"));
    ui.MNU_FILE_Close->setObjectName(QStringLiteral("MNU_FILE_Close"));
    ui.MNU_EDIT = new QMenu(tr("&Edit"), this);
    ui.MNU_EDIT->setObjectName(QStringLiteral("MNU_EDIT"));
    ui.MNU_EDIT_Copy = ui.MNU_EDIT->addAction(QStringLiteral("&Copy"));
    ui.MNU_EDIT_Copy->setObjectName(QStringLiteral("MNU_EDIT_Copy"));
    ui.MNU_WINDOW = createWindowMenu(this);

    connect(ui.MNU_FILE_Close, &QAction::triggered, this, [this] {
        if (auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget())) {
            sub->close();
        } else {
            close();
        }
    });
    connect(ui.MNU_EDIT_Copy, &QAction::triggered, this,
            [this] { QApplication::clipboard()->setText(m_ui->TXT_Rep->toPlainText()); });
    resize(640, 420);
}

ReportWindow::ReportWindow(Workbench &wb, QWidget *parent)
    : ReportWindow(parent)
{
    m_wb = &wb;
    Ui::ReportWindow *ui = m_ui.get();
    connect(ui->UpDown1, &UpDown::upClicked, this, [&wb] { spinReportLayer(wb, true); });
    connect(ui->UpDown1, &UpDown::downClicked, this, [&wb] { spinReportLayer(wb, false); });
    connect(ui->UpDown2, &UpDown::upClicked, this, [&wb] { spinSensitivity(wb, true); });
    connect(ui->UpDown2, &UpDown::downClicked, this, [&wb] { spinSensitivity(wb, false); });
    connect(ui->Command1, &QPushButton::clicked, this, [&wb] { showSensitivity(wb); });
    connect(ui->MNU_FILE_SaveAs, &QAction::triggered, this, [&wb] { saveReport(wb); });
    connect(ui->MNU_FILE_SaveEdit, &QAction::triggered, this, [&wb] {
        saveAndEditReport(wb, [&wb](const QString &path) { startEditor(wb, path); });
    });
    connect(&wb.events, &WorkbenchEvents::reportChanged, this, [this] {
        showState();
        show();
        raise();
    });
    showState();
}

ReportWindow::~ReportWindow()
{
    if (m_wb) {
        closeReport(*m_wb);
    }
}

void ReportWindow::showState()
{
    const ReportState &r = m_wb->report;
    Ui::ReportWindow *ui = m_ui.get();
    setWindowTitle(r.caption);
    ui->PNL_Lcontrols->setVisible(r.layerPanelVisible);
    ui->PNL_Scontrols->setVisible(r.sensPanelVisible);
    ui->PNL_Layer->setText(QString::number(r.layer));
    ui->PNL_Sens->setText(QString::number(r.sensStep));
    ui->MNU_FILE_SaveEdit->setEnabled(r.saveEditEnabled);
    if (ui->TXT_Rep->toPlainText() != r.text) {
        ui->TXT_Rep->setPlainText(r.text);
    }
}

QList<QAction *> ReportWindow::menuBarActions() const
{
    return {m_ui->MNU_FILE->menuAction(), m_ui->MNU_EDIT->menuAction(),
            m_ui->MNU_WINDOW->menuAction()};
}
