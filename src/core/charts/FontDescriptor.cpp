#include "charts/FontDescriptor.h"

#include <cstdint>
#include <istream>
#include <ostream>
#include <stdexcept>

namespace veltrio {

namespace {

void WriteU32(std::ostream& out, std::uint32_t v) {
    const char bytes[4] = {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
                           static_cast<char>((v >> 16) & 0xFF),
                           static_cast<char>((v >> 24) & 0xFF)};
    out.write(bytes, 4);
}

std::uint32_t ReadU32(std::istream& in) {
    unsigned char bytes[4];
    if (!in.read(reinterpret_cast<char*>(bytes), 4)) {
        throw std::runtime_error("TFontDescriptor.LoadFromFile: record too short");
    }
    return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) |
           (static_cast<std::uint32_t>(bytes[3]) << 24);
}

// A font name longer than this is a damaged record, not a font.
constexpr std::uint32_t MaxNameLength = 1024;

} // namespace

unsigned char TFontDescriptor::StyleByte() const {
    return static_cast<unsigned char>((Bold ? 1 : 0) | (Italic ? 2 : 0) | (Underline ? 4 : 0) |
                                      (StrikeOut ? 8 : 0));
}

void TFontDescriptor::SetStyleByte(unsigned char style) {
    Bold = (style & 1) != 0;
    Italic = (style & 2) != 0;
    Underline = (style & 4) != 0;
    StrikeOut = (style & 8) != 0;
}

TFont TFontDescriptor::ToFont() const {
    TFont font;
    font.Name = Name;
    font.Size = Size;
    font.Color = Color;
    font.Bold = Bold;
    font.Italic = Italic;
    font.Underline = Underline;
    font.StrikeOut = StrikeOut;
    return font;
}

TFontDescriptor TFontDescriptor::FromFont(const TFont& font) {
    TFontDescriptor d;
    d.Name = font.Name;
    d.Size = font.Size;
    d.Color = font.Color;
    d.Bold = font.Bold;
    d.Italic = font.Italic;
    d.Underline = font.Underline;
    d.StrikeOut = font.StrikeOut;
    return d;
}

void TFontDescriptor::SaveToFile(std::ostream& out) const {
    WriteU32(out, static_cast<std::uint32_t>(Name.size()));
    out.write(Name.data(), static_cast<std::streamsize>(Name.size()));
    WriteU32(out, static_cast<std::uint32_t>(Size));
    const char style = static_cast<char>(StyleByte());
    out.write(&style, 1);
    WriteU32(out, Color);
}

void TFontDescriptor::LoadFromFile(std::istream& in) {
    const std::uint32_t length = ReadU32(in);
    if (length > MaxNameLength) {
        throw std::runtime_error("TFontDescriptor.LoadFromFile: name too long");
    }
    std::string name(length, '\0');
    if (length > 0 && !in.read(name.data(), length)) {
        throw std::runtime_error("TFontDescriptor.LoadFromFile: record too short");
    }
    const auto size = static_cast<std::int32_t>(ReadU32(in));
    char style = 0;
    if (!in.read(&style, 1)) {
        throw std::runtime_error("TFontDescriptor.LoadFromFile: record too short");
    }
    const TColor color = ReadU32(in);
    Name = std::move(name);
    Size = size;
    SetStyleByte(static_cast<unsigned char>(style));
    Color = color;
}

} // namespace veltrio
