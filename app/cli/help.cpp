#include "cli/help.h"

#include <span>

#include <QRegularExpression>
#include <QStringList>
#include <QTextStream>

#include "cli/commands.h"

namespace {

// Columns of a terminal's help text.
constexpr qsizetype Width = 80;

const char *const Intro =
        "axona opens Axona's network files with the same core as the windowed program Axona32, "
        "without a window: it describes, saves, trains, runs and normalises networks, makes test "
        "sets, and prints the listings of the report window.";

const char *const Messages =
        "Messages the window would show in a box go to standard error with the same text; "
        "questions are answered Yes (Yes/No), OK (OK/Cancel) or No (Yes/No/Cancel).";

struct Item
{
    const char *term;
    const char *text;
};

const Item ExitStatuses[] = {
        {"0", "success, also for a training run that stopped at its bound"},
        {"1", "the command failed"},
        {"2", "a wrong command line"},
};

const Item Environment[] = {
        {"AXONA_ENGINE",
         "the full path of the engine library to use; without it libaxona32.so is looked for "
         "beside the program, then in the installation's library folder, then through the "
         "dynamic loader"},
        {"AXONA_THREADS", "1 keeps the engine on one core"},
        {"AXONA_KERNELS", "avx2 or portable caps the engine's choice of processor kernels"},
        {"XDG_CONFIG_HOME",
         "the folder of the settings file axona.ini (default ~/.config), which the tool reads as "
         "the program does"},
};

// A paragraph of a command's help: prose, or an option (term empty for prose).
struct Paragraph
{
    QString term;
    QString text;
};

QList<Paragraph> paragraphs(const CliCommand &c)
{
    QList<Paragraph> list;
    const QString details = QString::fromUtf8(c.details ? c.details : c.summary);
    for (const QString &p : details.split(QStringLiteral("\n\n"))) {
        const qsizetype gap = p.indexOf(QStringLiteral("  "));
        if (p.startsWith(u'-') && gap > 0) {
            list.append({p.left(gap), p.mid(gap + 2)});
        } else {
            list.append({QString(), p});
        }
    }
    return list;
}

// The words of text filled into lines of at most Width columns, each line starting with `indent`
// blanks; or, when `used` columns of the first line are written already, going on after a blank.
QString fill(const QString &text, qsizetype indent, qsizetype used = -1)
{
    QString out;
    qsizetype column = used;
    if (used < 0) {
        out = QString(indent, u' ');
        column = indent;
    }
    bool lineEmpty = used < 0;
    for (const QString &word : text.split(u' ', Qt::SkipEmptyParts)) {
        if (!lineEmpty && column + 1 + word.size() > Width) {
            out += u'\n' + QString(indent, u' ');
            column = indent;
            lineEmpty = true;
        }
        if (!lineEmpty) {
            out += u' ';
            ++column;
        }
        out += word;
        column += word.size();
        lineEmpty = false;
    }
    return out + u'\n';
}

// A term (an option, a status, a variable) and what it means, the meaning indented below it or,
// for a short term, beside it.
void printItem(QTextStream &out, const QString &term, const QString &text)
{
    constexpr qsizetype Indent = 6;
    const QString head = QStringLiteral("  ") + term;
    if (head.size() < Indent - 1) {
        out << head.leftJustified(Indent - 1) << fill(text, Indent, Indent - 1);
    } else {
        out << head << '\n' << fill(text, Indent);
    }
}

void printItems(QTextStream &out, const char *heading, std::span<const Item> items)
{
    out << '\n' << heading << ":\n";
    for (const Item &item : items) {
        printItem(out, QString::fromUtf8(item.term), QString::fromUtf8(item.text));
    }
}

// Text for the manual page: backslashes and minus signs escaped, and no line starting with a
// character the formatter would take for a request.
QString roff(const QString &text)
{
    QString escaped = text;
    escaped.replace(u'\\', QStringLiteral("\\e")).replace(u'-', QStringLiteral("\\-"));
    if (escaped.startsWith(u'.') || escaped.startsWith(u'\'')) {
        escaped.prepend(QStringLiteral("\\&"));
    }
    return escaped;
}

// An option's name in bold, its values (if any) in italics.
QString roffTerm(const QString &term)
{
    const qsizetype blank = term.indexOf(u' ');
    if (blank < 0) {
        return QStringLiteral(".B ") + roff(term);
    }
    return QStringLiteral(".BI \"%1 \" \"%2\"")
            .arg(roff(term.left(blank)), roff(term.mid(blank + 1)));
}

void printRoffItems(QTextStream &out, const char *heading, std::span<const Item> items)
{
    out << ".SH " << heading << '\n';
    for (const Item &item : items) {
        out << ".TP\n.B " << roff(QString::fromUtf8(item.term)) << '\n'
            << roff(QString::fromUtf8(item.text)) << ".\n";
    }
}

QString quoted(const QStringList &words)
{
    return u'"' + words.join(u' ') + u'"';
}

} // namespace

void printOverview(QTextStream &out)
{
    out << "usage: axona COMMAND ARGUMENTS...\n"
           "       axona COMMAND --help\n"
           "       axona --help | --version\n\n"
        << fill(QString::fromUtf8(Intro), 0) << "\ncommands:\n";
    for (const CliCommand &c : cliCommands()) {
        out << "  axona" << fill(QString::fromUtf8(c.usage), 8, 7)
            << fill(QString::fromUtf8(c.summary), 6);
    }
    out << '\n' << fill(QString::fromUtf8(Messages), 0);
    printItems(out, "exit status", ExitStatuses);
    printItems(out, "environment", Environment);
    out << "\nRun \"axona COMMAND --help\" for what a command does and its options.\n";
}

