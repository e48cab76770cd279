#pragma once

#include <QLabel>

// A file-name label that opens a file when clicked ("Click here to Open File"), or, since it
// takes the focus by Tab, when Space or Enter is pressed on it. A disabled label (during
// training) ignores both.
class ClickableLabel final : public QLabel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ClickableLabel)

public:
    explicit ClickableLabel(const QString &text, QWidget *parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};
