#include "BmpFixtures.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include <stdexcept>

namespace zv::test {
namespace {

void Put16(Bytes& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(Bytes& b, std::uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

// File header and BITMAPINFOHEADER, then the colour table (B, G, R, 0 each) and the pixel data.
Bytes Saved(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "BMP")) {
        throw std::runtime_error("QImage could not write the fixture");
    }
    return Bytes(bytes.begin(), bytes.end());
}

QImage IndexedSample(int colours) {
    QImage image(kSampleWidth, kSampleHeight, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (const Rgb& c : SamplePixels()) {
        table.push_back(qRgb(c.R, c.G, c.B));
    }
    while (table.size() < colours) {
        table.push_back(qRgb(1, 2, static_cast<int>(table.size())));
    }
    image.setColorTable(table);
    for (int i = 0; i < kSampleWidth * kSampleHeight; ++i) {
        image.setPixel(i % kSampleWidth, i / kSampleWidth, static_cast<uint>(i));
    }
    return image;
}

} // namespace

Bytes Dib(std::int32_t width, std::int32_t height, int bits, std::uint32_t compression,
          const std::vector<Rgb>& table, const Bytes& data) {
    Bytes b{'B', 'M'};
    const std::uint32_t offset = 14 + 40 + static_cast<std::uint32_t>(table.size()) * 4;
    Put32(b, offset + static_cast<std::uint32_t>(data.size()));
    Put32(b, 0);
    Put32(b, offset);
    Put32(b, 40);
    Put32(b, static_cast<std::uint32_t>(width));
    Put32(b, static_cast<std::uint32_t>(height));
    Put16(b, 1);
    Put16(b, static_cast<std::uint32_t>(bits));
    Put32(b, compression);
    Put32(b, static_cast<std::uint32_t>(data.size()));
    Put32(b, 2835);
    Put32(b, 2835);
    Put32(b, static_cast<std::uint32_t>(table.size()));
    Put32(b, 0);
    for (const Rgb& c : table) {
        b.insert(b.end(), {c.B, c.G, c.R, 0});
    }
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

const std::vector<Rgb>& SamplePixels() {
    static const std::vector<Rgb> pixels{{255, 0, 0},     {0, 255, 0}, {0, 0, 255},   {255, 0, 255},
                                         {255, 255, 255}, {0, 0, 0},   {255, 0, 254}, {128, 64, 32}};
    return pixels;
}

Bytes SampleBmp(const std::string& variant) {
    const std::vector<Rgb>& px = SamplePixels();
    if (variant == "4") {
        return Saved(IndexedSample(8));
    }
    if (variant == "8") {
        return Saved(IndexedSample(256));
    }
    if (variant == "24") {
        QImage image(kSampleWidth, kSampleHeight, QImage::Format_RGB888);
        for (int i = 0; i < kSampleWidth * kSampleHeight; ++i) {
            const Rgb& c = px[static_cast<std::size_t>(i)];
            image.setPixel(i % kSampleWidth, i / kSampleWidth, qRgb(c.R, c.G, c.B));
        }
        return Saved(image);
    }
    // Hand-made files store the bottom row first unless the height is negative.
    Bytes data;
    if (variant == "16" || variant == "32" || variant == "topdown24") {
        const bool topDown = variant == "topdown24";
        for (int row = 0; row < kSampleHeight; ++row) {
            const int y = topDown ? row : kSampleHeight - 1 - row;
            for (int x = 0; x < kSampleWidth; ++x) {
                const Rgb& c = px[static_cast<std::size_t>(y * kSampleWidth + x)];
                if (variant == "16") { // 5-5-5: only the top five bits of each channel survive
                    Put16(data, static_cast<std::uint32_t>((c.R >> 3) << 10 | (c.G >> 3) << 5 | (c.B >> 3)));
                } else if (variant == "32") {
                    data.insert(data.end(), {c.B, c.G, c.R, 0x00});
                } else {
                    data.insert(data.end(), {c.B, c.G, c.R});
                }
            }
        }
        const int bits = variant == "16" ? 16 : variant == "32" ? 32 : 24;
        return Dib(kSampleWidth, topDown ? -kSampleHeight : kSampleHeight, bits, 0, {}, data);
    }
    if (variant == "rle8") {
        // Bottom row in absolute mode, top row as runs of one, then end of bitmap.
        data = {0, 4, 4, 5, 6, 7, 0, 0, 1, 0, 1, 1, 1, 2, 1, 3, 0, 0, 0, 1};
        return Dib(kSampleWidth, kSampleHeight, 8, 1, px, data);
    }
    if (variant == "rle4") {
        // Bottom row absolute (nibbles 4 5 6 7), top row as two runs of alternating nibbles.
        data = {0, 4, 0x45, 0x67, 0, 0, 2, 0x01, 2, 0x23, 0, 0, 0, 1};
        return Dib(kSampleWidth, kSampleHeight, 4, 2, px, data);
    }
    throw std::invalid_argument("unknown BMP variant " + variant);
}

Bytes CheckerMonoBmp(int width, int height) {
    QImage image(width, height, QImage::Format_Mono);
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 0, 255)});
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, static_cast<uint>((x + y) % 2));
        }
    }
    return Saved(image);
}

Bytes GradientBmp(int width, int height) {
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, qRgb(x % 256, y % 256, (x + y) % 256));
        }
    }
    return Saved(image);
}

Bytes HeaderOnlyBmp(std::int32_t width, std::int32_t height) {
    return Dib(width, height, 24, 0, {}, Bytes(16, 0x7F));
}

} // namespace zv::test
