#pragma once

#include <functional>

#include <QDialog>
#include <QTimer>

class QLabel;
class QPushButton;

// FRM_WaitForLink: shown while a started link server comes up. Every 500 ms it tries the link;
// it closes accepted when the attempt settles, rejected when the user presses "&Cancel".
class WaitForLinkDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WaitForLinkDialog)

public:
    WaitForLinkDialog(std::function<bool()> attempt, QWidget *parent = nullptr);

private:
    void tryLink();

    std::function<bool()> m_attempt;
    QTimer m_timer;
};
