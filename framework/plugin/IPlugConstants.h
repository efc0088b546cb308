#pragma once

// Fixed text widths, each including the terminating NUL. Everything that
// copies or formats into these widths truncates rather than overflows.
constexpr int MAX_PARAM_NAME_LEN = 32;
constexpr int MAX_PARAM_LABEL_LEN = 32;
constexpr int MAX_PARAM_GROUP_LEN = 32;
constexpr int MAX_PARAM_DISPLAY_LEN = 32;
constexpr int MAX_EFFECT_NAME_LEN = 128;
constexpr int MAX_PRESET_NAME_LEN = 256;
constexpr int MAX_HOST_NAME_LEN = 256;
// Room for "v65535.255.255D" and negative-major variants.
constexpr int MAX_VERSION_STR_LEN = 32;
