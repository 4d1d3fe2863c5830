#include "documents/HtmlExport.h"

#include "base/TextUtil.h"
#include "documents/DocumentMessages.h"
#include "documents/GifPalette.h"
#include "documents/GifWriter.h"

#include <cstdio>
#include <iterator>

namespace veltrio {

namespace {

constexpr int kLastGifNumber = 9999;

TRgbBitmap PictureBitmap(const TPicture& picture) {
    TRgbBitmap bitmap(static_cast<std::uint32_t>(picture.Width),
                      static_cast<std::uint32_t>(picture.Height));
    for (std::size_t i = 0; i < bitmap.Pixels.size() && i < picture.Pixels.size(); ++i) {
        const TColor c = picture.Pixels[i];
        bitmap.Pixels[i] = 0xFF000000u | (ColorRed(c) << 16) | (ColorGreen(c) << 8) | ColorBlue(c);
    }
    return bitmap;
}

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

struct TStyleTag {
    bool TFont::*Style;
    std::string_view Name;
};

// Opening order; closing tags go in the reverse order.
constexpr TStyleTag kStyleTags[] = {
    {&TFont::Bold, "B"},
    {&TFont::Italic, "I"},
    {&TFont::Underline, "U"},
    {&TFont::StrikeOut, "STRIKE"},
};

bool TagWanted(const TFont& font, const TFont* except, bool TFont::*style) {
    return font.*style && (except == nullptr || !(except->*style));
}

} // namespace

std::string HtmlOpeningTags(const TFont& font, const TFont* except) {
    std::string tags;
    for (const TStyleTag& tag : kStyleTags) {
        if (TagWanted(font, except, tag.Style)) {
            tags += "<" + std::string(tag.Name) + ">";
        }
    }
    return tags;
}

std::string HtmlClosingTags(const TFont& font, const TFont* except) {
    std::string tags;
    for (auto it = std::rbegin(kStyleTags); it != std::rend(kStyleTags); ++it) {
        if (TagWanted(font, except, it->Style)) {
            tags += "</" + std::string(it->Name) + ">";
        }
    }
    return tags;
}

std::string HtmlExport::SizeAttribute(int size, bool normalVariant) const {
    const int base = BaseFont.Size;
    if (size >= base + 4) {
        return "SIZE=" + Quoted("+2") + " ";
    }
    if (size >= base + 2) {
        return "SIZE=" + Quoted("+1") + " ";
    }
    if (size < base - 4) {
        return "SIZE=" + Quoted("-2") + " ";
    }
    if (size < base - 2) {
        return "SIZE=" + Quoted("-1") + " ";
    }
    if (normalVariant && size >= base) {
        return "Size=" + Quoted("Normal");
    }
    return {};
}

std::string HtmlExport::GifBaseName() const {
    std::string base = Utf8Left(HtmlFileName.filename().string(), 4);
    const std::size_t stop = base.find('.');
    if (stop != std::string::npos) {
        base.resize(stop + 1);
    }
    return base;
}

void HtmlExport::WritePicture(const TPicture& picture, int height, int width) {
    const std::string base = GifBaseName();
    const std::filesystem::path folder = HtmlFileName.parent_path();
    std::string name;
    bool exists = true;
    do {
        name = base + std::to_string(GifCounter) + ".gif";
        ++GifCounter;
        std::error_code ec;
        exists = std::filesystem::exists(folder / name, ec);
    } while (exists && GifCounter <= kLastGifNumber);
    if (GifCounter > kLastGifNumber) {
        ShowDocumentMessage("Unable to create gif files. Please delete some files called \"" +
                            base + "XXXX.gif");
        return;
    }
    Write("<img src=" + Quoted(HtmlText(name)) + " HEIGHT=" + std::to_string(height) +
          " WIDTH=" + std::to_string(width) + ">");
    const TBitmapPalette palette = BitmapToPalette(PictureBitmap(picture));
    TGifFile gif;
    gif.AddImage(palette.Table, palette.Pixels);
    gif.WriteFile(folder / name);
}

std::string HtmlText(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (const char c : utf8) {
        switch (c) {
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '&':
            out += "&amp;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
            break;
        }
    }
    return out;
}

std::string HtmlColor(TColor color) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X%02X%02X", ColorRed(color), ColorGreen(color),
                  ColorBlue(color));
    return text;
}

} // namespace veltrio
