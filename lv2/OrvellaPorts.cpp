#include "lv2/OrvellaPorts.h"

#include <lv2/atom/util.h>

#include <cctype>
#include <cmath>
#include <cstring>

namespace OrvellaPorts {
namespace {

// Only read once built: the conversions below never store into it.
OrvellaParameterManager& rows() {
    static OrvellaParameterManager manager;
    return manager;
}

} // namespace

float minimum(int parameter) {
    return rows().getMinimumValue(parameter);
}

float maximum(int parameter) {
    return rows().getMaximumValue(parameter);
}

float defaultValue(int parameter) {
    return rows().getDefaultValue(parameter);
}

float portValue(int parameter, float hostValue) {
    return rows().naturalValueFromVSTvalue(parameter, hostValue);
}

float hostValue(int parameter, float portValue) {
    const float natural = std::isnan(portValue) ? defaultValue(parameter) : portValue;
    // A value beyond the range gives a host value beyond 0..1; the effect rounds lists and
    // switches to their whole values itself.
    return std::fmin(std::fmax(rows().VSTvalueFromNaturalValue(parameter, natural), 0.0f), 1.0f);
}

std::string symbol(int parameter) {
    std::string name = rows().getName(parameter);
    std::string result;
    for (const char c : name) {
        if (std::isalnum(static_cast<unsigned char>(c)))
            result += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        else if (!result.empty() && result.back() != '_')
            result += '_';
    }
    return result;
}

Urids::Urids(const LV2_URID_Map* map)
    : atomObject(map->map(map->handle, LV2_ATOM__Object)),
      atomInt(map->map(map->handle, LV2_ATOM__Int)),
      atomEventTransfer(map->map(map->handle, LV2_ATOM__eventTransfer)),
      learn(map->map(map->handle, kLearnUri)), parameter(map->map(map->handle, kParameterUri)) {}

LearnMessage learnMessage(const Urids& urids, int parameter) {
    LearnMessage m{};
    m.object.atom.size = sizeof m - sizeof m.object.atom - sizeof m.padding;
    m.object.atom.type = urids.atomObject;
    m.object.body.otype = urids.learn;
    m.property.key = urids.parameter;
    m.property.value.size = sizeof m.parameter;
    m.property.value.type = urids.atomInt;
    m.parameter = parameter;
    return m;
}

int learnedParameter(const Urids& urids, const LV2_Atom* atom, uint32_t size) {
    if (size < sizeof(LV2_Atom_Object) || atom->type != urids.atomObject) return -1;
    if (atom->size > size - sizeof(LV2_Atom) || atom->size < sizeof(LV2_Atom_Object_Body))
        return -1;
    const auto* object = reinterpret_cast<const LV2_Atom_Object*>(atom);
    if (object->body.otype != urids.learn) return -1;
    // Properties follow the body, each padded to eight bytes; none may reach past the object.
    const auto* bytes = reinterpret_cast<const uint8_t*>(&object->body);
    uint32_t offset = sizeof(LV2_Atom_Object_Body);
    while (offset + sizeof(LV2_Atom_Property_Body) <= atom->size) {
        LV2_Atom_Property_Body property;
        std::memcpy(&property, bytes + offset, sizeof property);
        const uint32_t valueAt = offset + sizeof property;
        if (property.value.size > atom->size - valueAt) return -1;
        if (property.key == urids.parameter) {
            if (property.value.type != urids.atomInt || property.value.size != sizeof(int32_t))
                return -1;
            int32_t value;
            std::memcpy(&value, bytes + valueAt, sizeof value);
            return value >= 0 && value < kNumParams ? value : -1;
        }
        offset = valueAt + lv2_atom_pad_size(property.value.size);
    }
    return -1;
}

} // namespace OrvellaPorts
