#include "dataprep/widgets/csvimportdialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "dataprep/importcommands.h"
#include "model/numberformat.h"
#include "session/workbench.h"

namespace {

const QList<std::pair<QString, QChar>> Delimiters {{QStringLiteral("Comma"), u','},
                                                   {QStringLiteral("Semicolon"), u';'},
                                                   {QStringLiteral("Tab"), u'\t'}};

// The role box's entries, in ColumnRole's order.
const QStringList RoleNames {QStringLiteral("Input"), QStringLiteral("Output"),
                             QStringLiteral("One-hot class"), QStringLiteral("Skip")};

} // namespace

CsvImportDialog::CsvImportDialog(const QString &path,
                                 const QString &text,
                                 std::pair<float, float> classRange,
                                 QWidget *parent)
    : QDialog(parent)
    , m_text(text)
    , m_classRange(classRange)
{
    setObjectName(QStringLiteral("FRM_ImportCsv"));
    setWindowTitle(QStringLiteral("Import CSV - %1").arg(QFileInfo(path).fileName()));
    auto *layout = new QVBoxLayout(this);

    auto *reading = new QHBoxLayout;
    reading->addWidget(new QLabel(QStringLiteral("&Delimiter:"), this));
    m_delimiter = new QComboBox(this);
    m_delimiter->setObjectName(QStringLiteral("CMB_Delimiter"));
    for (const auto &[name, c] : Delimiters) {
        m_delimiter->addItem(name);
    }
    qobject_cast<QLabel *>(reading->itemAt(0)->widget())->setBuddy(m_delimiter);
    reading->addWidget(m_delimiter);
    m_header = new QCheckBox(QStringLiteral("First row &names the columns"), this);
    m_header->setObjectName(QStringLiteral("CHK_Header"));
    reading->addWidget(m_header);
    reading->addStretch();
    layout->addLayout(reading);

    m_preview = new QTableWidget(this);
    m_preview->setObjectName(QStringLiteral("GRD_Preview"));
    m_preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_preview->setMinimumSize(560, 300);
    layout->addWidget(m_preview, 1);

    auto *options = new QFormLayout;
    m_dropMissing = new QCheckBox(QStringLiteral("Leave out rows with a &missing or non-numeric "
                                                 "value"),
                                  this);
    m_dropMissing->setObjectName(QStringLiteral("CHK_DropMissing"));
    options->addRow(m_dropMissing);
    auto *test = new QHBoxLayout;
    m_testPercent = new QDoubleSpinBox(this);
    m_testPercent->setObjectName(QStringLiteral("TXT_TestPercent"));
    m_testPercent->setRange(0, 80);
    m_testPercent->setDecimals(1);
    m_testPercent->setSuffix(QStringLiteral(" %"));
    m_testPercent->setToolTip(QStringLiteral("Rows drawn at random into a test file; 0 for none"));
    m_seed = new QSpinBox(this);
    m_seed->setObjectName(QStringLiteral("TXT_Seed"));
    m_seed->setRange(0, 999999);
    m_seed->setToolTip(QStringLiteral("The same seed draws the same test rows"));
    test->addWidget(m_testPercent);
    test->addWidget(new QLabel(QStringLiteral("Seed:"), this));
    test->addWidget(m_seed);
    test->addStretch();
    options->addRow(QStringLiteral("&Test set:"), test);
    qobject_cast<QLabel *>(options->labelForField(test))->setBuddy(m_testPercent);
    auto *targets = new QHBoxLayout;
    m_oneZero = new QRadioButton(QStringLiteral("&1 and 0"), this);
    m_oneZero->setObjectName(QStringLiteral("OPT_OneZero"));
    m_oneZero->setChecked(true);
    m_functionRange = new QRadioButton(
            QStringLiteral("The output &function's range (%1 and %2)")
                    .arg(generalNumber(classRange.second), generalNumber(classRange.first)),
            this);
    m_functionRange->setObjectName(QStringLiteral("OPT_FunctionRange"));
    targets->addWidget(m_oneZero);
    targets->addWidget(m_functionRange);
    targets->addStretch();
    options->addRow(QStringLiteral("Class targets:"), targets);
    layout->addLayout(options);

    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("LBL_Summary"));
    m_summary->setWordWrap(true);
    layout->addWidget(m_summary);

    auto *buttons = new QDialogButtonBox(this);
    m_import = buttons->addButton(QStringLiteral("&Import..."), QDialogButtonBox::AcceptRole);
    m_import->setObjectName(QStringLiteral("BTN_Import"));
    m_import->setDefault(true);
    buttons->addButton(QDialogButtonBox::Cancel);
    layout->addWidget(buttons);
    // Import belongs to the binding layer, which closes the dialog once the data are loaded.
    connect(buttons, &QDialogButtonBox::accepted, this, &CsvImportDialog::importRequested);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    connect(m_delimiter, &QComboBox::activated, this, [this] { reread(false); });
    connect(m_header, &QCheckBox::toggled, this, [this] { reread(false); });
    for (QObject *control :
         {static_cast<QObject *>(m_dropMissing), static_cast<QObject *>(m_oneZero)}) {
        connect(qobject_cast<QAbstractButton *>(control), &QAbstractButton::toggled, this,
                &CsvImportDialog::updateSummary);
    }
    connect(m_testPercent, &QDoubleSpinBox::valueChanged, this, &CsvImportDialog::updateSummary);
    connect(m_seed, &QSpinBox::valueChanged, this, &CsvImportDialog::updateSummary);
    reread(true);
}

