#include "files/savesafety.h"

#include <QFileInfo>
#include <QLockFile>

#include "model/netmodel.h"
#include "session/controls.h"
#include "session/uiport.h"
#include "session/workbench.h"

namespace {

// A save of the other program's network and weights takes milliseconds; wait that long and more.
constexpr int LockWaitMs = 2000;

} // namespace

bool sameFile(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty()) {
        return false;
    }
    const QFileInfo fa(a);
    const QFileInfo fb(b);
    const QString ca = fa.canonicalFilePath();
    const QString cb = fb.canonicalFilePath();
    if (!ca.isEmpty() && !cb.isEmpty()) {
        return ca == cb;
    }
    return fa.absoluteFilePath() == fb.absoluteFilePath();
}

QString roleClash(const Workbench &wb, const QString &path, SaveKind kind)
{
    const NetModel &m = wb.model;
    const bool sampled =
            wb.form.text(Control::LBL_TestFile).left(7).compare(u"sampled", Qt::CaseInsensitive)
            == 0;

    const struct
    {
        SaveKind kind;
        bool used;
        QString file;
        const char *name;
    } roles[] = {
            {SaveKind::Network, m.HasNetFile, m.NetFileName, "the network file"},
            {SaveKind::Weights, m.HasWeightFile, wb.form.text(Control::LBL_WeightFile),
             "the network's weight file"},
            {SaveKind::Patterns, m.HasPatterns && !m.PatsLinked, m.PatFileName,
             "the network's pattern file"},
            {SaveKind::Test, m.HasTest && !m.TestLinked && !sampled, m.TestFileName,
             "the network's test file"},
    };

    for (const auto &role : roles) {
        if (role.kind != kind && role.used && sameFile(path, role.file)) {
            return QStringLiteral("it is ") + QLatin1String(role.name);
        }
    }
    return QString();
}

bool refuseRoleClash(Workbench &wb, const QString &path, SaveKind kind)
{
    const QString clash = roleClash(wb, path, kind);
    if (clash.isEmpty()) {
        return false;
    }
    wb.ui.critical(QStringLiteral("Cannot write %1: %2").arg(path, clash));
    return true;
}

NetSaveLock::NetSaveLock(const QString &netPath)
    : m_lock(std::make_unique<QLockFile>(netPath + QStringLiteral(".lock")))
{}

NetSaveLock::~NetSaveLock() = default;

QString NetSaveLock::acquire()
{
    if (m_lock->tryLock(LockWaitMs) || m_lock->error() != QLockFile::LockFailedError) {
        return QString();
    }
    qint64 pid = 0;
    QString host;
    QString program;
    m_lock->getLockInfo(&pid, &host, &program);
    return QStringLiteral("another program (process %1) is saving this network").arg(pid);
}
