#include "documents/GifWriter.h"

#include <algorithm>

#include "base/AtomicFile.h"

namespace veltrio {

namespace {

constexpr std::uint32_t MaxSide = 0xFFFF;

void PutWord(std::uint8_t* at, std::uint16_t value) {
    at[0] = static_cast<std::uint8_t>(value & 0xFF);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

std::uint16_t GetWord(const std::uint8_t* at) {
    return static_cast<std::uint16_t>(at[0] | (at[1] << 8));
}

std::uint8_t BitsForCount(std::uint32_t count) {
    for (std::uint8_t b = 1; b <= 8; ++b) {
        if ((1u << b) == count) {
            return b;
        }
    }
    throw EGifException("Number of colors (" + std::to_string(count) +
                        ") wrong; must be a power of 2");
}

// The colour-resolution field of the logical screen for the global table.
std::uint8_t ColourResolution(std::uint32_t globalCount) {
    switch (globalCount) {
    case 2:
        return 1;
    case 16:
        return 4;
    case 256:
        return 8;
    default:
        throw EGifException("unexpected number of colors");
    }
}

std::uint8_t GlobalTableBitsFor(std::uint8_t current, std::uint32_t count) {
    std::uint8_t bits = current;
    while ((1u << bits) < count) {
        ++bits;
    }
    return bits;
}

void PutColourTable(std::string& out, const TGifColourTable& table) {
    for (std::uint32_t i = 0; i < table.Count; ++i) {
        out += static_cast<char>(table.Entries[i].Red);
        out += static_cast<char>(table.Entries[i].Green);
        out += static_cast<char>(table.Entries[i].Blue);
    }
}

} // namespace

TGifSubImage::TGifSubImage(TGifFile& owner, std::uint32_t colourCount)
    : m_owner(&owner), m_bitsPerPixel(BitsForCount(colourCount)) {
    // The format allows no minimum code size below 2.
    m_lzwMinimumCodeSize = std::max<std::uint8_t>(m_bitsPerPixel, 2);
}

void TGifSubImage::Encode() {
    const std::uint32_t n = m_pixels.Bytes().Size();
    const auto p = [this](std::uint32_t i) -> std::uint16_t { return m_pixels.Bytes().At(i); };
    const std::uint8_t min = m_lzwMinimumCodeSize;
    const auto clearCode = static_cast<std::uint16_t>(1u << min);
    const auto endCode = static_cast<std::uint16_t>(clearCode + 1);

    TCodeTable table;
    TEncodedBytes out;
    table.ResetTable(static_cast<std::uint8_t>(min + 1));
    out.AddCode(clearCode, table.CodeSize());
    if (n > 0) {
        out.AddCode(p(1), table.CodeSize());
        std::uint16_t prev = p(1);
        std::uint32_t i = 2;
        while (i <= n) {
            const std::uint16_t k = p(i);
            ++i;
            // The entry goes in before the next string is matched, as the
            // reader adds it one code later: the code size grows where the
            // reader expects it.
            table.AddEntry(prev, k);
            std::uint16_t cur = k;
            while (i <= n) {
                const auto found = table.FindEntry(cur, p(i));
                if (!found) {
                    break;
                }
                cur = *found;
                ++i;
            }
            out.AddCode(cur, table.CodeSize());
            if (table.Full() && i <= n) {
                out.AddCode(clearCode, table.CodeSize());
                table.ResetTable(static_cast<std::uint8_t>(min + 1));
                out.AddCode(p(i), table.CodeSize());
                prev = p(i);
                ++i;
            } else {
                prev = cur;
            }
        }
    }
    // An image without pixels is the clear code and the end code alone.
    out.Finish(endCode, table.CodeSize());
    m_encodedData = std::move(out.Buffer());
}

TGifFile::TGifFile() {
    m_header = {0x47, 0x49, 0x46, 0x38, 0x37, 0x61};
    m_globalColourTable.Entries[0] = TGifColour{0, 0, 0};
    m_globalColourTable.Entries[1] = TGifColour{255, 255, 255};
    m_globalColourTable.Count = 2;
    m_logicalScreenDescriptor[4] = ScreenPackedByte();
}

std::uint16_t TGifFile::ScreenWidth() const {
    return GetWord(&m_logicalScreenDescriptor[0]);
}

std::uint16_t TGifFile::ScreenHeight() const {
    return GetWord(&m_logicalScreenDescriptor[2]);
}

std::uint8_t TGifFile::ScreenPackedByte() const {
    const std::uint8_t r = ColourResolution(m_globalColourTable.Count);
    return static_cast<std::uint8_t>((m_globalTableFlag ? 0x80 : 0) + (r - 1) * 16 +
                                     (m_globalTableBits - 1));
}

void TGifFile::AddImage(const TGifColourTable& table, const TByteArray2D& pixels) {
    // Everything that can fail is checked before the file changes.
    auto image = std::make_unique<TGifSubImage>(*this, table.Count);
    const bool first = m_images.empty();
    if (first) {
        ColourResolution(table.Count);
    }
    if (pixels.Width() > MaxSide || pixels.Height() > MaxSide) {
        throw EGifException("Image size (" + std::to_string(pixels.Width()) + " x " +
                            std::to_string(pixels.Height()) +
                            ") too large; at most 65535 pixels each way");
    }

    if (first) {
        m_globalColourTable = table;
    } else {
        image->m_localColourTable = table;
        image->m_localTableFlag = true;
    }
    m_globalTableBits = GlobalTableBitsFor(m_globalTableBits, m_globalColourTable.Count);

    const auto width = static_cast<std::uint16_t>(pixels.Width());
    const auto height = static_cast<std::uint16_t>(pixels.Height());
    std::uint8_t packed = 0;
    if (image->m_localTableFlag) {
        packed = static_cast<std::uint8_t>(0x80 + (image->m_bitsPerPixel - 1));
    }
    if (image->m_interlaceFlag) {
        packed |= 0x40;
    }
    PutWord(&image->m_imageDescriptor[0], 0);
    PutWord(&image->m_imageDescriptor[2], 0);
    PutWord(&image->m_imageDescriptor[4], width);
    PutWord(&image->m_imageDescriptor[6], height);
    image->m_imageDescriptor[8] = packed;
    image->m_pixels = pixels.Clone();

    m_images.push_back(std::move(image));
    PutWord(&m_logicalScreenDescriptor[0], std::max(ScreenWidth(), width));
    PutWord(&m_logicalScreenDescriptor[2], std::max(ScreenHeight(), height));
    m_logicalScreenDescriptor[4] = ScreenPackedByte();
}

std::string TGifFile::FileBytes() {
    std::string out;
    out.append(m_header.begin(), m_header.end());
    m_logicalScreenDescriptor[4] = ScreenPackedByte();
    out.append(m_logicalScreenDescriptor.begin(), m_logicalScreenDescriptor.end());
    if (m_globalTableFlag) {
        PutColourTable(out, m_globalColourTable);
    }
    for (const auto& image : m_images) {
        out += static_cast<char>(0x2C);
        image->Encode();
        out.append(image->m_imageDescriptor.begin(), image->m_imageDescriptor.end());
        if (image->m_localTableFlag) {
            PutColourTable(out, image->m_localColourTable);
        }
        out += static_cast<char>(image->m_lzwMinimumCodeSize);
        for (const auto& block : image->m_encodedData.Blocks()) {
            out += static_cast<char>(block.size());
            out.append(block.begin(), block.end());
        }
        out += '\0';
    }
    out += static_cast<char>(0x3B);
    return out;
}

void TGifFile::WriteFile(const std::filesystem::path& path) {
    const std::string bytes = FileBytes();
    std::string why;
    if (!WriteFileAtomically(path, bytes, &why)) {
        throw EGifWriteError(why);
    }
}

} // namespace veltrio
