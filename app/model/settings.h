#pragma once

#include <QString>

struct Workbench;

// The user's preferences that outlive a network, in "axona.ini" (INI format, section "Setup"):
// the external editor, whether files named in a network file are looked for in the current
// directory first, and the refresh intervals of the two plot windows. Every read goes to the
// file as it is now; a missing file or key gives the default.
class Settings
{
public:
    // "axona.ini" in the user's config folder: $XDG_CONFIG_HOME, default ~/.config, as set at
    // construction.
    Settings();
    // The settings file at path (tests, other tools).
    explicit Settings(QString path);

    const QString &path() const { return m_path; }

    // "Editor": at most 79 characters, up to a NUL; default "xdg-open".
    QString editor() const;
    // "LocalNames" as an integer (the leading number of its text), or defaultValue when absent.
    int localNames(int defaultValue) const;
    // "OutPlotTime" and "WPlotTime" in seconds, defaults 20 and 15.
    int outPlotTime() const;
    int wPlotTime() const;

    // Writers; each returns false when the file could not be written.
    bool setEditor(const QString &command);
    bool setLocalNames(bool searchLocalFirst);
    bool setOutPlotTime(int seconds);
    bool setWPlotTime(int seconds);

private:
    QString readText(const QString &key, const QString &defaultValue) const;
    int readInt(const QString &key, int defaultValue) const;
    bool write(const QString &key, const QString &value);

    QString m_path;
};

// Whose default the "LocalNames" key takes: pattern files and the Setup dialog read 1, test
// files, weight files and linked documents read -1; pattern files search locally only for 1,
// the others for any value but 0.
enum class LocalNameUse { Patterns, Others };

// The file-name part of a stored name: the text after its last "\" or "/", the whole name
// when it has neither.
QString fileNamePart(const QString &stored);

// The local-name candidate of a stored name: the current directory, "/" and its file-name part.
QString localCandidate(const QString &stored);

// The file to read for a name stored in a network file (or kept from an earlier load), with
// "\" and "/" both taken as separators: the local candidate first when the "LocalNames" setting
// allows it, then the name as written (relative names taken from baseDir when given), then the
// file-name part beside baseDir. A name that is missing as written is also looked up ignoring
// letter case in its folder, for files named on Windows. Found names come back absolute; a name
// found nowhere comes back with "/" separators, for the reader to report.
QString resolveStoredName(const Settings &settings,
                          const QString &stored,
                          LocalNameUse use,
                          const QString &baseDir = QString());

// Reads the "Editor" setting into EditorCommand.
void readEditorSetting(Workbench &wb);

// What the Setup dialog ("Axona Setup") shows and edits; the dialog mirrors these values.
struct SetupValues
{
    // TXT_Editor.
    QString editor;
    // CHK_LocalNames: checked for a "LocalNames" value of 1.
    bool localNames = true;
    // Index of the selected OPT_TrainigMTD button: 1 "Back propagation", 2 "Quick Prop.", 0 none.
    int trainingMethod = 1;
    // TXT_GF, TXT_WCutOff, TXT_WDecay and whether the three are enabled.
    QString growthFactor;
    QString weightCutOff;
    QString weightDecay;
    bool quickPropEnabled = false;
};

// The dialog's values on opening, from the model and the settings file.
SetupValues loadSetup(const Workbench &wb);

// An option button was chosen: quick-prop (2) enables its three boxes, back-propagation (1)
// disables them.
void chooseTrainingMethod(SetupValues &values, int index);

// "&OK": stores the editor and the local-name choice in the settings file and the training
// method and quick-prop parameters in the model. A settings file that cannot be written is
// reported; the model takes the values all the same. "&Cancel" simply drops the values.
void storeSetup(Workbench &wb, const SetupValues &values);

// The three "<- Edit" buttons: open the pattern, test or weight file in the external editor,
// without waiting for it. A set rebuilt by Create Test and not saved yet is refused with a note.
// Starts the user's editor (EditorCommand split into program and arguments) on file, passed as
// one argument so a name with blanks stays whole. A failure to start is not reported.
void startEditor(Workbench &wb, const QString &file);

void editPatternFile(Workbench &wb);
void editTestFile(Workbench &wb);
void editWeightFile(Workbench &wb);
