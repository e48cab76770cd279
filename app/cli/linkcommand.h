#pragma once

#include <QStringList>

// "axona link": the companion that makes any program reading or writing text files a link
// peer. serve offers a text, TSV or CSV file as a link item and offers it again each time the
// file is saved; get prints an item once; watch prints an item, or rewrites a file with it, on
// every change until interrupted.
inline constexpr const char *LinkUsage =
        "link serve FILE --server NAME [--topic T] [--item I] [--quit-when-unlinked] | "
        "link get REF [--timeout MS] | link watch REF [-o FILE] [--timeout MS]";

// Runs "axona link" with the arguments after "link"; returns the exit status.
int runLink(const QStringList &args);
