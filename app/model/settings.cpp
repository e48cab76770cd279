#include "model/settings.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include "model/numberformat.h"

namespace {

const QString Section = QStringLiteral("Setup/");

// The longest editor command the settings give (the old 80-character buffer with its NUL).
constexpr int MaxEditorLength = 79;

bool readable(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isReadable();
}

// path itself when it names a readable file, otherwise a file of its folder whose name differs
// only in letter case (the first in name order); empty when there is none.
QString existingIgnoringCase(const QString &path)
{
    if (path.isEmpty()) {
        return QString();
    }
    if (readable(path)) {
        return QFileInfo(path).absoluteFilePath();
    }
    const QFileInfo info(path);
    const QDir folder = info.dir();
    if (!folder.exists()) {
        return QString();
    }
    const QStringList names =
            folder.entryList(QDir::Files | QDir::Readable | QDir::Hidden, QDir::Name);
    for (const QString &name : names) {
        if (name.compare(info.fileName(), Qt::CaseInsensitive) == 0) {
            return folder.absoluteFilePath(name);
        }
    }
    return QString();
}

bool localSearchAllowed(int setting, LocalNameUse use)
{
    return use == LocalNameUse::Patterns ? setting == 1 : setting != 0;
}

} // namespace

Settings::Settings()
    : m_path(QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
                     .filePath(QStringLiteral("axona.ini")))
{}

Settings::Settings(QString path)
    : m_path(std::move(path))
{}

QString Settings::readText(const QString &key, const QString &defaultValue) const
{
    const QSettings s(m_path, QSettings::IniFormat);
    const QVariant v = s.value(Section + key);
    if (!v.isValid()) {
        return defaultValue;
    }
    // A hand-written value with commas comes back from the INI reader as a list.
    if (v.typeId() == QMetaType::QStringList) {
        return v.toStringList().join(QStringLiteral(", "));
    }
    return v.toString();
}

int Settings::readInt(const QString &key, int defaultValue) const
{
    const QSettings s(m_path, QSettings::IniFormat);
    const QVariant v = s.value(Section + key);
    if (!v.isValid()) {
        return defaultValue;
    }
    // The leading integer of the text, as the profile functions take it; no number gives 0.
    const double value = std::trunc(leadingNumber(v.toString()));
    if (!(value > -2147483648.0 && value < 2147483647.0)) {
        return 0;
    }
    return static_cast<int>(value);
}

bool Settings::write(const QString &key, const QString &value)
{
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QSettings s(m_path, QSettings::IniFormat);
    s.setValue(Section + key, value);
    s.sync();
    return s.status() == QSettings::NoError;
}

QString Settings::editor() const
{
    QString text = readText(QStringLiteral("Editor"), QStringLiteral("xdg-open"));
    const qsizetype nul = text.indexOf(QChar(0));
    if (nul >= 0) {
        text.truncate(nul);
    }
    return text.left(MaxEditorLength);
}

int Settings::localNames(int defaultValue) const
{
    return readInt(QStringLiteral("LocalNames"), defaultValue);
}

int Settings::outPlotTime() const
{
    return readInt(QStringLiteral("OutPlotTime"), 20);
}

int Settings::wPlotTime() const
{
    return readInt(QStringLiteral("WPlotTime"), 15);
}

bool Settings::setEditor(const QString &command)
{
    return write(QStringLiteral("Editor"), command);
}

bool Settings::setLocalNames(bool searchLocalFirst)
{
    return write(QStringLiteral("LocalNames"),
                 searchLocalFirst ? QStringLiteral("1") : QStringLiteral("0"));
}

bool Settings::setOutPlotTime(int seconds)
{
    return write(QStringLiteral("OutPlotTime"), QString::number(seconds));
}

bool Settings::setWPlotTime(int seconds)
{
    return write(QStringLiteral("WPlotTime"), QString::number(seconds));
}

QString fileNamePart(const QString &stored)
{
    const qsizetype cut = std::max(stored.lastIndexOf(u'\\'), stored.lastIndexOf(u'/'));
    return stored.mid(cut + 1);
}

QString localCandidate(const QString &stored)
{
    return QDir::current().filePath(fileNamePart(stored));
}

QString resolveStoredName(const Settings &settings,
                          const QString &stored,
                          LocalNameUse use,
                          const QString &baseDir)
{
    QString name = stored;
    name.replace(u'\\', u'/');
    const QString part = fileNamePart(stored);
    if (name.trimmed().isEmpty() || part.isEmpty()) {
        return name;
    }
    const int setting = settings.localNames(use == LocalNameUse::Patterns ? 1 : -1);
    if (localSearchAllowed(setting, use)) {
        const QString local = existingIgnoringCase(localCandidate(stored));
        if (!local.isEmpty()) {
            return local;
        }
    }
    // A Windows name ("c:/data/x.pat") is relative here; it is looked for beside the network.
    const bool windowsDrive = name.size() >= 2 && name[1] == u':' && name[0].isLetter();
    QString asWritten = name;
    if (!baseDir.isEmpty() && QDir::isRelativePath(name) && !windowsDrive) {
        asWritten = QDir(baseDir).filePath(name);
    }
    if (!windowsDrive) {
        const QString found = existingIgnoringCase(asWritten);
        if (!found.isEmpty()) {
            return found;
        }
    }
    if (!baseDir.isEmpty()) {
        const QString beside = existingIgnoringCase(QDir(baseDir).filePath(part));
        if (!beside.isEmpty()) {
            return beside;
        }
    }
    return asWritten;
}

bool Settings::keepBest() const
{
    return readInt(QStringLiteral("KeepBest"), 0) == 1;
}

QString Settings::fixedSeed() const
{
    return readText(QStringLiteral("FixedSeed"), QString()).trimmed();
}

bool Settings::setKeepBest(bool keep)
{
    return write(QStringLiteral("KeepBest"), keep ? QStringLiteral("1") : QStringLiteral("0"));
}

bool Settings::setFixedSeed(const QString &seed)
{
    return write(QStringLiteral("FixedSeed"), seed.trimmed());
}
