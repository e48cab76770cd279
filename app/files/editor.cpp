#include "files/editor.h"

#include <QProcess>

#include "session/controls.h"
#include "session/desktopport.h"
#include "session/uiport.h"
#include "session/workbench.h"

bool startEditor(Workbench &wb, const QString &file)
{
    QStringList arguments = QProcess::splitCommand(wb.model.EditorCommand);
    if (!arguments.isEmpty()) {
        const QString program = arguments.takeFirst();
        arguments.append(file);
        if (wb.desktop->startDetached(program, arguments)) {
            return true;
        }
    }
    wb.ui.exclamation(QStringLiteral("The editor could not be started: \"%1\"\n\r"
                                     "Enter the editor's command in Setup (menu \"Setup...\").")
                              .arg(wb.model.EditorCommand));
    return false;
}

void editPatternFile(Workbench &wb)
{
    if (wb.model.SetsRegenerated && wb.model.PatsUnsaved) {
        wb.ui.information(QStringLiteral("To continue, patterns must be saved to file.\r\n"
                                         "Use the File menu command: Save Pats As."));
        return;
    }
    startEditor(wb, wb.form.text(Control::LBL_DataFile));
}

void editTestFile(Workbench &wb)
{
    if (wb.model.SetsRegenerated && wb.model.TestUnsaved) {
        wb.ui.information(QStringLiteral("Test patterns must be first saved to file.\r\n"
                                         "Use the File menu command: Save Test Pats As"));
        return;
    }
    startEditor(wb, wb.form.text(Control::LBL_TestFile));
}

void editWeightFile(Workbench &wb)
{
    startEditor(wb, wb.form.text(Control::LBL_WeightFile));
}
