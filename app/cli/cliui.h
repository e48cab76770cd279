#pragma once

#include <functional>

#include <QHash>
#include <QSet>
#include <QTextStream>

#include "session/desktopport.h"
#include "session/uiport.h"

// The command-line tool's way to the user. Message texts go to standard error as the window
// would show them, with every line break made a plain line feed. Questions get a fixed answer,
// written after the text: Yes for Yes/No questions (they ask whether to go on), OK for OK/Cancel,
// and No for Yes/No/Cancel ("Save Net Before Quiting": nothing is written that the command did
// not ask for). File dialogs are answered from the names the command gave for their titles; a
// dialog with no name given is cancelled. A save name without an extension gets the dialog's
// default extension.
class CliUi final : public UiPort
{
public:
    CliUi();

    // The file a dialog with this title answers.
    void setFile(const QString &dialogTitle, const QString &path);

    Answer message(const QString &text, Icon icon, Buttons buttons, const QString &title) override;
    std::optional<QString> openFileName(const FileRequest &request) override;
    std::optional<QString> saveFileName(const FileRequest &request) override;
    void setStatus(const QString &text) override;
    void setBusy(bool busy) override;
    void yield() override;
    // Each file on a line of standard output, "Saved <path>", the first time it is written.
    void filesSaved(const QStringList &paths) override;

    // Runs at every yield(): where a command notices that it was asked to stop.
    std::function<void()> onYield;

private:
    QTextStream m_err;
    QHash<QString, QString> m_files;
    QSet<QString> m_saved;
};

// The command-line tool's desktop has no windows: captions and layouts go nowhere, a network
// file it writes records no windows, and programs start for real.
class CliDesktop final : public DesktopPort
{
public:
    void setFrameCaption(const QString &) override {}

    void closeSatelliteWindows() override {}

    QList<WindowLayout> writeDesktop() override { return {}; }

    void readDesktop(const QList<WindowLayout> &) override {}

    bool startDetached(const QString &program, const QStringList &arguments) override;
};

// text with CRLF, LF CR, CR and LF line breaks all made one LF.
QString plainLines(const QString &text);
