#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace veltrio {

// Output bytes in the GIF's data sub-blocks of at most 255 bytes each.
class TByteBuffer {
public:
    static constexpr std::size_t MaxBlockSize = 255;

    // Starts a new block first when the current one holds 255 bytes.
    void AddByte(std::uint8_t b);
    // Appends the current block to the list as the last block. An empty
    // current block is dropped: a zero-length sub-block would end the data.
    void Close();

    // The full blocks, and after Close() the last one.
    const std::vector<std::vector<std::uint8_t>>& Blocks() const { return m_blocks; }
    const std::vector<std::uint8_t>& CurrentBlock() const { return m_current; }
    std::size_t CurrentCount() const { return m_current.size(); }
    std::size_t TotalCount() const { return m_total; }

private:
    std::vector<std::vector<std::uint8_t>> m_blocks;
    std::vector<std::uint8_t> m_current;
    std::size_t m_total = 0;
};

// Variable-length codes packed least significant bit first into bytes.
class TEncodedBytes {
public:
    void AddCode(std::uint16_t code, std::uint8_t size);
    // Adds the last code, writes the remaining bits as one more byte (the
    // unused high bits zero) and closes the current block.
    void Finish(std::uint16_t code, std::uint8_t size);

    const TByteBuffer& Buffer() const { return m_buffer; }
    TByteBuffer& Buffer() { return m_buffer; }

private:
    std::uint32_t m_bits = 0;
    std::uint8_t m_bitCount = 0;
    TByteBuffer m_buffer;
};

// The LZW string table of the encoder: one entry per code, each the code of
// its prefix string and the pixel that extends it.
class TCodeTable {
public:
    static constexpr std::size_t TableSize = 4096;

    struct TCodeEntry {
        std::uint16_t Prefix = 0;
        std::uint16_t Suffix = 0;
    };

    TCodeTable() { ResetTable(2); }

    // Empties the table for codes of `codeSize` bits: the codes below
    // 2^(codeSize − 1) + 2 stand for the single pixels, the clear code and
    // the end code.
    void ResetTable(std::uint8_t codeSize);
    // Gives the next code to prefix + suffix; the code size grows once the
    // codes no longer fit, and the table is full when code 4095 is given.
    void AddEntry(std::uint16_t prefix, std::uint16_t suffix);
    // The first code, between the larger of the first free code and
    // prefix + 1 and the last code given, whose entry is prefix + suffix.
    std::optional<std::uint16_t> FindEntry(std::uint16_t prefix, std::uint16_t suffix) const;

    const TCodeEntry& Entry(std::uint16_t code) const { return m_entries.at(code); }
    std::uint8_t CodeSize() const { return m_codeSize; }
    std::uint16_t FirstFreeCode() const { return m_firstFreeCode; }
    std::uint16_t NextCode() const { return m_nextCode; }
    bool Full() const { return m_full; }

private:
    std::array<TCodeEntry, TableSize> m_entries{};
    std::uint8_t m_codeSize = 0;
    std::uint16_t m_firstFreeCode = 0;
    std::uint16_t m_nextCode = 0;
    bool m_full = false;
};

} // namespace veltrio
