#include "engine/zone_matcher.h"

#include <bit>

namespace varnel {

ZoneMatcher::ZoneMatcher(const std::vector<std::string>* zones) : zones_(zones) {
  for (std::size_t z = 0; z < zones->size() && z < kBits; ++z) {
    const std::string& zone = (*zones)[z];
    const std::uint64_t bit = std::uint64_t{1} << z;
    if (zone.empty()) {
      empty_zones_ |= bit;
    } else {
      by_first_byte_[static_cast<unsigned char>(zone.front())] |= bit;
    }
  }
}

std::uint64_t ZoneMatcher::ZonesIn(std::string_view name) const {
  std::uint64_t held = empty_zones_;
  for (std::size_t i = 0; i < name.size(); ++i) {
    std::uint64_t candidates = by_first_byte_[static_cast<unsigned char>(name[i])] & ~held;
    while (candidates != 0) {
      const int z = std::countr_zero(candidates);
      candidates &= candidates - 1;
      const std::string& zone = (*zones_)[z];
      if (name.compare(i, zone.size(), zone) == 0) held |= std::uint64_t{1} << z;
    }
  }
  return held;
}

bool ZoneMatcher::Holds(std::string_view name, std::uint64_t held, std::size_t zone) const {
  if (zone < kBits) return (held >> zone) & 1;
  return name.find((*zones_)[zone]) != std::string_view::npos;
}

std::size_t ZoneMatcher::FirstZoneIn(std::string_view name) const {
  const std::uint64_t held = ZonesIn(name);
  if (held != 0) return static_cast<std::size_t>(std::countr_zero(held));
  for (std::size_t z = kBits; z < zones_->size(); ++z) {
    if (name.find((*zones_)[z]) != std::string_view::npos) return z;
  }
  return zones_->size();
}

}  // namespace varnel
