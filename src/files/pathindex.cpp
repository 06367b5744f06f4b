// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/pathindex.h"

#include "files/zqfile.h"

#include <QHashFunctions>

size_t PathIndex::hashOf(const QByteArray &path)
{
    return qHash(path, QHashSeed::globalSeed());
}

qsizetype PathIndex::find(const QByteArray &path, size_t hash) const
{
    if (m_slots.empty())
        return -1;
    const size_t mask = m_slots.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot &slot = m_slots[i];
        if (!slot.file)
            return -1;
        if (slot.hash == hash && slot.file->nativePath() == path)
            return qsizetype(i);
    }
}

bool PathIndex::contains(const QByteArray &path) const
{
    return find(path, hashOf(path)) >= 0;
}

void PathIndex::place(const Slot &slot)
{
    const size_t mask = m_slots.size() - 1;
    size_t i = slot.hash & mask;
    while (m_slots[i].file)
        i = (i + 1) & mask;
    m_slots[i] = slot;
}

void PathIndex::insert(const ZQFile *file)
{
    insertHashed(file, hashOf(file->nativePath()));
}

void PathIndex::reserve(qsizetype count)
{
    // At most three quarters full, so that probes stay short.
    size_t size = m_slots.empty() ? 16 : m_slots.size();
    while (size_t(count) * 4 > size * 3)
        size *= 2;
    if (size == m_slots.size())
        return;
    std::vector<Slot> old(size);
    old.swap(m_slots);
    for (const Slot &slot : old) {
        if (slot.file)
            place(slot);
    }
}

void PathIndex::insertHashed(const ZQFile *file, size_t hash)
{
    reserve(m_count + 1);
    place({hash, file});
    ++m_count;
}

bool PathIndex::insertUnique(const ZQFile *file)
{
    const size_t hash = hashOf(file->nativePath());
    if (find(file->nativePath(), hash) >= 0)
        return false;
    insertHashed(file, hash);
    return true;
}

void PathIndex::eraseAt(size_t position)
{
    // Linear probing without tombstones: pull back every later slot of the
    // run that would no longer be reachable across the gap.
    const size_t mask = m_slots.size() - 1;
    size_t gap = position;
    for (size_t i = (gap + 1) & mask; m_slots[i].file; i = (i + 1) & mask) {
        const size_t home = m_slots[i].hash & mask;
        const bool reachable = gap <= i ? (gap < home && home <= i) : (gap < home || home <= i);
        if (!reachable) {
            m_slots[gap] = m_slots[i];
            gap = i;
        }
    }
    m_slots[gap] = Slot();
    --m_count;
}

void PathIndex::remove(const ZQFile *file, const QByteArray &indexedPath)
{
    if (m_slots.empty())
        return;
    const size_t mask = m_slots.size() - 1;
    const size_t hash = hashOf(indexedPath);
    for (size_t i = hash & mask; m_slots[i].file; i = (i + 1) & mask) {
        if (m_slots[i].file == file) {
            eraseAt(i);
            return;
        }
    }
    // Not where its path leads (its path was changed behind the list's
    // back): a slot must never outlive its record.
    for (size_t i = 0; i < m_slots.size(); ++i) {
        if (m_slots[i].file == file) {
            eraseAt(i);
            return;
        }
    }
}

void PathIndex::clear()
{
    m_slots.clear();
    m_slots.shrink_to_fit();
    m_count = 0;
}
