#include "gui/printing.h"

#include <algorithm>
#include <vector>

#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextEdit>

#include "session/uiport.h"

namespace {

// Gives the window's text and combo boxes a white background for as long as it lives, then puts
// back each box's own palette (or lets it inherit again when it had none).
class WhiteBoxes
{
public:
    explicit WhiteBoxes(QWidget &window)
    {
        QList<QWidget *> boxes;
        for (QLineEdit *w : window.findChildren<QLineEdit *>()) {
            boxes.append(w);
        }
        for (QComboBox *w : window.findChildren<QComboBox *>()) {
            boxes.append(w);
        }
        for (QPlainTextEdit *w : window.findChildren<QPlainTextEdit *>()) {
            boxes.append(w);
        }
        for (QTextEdit *w : window.findChildren<QTextEdit *>()) {
            boxes.append(w);
        }
        for (QWidget *w : boxes) {
            m_saved.push_back({w, w->palette(), w->testAttribute(Qt::WA_SetPalette)});
            QPalette white = w->palette();
            for (QPalette::ColorGroup group :
                 {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
                white.setColor(group, QPalette::Base, Qt::white);
                white.setColor(group, QPalette::Button, Qt::white);
            }
            w->setPalette(white);
        }
    }

    ~WhiteBoxes()
    {
        for (const Saved &s : m_saved) {
            if (s.widget) {
                s.widget->setPalette(s.hadOwnPalette ? s.palette : QPalette());
            }
        }
    }

    WhiteBoxes(const WhiteBoxes &) = delete;
    WhiteBoxes &operator=(const WhiteBoxes &) = delete;

private:
    struct Saved
    {
        QPointer<QWidget> widget;
        QPalette palette;
        bool hadOwnPalette;
    };

    std::vector<Saved> m_saved;
};

} // namespace

void paintWindowImage(QWidget &window, QPainter &painter, const QRect &page)
{
    const QSize size = window.size();
    if (size.isEmpty() || page.isEmpty()) {
        return;
    }
    const double scale =
            std::min(double(page.width()) / size.width(), double(page.height()) / size.height());
    // Render at about the page's resolution (at most 4x the screen's) so text stays sharp.
    const double sharpness = std::clamp(scale, 1.0, 4.0);
    QImage image(size * sharpness, QImage::Format_RGB32);
    image.setDevicePixelRatio(sharpness);
    image.fill(Qt::white);
    {
        WhiteBoxes white(window);
        window.render(&image);
    }
    const QSizeF target = QSizeF(size) * scale;
    const QRectF where(page.left() + (page.width() - target.width()) / 2, page.top(),
                       target.width(), target.height());
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(where, image);
    painter.restore();
}

bool printWindow(QWidget &window, QPrinter &printer)
{
    QPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }
    const QRect page(QPoint(0, 0),
                     printer.pageLayout().paintRectPixels(printer.resolution()).size());
    paintWindowImage(window, painter, page);
    return painter.end();
}

void reportPrinterFailure(const QPrinter &printer, UiPort &ui)
{
    const QString target = printer.outputFileName();
    ui.critical(target.isEmpty() ? QStringLiteral("Could not start the printer.")
                                 : QStringLiteral("Could not print to ") + target);
}

WindowPrinting::WindowPrinting(QWidget &window, UiPort &ui, QWidget *dialogParent, QObject *parent)
    : QObject(parent)
    , m_window(window)
    , m_ui(ui)
    , m_dialogParent(dialogParent)
{}

WindowPrinting::~WindowPrinting() = default;

QPrinter &WindowPrinting::printer()
{
    if (!m_printer) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_printer->setDocName(QStringLiteral("Axona"));
    }
    return *m_printer;
}

bool WindowPrinting::print()
{
    QPrintDialog dialog(&printer(), m_dialogParent);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    if (!printWindow(m_window, printer())) {
        reportPrinterFailure(printer(), m_ui);
        return false;
    }
    return true;
}

void WindowPrinting::pageSetup()
{
    QPageSetupDialog dialog(&printer(), m_dialogParent);
    dialog.exec();
}
