#pragma once

#include <QString>

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
    // "KeepBest": 1 when training ends with the weights that did best on the test set;
    // default 0.
    bool keepBest() const;
    // "FixedSeed": the seed every random draw starts from, or empty (the default) for the
    // clock.
    QString fixedSeed() const;

    // Writers; each returns false when the file could not be written.
    bool setEditor(const QString &command);
    bool setLocalNames(bool searchLocalFirst);
    bool setOutPlotTime(int seconds);
    bool setWPlotTime(int seconds);
    bool setKeepBest(bool keep);
    bool setFixedSeed(const QString &seed);

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
