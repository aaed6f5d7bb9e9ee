#pragma once

#include <cstdint>

namespace GUI {

// Root of every view and bitmap: reference counted, created with one reference.
// [ui thread] for every operation.
class CBaseObject {
public:
    CBaseObject() = default;
    CBaseObject(const CBaseObject&) = delete;
    CBaseObject& operator=(const CBaseObject&) = delete;
    virtual ~CBaseObject() = default;

    // Drops one reference; the object is destroyed when none is left.
    virtual void forget();
    virtual void remember() { ++nbReference; }
    virtual void notify(CBaseObject* sender, const char* message);

    int32_t getNbReference() const { return nbReference; }

private:
    int32_t nbReference = 1;
};

} // namespace GUI
