#pragma once

#include <QObject>
#include <QPointer>
#include <QSet>

class FormState;
class QAction;
class QWidget;

// Mirrors the core's FormState into a window: every change the core makes to a control's text,
// list, check mark, enabled or visible state shows in the widget, menu or action of the same
// object name (toolbar buttons are actions named by their key), and a control the core asks the
// focus for gets it. Only what the user does travels the other way, through the handlers the
// application connects.
class FormBinder final : public QObject
{
    Q_OBJECT

public:
    FormBinder(FormState &form, QWidget &window, QObject *parent = nullptr);

    // Applies every control the form knows, e.g. right after the window was created.
    void applyAll();
    // Applies one control; a name the window has no control of is reported as a warning.
    void apply(const QString &control);

private:
    QAction *findAction(const QString &name) const;
    // Warns, once per name, that the window has no control of that name.
    void reportUnknown(const QString &control);

    FormState &m_form;
    QPointer<QWidget> m_window;
    QSet<QString> m_unknown;
};
