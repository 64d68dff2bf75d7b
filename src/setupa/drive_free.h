// Free space of a drive for the temporary-space rule.
#pragma once
#include <cstdint>

// Kilobytes available to the user on drive (0 current, 1 A:, 3 C:, ... 26 Z:);
// 0 when the drive cannot be queried; INT32_MAX when the count does not fit.
std::int32_t DriveFreeKB(std::uint8_t drive);
