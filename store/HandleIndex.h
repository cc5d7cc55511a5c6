// A compact lookup from item handles to 32-bit numbers (a record's index, a
// node's place). The table holds only the numbers, about 8 bytes an entry
// where a map of nodes takes 40 or more; each entry's handle is read back
// through `keyOf(number)`, which every call is given, so the owner may be
// copied or moved freely. Open addressing with linear probing; removal shifts
// the entries behind back, so no entry is ever left as a tombstone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class HandleIndex {
public:
    using Key = std::uintptr_t;
    static constexpr std::uint32_t NONE = 0xFFFFFFFFu;

    std::size_t size() const { return count_; }

    // The number stored under `key`, or NONE.
    template <class KeyOf>
    std::uint32_t find(Key key, const KeyOf& keyOf) const {
        if (slots_.empty()) return NONE;
        for (std::size_t at = home(key);; at = next(at)) {
            const std::uint32_t id = slots_[at];
            if (id == NONE || keyOf(id) == key) return id;
        }
    }

    // Stores `id` under its own key (keyOf(id)) unless that key has an entry already;
    // false then.
    template <class KeyOf>
    bool insert(std::uint32_t id, const KeyOf& keyOf) {
        if ((count_ + 1) * 2 > slots_.size()) rehash(slots_.empty() ? 16 : slots_.size() * 2, keyOf);
        const Key key = keyOf(id);
        std::size_t at = home(key);
        for (; slots_[at] != NONE; at = next(at))
            if (keyOf(slots_[at]) == key) return false;
        slots_[at] = id;
        ++count_;
        return true;
    }

    // Puts `id` in place of the entry under its key, or adds it.
    template <class KeyOf>
    void assign(std::uint32_t id, const KeyOf& keyOf) {
        const Key key = keyOf(id);
        if (!slots_.empty()) {
            for (std::size_t at = home(key); slots_[at] != NONE; at = next(at)) {
                if (keyOf(slots_[at]) != key) continue;
                slots_[at] = id;
                return;
            }
        }
        insert(id, keyOf);
    }

    // Removes the entry under `key`; every entry's key must still be readable.
    template <class KeyOf>
    void erase(Key key, const KeyOf& keyOf) {
        if (slots_.empty()) return;
        std::size_t hole = home(key);
        for (; slots_[hole] != NONE && keyOf(slots_[hole]) != key; hole = next(hole)) {
        }
        if (slots_[hole] == NONE) return;
        for (std::size_t at = next(hole); slots_[at] != NONE; at = next(at)) {
            const std::size_t wanted = home(keyOf(slots_[at]));
            // an entry may fill the hole when the hole lies between its home and where it is
            const bool movable = hole <= at ? (wanted <= hole || wanted > at) : (wanted <= hole && wanted > at);
            if (!movable) continue;
            slots_[hole] = slots_[at];
            hole = at;
        }
        slots_[hole] = NONE;
        --count_;
    }

    // Room for `count` entries without growing.
    template <class KeyOf>
    void reserve(std::size_t count, const KeyOf& keyOf) {
        std::size_t size = 16;
        while (size < count * 2) size *= 2;
        if (size > slots_.size()) rehash(size, keyOf);
    }

    void clear() {
        std::vector<std::uint32_t>().swap(slots_);
        count_ = 0;
    }

private:
    std::size_t home(Key key) const {
        return static_cast<std::size_t>((static_cast<std::uint64_t>(key) * 0x9E3779B97F4A7C15ull) >> shift_);
    }
    std::size_t next(std::size_t at) const { return (at + 1) & (slots_.size() - 1); }

    template <class KeyOf>
    void rehash(std::size_t size, const KeyOf& keyOf) {
        std::vector<std::uint32_t> old(size, NONE);
        old.swap(slots_);
        shift_ = 64;
        for (std::size_t s = size; s > 1; s /= 2) --shift_;
        count_ = 0;
        for (std::uint32_t id : old)
            if (id != NONE) insert(id, keyOf);
    }

    std::vector<std::uint32_t> slots_;  // a power of two of them, at most half in use
    std::size_t count_ = 0;
    int shift_ = 64;
};
