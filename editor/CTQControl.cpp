#include "editor/CTQControl.h"

#include <algorithm>

CTQControl::CTQControl(const GUI::CRect& size, GUI::CControlListener* listener, long t,
                       GUI::CBitmap* background)
    : CControl(size, listener, t, background) {}

void CTQControl::addTag(long t) {
    if (t == tag || std::find(extraTags.begin(), extraTags.end(), t) != extraTags.end()) return;
    extraTags.push_back(t);
}

std::vector<long> CTQControl::getTags() const {
    std::vector<long> tags{tag};
    tags.insert(tags.end(), extraTags.begin(), extraTags.end());
    return tags;
}
