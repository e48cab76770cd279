#pragma once

#include <memory>

#include <QString>

class QLockFile;
struct Workbench;

// What a save writes, for telling it from the files the open network reads.
enum class SaveKind { Network, Weights, Patterns, Test, Report };

// Whether a and b name the same file: through links for files that exist, by absolute path for
// one that does not yet.
bool sameFile(const QString &a, const QString &b);

// Why writing path as kind would destroy a file the open network uses in another role: "it is
// the network's pattern file" (weight, test file), "it is the network file"; empty when the
// write may go ahead. A network, weight or set file may be saved over itself.
QString roleClash(const Workbench &wb, const QString &path, SaveKind kind);

// roleClash as the save commands refuse it: "Cannot write <path>: it is the network's pattern
// file" in a box, and true; false, saying nothing, when path may be written as kind.
bool refuseRoleClash(Workbench &wb, const QString &path, SaveKind kind);

// Held while a network file and its weight file are written, so that two programs saving onto
// the same network leave the network of one with the weights of the same one. The lock is the
// file "<network file>.lock", removed again when the lock ends; a lock left by a program that
// died is taken over.
class NetSaveLock
{
public:
    explicit NetSaveLock(const QString &netPath);
    ~NetSaveLock();

    NetSaveLock(const NetSaveLock &) = delete;
    NetSaveLock &operator=(const NetSaveLock &) = delete;

    // Waits a little for another program's save to end. Returns empty when the lock is held, or
    // when no lock can be made there (the write itself then reports the folder); otherwise why
    // not: "another program (process 1234) is saving this network".
    QString acquire();

private:
    std::unique_ptr<QLockFile> m_lock;
};
