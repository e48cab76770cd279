#pragma once

#include <array>
#include <memory>

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStatusBar;

namespace Ui {
struct CreateTestForm
{
    QGroupBox *FRA_SampleMethod = nullptr;
    // OPT_Method(0..2): "Random Percent", "Random Start", "Range".
    std::array<QRadioButton *, 3> OPT_Method {};
    // LBL_Method(0..3) and TXT_Data(0..3): percent, number of patterns, from, to.
    std::array<QLabel *, 4> LBL_Method {};
    std::array<QLineEdit *, 4> TXT_Data {};
    QPushButton *Command2 = nullptr;
    QPushButton *Command1 = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    // First panel of StatusBar1: the progress texts.
    QLabel *Panel1 = nullptr;
};
} // namespace Ui

// The "Create Test" dialog FRM_CreateTest. Choosing a method shows only its box ("From:" and
// "To:" for a range). "&Cancel" closes it; "&OK" belongs to the binding layer, which keeps the
// dialog open while the test set is made and closes it afterwards.
class CreateTestForm final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CreateTestForm)

public:
    explicit CreateTestForm(QWidget *parent = nullptr);
    ~CreateTestForm() override;

    Ui::CreateTestForm *ui() const { return m_ui.get(); }

    // The chosen method, 1 to 3 (list position of the option plus one).
    int method() const { return m_method; }

signals:
    void methodChanged(int method);

private:
    void chooseMethod(int index);

    std::unique_ptr<Ui::CreateTestForm> m_ui;
    int m_method = 1;
};
