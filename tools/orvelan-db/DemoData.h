#pragma once

#include <cstdint>

namespace orvelan {

class Database;

struct DemoOptions {
    int patients = 2000;     // spread over the four patient registers
    std::uint32_t seed = 1;  // same seed, same database
};

// Fills an existing, freshly created database (all tables exist, OTDEL and SEX already have
// their fixed rows) with realistic synthetic data, in one transaction. Deterministic for a seed.
void fillDemo(Database &db, const DemoOptions &options);

}  // namespace orvelan
