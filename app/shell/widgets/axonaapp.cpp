#include "axonaapp.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "corvelwindow.h"
#include "formbinder.h"
#include "helpwindow.h"
#include "mdineuralframe.h"
#include "model/workbench.h"
#include "printing.h"
#include "qtuiport.h"
#include "shell/commandstate.h"
#include "training/construction.h"
#include "training/engineapi.h"
#include "updown.h"

AxonaApplication::AxonaApplication()
    : m_frame(std::make_unique<MdiNeuralFrame>())
    , m_engine(std::make_unique<EngineApi>())
{
    if (const QScreen *screen = m_frame->screen()) {
        const QSize available = screen->availableGeometry().size();
        m_frame->resize(std::min(1100, available.width()), std::min(760, available.height()));
    }
    m_frame->centreOnScreen();
    m_ui = std::make_unique<QtUiPort>(m_frame.get(), m_frame->statusPanel());
    m_workbench = std::make_unique<Workbench>(*m_ui, *m_engine);

    m_corvel = new CorvelWindow;
    QMdiSubWindow *sub = m_frame->addChildWindow(m_corvel);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    // The main network window's closing ends the program; leave its close event first.
    connect(m_corvel, &CorvelWindow::closed, m_frame.get(),
            [this] { QTimer::singleShot(0, m_frame.get(), &QWidget::close); });
    m_corvel->setCloseGuard([this] { return confirmClose(); });

    m_binder = std::make_unique<FormBinder>(m_workbench->form, *m_corvel);
    m_workbench->closeSatelliteWindows = [this] { closeSatelliteWindows(); };
    m_workbench->setFrameCaption = [this](const QString &caption) {
        m_frame->setWindowTitle(caption.isEmpty() ? QStringLiteral("Axona") : caption);
    };

    connectNetSize();
    connectParameters();
    connectMenus();
}

AxonaApplication::~AxonaApplication() = default;

void AxonaApplication::start(const QString &netFile)
{
    m_frame->show();
    if (auto *sub = qobject_cast<QMdiSubWindow *>(m_corvel->parentWidget())) {
        sub->showMaximized();
    }
    m_ui->yield();
    m_frame->setWindowTitle(QStringLiteral("Axona"));
    m_corvel->action(QStringLiteral("MNU_FILE_SaveWeightAs"))->setEnabled(false);
    resetModel(*m_workbench);
    buildNetwork(*m_workbench);
    m_binder->applyAll();
    Q_UNUSED(netFile);
}

void AxonaApplication::closeSatelliteWindows()
{
    const auto windows = m_frame->mdiArea()->subWindowList();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        if ((*it)->widget() != m_corvel) {
            (*it)->close();
        }
    }
}

void AxonaApplication::connectNetSize()
{
    Ui::CorvelWindow *ui = m_corvel->ui();
    Workbench &wb = *m_workbench;
    connect(ui->SPN_Layers, &UpDown::upClicked, this, [&wb] { addLayer(wb); });
    connect(ui->SPN_Layers, &UpDown::downClicked, this, [&wb] { removeLayer(wb); });
    connect(ui->CMB_LayerSize, qOverload<int>(&QComboBox::activated), this,
            [&wb](int index) { selectLayer(wb, index); });
    // Typing only: a selection also changes the edit text, but asks nothing.
    connect(ui->CMB_LayerSize->lineEdit(), &QLineEdit::textEdited, this,
            [&wb](const QString &text) { layerTextEdited(wb, text); });
    connect(ui->BTN_Change, &QPushButton::clicked, this,
            [&wb, ui] { changeLayerSize(wb, ui->CMB_LayerSize->currentText()); });
    connect(ui->CMB_idxfn, qOverload<int>(&QComboBox::activated), this,
            [&wb](int position) { chooseNeuronFunction(wb, position); });
    connect(ui->BTN_Randomize, &QPushButton::clicked, this, [&wb] { randomizeWeights(wb); });
    auto askNewNet = [&wb] { newNet(wb); };
    connect(m_corvel->action(QStringLiteral("MNU_FILE_NewNet")), &QAction::triggered, this,
            askNewNet);
    connect(m_corvel->toolAction(QStringLiteral("new")), &QAction::triggered, this, askNewNet);
}

void AxonaApplication::connectParameters()
{
    Ui::CorvelWindow *ui = m_corvel->ui();
    Workbench &wb = *m_workbench;
    connect(ui->TXT_Title, &QLineEdit::textEdited, this, [&wb](const QString &text) {
        wb.model.NetTitle = text;
        wb.form.setText(QStringLiteral("TXT_Title"), text);
    });
}

void AxonaApplication::connectMenus()
{
    Workbench &wb = *m_workbench;
    for (const char *name : {"MNU_FILE", "MNU_EDIT", "MNU_DATA", "MNU_VIEW"}) {
        if (auto *menu = m_corvel->findChild<QMenu *>(QLatin1String(name))) {
            connect(menu, &QMenu::aboutToShow, this, [&wb, name] { updateMenuOnOpen(wb, name); });
        }
    }
    auto *printing = new WindowPrinting(*m_corvel, *m_ui, m_frame.get(), this);
    connect(m_corvel->action(QStringLiteral("MNU_FILE_Print")), &QAction::triggered, printing,
            &WindowPrinting::print);
    connect(m_corvel->action(QStringLiteral("MNU_FILE_PrintSetup")), &QAction::triggered, printing,
            &WindowPrinting::pageSetup);
    connect(m_corvel->action(QStringLiteral("MNU_HELP_Help")), &QAction::triggered, this,
            [this] { showHelp(m_frame.get()); });
}

bool AxonaApplication::confirmClose()
{
    Workbench &wb = *m_workbench;
    if (!wb.model.WeightsChanged) {
        return true;
    }
    const auto answer = m_ui->question(QStringLiteral("Save Net Before Quiting"),
                                       UiPort::Buttons::YesNoCancel);
    return answer != UiPort::Answer::Cancel;
}
