#include "documents/GifLzw.h"

#include <algorithm>

namespace veltrio {

void TByteBuffer::AddByte(std::uint8_t b) {
    if (m_current.size() == MaxBlockSize) {
        m_blocks.push_back(std::move(m_current));
        m_current.clear();
    }
    m_current.push_back(b);
    ++m_total;
}

void TByteBuffer::Close() {
    if (!m_current.empty()) {
        m_blocks.push_back(std::move(m_current));
        m_current.clear();
    }
}

void TEncodedBytes::AddCode(std::uint16_t code, std::uint8_t size) {
    m_bits |= std::uint32_t{code} << m_bitCount;
    m_bitCount += size;
    while (m_bitCount > 7) {
        m_buffer.AddByte(static_cast<std::uint8_t>(m_bits & 0xFF));
        m_bits >>= 8;
        m_bitCount -= 8;
    }
}

void TEncodedBytes::Finish(std::uint16_t code, std::uint8_t size) {
    AddCode(code, size);
    if (m_bitCount > 0) {
        m_buffer.AddByte(static_cast<std::uint8_t>(m_bits & 0xFF));
        m_bits = 0;
        m_bitCount = 0;
    }
    m_buffer.Close();
}

void TCodeTable::ResetTable(std::uint8_t codeSize) {
    m_entries.fill(TCodeEntry{});
    m_codeSize = codeSize;
    m_firstFreeCode = static_cast<std::uint16_t>((1u << (codeSize - 1)) + 2);
    m_nextCode = m_firstFreeCode;
    m_full = false;
}

void TCodeTable::AddEntry(std::uint16_t prefix, std::uint16_t suffix) {
    m_entries.at(m_nextCode) = TCodeEntry{prefix, suffix};
    ++m_nextCode;
    if (m_nextCode == TableSize) {
        m_full = true;
    } else if ((1u << m_codeSize) < m_nextCode) {
        ++m_codeSize;
    }
}

std::optional<std::uint16_t> TCodeTable::FindEntry(std::uint16_t prefix,
                                                   std::uint16_t suffix) const {
    // A string's entry always comes after its prefix's, so the search starts
    // behind the prefix; long runs of one colour then search only a few codes.
    const unsigned first = std::max<unsigned>(m_firstFreeCode, prefix + 1u);
    for (unsigned code = first; code < m_nextCode; ++code) {
        if (m_entries[code].Prefix == prefix && m_entries[code].Suffix == suffix) {
            return static_cast<std::uint16_t>(code);
        }
    }
    return std::nullopt;
}

} // namespace veltrio
