#include "documents/GifByteArrays.h"

#include <limits>
#include <new>
#include <stdexcept>
#include <string>

namespace veltrio {

namespace {

[[noreturn]] void RaiseNotEnoughMemory(std::uint64_t size) {
    throw ENotEnoughMemory(
        "error in TBigByteArray.create: Not enough contiguous memory available\r\n"
        " requested memory block: " +
        std::to_string(size) + " bytes");
}

[[noreturn]] void RaiseIndexOutOfBounds() {
    throw EIndexOutOfBounds("Dynamic array index out of bounds");
}

// Width × height must itself fit the 32-bit size of a byte array; a larger
// product is a block that cannot be had, not a wrapped-around small one.
std::uint32_t CheckedArea(std::uint32_t width, std::uint32_t height) {
    const std::uint64_t area = std::uint64_t{width} * height;
    if (area > std::numeric_limits<std::uint32_t>::max()) {
        RaiseNotEnoughMemory(area);
    }
    return static_cast<std::uint32_t>(area);
}

} // namespace

TBigByteArray::TBigByteArray(std::uint32_t size) {
    try {
        m_bytes.assign(size, 0);
    } catch (const std::bad_alloc&) {
        RaiseNotEnoughMemory(size);
    } catch (const std::length_error&) {
        RaiseNotEnoughMemory(size);
    }
}

std::size_t TBigByteArray::Offset(std::uint32_t index) const {
    if (index < 1 || index > m_bytes.size()) {
        RaiseIndexOutOfBounds();
    }
    return index - 1;
}

std::uint8_t& TBigByteArray::At(std::uint32_t index) {
    return m_bytes[Offset(index)];
}

std::uint8_t TBigByteArray::At(std::uint32_t index) const {
    return m_bytes[Offset(index)];
}

TByteArray2D::TByteArray2D(std::uint32_t width, std::uint32_t height)
    : m_width(width), m_height(height), m_bytes(CheckedArea(width, height)) {}

std::uint32_t TByteArray2D::Index(std::uint32_t x, std::uint32_t y) const {
    if (x < 1 || x > m_width || y < 1 || y > m_height) {
        RaiseIndexOutOfBounds();
    }
    return x + (y - 1) * m_width;
}

std::uint8_t& TByteArray2D::At(std::uint32_t x, std::uint32_t y) {
    return m_bytes.At(Index(x, y));
}

std::uint8_t TByteArray2D::At(std::uint32_t x, std::uint32_t y) const {
    return m_bytes.At(Index(x, y));
}

} // namespace veltrio
