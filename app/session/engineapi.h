#pragma once

#include <initializer_list>
#include <memory>

#include <QLibrary>
#include <QSet>
#include <QString>

#include <axona32.h>

class UiPort;

// The engine's routines, in the one list the binding, the tests and the fuzz targets take them
// from: X(name) for each.
#define AXONA_ENGINE_ROUTINES(X)                                                                   \
    X(BP)                                                                                          \
    X(QP)                                                                                          \
    X(CALCNET)                                                                                     \
    X(CALCERR)                                                                                     \
    X(RNDW)                                                                                        \
    X(ZEROW)                                                                                       \
    X(NORMALIZE)                                                                                   \
    X(MINMAX)                                                                                      \
    X(MKTEST1)                                                                                     \
    X(FIXCLOCK)

// The timer reading the program hands the engine beside RNDW, BP and QP: seconds since midnight.
// The engine does not read it.
float secondsSinceMidnight();

// The engine's routines, bound by name from libaxona32.so at their first use. The program
// never links the library: a missing library or routine is reported once, naming the file and
// the routine, and the command that needed it does nothing further.
class EngineApi
{
public:
    struct Routines
    {
#define AXONA_ROUTINE_SLOT(name) decltype(&::name) name = nullptr;
        AXONA_ENGINE_ROUTINES(AXONA_ROUTINE_SLOT)
#undef AXONA_ROUTINE_SLOT
    };

    // The names of all routines, in the order of the list.
    static constexpr const char *RoutineNames[] = {
#define AXONA_ROUTINE_NAME(name) #name,
            AXONA_ENGINE_ROUTINES(AXONA_ROUTINE_NAME)
#undef AXONA_ROUTINE_NAME
    };

    // Binds from the library found by libraryPath(): $AXONA_ENGINE, then next to the program,
    // then the system's library path.
    EngineApi();
    // Uses routines the caller already has (tests that link the engine directly).
    explicit EngineApi(const Routines &linked);
    ~EngineApi();
    EngineApi(const EngineApi &) = delete;
    EngineApi &operator=(const EngineApi &) = delete;

    // True when every named routine ("BP", "CALCERR", ...) is bound; otherwise tells the user
    // (once per routine) and returns false.
    bool require(UiPort &ui, std::initializer_list<const char *> names);

    // The bound routines; only those a successful require() named may be called.
    const Routines &fn() const
    {
        return m_fn;
    }

    // Where the library is looked for first.
    static QString libraryPath();

private:
    bool bind(const char *name, QString &why);

    Routines m_fn;
    bool m_linked = false;
    std::unique_ptr<QLibrary> m_library;
    bool m_loadTried = false;
    QString m_loadError;
    QSet<QString> m_reported;
};
