// The picture loader on any file: BMP through our reader, PNG, GIF and JPEG
// through Qt's, within a picture budget that must never be crossed.
#include "FuzzSupport.h"

#include "imaging/ImageLoader.h"

#include <cstdlib>

using namespace zot;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::initQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const QString path = fuzz::scratchFolder() + QStringLiteral("/picture");
    fuzz::writeFile(path, fuzz::bytesOf(data, size));
    PictureBudget budget(qint64(1) * 1024 * 1024);
    const Bitmap picture = loadPicture(path, budget);
    if (budget.used() > budget.total() || budget.used() != pictureBytes(picture))
        std::abort();
    // A second picture draws from what is left.
    const Bitmap again = loadPicture(path, budget);
    if (budget.used() > budget.total() ||
        budget.used() != pictureBytes(picture) + pictureBytes(again))
        std::abort();
    return 0;
}
