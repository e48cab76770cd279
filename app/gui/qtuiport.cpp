#include "gui/qtuiport.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QRegularExpression>

QtUiPort::QtUiPort(QWidget *parent, QLabel *statusPanel)
    : m_parent(parent)
    , m_statusPanel(statusPanel)
    , m_framePanel(statusPanel)
{}

QtUiPort::~QtUiPort()
{
    while (m_busyDepth > 0) {
        setBusy(false);
    }
}

void QtUiPort::setStatusPanel(QLabel *panel)
{
    m_statusPanel = panel ? panel : m_framePanel.data();
}

void QtUiPort::setDialogParent(QWidget *parent)
{
    m_parent = parent;
}

QString QtUiPort::displayText(const QString &text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n\r|\r"));
    QString shown = text;
    return shown.replace(lineBreak, QStringLiteral("\n"));
}

QStringList QtUiPort::nameFilters(const QString &filter)
{
    if (!filter.contains(QLatin1Char('|'))) {
        return filter.split(QStringLiteral(";;"), Qt::SkipEmptyParts);
    }
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString &description = parts.at(i);
        const QString pattern =
                QString(parts.at(i + 1)).replace(QLatin1Char(';'), QLatin1Char(' '));
        // Qt reads the patterns from the parentheses of the description.
        result.append(description.contains(QLatin1Char('('))
                              ? description
                              : QStringLiteral("%1 (%2)").arg(description, pattern));
    }
    return result;
}

UiPort::Answer
QtUiPort::message(const QString &text, Icon icon, Buttons buttons, const QString &title)
{
    QMessageBox box(m_parent);
    box.setWindowTitle(title.isEmpty() ? QStringLiteral("Axona") : title);
    box.setText(displayText(text));
    box.setTextFormat(Qt::PlainText);
    switch (icon) {
    case Icon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case Icon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case Icon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    QMessageBox::StandardButton escape = QMessageBox::Ok;
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        escape = QMessageBox::Cancel;
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        escape = QMessageBox::No;
        break;
    case Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        escape = QMessageBox::Cancel;
        break;
    }
    box.setDefaultButton(buttons == Buttons::Ok || buttons == Buttons::OkCancel ? QMessageBox::Ok
                                                                                : QMessageBox::Yes);
    box.setEscapeButton(escape);

    // A box shown during long work must not keep the hourglass over its buttons.
    if (m_busyDepth > 0) {
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    const int pressed = box.exec();
    if (m_busyDepth > 0) {
        QApplication::restoreOverrideCursor();
    }
    switch (pressed) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    default:
        return Answer::Ok;
    }
}

std::optional<QString> QtUiPort::fileName(const FileRequest &request, bool save)
{
    QFileDialog dialog(m_parent, request.title);
    // Qt's own dialog, so that the default extension and the overwrite question behave the same
    // on every desktop.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QStringList filters = nameFilters(request.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
    }
    if (!request.defaultExtension.isEmpty()) {
        dialog.setDefaultSuffix(request.defaultExtension);
    }
    // An initial name such as "*.pat" only picks the folder; a real name is proposed as is.
    const QString initial = request.initialName;
    if (!initial.isEmpty()) {
        const QFileInfo info(initial);
        if (info.isDir()) {
            dialog.setDirectory(info.absoluteFilePath());
        } else {
            dialog.setDirectory(info.absolutePath());
            if (!info.fileName().contains(QLatin1Char('*'))
                && !info.fileName().contains(QLatin1Char('?'))) {
                dialog.selectFile(info.fileName());
            }
        }
    } else {
        dialog.setDirectory(QDir::currentPath());
    }

    if (m_busyDepth > 0) {
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    const bool accepted = dialog.exec() == QDialog::Accepted;
    if (m_busyDepth > 0) {
        QApplication::restoreOverrideCursor();
    }
    const QStringList chosen = dialog.selectedFiles();
    if (!accepted || chosen.isEmpty() || chosen.constFirst().isEmpty()) {
        return std::nullopt;
    }
    return QDir::toNativeSeparators(chosen.constFirst());
}

std::optional<QString> QtUiPort::openFileName(const FileRequest &request)
{
    return fileName(request, false);
}

std::optional<QString> QtUiPort::saveFileName(const FileRequest &request)
{
    return fileName(request, true);
}

void QtUiPort::setStatus(const QString &text)
{
    if (m_statusPanel) {
        m_statusPanel->setText(text);
        // Whole, where the panel is too narrow for it.
        m_statusPanel->setToolTip(text);
        // Status texts mark progress inside long work; show them before the work goes on.
        m_statusPanel->repaint();
    }
}

void QtUiPort::setBusy(bool busy)
{
    if (busy) {
        ++m_busyDepth;
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (m_busyDepth > 0) {
        --m_busyDepth;
        QApplication::restoreOverrideCursor();
    }
}

void QtUiPort::yield()
{
    QCoreApplication::processEvents();
}