void printCommandHelp(QTextStream &out, const CliCommand &command)
{
    out << "usage: axona" << fill(QString::fromUtf8(command.usage), 13, 12);
    bool inOptions = false;
    for (const Paragraph &p : paragraphs(command)) {
        if (p.term.isEmpty()) {
            out << '\n' << fill(p.text, 0);
            inOptions = false;
            continue;
        }
        if (!inOptions) {
            out << '\n';
            inOptions = true;
        }
        printItem(out, p.term, p.text);
    }
}

void printManPage(QTextStream &out)
{
    out << ".TH AXONA 1 \"\" \"Axona " AXONA_VERSION "\" \"User Commands\"\n"
           ".SH NAME\n"
           "axona \\- train, run and inspect Axona neural networks without a window\n"
           ".SH SYNOPSIS\n"
           ".B axona\n.I COMMAND\n.RI [ ARGUMENTS ...]\n.br\n"
           ".B axona\n.I COMMAND\n.B \\-\\-help\n.br\n"
           ".B axona\n.BR \\-\\-help \" | \" \\-\\-version\n"
           ".SH DESCRIPTION\n"
        << roff(QString::fromUtf8(Intro)) << "\n.PP\n"
        << roff(QString::fromUtf8(Messages)) << "\n.SH COMMANDS\n";
    for (const CliCommand &c : cliCommands()) {
        out << ".SS " << c.name << "\n.B axona " << roff(QString::fromUtf8(c.usage)) << '\n';
        for (const Paragraph &p : paragraphs(c)) {
            if (p.term.isEmpty()) {
                out << ".PP\n" << roff(p.text) << '\n';
            } else {
                out << ".TP\n" << roffTerm(p.term) << '\n' << roff(p.text) << '\n';
            }
        }
    }
    printRoffItems(out, "EXIT STATUS", ExitStatuses);
    printRoffItems(out, "ENVIRONMENT", Environment);
    out << ".SH FILES\n"
           ".TP\n.I $XDG_CONFIG_HOME/axona.ini\n"
           "The settings, section [Setup]: Editor, LocalNames, OutPlotTime, WPlotTime.\n"
           ".TP\n.I share/axona/examples\n"
           "Example networks with their pattern, test and weight files, in the installation's "
           "prefix.\n"
           ".SH SEE ALSO\n.BR Axona32 (1)\n";
}

void printBashCompletion(QTextStream &out)
{
    // What can follow each command is read off its usage: its options, and its first argument,
    // which is a network file (NET), one of its subcommands (plain words), or any file.
    static const QRegularExpression optionPattern(QStringLiteral("(?<![\\w-])(--?[a-z][a-z-]*)"));
    QStringList names {QStringLiteral("help"), QStringLiteral("--help"),
                       QStringLiteral("--version")};
    QString cases;
    for (const CliCommand &c : cliCommands()) {
        const QString name = QString::fromUtf8(c.name);
        const QString usage = QString::fromUtf8(c.usage);
        names << name;
        QStringList options {QStringLiteral("--help")};
        for (const QRegularExpressionMatch &m : optionPattern.globalMatch(usage)) {
            if (!options.contains(m.captured(1))) {
                options << m.captured(1);
            }
        }
        QStringList subcommands;
        bool network = false;
        for (const QString &alternative : usage.split(QStringLiteral(" | "))) {
            const QStringList words = alternative.split(u' ', Qt::SkipEmptyParts);
            if (words.size() < 2 || words.at(0) != name) {
                continue;
            }
            if (words.at(1) == QLatin1String("NET")) {
                network = true;
            } else if (words.at(1).front().isLower()) {
                subcommands << words.at(1);
            }
        }
        cases += QStringLiteral("        %1) options=%2 subcommands=%3 network=%4 ;;\n")
                         .arg(name, quoted(options), quoted(subcommands),
                              network ? QStringLiteral("1") : QStringLiteral("0"));
    }
    out << "# bash completion for axona, the command-line tool of Axona\n"
           "_axona()\n"
           "{\n"
           "    local cur=${COMP_WORDS[COMP_CWORD]}\n"
           "    if [ \"$COMP_CWORD\" -eq 1 ]; then\n"
           "        COMPREPLY=($(compgen -W "
        << quoted(names)
        << " -- \"$cur\"))\n"
           "        return\n"
           "    fi\n"
           "    local options= subcommands= network=0\n"
           "    case ${COMP_WORDS[1]} in\n"
        << cases << "        help) subcommands=" << quoted(names.mid(3))
        << " ;;\n"
           "    esac\n"
           "    if [[ $cur == -* ]]; then\n"
           "        COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))\n"
           "    elif [ \"$COMP_CWORD\" -eq 2 ] && [ -n \"$subcommands\" ]; then\n"
           "        COMPREPLY=($(compgen -W \"$subcommands\" -- \"$cur\"))\n"
           "    else\n"
           "        compopt -o filenames 2>/dev/null\n"
           "        local IFS=$'\\n'\n"
           "        if [ \"$COMP_CWORD\" -eq 2 ] && [ \"$network\" = 1 ]; then\n"
           "            COMPREPLY=($(compgen -f -X '!*.[nN][eE][tT]' -- \"$cur\"; "
           "compgen -d -- \"$cur\"))\n"
           "        else\n"
           "            COMPREPLY=($(compgen -f -- \"$cur\"))\n"
           "        fi\n"
           "    fi\n"
           "}\n"
           "complete -F _axona axona\n";
}
