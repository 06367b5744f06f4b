// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <vector>

class ZQFile;

// The records of a list by their exact native path bytes, for a duplicate
// test in constant time. Each slot keeps the path's hash beside the record,
// so that growing the table never reads a path again and a probe compares
// path bytes only when the hashes agree: with a million paths that share
// long folder prefixes, this is most of the cost of an intake.
//
// A record is indexed under the path it had when it was inserted; whoever
// changes a record's path removes it first and inserts it again.
class PathIndex
{
public:
    bool contains(const QByteArray &path) const;
    // Indexes the record under its path, unless that path is indexed already.
    bool insertUnique(const ZQFile *file);
    // Indexes the record even when another record has the same path.
    void insert(const ZQFile *file);
    // Forgets the record, which was indexed under `indexedPath`.
    void remove(const ZQFile *file, const QByteArray &indexedPath);
    void clear();
    // Room for `count` paths without growing; never shrinks.
    void reserve(qsizetype count);
    qsizetype size() const { return m_count; }

private:
    struct Slot
    {
        size_t hash = 0;
        const ZQFile *file = nullptr;
    };

    static size_t hashOf(const QByteArray &path);
    qsizetype find(const QByteArray &path, size_t hash) const;
    void insertHashed(const ZQFile *file, size_t hash);
    void place(const Slot &slot);
    void eraseAt(size_t position);

    std::vector<Slot> m_slots; // a power of two, or empty
    qsizetype m_count = 0;
};
