#pragma once

#include "params/tq_paramManager.h"

#include <memory>

// One parameter at index 0 of a fresh manager.
struct OneParam {
    tq_paramTypes type;
    float minimum;
    float maximum;
    bool synced = false;
};

inline std::unique_ptr<tq_paramManager> makeManager(const OneParam& p, float initial = 0.0f) {
    auto manager = std::make_unique<tq_paramManager>();
    manager->newParameter(0, "Parameter", "Param", "dB", p.minimum, p.maximum, initial, p.type);
    if (p.synced) manager->setHostSynced(0, true);
    return manager;
}
