#pragma once

#include <QWidget>

class QToolButton;

// An up/down spin control without a value of its own: it only reports its two arrow clicks. The
// value lives in the box or label beside it, and the owner decides what a click does (the layer
// count refuses to go past 2..5, Eta steps by its leading decimal place, and so on). It takes the
// focus by Tab; the Up and Down keys then click its arrows.
class UpDown final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(UpDown)

public:
    explicit UpDown(QWidget *parent = nullptr);

    // The arrow buttons, for tests and for the binding layer's tooltips.
    QToolButton *upButton() const { return m_up; }

    QToolButton *downButton() const { return m_down; }

signals:
    void upClicked();
    void downClicked();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QToolButton *m_up;
    QToolButton *m_down;
};
