#pragma once

#include <span>

#include <QStringList>

// One command of the tool: its name, what it takes, a line of help, the code that runs it, and
// its full help. The code gets the arguments after the command's name (exactly `arguments` of
// them, or at least one when `arguments` is -1 and the command reads options) and returns the
// program's exit status. The full help (`axona COMMAND --help`, the manual page) is paragraphs
// separated by blank lines; a paragraph that starts with "-" describes an option: the option and
// its values, two blanks, what it does. Without it the help shows the summary.
struct CliCommand
{
    const char *name;
    const char *usage;
    const char *summary;
    int arguments;
    int (*run)(const QStringList &args);
    const char *details = nullptr;
};

// Every command the tool knows, in the order the help lists them.
std::span<const CliCommand> cliCommands();

// Exit statuses: success, a failed command, a command line that cannot be used (no command, the
// wrong number of arguments, an empty file name, an option without its values). A training run
// ended by SIGINT or SIGTERM exits with ExitSignalBase + the signal's number (130, 143: the
// shell's own convention) once the network is saved, when --save asked for it.
inline constexpr int ExitOk = 0;
inline constexpr int ExitFailed = 1;
inline constexpr int ExitUsage = 2;
inline constexpr int ExitSignalBase = 128;
