#pragma once

// Tempo limits of the synced chop: a host tempo outside them is taken as the
// nearest limit, and the host tool refuses a --tempo outside them.
constexpr double kChopperMinTempo = 1.0;
constexpr double kChopperMaxTempo = 1000.0;
