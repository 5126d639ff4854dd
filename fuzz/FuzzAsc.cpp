// 3D Studio ASCII decoding of any input.

#include "FuzzText.h"

#include "formats/TextFormats.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zv::fuzz::RunTextDecoder(zv::formats::DecodeAsc, {data, size});
    return 0;
}
