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

constexpr OneParam kLinear{kParamLinear, 1, 10}, kOnOff{kParamOnOff, 0, 1},
    kPercent{kParamPercent, 0, 100}, kFine{kParamLinearFine, -1, 1000}, kLog{kParamLog, 20, 20000},
    kDecibel{kParamDecibel, -60, 6}, kInteger{kParamInteger, 0, 2},
    kBeat{kParamBeatDivision, 0, 14}, kTime{kParamSyncTime, 10, 1000},
    kTimeSynced{kParamSyncTime, 10, 1000, true}, kRate{kParamSyncRate, 0.1f, 10},
    kRateSynced{kParamSyncRate, 0.1f, 10, true}, kTimeNorm{kParamSyncTimeNormalized, 10, 1000},
    kTimeNormSynced{kParamSyncTimeNormalized, 10, 1000, true},
    kRateNorm{kParamSyncRateNormalized, 0.1f, 10},
    kRateNormSynced{kParamSyncRateNormalized, 0.1f, 10, true}, kNote{kParamNote, 0, 127},
    kUnknown{static_cast<tq_paramTypes>(42), 0, 10};

inline std::unique_ptr<tq_paramManager> makeManager(const OneParam& p, float initial = 0.0f) {
    auto manager = std::make_unique<tq_paramManager>();
    manager->newParameter(0, "Parameter", "Param", "dB", p.minimum, p.maximum, initial, p.type);
    if (p.synced) manager->setHostSynced(0, true);
    return manager;
}
