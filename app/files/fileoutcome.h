#pragma once

#include <QString>

// How a file command ended: the file was read or written, the user cancelled its dialog, or it
// failed and the user has been told why.
enum class FileOutcome { Done, Cancelled, Failed };

// A file command's outcome and the name of the file it used (empty unless Done).
struct FileResult
{
    FileOutcome outcome = FileOutcome::Failed;
    QString name;

    bool done() const { return outcome == FileOutcome::Done; }

    bool failed() const { return outcome == FileOutcome::Failed; }

    bool cancelled() const { return outcome == FileOutcome::Cancelled; }
};