CsvImportDialog::~CsvImportDialog() = default;

void CsvImportDialog::reread(bool detect)
{
    CsvReadOptions read;
    if (!detect) {
        read.delimiter = Delimiters.value(m_delimiter->currentIndex()).second;
        read.header = m_header->isChecked();
    }
    m_table = readCsv(m_text, read);
    if (m_table && detect) {
        const QSignalBlocker b1(m_delimiter), b2(m_header);
        for (int i = 0; i < Delimiters.size(); ++i) {
            if (Delimiters.at(i).second == m_table.value().delimiter) {
                m_delimiter->setCurrentIndex(i);
            }
        }
        m_header->setChecked(m_table.value().header);
    }
    fillPreview();
    updateSummary();
}

void CsvImportDialog::fillPreview()
{
    m_preview->clear();
    if (!m_table) {
        m_preview->setRowCount(0);
        m_preview->setColumnCount(0);
        return;
    }
    const CsvTable &table = m_table.value();
    const QList<ColumnRole> roles = defaultRoles(table);
    const int rows = static_cast<int>(std::min<qsizetype>(table.rows.size(), PreviewRows));
    m_preview->setColumnCount(table.columns());
    m_preview->setRowCount(rows + 1);
    m_preview->setHorizontalHeaderLabels(table.names);
    QStringList rowLabels {QStringLiteral("Role")};
    for (int r = 0; r < rows; ++r) {
        rowLabels << QString::number(table.rowNumbers.at(r));
    }
    m_preview->setVerticalHeaderLabels(rowLabels);
    for (int c = 0; c < table.columns(); ++c) {
        auto *box = new QComboBox(m_preview);
        box->setObjectName(QStringLiteral("CMB_Role%1").arg(c + 1));
        box->addItems(RoleNames);
        box->setCurrentIndex(static_cast<int>(roles.at(c)));
        connect(box, &QComboBox::currentIndexChanged, this, &CsvImportDialog::updateSummary);
        m_preview->setCellWidget(0, c, box);
        for (int r = 0; r < rows; ++r) {
            m_preview->setItem(r + 1, c, new QTableWidgetItem(table.rows.at(r).at(c)));
        }
    }
    m_preview->resizeColumnsToContents();
}

QComboBox *CsvImportDialog::roleBox(int c) const
{
    return qobject_cast<QComboBox *>(m_preview->cellWidget(0, c));
}

CsvImportChoice CsvImportDialog::choice() const
{
    CsvImportChoice choice;
    if (m_table) {
        for (int c = 0; c < m_table.value().columns(); ++c) {
            choice.roles << static_cast<ColumnRole>(roleBox(c)->currentIndex());
        }
    }
    if (m_functionRange->isChecked()) {
        choice.classLow = m_classRange.first;
        choice.classHigh = m_classRange.second;
    }
    choice.dropMissing = m_dropMissing->isChecked();
    choice.testPercent = m_testPercent->value();
    choice.seed = static_cast<std::uint32_t>(m_seed->value());
    return choice;
}

void CsvImportDialog::updateSummary()
{
    if (!m_table) {
        m_summary->setText(m_table.error().message);
        m_import->setEnabled(false);
        return;
    }
    const Result<CsvImport> import = importCsvTable(m_table.value(), choice());
    if (!import) {
        m_summary->setText(import.error().message);
    } else {
        QString text = describeImport(import.value());
        if (import.value().dropped > 0) {
            text += QStringLiteral("; %1 rows left out").arg(import.value().dropped);
        }
        m_summary->setText(text);
    }
    m_import->setEnabled(import.ok());
}

void runCsvImportDialog(Workbench &wb, QWidget *parent)
{
    const std::optional<CsvSource> source = askCsvFile(wb);
    if (!source) {
        return;
    }
    CsvImportDialog dialog(source->path, source->text, outputFunctionRange(wb), parent);
    QObject::connect(&dialog, &CsvImportDialog::importRequested, &dialog, [&] {
        if (dialog.table()
            && importCsv(wb, source->path, dialog.table().value(), dialog.choice())) {
            dialog.accept();
        }
    });
    dialog.exec();
}
