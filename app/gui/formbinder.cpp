#include "gui/formbinder.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QMenu>
#include <QSignalBlocker>

#include "session/formstate.h"

FormBinder::FormBinder(FormState &form, QWidget &window, QObject *parent)
    : QObject(parent)
    , m_form(form)
    , m_window(&window)
{
    connect(&form, &FormState::changed, this, &FormBinder::apply);
    connect(&form, &FormState::focusRequested, this, [this](const QString &control) {
        if (auto *widget = m_window ? m_window->findChild<QWidget *>(control) : nullptr) {
            widget->setFocus(Qt::OtherFocusReason);
        }
    });
}

void FormBinder::applyAll()
{
    const QStringList controls = m_form.controls();
    for (const QString &control : controls) {
        apply(control);
    }
}

QAction *FormBinder::findAction(const QString &name) const
{
    if (auto *menu = m_window->findChild<QMenu *>(name)) {
        return menu->menuAction();
    }
    return m_window->findChild<QAction *>(name);
}

void FormBinder::reportUnknown(const QString &control)
{
    if (!m_unknown.contains(control)) {
        m_unknown.insert(control);
        qWarning("FormBinder: the window %s has no control named %s",
                 qPrintable(m_window->objectName()), qPrintable(control));
    }
}

void FormBinder::apply(const QString &control)
{
    if (!m_window) {
        return;
    }
    if (QAction *action = findAction(control)) {
        if (m_form.hasEnabled(control)) {
            action->setEnabled(m_form.isEnabled(control));
        }
        if (m_form.hasVisible(control)) {
            action->setVisible(m_form.isVisible(control));
        }
        if (m_form.hasChecked(control)) {
            const QSignalBlocker block(action);
            action->setChecked(m_form.isChecked(control));
        }
        return;
    }
    auto *widget = m_window->findChild<QWidget *>(control);
    if (!widget) {
        reportUnknown(control);
        return;
    }
    // Programmatic updates must not look like the user's edits.
    const QSignalBlocker block(widget);
    if (m_form.hasEnabled(control)) {
        widget->setEnabled(m_form.isEnabled(control));
    }
    if (m_form.hasVisible(control)) {
        widget->setVisible(m_form.isVisible(control));
    }
    if (auto *combo = qobject_cast<QComboBox *>(widget)) {
        if (m_form.hasItems(control)) {
            const QStringList items = m_form.items(control);
            QStringList shown;
            for (int i = 0; i < combo->count(); ++i) {
                shown.append(combo->itemText(i));
            }
            if (shown != items) {
                combo->clear();
                combo->addItems(items);
            }
        }
        if (m_form.hasCurrentIndex(control)) {
            combo->setCurrentIndex(m_form.currentIndex(control));
        }
        if (m_form.hasText(control) && combo->isEditable()
            && combo->currentText() != m_form.text(control)) {
            combo->setEditText(m_form.text(control));
        }
        return;
    }
    if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
        if (m_form.hasChecked(control)) {
            button->setChecked(m_form.isChecked(control));
        }
        if (m_form.hasText(control)) {
            button->setText(m_form.text(control));
        }
        return;
    }
    if (!m_form.hasText(control)) {
        return;
    }
    const QString text = m_form.text(control);
    if (auto *edit = qobject_cast<QLineEdit *>(widget)) {
        if (edit->text() != text) {
            edit->setText(text);
        }
    } else if (auto *label = qobject_cast<QLabel *>(widget)) {
        label->setText(text);
    } else if (auto *plain = qobject_cast<QPlainTextEdit *>(widget)) {
        if (plain->toPlainText() != text) {
            plain->setPlainText(text);
        }
    }
}
