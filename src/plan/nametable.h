// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <algorithm>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

// Names of one folder to rows: open addressing over a table sized once, so
// that a folder of a million names costs no allocation per name. A slot
// holds the hash and the place of a key in `keys` (rows[place] is its row).
// The table is kept at most two thirds full, at any size rather than the
// next power of two, which could double it: a hash picks its first slot by
// multiplying into the size.
class NameTable
{
public:
    NameTable(const std::vector<std::string_view> &keys, const std::vector<qint64> &rows)
        : m_keys(keys), m_rows(rows)
    {
        m_slots.resize(std::max<size_t>(16, keys.size() + keys.size() / 2 + 1));
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
        const std::string_view key = m_keys[place];
        const quint32 hash = quint32(std::hash<std::string_view>()(key));
        Slot &slot = find(key, hash);
        if (slot.place >= 0)
            return {m_rows[size_t(slot.place)], false};
        slot = {hash, qint32(place)};
        ++m_count;
        return {m_rows[place], true};
    }
    // The row under the key, or -1. An empty table answers without a look
    // at a slot, which in a table sized for a million keys is a miss in the
    // cache.
    qint64 value(std::string_view key)
    {
        if (m_count == 0)
            return -1;
        const Slot &slot = find(key, quint32(std::hash<std::string_view>()(key)));
        return slot.place < 0 ? -1 : m_rows[size_t(slot.place)];
    }

private:
    struct Slot
    {
        quint32 hash = 0;
        qint32 place = -1;
    };
    Slot &find(std::string_view key, quint32 hash)
    {
        const size_t size = m_slots.size();
        size_t i = size_t((quint64(hash) * size) >> 32);
        while (m_slots[i].place >= 0 &&
               (m_slots[i].hash != hash || m_keys[size_t(m_slots[i].place)] != key)) {
            if (++i == size)
                i = 0;
        }
        return m_slots[i];
    }
    const std::vector<std::string_view> &m_keys;
    const std::vector<qint64> &m_rows;
    std::vector<Slot> m_slots;
    size_t m_count = 0;
};
