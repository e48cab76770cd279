#include "session/engineapi.h"

#include <cstring>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTime>

#include "session/uiport.h"

namespace {

const char *const LibraryFile = "libaxona32.so";

} // namespace

float secondsSinceMidnight()
{
    return static_cast<float>(QTime::currentTime().msecsSinceStartOfDay()) / 1000.0f;
}

EngineApi::EngineApi() = default;

EngineApi::EngineApi(const Routines &linked)
    : m_fn(linked)
    , m_linked(true)
{}

EngineApi::~EngineApi() = default;

QString EngineApi::libraryPath()
{
    const QString fromEnv = qEnvironmentVariable("AXONA_ENGINE");
    if (!fromEnv.isEmpty()) {
        return fromEnv;
    }
    if (QCoreApplication::instance()) {
        const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(LibraryFile);
        if (QFileInfo::exists(beside)) {
            return beside;
        }
    }
    // Not beside the program: let the dynamic loader search its usual path.
    return QString::fromLatin1(LibraryFile);
}

bool EngineApi::bind(const char *name, QString &why)
{
    void **slot = nullptr;

    struct Entry
    {
        const char *name;
        void **slot;
    };

    const Entry entries[] = {
#define AXONA_ROUTINE_ENTRY(name) {#name, reinterpret_cast<void **>(&m_fn.name)},
            AXONA_ENGINE_ROUTINES(AXONA_ROUTINE_ENTRY)
#undef AXONA_ROUTINE_ENTRY
    };
    for (const Entry &e : entries) {
        if (std::strcmp(e.name, name) == 0) {
            slot = e.slot;
        }
    }
    if (!slot) {
        why = QStringLiteral("The engine has no routine named %1.").arg(QLatin1String(name));
        return false;
    }
    if (*slot) {
        return true;
    }
    if (m_linked) {
        why = QStringLiteral("The engine routine %1 is not available.").arg(QLatin1String(name));
        return false;
    }
    if (!m_loadTried) {
        m_loadTried = true;
        m_library = std::make_unique<QLibrary>(libraryPath());
        if (!m_library->load()) {
            m_loadError = m_library->errorString();
        }
    }
    if (!m_library->isLoaded()) {
        why = QStringLiteral("Cannot load the engine library %1, needed for %2:\n%3")
                      .arg(m_library->fileName(), QLatin1String(name), m_loadError);
        return false;
    }
    *slot = reinterpret_cast<void *>(m_library->resolve(name));
    if (!*slot) {
        why = QStringLiteral("The engine library %1 has no routine %2.")
                      .arg(m_library->fileName(), QLatin1String(name));
        return false;
    }
    return true;
}

bool EngineApi::require(UiPort &ui, std::initializer_list<const char *> names)
{
    for (const char *name : names) {
        QString why;
        if (!bind(name, why)) {
            const QString key = m_library && !m_library->isLoaded() ? QStringLiteral("library")
                                                                    : QLatin1String(name);
            if (!m_reported.contains(key)) {
                m_reported.insert(key);
                ui.critical(why);
            }
            return false;
        }
    }
    return true;
}
