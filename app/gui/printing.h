#pragma once

#include <memory>

#include <QObject>

class QPainter;
class QPrinter;
class QRect;
class QWidget;
class UiPort;

// Paints the image of window into page, scaled to fit with its proportions kept and centred
// across the page. Its text boxes and combo boxes show a white background on the picture, so
// grey or coloured boxes print clean; on screen their colours are as before when this returns.
void paintWindowImage(QWidget &window, QPainter &painter, const QRect &page);

// Prints the image of window on one page of printer, with no dialog (a printer set to PDF with
// an output file name writes that file). Returns false when the printer could not be started.
bool printWindow(QWidget &window, QPrinter &printer);

// Tells the user through ui that printer could not be started (or its file not written).
void reportPrinterFailure(const QPrinter &printer, UiPort &ui);

// "&Print..." and "P&rint Setup..." for one window: the printer and its page settings are kept
// for the session, so the print dialog and the page setup share them.
class WindowPrinting final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WindowPrinting)

public:
    // window is printed; ui reports a printer that cannot be started; dialogParent owns the
    // dialogs. All three must outlive this object.
    WindowPrinting(QWidget &window, UiPort &ui, QWidget *dialogParent, QObject *parent = nullptr);
    ~WindowPrinting() override;

    // The session's printer, made on first use.
    QPrinter &printer();

    // "&Print...": the print dialog, then the window's image; cancelling prints nothing.
    // Returns whether a page was printed.
    bool print();
    // "P&rint Setup...": the page setup dialog on the session's printer.
    void pageSetup();

private:
    QWidget &m_window;
    UiPort &m_ui;
    QWidget *m_dialogParent;
    std::unique_ptr<QPrinter> m_printer;
};
