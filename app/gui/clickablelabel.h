#pragma once

#include <QLabel>

// A file-name label that opens a file when clicked ("Click here to Open File"), or, since it
// takes the focus by Tab, when Space or Enter is pressed on it. A disabled label (during
// training) ignores both. A name longer than the label is shown with its middle left out, so a
// long path never widens the window.
class ClickableLabel final : public QLabel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ClickableLabel)

public:
    explicit ClickableLabel(const QString &text, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};
