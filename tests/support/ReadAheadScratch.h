// SPDX-License-Identifier: MIT
// A folder of each test's own for the read-ahead's tests, with the process's
// threads and descriptors counted around it: a test leaves none behind.
#pragma once

#include <QByteArray>
#include <QTemporaryDir>

namespace vantorel::test
{

class ReadAheadScratch
{
public:
    /// Entries of a folder of /proc, such as the process's threads.
    static int entriesIn(const char* folder);

protected:
    /// For the test's init(): a new folder at m_root, and the counts before.
    void begin();
    /// For the test's cleanup(): as many threads and descriptors as before.
    void finish();
    /// A tree of `folders` folders below m_root, bushy and deep by turns.
    void makeMixedTree(int folders, int seed);

    QTemporaryDir m_dir;
    QByteArray m_root;
    int m_case = 0;
    int m_threadsBefore = 0;
    int m_descriptorsBefore = 0;
};

} // namespace vantorel::test
