#pragma once

#include <memory>

#include <QDialog>

class QLabel;
class QPushButton;

namespace Ui {
struct AboutDialog
{
    QLabel *LBL_Title = nullptr;
    QLabel *LBL_MaxLayers = nullptr;
    QLabel *LBL_MaxLayerSize = nullptr;
    QLabel *LBL_MaxPatterns = nullptr;
    QLabel *LBL_MaxConnections = nullptr;
    QPushButton *BTN_ILikeIt = nullptr;
};
} // namespace Ui

// The About box: the program title and version and the system's fixed limits; "I LIKE IT" closes
// it. Shown in the middle of the screen.
class AboutDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AboutDialog)

public:
    explicit AboutDialog(QWidget *parent = nullptr);
    ~AboutDialog() override;

    Ui::AboutDialog *ui() const { return m_ui.get(); }

protected:
    void showEvent(QShowEvent *event) override;

private:
    std::unique_ptr<Ui::AboutDialog> m_ui;
};

// Opens the About box modally over parent.
void showAboutBox(QWidget *parent);
