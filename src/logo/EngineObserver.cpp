#include "logo/EngineObserver.h"

namespace zot {

void EngineObserver::labelInputAdded(int, const QString&, const QString&) {}
void EngineObserver::labelInputsRemoved() {}
void EngineObserver::labelTextChanged(int, const QString&) {}
void EngineObserver::errorAppended(const QString&) {}
void EngineObserver::errorsHidden() {}
void EngineObserver::captionChanged(const QString&) {}
void EngineObserver::viewSizeSet(int, int) {}
void EngineObserver::logoResized() {}
bool EngineObserver::refitCanFail() const {
    return false;
}
void EngineObserver::logoChanged() {}
void EngineObserver::outputControlsEnabled(bool) {}

} // namespace zot
