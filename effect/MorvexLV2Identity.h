#pragma once

#include "framework/lv2/LV2Identity.h"

// How Morvex presents itself to LV2 hosts: its URIs, licence, library and
// the labels of the Stages settings.
extern const LV2Identity kMorvexLV2;
