// `skedra-vcs list FILE.vcs`: one line per entry with grid columns 1 to 10
// exactly as the main list shows them after opening the file, separated by
// tabs, in UTF-8. Widget-free, so the command-line tool can call it.
#pragma once

#include <QStringList>

namespace skedra {

// Renders the entries of a .vcs file as the list grid shows them: one
// QStringList of columns 1 to 10 per entry. `messages` (optional) receives
// what the reader reported. Returns false when the file could not be read.
bool listRowsOfFile(const QString &path, QList<QStringList> *rows, QStringList *messages = nullptr);

// The "list" command. `args` are the words after "list" (a leading "list"
// is accepted too): the one file to list. Writes the rows to standard output
// and the reader's messages to standard error. A backslash, tab, carriage
// return or line feed inside a cell is written as "\\", "\t", "\r" or "\n"
// so every entry stays on one line. Returns 0 on success (warnings
// included), 1 when the file could not be read or on a usage error.
int runListCommand(const QStringList &args);

} // namespace skedra
