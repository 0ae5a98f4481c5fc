// The names the LV2 front-end gives itself and its messages. They are
// published in the bundle's Turtle files and must never change: hosts keep
// them in their sessions.
#pragma once

namespace Lv2Uris {

#define TQ_LV2_PLUGIN "https://www.corvale.com/plugins/tq-spectrum"

constexpr const char* kPlugin = TQ_LV2_PLUGIN;
constexpr const char* kUi = TQ_LV2_PLUGIN "#ui";

// DSP to UI: the bin powers of the frames analysed since the last message,
// and the plug-in's status (axis, sample rate).
constexpr const char* kFrame = TQ_LV2_PLUGIN "#Frame";
constexpr const char* kPowers = TQ_LV2_PLUGIN "#powers";
constexpr const char* kStatus = TQ_LV2_PLUGIN "#Status";
constexpr const char* kAxis = TQ_LV2_PLUGIN "#axis";
constexpr const char* kSampleRate = TQ_LV2_PLUGIN "#sampleRate";
// UI to DSP: the user's axis, and a request for the status.
constexpr const char* kAxisChoice = TQ_LV2_PLUGIN "#AxisChoice";
constexpr const char* kStatusRequest = TQ_LV2_PLUGIN "#StatusRequest";

#undef TQ_LV2_PLUGIN

} // namespace Lv2Uris
