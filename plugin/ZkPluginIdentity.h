// The plug-in's identity as a VST 2.4 host sees it.

#pragma once

#include "vst/AEffect.h"

namespace ZkPluginIdentity
{
constexpr const char* productName = "ZkOstinel";
constexpr const char* vendorName = "TELQUARLAB";
constexpr const char* versionText = "1.0.0";
constexpr VstInt32 version = 100;         // version and vendor version
constexpr VstInt32 uniqueId = 0x5A6B4F73; // 'ZkOs'
constexpr int numChannels = 2;            // inputs and outputs at start
} // namespace ZkPluginIdentity
