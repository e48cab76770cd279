#pragma once

#include <QString>

class QAbstractButton;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

// Small builders for the forms: every control gets its name, caption and hint in one line, so the
// forms read like their control lists.
namespace Form {

// A text box with its initial text; it selects its whole text when it receives the focus.
QLineEdit *edit(QWidget *parent,
                const char *name,
                const QString &text = QString(),
                const QString &hint = QString());
// A caption label (unnamed) or a named value label.
QLabel *caption(QWidget *parent, const QString &text);
QLabel *value(QWidget *parent,
              const char *name,
              const QString &text = QString(),
              const QString &hint = QString());
QPushButton *
button(QWidget *parent, const char *name, const QString &text, const QString &hint = QString());
QCheckBox *
check(QWidget *parent, const char *name, const QString &text, const QString &hint = QString());
QRadioButton *
option(QWidget *parent, const char *name, const QString &text, const QString &hint = QString());
QGroupBox *frame(QWidget *parent, const char *name, const QString &title);

// Makes a text box (a line edit or an editable list) select its whole text whenever it receives
// the focus, also by a mouse click.
void selectAllOnFocus(QWidget *box);

} // namespace Form
