#include "gui/formhelpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace {

class SelectAllFilter final : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::FocusIn) {
            // The mouse press that gave the focus would clear a selection made now; select once
            // the press has been handled.
            QLineEdit *edit = qobject_cast<QLineEdit *>(watched);
            // An editable list keeps the focus itself and hands its events to its line edit
            // directly, past any filter on the line edit.
            if (auto *combo = qobject_cast<QComboBox *>(watched)) {
                edit = combo->lineEdit();
            }
            if (edit) {
                QTimer::singleShot(0, edit, &QLineEdit::selectAll);
            }
        }
        return false;
    }
};

template <class W> W *named(W *widget, const char *name, const QString &hint)
{
    widget->setObjectName(QLatin1String(name));
    if (!hint.isEmpty()) {
        widget->setToolTip(hint);
    }
    return widget;
}

} // namespace

namespace Form {

QLineEdit *edit(QWidget *parent, const char *name, const QString &text, const QString &hint)
{
    auto *e = named(new QLineEdit(text, parent), name, hint);
    selectAllOnFocus(e);
    return e;
}

QLabel *caption(QWidget *parent, const QString &text)
{
    return new QLabel(text, parent);
}

QLabel *value(QWidget *parent, const char *name, const QString &text, const QString &hint)
{
    auto *l = named(new QLabel(text, parent), name, hint);
    l->setFrameShape(QFrame::StyledPanel);
    l->setFrameShadow(QFrame::Sunken);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

QPushButton *button(QWidget *parent, const char *name, const QString &text, const QString &hint)
{
    return named(new QPushButton(text, parent), name, hint);
}

QCheckBox *check(QWidget *parent, const char *name, const QString &text, const QString &hint)
{
    return named(new QCheckBox(text, parent), name, hint);
}

QRadioButton *option(QWidget *parent, const char *name, const QString &text, const QString &hint)
{
    return named(new QRadioButton(text, parent), name, hint);
}

QGroupBox *frame(QWidget *parent, const char *name, const QString &title)
{
    return named(new QGroupBox(title, parent), name, QString());
}

void selectAllOnFocus(QWidget *box)
{
    // One filter per box, owned by it, so the filter lives exactly as long as the box.
    box->installEventFilter(new SelectAllFilter(box));
}

} // namespace Form
