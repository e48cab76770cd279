#include "layout.h"

namespace engine {

bool shapeIsAddressable(const int16_t *NN, int nl, int wdim2)
{
    if (nl < 1) {
        return false;
    }
    for (int l = 1; l <= nl; ++l) {
        if (NN[l - 1] < 0) {
            return false;
        }
        if (l >= 2 && wdim2 < NN[l - 2] + 1) {
            return false;
        }
    }
    return true;
}

} // namespace engine
