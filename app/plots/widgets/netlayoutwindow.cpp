#include "plots/widgets/netlayoutwindow.h"

#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "gui/formhelpers.h"
#include "plots/netdrawing.h"
#include "plots/widgets/netpicture.h"
#include "session/uiport.h"
#include "session/workbench.h"

namespace {

// The zoom bar counts tenths: 10 shows the whole drawing, 100 ten times as large.
constexpr int ZoomTenthsMin = 10;
constexpr int ZoomTenthsMax = 100;

QScrollBar *scrollBar(QWidget *parent, const char *name, Qt::Orientation orientation)
{
    auto *bar = new QScrollBar(orientation, parent);
    bar->setObjectName(QLatin1String(name));
    return bar;
}

PicturePainter wholePicture(const QPicture &picture)
{
    return [&picture](QPainter &painter, const QRectF &target) {
        paintNetPicture(painter, picture, target);
    };
}

} // namespace

NetPictureView::NetPictureView(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(120, 120);
}

void NetPictureView::setPicture(const QPicture *picture)
{
    m_picture = picture;
    update();
}

void NetPictureView::setView(double zoom, QPointF scroll)
{
    m_zoom = zoom;
    m_scroll = scroll;
    update();
}

QSizeF NetPictureView::visibleExtent() const
{
    const double scale = m_zoom * std::min(width(), height()) / NetSpace;
    return scale > 0.0 ? QSizeF(width() / scale, height() / scale) : QSizeF();
}

void NetPictureView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (m_picture) {
        painter.setRenderHint(QPainter::Antialiasing);
        paintNetPicture(painter, *m_picture, QRectF(rect()), m_zoom, m_scroll);
    }
}

void NetPictureView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    emit resized();
}

NetLayoutWindow::NetLayoutWindow(Workbench &wb, QPrinter &printer, QWidget *parent)
    : QMainWindow(parent)
    , m_wb(wb)
    , m_ui(std::make_unique<Ui::NetLayoutWindow>())
    , m_printer(printer)
{
    Ui::NetLayoutWindow &ui = *m_ui;
    QVBoxLayout *layout = setUpPlotWindow(this, "QuikDraw", QStringLiteral("Net Layout"),
                                          QStringLiteral("NET_LAYOUT"), QStringLiteral("drawnet"));
    QWidget *central = centralWidget();
    auto *controls = new QHBoxLayout;
    ui.SCR_Zoom = scrollBar(central, "SCR_Zoom", Qt::Horizontal);
    ui.SCR_Zoom->setRange(ZoomTenthsMin, ZoomTenthsMax);
    ui.SCR_Zoom->setPageStep(10);
    ui.SCR_Zoom->setMinimumWidth(160);
    ui.SCR_Zoom->setToolTip(QStringLiteral("Enlarge the drawing"));
    controls->addWidget(Form::caption(central, QStringLiteral("Zoom:")));
    controls->addWidget(ui.SCR_Zoom);
    ui.CHK_ABSW =
            Form::check(central, "CHK_ABSW", QStringLiteral("Abs(W)"),
                        QStringLiteral("Colour the weights by their size, whatever the sign"));
    ui.CHK_FillNeurons = Form::check(central, "CHK_FillNeurons", QStringLiteral("Fill Neurons"),
                                     QStringLiteral("Fill the node circles"));
    controls->addWidget(ui.CHK_ABSW);
    controls->addWidget(ui.CHK_FillNeurons);
    controls->addStretch();
    ui.Command1 = Form::button(central, "Command1", QStringLiteral("&Hide"),
                               QStringLiteral("Hide the window; the Plot menu shows it again"));
    controls->addWidget(ui.Command1);
    layout->addLayout(controls);

    auto *surface = new QGridLayout;
    surface->setSpacing(0);
    ui.Picture1 = new NetPictureView(central);
    ui.Picture1->setObjectName(QStringLiteral("Picture1"));
    ui.HScroll1 = scrollBar(central, "HScroll1", Qt::Horizontal);
    ui.VScroll1 = scrollBar(central, "VScroll1", Qt::Vertical);
    surface->addWidget(ui.Picture1, 0, 0);
    surface->addWidget(ui.VScroll1, 0, 1);
    surface->addWidget(ui.HScroll1, 1, 0);
    layout->addLayout(surface, 1);

    static_cast<PlotWindowMenus &>(ui) = createPlotWindowMenus(this);
    for (QScrollBar *bar : {ui.SCR_Zoom, ui.HScroll1, ui.VScroll1}) {
        connect(bar, &QScrollBar::valueChanged, this, &NetLayoutWindow::updateView);
    }
    connect(ui.Picture1, &NetPictureView::resized, this, &NetLayoutWindow::updateView);
    for (QCheckBox *box : {ui.CHK_ABSW, ui.CHK_FillNeurons}) {
        connect(box, &QCheckBox::toggled, this, &NetLayoutWindow::buildNetPicture);
    }
    connect(ui.Command1, &QPushButton::clicked, this, [this] { hideChildWindow(this); });
    connect(ui.MNU_EDIT_Copy, &QAction::triggered, this, [this] {
        QApplication::clipboard()->setMimeData(
                pictureMimeData(wholePicture(m_picture), NetFileSize, windowTitle()));
    });
    connect(ui.MNU_FILE_Print, &QAction::triggered, this, [this] {
        reportPrintOutcome(printWithDialog(m_printer, this, wholePicture(m_picture)), m_printer,
                           m_wb.ui);
    });
    m_rebuild.setSingleShot(true);
    m_rebuild.setInterval(0);
    connect(&m_rebuild, &QTimer::timeout, this, &NetLayoutWindow::buildNetPicture);
    for (auto changed : {&WorkbenchEvents::networkRebuilt, &WorkbenchEvents::weightsChanged}) {
        connect(&wb.events, changed, &m_rebuild, qOverload<>(&QTimer::start));
    }
    ui.Picture1->setPicture(&m_picture);
    resize(640, 600);
    buildNetPicture();
}

