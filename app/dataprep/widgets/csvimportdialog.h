#pragma once

#include <QDialog>
#include <QList>
#include <QString>

#include "dataprep/csvimport.h"
#include "dataprep/csvtable.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTableWidget;
struct Workbench;

// The preview of "Import CSV...": the first rows of the file as read, a role per column (input,
// output, one-hot class, skip), the delimiter and header as found (the user may change them),
// what to do with missing cells, the share of a test set, the class targets, and a line saying
// what the import makes or why it cannot. "Import" belongs to the binding layer.
class CsvImportDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CsvImportDialog)

public:
    // Rows the preview shows.
    static constexpr int PreviewRows = 20;

    // classRange: the output function's low and high output, the second choice of class targets.
    CsvImportDialog(const QString &path,
                    const QString &text,
                    std::pair<float, float> classRange,
                    QWidget *parent = nullptr);
    ~CsvImportDialog() override;

    // The table as read with the delimiter and header shown; fails when the file cannot be read
    // so (the summary line says why).
    const Result<CsvTable> &table() const { return m_table; }

    // The choice the controls make for the table.
    CsvImportChoice choice() const;

    // The role chooser above column c of the preview.
    QComboBox *roleBox(int c) const;

    QComboBox *delimiterBox() const { return m_delimiter; }

    QCheckBox *headerBox() const { return m_header; }

    QCheckBox *dropMissingBox() const { return m_dropMissing; }

    QDoubleSpinBox *testPercentBox() const { return m_testPercent; }

    QSpinBox *seedBox() const { return m_seed; }

    QRadioButton *functionRangeButton() const { return m_functionRange; }

    QLabel *summary() const { return m_summary; }

    QPushButton *importButton() const { return m_import; }

signals:
    void importRequested();

private:
    void reread(bool detect);
    void fillPreview();
    void updateSummary();

    QString m_text;
    std::pair<float, float> m_classRange;
    Result<CsvTable> m_table = LoadError {};
    QComboBox *m_delimiter = nullptr;
    QCheckBox *m_header = nullptr;
    QTableWidget *m_preview = nullptr;
    QCheckBox *m_dropMissing = nullptr;
    QDoubleSpinBox *m_testPercent = nullptr;
    QSpinBox *m_seed = nullptr;
    QRadioButton *m_oneZero = nullptr;
    QRadioButton *m_functionRange = nullptr;
    QLabel *m_summary = nullptr;
    QPushButton *m_import = nullptr;
};

// "&Import CSV...": asks for the CSV file, shows the preview, and on "Import" imports the file
// as the dialog's choice says and loads the sets (the dialog stays open when that fails).
void runCsvImportDialog(Workbench &wb, QWidget *parent);
