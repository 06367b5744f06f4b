// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plan/namehash.h"

#include <QtGlobal>

#include <algorithm>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

// Names of one folder to rows: open addressing over a table sized once, so
// that a folder of a million names costs no allocation per name. A slot
// holds the hash and the place of a key, keyOf(place) (rows[place] is its
// row): the keys stay where the caller has them, often the names themselves.
// The table is kept at most two thirds full, at any size rather than the
// next power of two, which could double it: a hash picks its first slot by
// multiplying into the size.
template<typename KeyOf> class NameTable
{
public:
    // keyOf(place) is the key at a place below rows.size().
    NameTable(KeyOf keyOf, const std::vector<qint64> &rows) : m_keyOf(keyOf), m_rows(rows)
    {
        m_slots.resize(std::max<size_t>(16, rows.size() + rows.size() / 2 + 1));
    }
    void clear()
    {
        if (m_count > 0)
            std::fill(m_slots.begin(), m_slots.end(), Slot());
        m_count = 0;
    }
    // The row stored under keys[place], and whether it was just stored.
    std::pair<qint64, bool> tryEmplace(size_t place)
    {
        return tryEmplace(place, nameHash(m_keyOf(place)));
    }
    // The same, with the key's nameHash given.
    std::pair<qint64, bool> tryEmplace(size_t place, quint32 hash)
    {
        const std::string_view key = m_keyOf(place);
        Slot &slot = find(key, hash);
        if (slot.place >= 0)
            return {m_rows[size_t(slot.place)], false};
        slot = {hash, qint32(place)};
        ++m_count;
        return {m_rows[place], true};
    }
    // The row under the key, or -1.
    qint64 value(std::string_view key)
    {
        const qint64 place = placeOf(key);
        return place < 0 ? -1 : m_rows[size_t(place)];
    }
    // The place of the key stored under `key`, or -1. An empty table answers
    // without a look at a slot, which in a table sized for a million keys is
    // a miss in the cache.
    qint64 placeOf(std::string_view key) { return placeOf(key, nameHash(key)); }
    qint64 placeOf(std::string_view key, quint32 hash)
    {
        if (m_count == 0)
            return -1;
        return find(key, hash).place;
    }
    // Asks the memory for the slot where a probe for the key of this
    // nameHash starts: a loop over a table of a million names does so some
    // keys ahead, and finds the slot there when it gets to it rather than
    // waiting for it.
    void prefetch(quint32 hash) const { __builtin_prefetch(&m_slots[firstSlot(hash)]); }

private:
    struct Slot
    {
        quint32 hash = 0;
        qint32 place = -1;
    };
    size_t firstSlot(quint32 hash) const { return size_t((quint64(hash) * m_slots.size()) >> 32); }
    Slot &find(std::string_view key, quint32 hash)
    {
        const size_t size = m_slots.size();
        size_t i = firstSlot(hash);
        while (m_slots[i].place >= 0 &&
               (m_slots[i].hash != hash || m_keyOf(size_t(m_slots[i].place)) != key)) {
            if (++i == size)
                i = 0;
        }
        return m_slots[i];
    }
    KeyOf m_keyOf;
    const std::vector<qint64> &m_rows;
    std::vector<Slot> m_slots;
    size_t m_count = 0;
};
