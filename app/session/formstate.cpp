#include "session/formstate.h"

#include <QSet>

FormState::FormState(QObject *parent)
    : QObject(parent)
{}

void FormState::touch(const QString &control)
{
    emit changed(control);
}

void FormState::setText(const QString &control, const QString &text)
{
    auto it = m_text.find(control);
    if (it != m_text.end() && *it == text) {
        return;
    }
    m_text.insert(control, text);
    touch(control);
}

void FormState::setEnabled(const QString &control, bool enabled)
{
    if (m_enabled.contains(control) && m_enabled.value(control) == enabled) {
        return;
    }
    m_enabled.insert(control, enabled);
    touch(control);
}

void FormState::setVisible(const QString &control, bool visible)
{
    if (m_visible.contains(control) && m_visible.value(control) == visible) {
        return;
    }
    m_visible.insert(control, visible);
    touch(control);
}

void FormState::setChecked(const QString &control, bool checked)
{
    if (m_checked.contains(control) && m_checked.value(control) == checked) {
        return;
    }
    m_checked.insert(control, checked);
    touch(control);
}

void FormState::setItems(const QString &control, const QStringList &items)
{
    m_items.insert(control, items);
    touch(control);
}

void FormState::setCurrentIndex(const QString &control, int index)
{
    m_index.insert(control, index);
    touch(control);
}

QStringList FormState::controls() const
{
    QSet<QString> all;
    for (const auto *h : {&m_text}) {
        for (auto it = h->begin(); it != h->end(); ++it) {
            all.insert(it.key());
        }
    }
    for (const auto *h : {&m_enabled, &m_visible, &m_checked}) {
        for (auto it = h->begin(); it != h->end(); ++it) {
            all.insert(it.key());
        }
    }
    for (auto it = m_items.begin(); it != m_items.end(); ++it) {
        all.insert(it.key());
    }
    QStringList out(all.begin(), all.end());
    out.sort();
    return out;
}

FormState::Values FormState::values() const
{
    return {m_text, m_enabled, m_visible, m_checked, m_items, m_index};
}

void FormState::restore(const Values &values)
{
    const QStringList before = controls();
    const auto keepDefault = [](const QHash<QString, bool> &now, QHash<QString, bool> back,
                                bool defaultValue) {
        for (auto it = now.begin(); it != now.end(); ++it) {
            if (!back.contains(it.key())) {
                back.insert(it.key(), defaultValue);
            }
        }
        return back;
    };
    m_enabled = keepDefault(m_enabled, values.enabled, true);
    m_visible = keepDefault(m_visible, values.visible, true);
    m_checked = keepDefault(m_checked, values.checked, false);
    m_text = values.text;
    m_items = values.items;
    m_index = values.index;
    QStringList all = controls() + before;
    all.removeDuplicates();
    for (const QString &control : std::as_const(all)) {
        touch(control);
    }
}

void FormState::requestFocus(const QString &control)
{
    emit focusRequested(control);
}
