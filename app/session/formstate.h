#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

// What the main window's controls hold, kept on the core side: texts of boxes and labels, list
// items, check marks and the enabled and visible state of controls, menu items and toolbar
// buttons, each keyed by the control's object name (toolbar buttons by their key, e.g. "train").
// The file writers and workflows read the same text the user sees; the window mirrors every
// change announced by changed().
class FormState final : public QObject
{
    Q_OBJECT

public:
    explicit FormState(QObject *parent = nullptr);

    QString text(const QString &control) const { return m_text.value(control); }

    void setText(const QString &control, const QString &text);

    // Controls not mentioned yet are enabled and visible.
    bool isEnabled(const QString &control) const { return m_enabled.value(control, true); }

    void setEnabled(const QString &control, bool enabled);

    bool isVisible(const QString &control) const { return m_visible.value(control, true); }

    void setVisible(const QString &control, bool visible);

    bool isChecked(const QString &control) const { return m_checked.value(control, false); }

    void setChecked(const QString &control, bool checked);

    // List boxes: their lines and the selected line (-1 for none).
    QStringList items(const QString &control) const { return m_items.value(control); }

    void setItems(const QString &control, const QStringList &items);

    int currentIndex(const QString &control) const { return m_index.value(control, -1); }

    void setCurrentIndex(const QString &control, int index);

    // Which aspects of a control the core has set; the window leaves the others alone (a
    // button's caption is the window's, its enabled state the core's).
    bool hasText(const QString &control) const { return m_text.contains(control); }

    bool hasEnabled(const QString &control) const { return m_enabled.contains(control); }

    bool hasVisible(const QString &control) const { return m_visible.contains(control); }

    bool hasChecked(const QString &control) const { return m_checked.contains(control); }

    bool hasItems(const QString &control) const { return m_items.contains(control); }

    bool hasCurrentIndex(const QString &control) const { return m_index.contains(control); }

    // Every control mentioned so far, for a window binding itself on start.
    QStringList controls() const;

    // Everything the form holds, to put back after a command that failed half-way.
    struct Values
    {
        QHash<QString, QString> text;
        QHash<QString, bool> enabled;
        QHash<QString, bool> visible;
        QHash<QString, bool> checked;
        QHash<QString, QStringList> items;
        QHash<QString, int> index;
    };

    Values values() const;
    // Puts values back and announces every control; a state mentioned since then but not in
    // values goes back to its default (enabled, visible, unchecked).
    void restore(const Values &values);

    // Asks the window to give the keyboard focus to control.
    void requestFocus(const QString &control);

signals:
    void changed(const QString &control);
    void focusRequested(const QString &control);

private:
    void touch(const QString &control);

    QHash<QString, QString> m_text;
    QHash<QString, bool> m_enabled;
    QHash<QString, bool> m_visible;
    QHash<QString, bool> m_checked;
    QHash<QString, QStringList> m_items;
    QHash<QString, int> m_index;
};
