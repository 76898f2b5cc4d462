// Sets over small enumerations, stored as bit masks: the bit of a member is
// its position in the enumeration, counted from 0. `Storage` fixes the width
// the set is kept in (16 bits for nine members, 8 bits for up to eight).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <type_traits>

namespace engine {

template <typename Enum, typename Storage>
class TSet {
    static_assert(std::is_enum_v<Enum>);
    static_assert(std::is_unsigned_v<Storage>);

public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<Enum> members)
    {
        for (Enum m : members)
            bits_ |= Bit(m);
    }

    static constexpr TSet FromBits(Storage bits)
    {
        TSet s;
        s.bits_ = bits;
        return s;
    }

    constexpr bool Contains(Enum m) const { return (bits_ & Bit(m)) != 0; }
    constexpr TSet& Include(Enum m)
    {
        bits_ |= Bit(m);
        return *this;
    }
    constexpr TSet& Exclude(Enum m)
    {
        bits_ &= static_cast<Storage>(~Bit(m));
        return *this;
    }
    constexpr TSet& Set(Enum m, bool on) { return on ? Include(m) : Exclude(m); }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr Storage Bits() const { return bits_; }

    constexpr bool operator==(const TSet&) const = default;

private:
    static constexpr Storage Bit(Enum m) { return static_cast<Storage>(Storage{1} << static_cast<unsigned>(m)); }
    Storage bits_ = 0;
};

}  // namespace engine
