#include "fuzzsupport.h"
#include "model/weightfile.h"

namespace {

Array1<int16_t> sizes(std::initializer_list<int16_t> list)
{
    Array1<int16_t> a;
    a.resize(static_cast<int>(list.size()));
    int l = 1;
    for (int16_t n : list) {
        a(l++) = n;
    }
    return a;
}

} // namespace

// A weight file's text read for a 2-2-1 and a 3-4-2 network.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const Array1<int16_t> small = sizes({2, 2, 1});
    static const Array1<int16_t> larger = sizes({3, 4, 2});
    const QString text = fuzzText(data, size);
    parseWeightText(text, small, 3);
    parseWeightText(text, larger, 3);
    return 0;
}
