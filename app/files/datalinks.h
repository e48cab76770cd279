#pragma once

#include <QString>

class LinkPort;
struct LinkReference;
struct Workbench;

// The receiving side of the data links: the training set (which = 1) or the test set (which = 2)
// fed by another program's item. A linked set shows its link reference as its source, and its
// flag (PatsLinked, TestLinked) makes the network file record the link and the re-reads of
// normalisation and Create Test fetch the set through it.

// Links set which to the item reference names and takes the text that arrives as the set, by
// the rules of pasted rows (and the normalisation follow-up), the reference shown as its
// source. When no program answers to the server name, the server is started (see
// startLinkServer) and the wait dialog lets it come up. A link that cannot be made is reported
// ("Could Not Start DDE", or "Could not Start <server>" when nothing could be started) and
// leaves the sets and their links as they were. Returns whether the set is linked now; the
// caller sets the set's flag. baseDir: where a relative document of the reference is looked
// for besides the current directory.
bool openDataLink(Workbench &wb,
                  const QString &reference,
                  int which,
                  const QString &baseDir = QString());

// Fetches a linked set again through its link (the reference its source shows), as the
// re-reads do. Reports like openDataLink; returns whether the set arrived.
bool relinkSet(Workbench &wb, int which);

// Starts the server program of a link that no program answers: when the reference's topic
// names a readable file (the folder and the name in square brackets of a spreadsheet topic,
// else the topic itself; the local-name rule applies), the command-line tool serves that file
// under the reference's own server, topic and item ("data" when the reference names none)
// until nothing is linked to it. Returns whether a program was started.
bool startLinkServer(Workbench &wb, const LinkReference &ref, const QString &baseDir = QString());

// Makes port the workbench's links and takes what arrives over them: a new text of a linked set
// replaces the set (unless a network file is being read; while training runs, once it ends;
// texts that come while one is being taken are merged into the latest), a program leaving the
// offered outputs is told ("DDE Conversation Terminated"), and a link whose server went away is
// shown in the status bar. The port must outlive the workbench's use of it.
void attachDataLinks(Workbench &wb, LinkPort &port);
