// Small sets over enumerations: the flag sets of properties such as font
// styles, anchors, border icons or shift state.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <type_traits>

namespace treskel {

template <class E>
class Set {
    static_assert(std::is_enum_v<E>, "Set needs an enumeration");

public:
    constexpr Set() = default;
    constexpr Set(std::initializer_list<E> members) {
        for (E e : members) bits_ |= Bit(e);
    }
    static constexpr Set FromBits(uint64_t bits) {
        Set s;
        s.bits_ = bits;
        return s;
    }

    constexpr bool Contains(E e) const { return (bits_ & Bit(e)) != 0; }
    constexpr Set& Include(E e) {
        bits_ |= Bit(e);
        return *this;
    }
    constexpr Set& Exclude(E e) {
        bits_ &= ~Bit(e);
        return *this;
    }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr uint64_t Bits() const { return bits_; }

    constexpr Set operator+(Set o) const { return FromBits(bits_ | o.bits_); }
    constexpr Set operator-(Set o) const { return FromBits(bits_ & ~o.bits_); }
    constexpr Set operator*(Set o) const { return FromBits(bits_ & o.bits_); }
    constexpr Set operator+(E e) const { return FromBits(bits_ | Bit(e)); }
    constexpr Set operator-(E e) const { return FromBits(bits_ & ~Bit(e)); }
    constexpr Set& operator+=(Set o) { bits_ |= o.bits_; return *this; }
    constexpr Set& operator-=(Set o) { bits_ &= ~o.bits_; return *this; }
    constexpr Set& operator+=(E e) { return Include(e); }
    constexpr Set& operator-=(E e) { return Exclude(e); }
    constexpr bool operator==(const Set&) const = default;

private:
    static constexpr uint64_t Bit(E e) { return uint64_t(1) << static_cast<unsigned>(e); }
    uint64_t bits_ = 0;
};

}  // namespace treskel
