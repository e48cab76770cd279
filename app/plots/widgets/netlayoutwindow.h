#pragma once

#include <memory>

#include <QMainWindow>
#include <QPicture>
#include <QTimer>

#include "gui/windowmenu.h"
#include "plots/widgets/plotwindowkit.h"

class QCheckBox;
class QPrinter;
class QPushButton;
class QScrollBar;
struct Workbench;

// The drawing surface of the network picture: replays it at the zoom and scroll position given.
class NetPictureView final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NetPictureView)

public:
    explicit NetPictureView(QWidget *parent = nullptr);

    void setPicture(const QPicture *picture);
    // zoom 1 fits the whole drawing into the shorter side; scroll is the logical point at the
    // top-left corner.
    void setView(double zoom, QPointF scroll);

    double zoom() const { return m_zoom; }

    // The logical extent the view shows at its zoom.
    QSizeF visibleExtent() const;

signals:
    void resized();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    const QPicture *m_picture = nullptr;
    double m_zoom = 1.0;
    QPointF m_scroll;
};

namespace Ui {
struct NetLayoutWindow : PlotWindowMenus
{
    NetPictureView *Picture1 = nullptr;
    QScrollBar *SCR_Zoom = nullptr;
    QScrollBar *HScroll1 = nullptr;
    QScrollBar *VScroll1 = nullptr;
    QCheckBox *CHK_ABSW = nullptr;
    QCheckBox *CHK_FillNeurons = nullptr;
    QPushButton *Command1 = nullptr;
};
} // namespace Ui

// QuikDraw, "Net Layout": the network as a picture, connections coloured by weight. The picture
// is recorded once from the weights and replayed at the chosen zoom and scroll position; it is
// recorded again when a check box changes, and after the network was rebuilt or its weights were
// replaced (a build, Randomize, a weight file, the end of a training run).
class NetLayoutWindow final : public QMainWindow, public MenuBarContent
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NetLayoutWindow)

public:
    // printer: the session's printer, which "&Print..." uses; it must outlive the window.
    NetLayoutWindow(Workbench &wb, QPrinter &printer, QWidget *parent = nullptr);
    ~NetLayoutWindow() override;

    Ui::NetLayoutWindow *ui() const { return m_ui.get(); }

    QList<QAction *> menuBarActions() const override;

    // BuildNetPicture: records the network as it is now and shows it.
    void buildNetPicture();

    const QPicture &netPicture() const { return m_picture; }

private:
    void updateView();

    Workbench &m_wb;
    std::unique_ptr<Ui::NetLayoutWindow> m_ui;
    QPicture m_picture;
    QPrinter &m_printer;
    // Gathers the changes of one command (a rebuild brings new weights too) into one recording.
    QTimer m_rebuild;
};
