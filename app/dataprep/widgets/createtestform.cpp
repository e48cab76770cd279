#include "dataprep/widgets/createtestform.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include "gui/formhelpers.h"

CreateTestForm::CreateTestForm(QWidget *parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::CreateTestForm>())
{
    Ui::CreateTestForm &ui = *m_ui;
    setObjectName(QStringLiteral("FRM_CreateTest"));
    setWindowTitle(QStringLiteral("Create Test"));
    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;

    ui.FRA_SampleMethod = Form::frame(this, "FRA_SampleMethod", QStringLiteral("Sample Method"));
    auto *methods = new QVBoxLayout(ui.FRA_SampleMethod);

    const struct
    {
        const char *caption;
        const char *hint;
    } options[] = {
            {"Random Percent", "Randomize pattern file and sample"},
            {"Random Start", "Copy random region form pattern file"},
            {"Range", "Copy region form patterns file"},
    };

    for (int i = 0; i < 3; ++i) {
        const QByteArray name = "OPT_Method_" + QByteArray::number(i);
        QRadioButton *option = Form::option(ui.FRA_SampleMethod, name.constData(),
                                            QString::fromLatin1(options[i].caption),
                                            QString::fromLatin1(options[i].hint));
        option->setProperty("index", i);
        methods->addWidget(option);
        ui.OPT_Method[static_cast<size_t>(i)] = option;
        connect(option, &QRadioButton::clicked, this, [this, i] { chooseMethod(i); });
    }
    top->addWidget(ui.FRA_SampleMethod);

    const struct
    {
        const char *caption;
        const char *text;
        const char *hint;
    } data[] = {
            {"Percent:", "25", "Enter percent of data to sample"},
            {"No. of patterns:", "", "Enter number of patterns to copy"},
            {"From:", "", "Enter pattern number to start copy"},
            {"To:", "", "Enter last pattern to copy"},
    };

    auto *grid = new QGridLayout;
    for (int i = 0; i < 4; ++i) {
        const auto k = static_cast<size_t>(i);
        const QByteArray labelName = "LBL_Method_" + QByteArray::number(i);
        const QByteArray dataName = "TXT_Data_" + QByteArray::number(i);
        QLabel *label =
                Form::value(this, labelName.constData(), QString::fromLatin1(data[i].caption));
        label->setFrameShape(QFrame::NoFrame);
        QLineEdit *edit = Form::edit(this, dataName.constData(), QString::fromLatin1(data[i].text),
                                     QString::fromLatin1(data[i].hint));
        edit->setMaximumWidth(90);
        label->setProperty("index", i);
        edit->setProperty("index", i);
        ui.LBL_Method[k] = label;
        ui.TXT_Data[k] = edit;
        // Only one method's box shows at a time, so the first three share a row; "To:" sits
        // below "From:".
        const int row = i == 3 ? 1 : 0;
        grid->addWidget(label, row, 0);
        grid->addWidget(edit, row, 1);
    }
    grid->setRowStretch(2, 1);
    top->addLayout(grid);
    layout->addLayout(top);

    ui.Command2 = Form::button(this, "Command2", QStringLiteral("&OK"));
    ui.Command1 = Form::button(this, "Command1", QStringLiteral("&Cancel"));
    ui.Command2->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ui.Command2);
    buttons->addWidget(ui.Command1);
    layout->addLayout(buttons);

    ui.StatusBar1 = new QStatusBar(this);
    ui.StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    ui.StatusBar1->setSizeGripEnabled(false);
    ui.Panel1 = new QLabel(ui.StatusBar1);
    ui.Panel1->setObjectName(QStringLiteral("Panel1"));
    ui.StatusBar1->addWidget(ui.Panel1, 1);
    layout->addWidget(ui.StatusBar1);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(ui.Command1, &QPushButton::clicked, this, &QDialog::reject);
    ui.OPT_Method[0]->setChecked(true);
    chooseMethod(0);
}

CreateTestForm::~CreateTestForm() = default;

void CreateTestForm::chooseMethod(int index)
{
    Ui::CreateTestForm &ui = *m_ui;
    for (size_t k = 0; k < 4; ++k) {
        const bool shown = static_cast<int>(k) == index || (index == 2 && k == 3);
        ui.LBL_Method[k]->setVisible(shown);
        ui.TXT_Data[k]->setVisible(shown);
    }
    ui.OPT_Method[static_cast<size_t>(index)]->setChecked(true);
    m_method = index + 1;
    emit methodChanged(m_method);
}
