#include "effect/FactoryPresets.h"

#include <algorithm>

namespace {
constexpr MIDIassignment kNoAssignment = {0, 0};

constexpr bool setsEveryParameterInOrder(const FactoryPreset& preset) {
    for (int k = 0; k < kNumParams; ++k)
        if (preset.settings[k].parameter != k) return false;
    return true;
}
} // namespace

// clang-format off
constexpr FactoryPreset kPresetData[kNumPrograms] = {
    {"Slow Burn",
     {
      {kGen1Rate, 1.840037f},        {kGen1RateCtrl, 0},            {kGen1Shape, 0},
      {kGen2Rate, 2.631506f},        {kGen2Shape, 0},               {kPhaserADepth, 9.999999f},
      {kPhaserAFeedback, 7.605414f}, {kPhaserASweepCtrl, 0},        {kPhaserBInput, 2},
      {kPhaserBDepth, 8.843495f},    {kPhaserBFeedback, 7.826989f}, {kPhaserBSweepCtrl, 1},
      {kPhaserBSweepSync, 0},        {kPhaserAActive, 1},           {kPhaserBActive, 1},
      {kSweepControl, 0}
     },
     kNoAssignment},
    {"PanPhase",
     {
      {kGen1Rate, 3.283285f},        {kGen1RateCtrl, 0},            {kGen1Shape, 0},
      {kGen2Rate, 1},                {kGen2Shape, 0},               {kPhaserADepth, 9.999999f},
      {kPhaserAFeedback, 0},         {kPhaserASweepCtrl, 0},        {kPhaserBInput, 0},
      {kPhaserBDepth, 10},           {kPhaserBFeedback, 0},         {kPhaserBSweepCtrl, 0},
      {kPhaserBSweepSync, 1},        {kPhaserAActive, 1},           {kPhaserBActive, 1},
      {kSweepControl, 0}
     },
     kNoAssignment},
    {"My, how pleasant!",
     {
      {kGen1Rate, 2.876998f},        {kGen1RateCtrl, 0},            {kGen1Shape, 0},
      {kGen2Rate, 3.195149f},        {kGen2Shape, 0},               {kPhaserADepth, 7.614498f},
      {kPhaserAFeedback, 2.130696f}, {kPhaserASweepCtrl, 0},        {kPhaserBInput, 1},
      {kPhaserBDepth, 4.173147f},    {kPhaserBFeedback, 5.702608f}, {kPhaserBSweepCtrl, 1},
      {kPhaserBSweepSync, 0},        {kPhaserAActive, 1},           {kPhaserBActive, 1},
      {kSweepControl, 0}
     },
     kNoAssignment},
    {"Big And Bold",
     {
      {kGen1Rate, 2.420468f},        {kGen1RateCtrl, 0},            {kGen1Shape, 0},
      {kGen2Rate, 2.771003f},        {kGen2Shape, 0},               {kPhaserADepth, 10},
      {kPhaserAFeedback, 9.272081f}, {kPhaserASweepCtrl, 0},        {kPhaserBInput, 2},
      {kPhaserBDepth, 10},           {kPhaserBFeedback, 9.179025f}, {kPhaserBSweepCtrl, 1},
      {kPhaserBSweepSync, 0},        {kPhaserAActive, 1},           {kPhaserBActive, 1},
      {kSweepControl, 0}
     },
     kNoAssignment},
    {"Set Phasors On Stun",
     {
      {kGen1Rate, 5.886405f},        {kGen1RateCtrl, 0},            {kGen1Shape, 1},
      {kGen2Rate, 5.29615f},         {kGen2Shape, 1},               {kPhaserADepth, 4.44884f},
      {kPhaserAFeedback, 10},        {kPhaserASweepCtrl, 0},        {kPhaserBInput, 2},
      {kPhaserBDepth, 3.752286f},    {kPhaserBFeedback, 10},        {kPhaserBSweepCtrl, 0},
      {kPhaserBSweepSync, 1},        {kPhaserAActive, 1},           {kPhaserBActive, 1},
      {kSweepControl, 0}
     },
     kNoAssignment},
    {"Stutter",
     {
      {kGen1Rate, 7.243525f},        {kGen1RateCtrl, 0},            {kGen1Shape, 0},
      {kGen2Rate, 8.605994f},        {kGen2Shape, 0},               {kPhaserADepth, 7.674162f},
      {kPhaserAFeedback, 5.151319f}, {kPhaserASweepCtrl, 0},        {kPhaserBInput, 2},
      {kPhaserBDepth, 8.082373f},    {kPhaserBFeedback, 1.365551f}, {kPhaserBSweepCtrl, 1},
      {kPhaserBSweepSync, 0},        {kPhaserAActive, 1},           {kPhaserBActive, 1},
      {kSweepControl, 0}
     },
     kNoAssignment},
    {"End To End",
     {
      {kGen1Rate, 2.600426f},        {kGen1RateCtrl, 0},            {kGen1Shape, 0},
      {kGen2Rate, 4.679215f},        {kGen2Shape, 0},               {kPhaserADepth, 10},
      {kPhaserAFeedback, 5.196835f}, {kPhaserASweepCtrl, 0},        {kPhaserBInput, 1},
      {kPhaserBDepth, 10},           {kPhaserBFeedback, 5.07856f},  {kPhaserBSweepCtrl, 1},
      {kPhaserBSweepSync, 0},        {kPhaserAActive, 1},           {kPhaserBActive, 1},
      {kSweepControl, 0}
     },
     kNoAssignment},
    {"Alien Life Form",
     {
      {kGen1Rate, 10},               {kGen1RateCtrl, 0},            {kGen1Shape, 0},
      {kGen2Rate, 10},               {kGen2Shape, 1},               {kPhaserADepth, 2.5f},
      {kPhaserAFeedback, 10},        {kPhaserASweepCtrl, 0},        {kPhaserBInput, 1},
      {kPhaserBDepth, 1},            {kPhaserBFeedback, 9.999999f}, {kPhaserBSweepCtrl, 1},
      {kPhaserBSweepSync, 0},        {kPhaserAActive, 1},           {kPhaserBActive, 1},
      {kSweepControl, 0}
     },
     kNoAssignment},
    {"Mod Wheel to CC",
     {
      {kGen1Rate, 1},                {kGen1RateCtrl, 1},            {kGen1Shape, 0},
      {kGen2Rate, 2},                {kGen2Shape, 0},               {kPhaserADepth, 9.917015f},
      {kPhaserAFeedback, 3.614616f}, {kPhaserASweepCtrl, 1},        {kPhaserBInput, 2},
      {kPhaserBDepth, 10},           {kPhaserBFeedback, 4.140793f}, {kPhaserBSweepCtrl, 0},
      {kPhaserBSweepSync, 1},        {kPhaserAActive, 1},           {kPhaserBActive, 1},
      {kSweepControl, 0.165354f}
     },
     {kSweepControl, 1}},
    {"Dronez",
     {
      {kGen1Rate, 1},                {kGen1RateCtrl, 0},            {kGen1Shape, 0},
      {kGen2Rate, 1},                {kGen2Shape, 0},               {kPhaserADepth, 5.5f},
      {kPhaserAFeedback, 10},        {kPhaserASweepCtrl, 0},        {kPhaserBInput, 0},
      {kPhaserBDepth, 5.57342f},     {kPhaserBFeedback, 10},        {kPhaserBSweepCtrl, 0},
      {kPhaserBSweepSync, 1},        {kPhaserAActive, 1},           {kPhaserBActive, 1},
      {kSweepControl, 1}
     },
     kNoAssignment},
};
// clang-format on

static_assert(std::ranges::all_of(kPresetData, setsEveryParameterInOrder));
