#pragma once

namespace velmora {

enum class Direction { OneToTwo, TwoToOne }; // Location 1 to 2, Location 2 to 1
enum class Location { One, Two };

} // namespace velmora
