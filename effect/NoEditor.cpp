// The effect without an editor, for programs that only compute with it (build-time
// generators, fuzz targets).
#include "effect/OrvellaView.h"

OrvellaView* createOrvellaEditor(AudioEffect*) {
    return nullptr;
}
