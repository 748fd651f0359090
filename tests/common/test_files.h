// .vcs files for the tests of the file commands: written from summaries and
// read back to summaries, through the program's own writer and reader.
#pragma once

#include "startup.h"
#include "test_entries.h"
#include "vcsio.h"

#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

namespace skedra::test {

// Writes `path` with one entry per summary; returns the path.
inline QString writeVcs(const QString &path, const QStringList &summaries)
{
    SessionState s;
    createHexCoder(s);
    for (int i = 0; i < summaries.size(); ++i)
        s.ScheduleList[i] = entry(summaries[i]);
    s.SaveFileName = path;
    s.FirstIndex = 1;
    s.LastIndex = MaxEntries;
    EXPECT_TRUE(proc_write(s).written) << path.toStdString();
    return path;
}

// The summaries of the entries a file holds.
inline QStringList readVcs(const QString &path)
{
    SessionState s;
    createHexCoder(s);
    s.OpenFileName = path;
    s.OpenMode = QStringLiteral("new");
    EXPECT_TRUE(proc_open(s).read) << path.toStdString();
    return summaries(s.ScheduleList);
}

} // namespace skedra::test
