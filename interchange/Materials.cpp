#include "interchange/Interchange.h"

#include "formats/VrlLayout.h"
#include "model/Paths.h"

#include <charconv>
#include <cstdio>

namespace zv::interchange {
namespace {

constexpr char kSeparator = '#';
constexpr std::size_t kColourDigits = 8;

// The longest texture name a model file holds; longer names would not survive a save.
constexpr auto kMaxTextureName = static_cast<std::size_t>(formats::kVrlNameSize);

// text cut to at most max bytes without splitting a UTF-8 sequence.
std::string CutTo(std::string_view text, std::size_t max) {
    if (text.size() <= max) {
        return std::string(text);
    }
    std::size_t end = max;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    return std::string(text.substr(0, end));
}

std::optional<std::uint32_t> ParseColour(std::string_view hex) {
    std::uint32_t value = 0;
    if (hex.size() != kColourDigits) {
        return std::nullopt;
    }
    const auto [end, ec] = std::from_chars(hex.data(), hex.data() + hex.size(), value, 16);
    if (ec != std::errc() || end != hex.data() + hex.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::int32_t> ParseType(std::string_view text) {
    std::int32_t value = 0;
    if (text.empty() || text.front() == '+') {
        return std::nullopt;
    }
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

} // namespace

std::string MaterialName(std::string_view texture, std::int32_t type, std::uint32_t rgba) {
    char colour[kColourDigits + 1] = {};
    std::snprintf(colour, sizeof colour, "%08X", static_cast<unsigned>(rgba));
    return std::string(texture) + kSeparator + std::to_string(type) + kSeparator + colour;
}

MaterialInfo ParseMaterialName(std::string_view name, std::string_view textureFile) {
    // From the right, so that the texture itself may hold the separator.
    const auto colourAt = name.rfind(kSeparator);
    if (colourAt != std::string_view::npos && colourAt > 0) {
        const auto typeAt = name.rfind(kSeparator, colourAt - 1);
        if (typeAt != std::string_view::npos) {
            const auto type = ParseType(name.substr(typeAt + 1, colourAt - typeAt - 1));
            const auto colour = ParseColour(name.substr(colourAt + 1));
            if (type && colour) {
                return {CutTo(name.substr(0, typeAt), kMaxTextureName), *type, *colour};
            }
        }
    }
    const std::string file = model::StripExtension(model::FileNameOf(textureFile));
    return {CutTo(model::UpperAscii(file.empty() ? name : std::string_view(file)), kMaxTextureName), 0, 0};
}

} // namespace zv::interchange
