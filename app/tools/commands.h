// The subcommands of skedra-vcs. Each lives in its own file and is listed
// once in the table of main.cpp.
#pragma once

#include "session.h"
#include "vcsio.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <functional>

namespace skedra::tool {

struct Command {
    const char *name;
    const char *usage;    // arguments, for --help
    const char *summary;  // one line, for --help
    // `args` are the arguments after the subcommand's name. Returns the exit
    // status: 0 on success, 1 on failure (after saying why on stderr).
    int (*run)(const QStringList &args);
};

// Shared helpers.
void printOut(const QString &text);  // UTF-8 on stdout
void printErr(const QString &text);  // UTF-8 on stderr
// Keeps a text on one line: backslash, tab, CR and LF become \\, \t, \r, \n.
QString oneLine(const QString &text);
// A state with the coding object set up as the program sets it up; false
// (after a message) when the object cannot be created.
bool prepareState(SessionState &state);
// Reads `path` into the state as File, Open, New does.
ReadResult openNew(SessionState &state, const QString &path);
// Sets up a state and reads `path` into it as File, Open, New does, with
// the reader's messages on stderr. False when the file was not read.
bool readForCommand(SessionState &state, const QString &path);
// Prints every message on stderr, one "title: text" each.
void printMessages(const QList<StoreMessage> &messages);
// Reads `path` as File, Open, New does, prints on stdout what `render`
// makes of the state and then the reader's messages. Returns the exit
// status: 1 when the file could not be read.
int printFromFile(const QString &path, const std::function<QString(const SessionState &)> &render);

int runDump(const QStringList &args);
int runCopy(const QStringList &args);
int runMonth(const QStringList &args);
int runVCard(const QStringList &args);
int runToIcs(const QStringList &args);
int runFromIcs(const QStringList &args);

} // namespace skedra::tool
