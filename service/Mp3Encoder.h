#pragma once

#include <optional>
#include <string>

#include "Synthesizer.h"

// Constant-bit-rate MPEG audio frames and nothing else (no ID3 or Info tag), so that the file is
// whole audio from its first byte. nullopt if the encoder refuses the input.
std::optional<std::string> EncodeMp3(const Pcm& pcm);
