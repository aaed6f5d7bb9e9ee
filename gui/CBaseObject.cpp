#include "gui/CBaseObject.h"

namespace GUI {

void CBaseObject::forget() {
    if (--nbReference == 0) delete this;
}

void CBaseObject::notify(CBaseObject*, const char*) {}

} // namespace GUI
