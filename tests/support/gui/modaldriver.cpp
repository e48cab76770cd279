#include "modaldriver.h"

#include <QAbstractButton>
#include <QAbstractPrintDialog>
#include <QApplication>
#include <QEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QPageSetupDialog>

namespace {

QString classOf(const QWidget *w)
{
    return QString::fromLatin1(w->metaObject()->className());
}

} // namespace

ModalDriver::ModalDriver()
{
    m_timer.setInterval(20);
    connect(&m_timer, &QTimer::timeout, this, &ModalDriver::answer);
    m_timer.start();
}

ModalDriver::ModalDriver(QMessageBox::StandardButton answer, bool acceptDialogs)
    : ModalDriver()
{
    m_fallback = answer;
    m_acceptDialogs = acceptDialogs;
}

bool ModalDriver::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Hide) {
        m_stepped.removeAll(watched);
        watched->removeEventFilter(this);
    }
    return false;
}

ModalDriver &ModalDriver::file(const QString &path)
{
    return then([this, path](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        if (!dialog) {
            refuse(modal);
            return;
        }
        m_answered.append(dialog->windowTitle());
        // selectFile() leaves a focused name box as it is, and its "*.net" would be taken as a
        // filter: type the name as a user would.
        if (auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))) {
            name->setText(path);
        } else {
            dialog->selectFile(path);
        }
        static_cast<QDialog *>(dialog)->accept();
    });
}

ModalDriver &ModalDriver::button(QMessageBox::StandardButton button)
{
    return then([this, button](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (!box || !box->button(button)) {
            refuse(modal);
            return;
        }
        m_answered.append(box->text());
        box->button(button)->click();
    });
}

ModalDriver &ModalDriver::then(Step step)
{
    m_steps.push_back(std::move(step));
    return *this;
}

void ModalDriver::answer()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (m_pending || !modal || !modal->isVisible() || m_stepped.contains(modal)) {
        return;
    }
    Seen seen;
    seen.className = classOf(modal);
    if (auto *box = qobject_cast<QMessageBox *>(modal)) {
        seen.text = box->text();
        seen.buttons = box->standardButtons();
        seen.icon = box->icon();
    } else if (auto *print = qobject_cast<QAbstractPrintDialog *>(modal)) {
        seen.printer = print->printer();
    } else if (auto *page = qobject_cast<QPageSetupDialog *>(modal)) {
        seen.printer = page->printer();
    }
    m_seen.append(seen);

    if (m_steps.empty()) {
        if (m_fallback) {
            fallBack(modal);
        } else {
            refuse(modal);
        }
        return;
    }
    Step step = std::move(m_steps.front());
    m_steps.pop_front();
    m_pending = true;
    m_stepped.append(modal);
    modal->installEventFilter(this);
    QTimer::singleShot(0, this, [this, step = std::move(step), window = QPointer<QWidget>(modal)] {
        m_pending = false;
        if (window) {
            step(window);
        }
    });
}

void ModalDriver::refuse(QWidget *modal)
{
    auto *box = qobject_cast<QMessageBox *>(modal);
    m_unexpected.append(box ? box->text() : classOf(modal));
    if (auto *dialog = qobject_cast<QDialog *>(modal)) {
        dialog->reject();
    } else {
        modal->close();
    }
}

void ModalDriver::fallBack(QWidget *modal)
{
    if (auto *box = qobject_cast<QMessageBox *>(modal)) {
        QAbstractButton *button = box->button(*m_fallback);
        if (!button) {
            button = box->buttons().size() == 1 ? box->buttons().constFirst() : box->escapeButton();
        }
        if (button) {
            button->click();
        } else {
            box->reject();
        }
        return;
    }
    if (auto *dialog = qobject_cast<QDialog *>(modal)) {
        if (m_acceptDialogs) {
            dialog->accept();
        } else {
            dialog->reject();
        }
    } else {
        modal->close();
    }
}
