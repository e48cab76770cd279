#include "shell/aboutdialog.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "gui/formhelpers.h"

AboutDialog::AboutDialog(QWidget *parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::AboutDialog>())
{
    setObjectName(QStringLiteral("About"));
    setWindowTitle(QStringLiteral("About Axona"));

    auto *layout = new QVBoxLayout(this);
    // A blank, the title, "32 ", the version and a blank.
    m_ui->LBL_Title = Form::value(this, "LBL_Title",
                                  QStringLiteral(" Axona") + QStringLiteral("32 ")
                                          + QStringLiteral("1.7") + QChar(' '));
    m_ui->LBL_Title->setAlignment(Qt::AlignCenter);
    QFont big = m_ui->LBL_Title->font();
    big.setPointSizeF(big.pointSizeF() * 2.0);
    big.setBold(true);
    m_ui->LBL_Title->setFont(big);
    m_ui->LBL_Title->setFrameShape(QFrame::NoFrame);
    layout->addWidget(m_ui->LBL_Title);

    auto *limits = new QFrame(this);
    limits->setObjectName(QStringLiteral("FRA_Limits"));
    limits->setFrameShape(QFrame::StyledPanel);
    limits->setFrameShadow(QFrame::Sunken);
    auto *grid = new QGridLayout(limits);

    const struct
    {
        const char *caption;
        const char *name;
        QLabel *Ui::AboutDialog::*member;
        int limit;
    } rows[] = {
            {"Max. no. of layers:", "LBL_MaxLayers", &Ui::AboutDialog::LBL_MaxLayers, 5},
            {"Max. layer size:", "LBL_MaxLayerSize", &Ui::AboutDialog::LBL_MaxLayerSize, 1024},
            {"Max. no. of patterns:", "LBL_MaxPatterns", &Ui::AboutDialog::LBL_MaxPatterns, 8192},
            {"Max no. of connections:", "LBL_MaxConnections", &Ui::AboutDialog::LBL_MaxConnections,
             32767},
    };

    int row = 0;
    for (const auto &r : rows) {
        QLabel *valueLabel = Form::value(limits, r.name, QString::number(r.limit));
        valueLabel->setFrameShape(QFrame::NoFrame);
        valueLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_ui.get()->*r.member = valueLabel;
        grid->addWidget(Form::caption(limits, QString::fromLatin1(r.caption)), row, 0);
        grid->addWidget(valueLabel, row, 1);
        ++row;
    }
    layout->addWidget(limits);

    m_ui->BTN_ILikeIt = Form::button(this, "BTN_ILikeIt", QStringLiteral("I LIKE IT"));
    m_ui->BTN_ILikeIt->setDefault(true);
    layout->addWidget(m_ui->BTN_ILikeIt, 0, Qt::AlignHCenter);
    connect(m_ui->BTN_ILikeIt, &QPushButton::clicked, this, &QDialog::accept);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

AboutDialog::~AboutDialog() = default;

void AboutDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (const QScreen *s = screen()) {
        const QRect area = s->availableGeometry();
        move(area.center() - rect().center());
    }
}

void showAboutBox(QWidget *parent)
{
    AboutDialog about(parent);
    about.exec();
}
