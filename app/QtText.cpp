#include "app/QtText.h"

namespace zv::app {
namespace {

// Length of the UTF-8 sequence a lead byte starts, 0 for a byte that cannot lead one.
std::size_t SequenceLength(unsigned char lead) {
    if (lead < 0x80) {
        return 1;
    }
    if ((lead >> 5) == 0x6) {
        return 2;
    }
    if ((lead >> 4) == 0xE) {
        return 3;
    }
    return (lead >> 3) == 0x1E ? 4 : 0;
}

bool IsUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t n = SequenceLength(static_cast<unsigned char>(s[i]));
        if (n == 0 || n > s.size() - i) {
            return false;
        }
        for (std::size_t k = 1; k < n; ++k) {
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 0x2) {
                return false;
            }
        }
        i += n;
    }
    return true;
}

} // namespace

QString ToQString(std::string_view text) {
    const auto size = static_cast<qsizetype>(text.size());
    return IsUtf8(text) ? QString::fromUtf8(text.data(), size) : QString::fromLatin1(text.data(), size);
}

std::string ToCore(const QString& text) {
    return text.toUtf8().toStdString();
}

} // namespace zv::app
