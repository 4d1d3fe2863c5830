#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/Error.h"

namespace veltrio {

// A byte block of the requested size could not be allocated.
class ENotEnoughMemory : public EVeltrioError {
public:
    using EVeltrioError::EVeltrioError;
};

// A 1-based index outside the array.
class EIndexOutOfBounds : public EVeltrioError {
public:
    using EVeltrioError::EVeltrioError;
};

// A block of n bytes (n fixed at creation), addressed by 1-based index.
// The bytes start as 0.
class TBigByteArray {
public:
    explicit TBigByteArray(std::uint32_t size);

    std::uint32_t Size() const { return static_cast<std::uint32_t>(m_bytes.size()); }
    // Byte `index`, 1 to Size(); anything else raises EIndexOutOfBounds.
    std::uint8_t& At(std::uint32_t index);
    std::uint8_t At(std::uint32_t index) const;

private:
    std::size_t Offset(std::uint32_t index) const;

    std::vector<std::uint8_t> m_bytes;
};

// Width × height bytes; element (x, y), both 1-based, is byte
// x + (y − 1)·width of the underlying array.
class TByteArray2D {
public:
    TByteArray2D(std::uint32_t width, std::uint32_t height);

    std::uint32_t Width() const { return m_width; }
    std::uint32_t Height() const { return m_height; }
    // Element (x, y); x outside 1..Width() or y outside 1..Height() raises
    // EIndexOutOfBounds, even where the byte index would still lie inside.
    std::uint8_t& At(std::uint32_t x, std::uint32_t y);
    std::uint8_t At(std::uint32_t x, std::uint32_t y) const;
    const TBigByteArray& Bytes() const { return m_bytes; }

    // A new array with a copy of the bytes.
    TByteArray2D Clone() const { return *this; }

private:
    std::uint32_t Index(std::uint32_t x, std::uint32_t y) const;

    std::uint32_t m_width;
    std::uint32_t m_height;
    TBigByteArray m_bytes;
};

} // namespace veltrio
