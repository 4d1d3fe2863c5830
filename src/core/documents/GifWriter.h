#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/Error.h"
#include "documents/GifByteArrays.h"
#include "documents/GifLzw.h"
#include "documents/GifPalette.h"

namespace veltrio {

// A colour table or picture that a GIF file cannot hold.
class EGifException : public EVeltrioError {
public:
    using EVeltrioError::EVeltrioError;
};

// The GIF file could not be created or written.
class EGifWriteError : public EVeltrioError {
public:
    using EVeltrioError::EVeltrioError;
};

class TGifFile;

// One image of a GIF file, at the top left of the logical screen.
class TGifSubImage {
public:
    // For a colour table of `colourCount` entries: 2, 4, 8, ... 256, else
    // EGifException.
    TGifSubImage(TGifFile& owner, std::uint32_t colourCount);

    // Compresses the pixels into EncodedData(), replacing what was there.
    void Encode();

    TGifFile& Owner() const { return *m_owner; }
    std::uint8_t LzwMinimumCodeSize() const { return m_lzwMinimumCodeSize; }
    const TByteBuffer& EncodedData() const { return m_encodedData; }
    // Left, top, width, height (16-bit little-endian each) and the packed byte.
    const std::array<std::uint8_t, 9>& ImageDescriptor() const { return m_imageDescriptor; }
    bool InterlaceFlag() const { return m_interlaceFlag; }
    bool LocalTableFlag() const { return m_localTableFlag; }
    std::uint8_t BitsPerPixel() const { return m_bitsPerPixel; }
    const TByteArray2D& Pixels() const { return m_pixels; }
    const TGifColourTable& LocalColourTable() const { return m_localColourTable; }

private:
    friend class TGifFile;

    TGifFile* m_owner;
    std::uint8_t m_lzwMinimumCodeSize;
    TByteBuffer m_encodedData;
    std::array<std::uint8_t, 9> m_imageDescriptor{};
    bool m_interlaceFlag = false;
    bool m_localTableFlag = false;
    std::uint8_t m_bitsPerPixel;
    TByteArray2D m_pixels{0, 0};
    TGifColourTable m_localColourTable{};
};

// A GIF87a file of one or more images. The first image's colour table is the
// global table; every later image carries its own.
//
// Use: BitmapToPalette, then AddImage(palette.Table, palette.Pixels), then
// WriteFile.
class TGifFile {
public:
    // An empty file: screen 0 × 0 and a global table of black and white.
    TGifFile();
    // The images point back to their file.
    TGifFile(const TGifFile&) = delete;
    TGifFile& operator=(const TGifFile&) = delete;

    // Adds an image of a copy of `pixels` (palette indices into `table`).
    // Raises EGifException when the table's count is not a power of 2 from 2
    // to 256, when the first image's table has other than 2, 16 or 256
    // entries, and when the picture is wider or higher than 65535 pixels; the
    // file is then unchanged.
    void AddImage(const TGifColourTable& table, const TByteArray2D& pixels);

    // The complete file: header, logical screen, global table, every image
    // and the trailer.
    std::string FileBytes();
    // Writes FileBytes() to `path`, replacing any file of that name. The old
    // file stays untouched when the new one cannot be written
    // (EGifWriteError).
    void WriteFile(const std::filesystem::path& path);

    const std::array<std::uint8_t, 6>& Header() const { return m_header; }
    // Width, height (16-bit little-endian each), packed byte, background
    // colour index and pixel aspect ratio.
    const std::array<std::uint8_t, 7>& LogicalScreenDescriptor() const {
        return m_logicalScreenDescriptor;
    }
    std::uint16_t ScreenWidth() const;
    std::uint16_t ScreenHeight() const;
    bool GlobalTableFlag() const { return m_globalTableFlag; }
    const TGifColourTable& GlobalColourTable() const { return m_globalColourTable; }
    std::uint8_t GlobalTableBits() const { return m_globalTableBits; }
    std::size_t ImageCount() const { return m_images.size(); }
    // Image `index`, 0-based in the order added.
    const TGifSubImage& Image(std::size_t index) const { return *m_images.at(index); }

private:
    std::uint8_t ScreenPackedByte() const;

    std::array<std::uint8_t, 6> m_header{};
    std::array<std::uint8_t, 7> m_logicalScreenDescriptor{};
    bool m_globalTableFlag = true;
    TGifColourTable m_globalColourTable{};
    std::uint8_t m_globalTableBits = 1;
    std::vector<std::unique_ptr<TGifSubImage>> m_images;
};

} // namespace veltrio
