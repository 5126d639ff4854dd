#include "textures/BmpCodec.h"

#include "textures/BmpRle.h"
#include "textures/TextureTable.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include <cstring>

namespace zv::textures {
namespace {

bool SideTooLarge(int width, int height) {
    return width > kMaxTextureSide || height > kMaxTextureSide;
}

std::uint32_t U32At(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16) | std::uint32_t{b[at + 3]}
                                                                                      << 24;
}

// A "BM" file with a Windows info header (40 bytes or more). Other headers are left to the
// library alone.
bool HasInfoHeader(std::span<const std::uint8_t> b) {
    return b.size() >= 14 + 40 && b[0] == 'B' && b[1] == 'M' && U32At(b, 14) >= 40;
}

// An OS/2 file: its 12-byte core header has 16-bit sizes and no compression.
bool HasCoreHeader(std::span<const std::uint8_t> b) {
    return b.size() >= 14 + 12 && b[0] == 'B' && b[1] == 'M' && U32At(b, 14) == 12;
}

// An OS/2 picture whose rows run past the end of the file (the same fault as below).
bool CoreAndCut(std::span<const std::uint8_t> b) {
    const std::int64_t width = b[18] | b[19] << 8;
    const std::int64_t height = b[20] | b[21] << 8;
    const std::int64_t bits = b[24] | b[25] << 8;
    const std::int64_t stride = (width * bits + 31) / 32 * 4;
    return std::int64_t{U32At(b, 10)} + stride * height > static_cast<std::int64_t>(b.size());
}

// An uncompressed picture whose rows run past the end of the file. The image library fills the
// missing rows with whatever memory held, so such files are refused here.
bool UncompressedAndCut(std::span<const std::uint8_t> b) {
    if (HasCoreHeader(b)) {
        return CoreAndCut(b);
    }
    if (!HasInfoHeader(b)) {
        return false;
    }
    const std::uint32_t compression = U32At(b, 30);
    if (compression != 0 && compression != 3) {
        return false;
    }
    const std::int64_t width = static_cast<std::int32_t>(U32At(b, 18));
    const std::int64_t height = static_cast<std::int32_t>(U32At(b, 22));
    const std::int64_t bits = b[28] | b[29] << 8;
    const std::int64_t stride = (width * bits + 31) / 32 * 4;
    const std::int64_t end = std::int64_t{U32At(b, 10)} + stride * (height < 0 ? -height : height);
    return width > 0 && end > static_cast<std::int64_t>(b.size());
}

// The variants left to the image library: OS/2 core headers and Windows info headers of the
// usual sizes, uncompressed or with bit fields (the cut-short ones refused above). Anything else
// (other compressions, odd header sizes) is refused, as the library may leave pixels unwritten.
bool LeftToLibrary(std::span<const std::uint8_t> b) {
    if (HasCoreHeader(b)) {
        return true;
    }
    if (!HasInfoHeader(b)) {
        return false;
    }
    const std::uint32_t header = U32At(b, 14);
    const std::uint32_t compression = U32At(b, 30);
    const bool usualHeader = header == 40 || header == 52 || header == 56 || header == 108 || header == 124;
    return usualHeader && (compression == 0 || compression == 3);
}

} // namespace

DecodedBmp DecodeBmp(std::span<const std::uint8_t> bytes, std::size_t maxBytes) {
    DecodedBmp out;
    if (bytes.empty() || bytes.size() > static_cast<std::size_t>(INT32_MAX)) {
        return out;
    }
    // fromRawData does not copy; the buffer only lives for this call.
    const QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<qsizetype>(bytes.size()));
    QBuffer buffer;
    buffer.setData(data);
    if (!buffer.open(QIODevice::ReadOnly)) {
        return out;
    }
    QImageReader reader(&buffer, "BMP");
    // The header's size is known before any pixel is decoded, so huge pictures cost nothing.
    const QSize declared = reader.size();
    if (declared.isValid() && SideTooLarge(declared.width(), declared.height())) {
        out.Fault = BmpFault::TooLarge;
        return out;
    }
    if (declared.isValid() && !declared.isEmpty() &&
        static_cast<std::size_t>(declared.width()) * static_cast<std::size_t>(declared.height()) * 4 >
            maxBytes) {
        out.Fault = BmpFault::NoMemory;
        return out;
    }
    if (HasInfoHeader(bytes)) {
        // A top-down picture has a negative height, which the library may not report as a size.
        const std::int64_t width = static_cast<std::int32_t>(U32At(bytes, 18));
        const std::int64_t height = static_cast<std::int32_t>(U32At(bytes, 22));
        if (width > kMaxTextureSide || height > kMaxTextureSide || -height > kMaxTextureSide) {
            out.Fault = BmpFault::TooLarge;
            return out;
        }
    }
    if (UncompressedAndCut(bytes)) {
        return out;
    }
    if (auto rle = DecodeRleBmp(bytes, maxBytes)) {
        return std::move(*rle);
    }
    if (!LeftToLibrary(bytes)) {
        return out;
    }
    const QImage image = reader.read();
    if (image.isNull()) {
        out.Fault = declared.isValid() && declared.isEmpty() ? BmpFault::Empty : BmpFault::Undecodable;
        return out;
    }
    if (image.width() <= 0 || image.height() <= 0) {
        out.Fault = BmpFault::Empty;
        return out;
    }
    if (SideTooLarge(image.width(), image.height())) {
        out.Fault = BmpFault::TooLarge;
        return out;
    }
    const QImage rgbx = image.convertToFormat(QImage::Format_RGBX8888);
    if (rgbx.isNull()) {
        return out;
    }
    out.Width = rgbx.width();
    out.Height = rgbx.height();
    const std::size_t rowBytes = static_cast<std::size_t>(out.Width) * 4;
    out.Rgba.resize(rowBytes * static_cast<std::size_t>(out.Height));
    for (int y = 0; y < out.Height; ++y) {
        std::uint8_t* row = out.Rgba.data() + static_cast<std::size_t>(y) * rowBytes;
        std::memcpy(row, rgbx.constScanLine(y), rowBytes);
        for (std::size_t i = 0; i < rowBytes; i += 4) {
            row[i + 3] = KeyAlpha(row[i], row[i + 1], row[i + 2]);
        }
    }
    out.Fault = BmpFault::None;
    return out;
}

std::string EncodeBmp24(int width, int height, std::span<const std::uint8_t> rgba) {
    if (width <= 0 || height <= 0 ||
        rgba.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4) {
        return {};
    }
    QImage image(width, height, QImage::Format_RGB888);
    if (image.isNull()) {
        return {};
    }
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = image.scanLine(y);
        const std::uint8_t* src =
            rgba.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * 4;
        for (int x = 0; x < width; ++x) {
            row[3 * x] = src[4 * x];
            row[3 * x + 1] = src[4 * x + 1];
            row[3 * x + 2] = src[4 * x + 2];
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "BMP")) {
        return {};
    }
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

} // namespace zv::textures