NetLayoutWindow::~NetLayoutWindow() = default;

QList<QAction *> NetLayoutWindow::menuBarActions() const
{
    return m_ui->menuBarActions();
}

void NetLayoutWindow::buildNetPicture()
{
    m_rebuild.stop();
    BusyGuard busy(m_wb.ui);
    m_picture = recordNetPicture(buildNetDrawing(m_wb.model, m_ui->CHK_ABSW->isChecked(),
                                                 m_ui->CHK_FillNeurons->isChecked()));
    m_ui->Picture1->update();
}

void NetLayoutWindow::updateView()
{
    Ui::NetLayoutWindow &ui = *m_ui;
    const double zoom = ui.SCR_Zoom->value() / 10.0;
    // The scroll ranges follow the part of the drawing that does not fit at this zoom.
    ui.Picture1->setView(zoom, QPointF(ui.HScroll1->value(), ui.VScroll1->value()));
    const QSizeF visible = ui.Picture1->visibleExtent();
    const QSignalBlocker quietH(ui.HScroll1);
    const QSignalBlocker quietV(ui.VScroll1);
    ui.HScroll1->setRange(0, std::max(0, NetSpace - int(visible.width())));
    ui.HScroll1->setPageStep(std::max(1, int(visible.width())));
    ui.VScroll1->setRange(0, std::max(0, NetSpace - int(visible.height())));
    ui.VScroll1->setPageStep(std::max(1, int(visible.height())));
    ui.HScroll1->setSingleStep(std::max(1, ui.HScroll1->pageStep() / 10));
    ui.VScroll1->setSingleStep(std::max(1, ui.VScroll1->pageStep() / 10));
    ui.Picture1->setView(zoom, QPointF(ui.HScroll1->value(), ui.VScroll1->value()));
}
