#include "GifReferenceDecoder.h"

namespace giftest {

namespace {

[[noreturn]] void Fail(const std::string& why) {
    throw std::runtime_error("GIF: " + why);
}

class Reader {
public:
    explicit Reader(std::string_view bytes) : m_bytes(bytes) {}
    std::uint8_t Byte() {
        if (m_pos >= m_bytes.size()) {
            Fail("file ends early at byte " + std::to_string(m_pos));
        }
        return static_cast<std::uint8_t>(m_bytes[m_pos++]);
    }
    unsigned Word() {
        const unsigned lo = Byte();
        return lo | (unsigned{Byte()} << 8);
    }
    std::vector<Rgb> Table(std::size_t entries) {
        std::vector<Rgb> table(entries);
        for (Rgb& c : table) {
            c.R = Byte();
            c.G = Byte();
            c.B = Byte();
        }
        return table;
    }
    bool AtEnd() const { return m_pos == m_bytes.size(); }

private:
    std::string_view m_bytes;
    std::size_t m_pos = 0;
};

class BitReader {
public:
    explicit BitReader(const std::vector<std::uint8_t>& data) : m_data(data) {}
    bool Read(unsigned width, unsigned& value) {
        if (m_bit + width > m_data.size() * 8) {
            return false;
        }
        value = 0;
        for (unsigned i = 0; i < width; ++i, ++m_bit) {
            const unsigned bit = (m_data[m_bit / 8] >> (m_bit % 8)) & 1u;
            value |= bit << i;
        }
        return true;
    }
    // After the end code only zero padding up to the byte boundary may follow.
    void CheckOnlyPaddingLeft() const {
        if ((m_bit + 7) / 8 != m_data.size()) {
            Fail("data bytes after the end code");
        }
        for (std::size_t b = m_bit; b < m_data.size() * 8; ++b) {
            if ((m_data[b / 8] >> (b % 8)) & 1u) {
                Fail("non-zero padding after the end code");
            }
        }
    }

private:
    const std::vector<std::uint8_t>& m_data;
    std::size_t m_bit = 0;
};

// The format's LZW decompression, with the table as a list of strings.
void Decompress(DecodedImage& image, const std::vector<std::uint8_t>& data) {
    const unsigned min = image.MinCodeSize;
    const unsigned clear = 1u << min;
    const unsigned end = clear + 1;
    std::vector<std::vector<std::uint8_t>> strings;
    unsigned width = 0;
    const auto reset = [&] {
        strings.assign(end + 1, {});
        for (unsigned i = 0; i < clear; ++i) {
            strings[i] = {static_cast<std::uint8_t>(i)};
        }
        width = min + 1;
    };
    reset();
    BitReader bits(data);
    bool havePrevious = false;
    unsigned previous = 0;
    for (;;) {
        unsigned code = 0;
        if (!bits.Read(width, code)) {
            Fail("data ends without the end code");
        }
        image.Codes.push_back({code, width});
        if (image.Codes.size() == 1 && code != clear) {
            Fail("data does not begin with the clear code");
        }
        if (code == clear) {
            image.DefinedAtClear.push_back(strings.size());
            reset();
            havePrevious = false;
            continue;
        }
        if (code == end) {
            bits.CheckOnlyPaddingLeft();
            break;
        }
        const bool full = strings.size() == 4096;
        std::vector<std::uint8_t> entry;
        if (code < strings.size() && code != clear && code != end) {
            entry = strings[code];
        } else if (havePrevious && code == strings.size() && !full) {
            entry = strings[previous];
            entry.push_back(strings[previous][0]);
        } else {
            Fail("invalid code " + std::to_string(code) + " with " +
                 std::to_string(strings.size()) + " codes defined");
        }
        if (full) {
            ++image.CodesAfterFull;
        } else if (havePrevious) {
            std::vector<std::uint8_t> added = strings[previous];
            added.push_back(entry[0]);
            strings.push_back(std::move(added));
            if (strings.size() == (1u << width) && width < 12) {
                ++width;
            }
        }
        image.Indices.insert(image.Indices.end(), entry.begin(), entry.end());
        previous = code;
        havePrevious = true;
    }
}

DecodedImage ReadImage(Reader& in, const std::vector<Rgb>& globalTable) {
    DecodedImage image;
    image.Left = in.Word();
    image.Top = in.Word();
    image.Width = in.Word();
    image.Height = in.Word();
    image.Packed = in.Byte();
    image.Interlaced = (image.Packed & 0x40) != 0;
    if (image.Interlaced) {
        Fail("interlaced images are not expected");
    }
    if (image.Packed & 0x80) {
        image.LocalTable = in.Table(std::size_t{1} << ((image.Packed & 0x07) + 1));
    } else if (image.Packed & 0x07) {
        Fail("table size bits without a local table");
    }
    const std::vector<Rgb>& table = image.LocalTable.empty() ? globalTable : image.LocalTable;
    if (table.empty()) {
        Fail("image without a colour table");
    }
    image.MinCodeSize = in.Byte();
    if (image.MinCodeSize < 2 || image.MinCodeSize > 8) {
        Fail("LZW minimum code size " + std::to_string(image.MinCodeSize));
    }
    std::vector<std::uint8_t> data;
    for (;;) {
        const std::size_t size = in.Byte();
        if (size == 0) {
            break;
        }
        image.SubBlockSizes.push_back(size);
        for (std::size_t i = 0; i < size; ++i) {
            data.push_back(in.Byte());
        }
    }
    Decompress(image, data);
    if (image.Indices.size() != std::size_t{image.Width} * image.Height) {
        Fail(std::to_string(image.Indices.size()) + " pixels decoded for " +
             std::to_string(image.Width) + " x " + std::to_string(image.Height));
    }
    for (std::uint8_t index : image.Indices) {
        if (index >= table.size()) {
            Fail("pixel index " + std::to_string(index) + " outside the colour table");
        }
        image.Pixels.push_back(table[index]);
    }
    return image;
}

} // namespace

DecodedGif Decode(std::string_view file) {
    Reader in(file);
    DecodedGif gif;
    for (int i = 0; i < 6; ++i) {
        gif.Signature += static_cast<char>(in.Byte());
    }
    if (gif.Signature != "GIF87a" && gif.Signature != "GIF89a") {
        Fail("signature " + gif.Signature);
    }
    gif.ScreenWidth = in.Word();
    gif.ScreenHeight = in.Word();
    gif.Packed = in.Byte();
    gif.Background = in.Byte();
    gif.Aspect = in.Byte();
    if (gif.Packed & 0x80) {
        gif.GlobalTable = in.Table(std::size_t{1} << ((gif.Packed & 0x07) + 1));
    }
    for (;;) {
        const std::uint8_t introducer = in.Byte();
        if (introducer == 0x3B) {
            break;
        }
        if (introducer != 0x2C) {
            Fail("unexpected block " + std::to_string(introducer));
        }
        gif.Images.push_back(ReadImage(in, gif.GlobalTable));
        const DecodedImage& image = gif.Images.back();
        if (image.Left + image.Width > gif.ScreenWidth ||
            image.Top + image.Height > gif.ScreenHeight) {
            Fail("image outside the logical screen");
        }
    }
    if (!in.AtEnd()) {
        Fail("bytes after the trailer");
    }
    return gif;
}

} // namespace giftest
