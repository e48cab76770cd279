#pragma once

class QTextStream;
struct CliCommand;

// The tool's help, all made from the command table, so a new command brings its own: what
// `axona --help` and `axona COMMAND --help` print, the manual page axona(1) and the bash
// completion script (`axona --generate man`, `axona --generate complete-bash`).
void printOverview(QTextStream &out);
void printCommandHelp(QTextStream &out, const CliCommand &command);
void printManPage(QTextStream &out);
void printBashCompletion(QTextStream &out);
