#include "imaging/PictureBudget.h"

namespace zot {

bool PictureBudget::take(qint64 bytes) {
    if (!fits(bytes))
        return false;
    used_ += bytes;
    return true;
}

} // namespace zot
