#pragma once

#include <string>
#include <vector>

// Non-interleaved audio: one vector of samples per channel.
using Channels = std::vector<std::vector<float>>;

// A deterministic test signal: noise and a tone per channel, peaks below 1.
Channels TestSignal(int channels, double rate, double seconds);
float PeakOf(const Channels& signal);
// "" when every sample is finite and within +-1, else the first that is not.
std::string CheckRange(const Channels& signal);
// "" when equal bit for bit, else `what` and the first sample that differs.
std::string Compare(const Channels& a, const Channels& b, const std::string& what);
