#include "engine/zone_matcher.h"

#include <bit>
#include <cstring>

namespace varnel {

ZoneMatcher::ZoneMatcher(const std::vector<std::string>* zones) : zones_(zones) {
  for (std::size_t z = 0; z < zones->size() && z < kBits; ++z) {
    const std::string& zone = (*zones)[z];
    const std::uint64_t bit = std::uint64_t{1} << z;
    if (zone.empty()) {
      empty_zones_ |= bit;
      continue;
    }
    by_first_byte_[static_cast<unsigned char>(zone.front())] |= bit;
    if (zone.size() == 1) {
      one_byte_zones_ |= bit;
    } else {
      by_second_byte_[static_cast<unsigned char>(zone[1])] |= bit;
    }
  }
  for (std::uint64_t& zones : by_second_byte_) zones |= one_byte_zones_;
  for (int b = 0; b < 256; ++b) {
    if (by_first_byte_[b] == 0) continue;
    if (only_first_byte_ >= 0) {
      only_first_byte_ = -1;
      break;
    }
    only_first_byte_ = b;
  }
}

std::uint64_t ZoneMatcher::ZonesIn(std::string_view name) const {
  std::uint64_t held = empty_zones_;
  // Zones that all start with one byte (typically "("): only the places holding it are tried.
  const bool one_byte = only_first_byte_ >= 0;
  const char only = static_cast<char>(only_first_byte_);
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (one_byte) {
      i = name.find(only, i);
      if (i == std::string_view::npos) break;
    }
    const std::uint64_t fitting_second_byte =
        i + 1 < name.size() ? by_second_byte_[static_cast<unsigned char>(name[i + 1])] : one_byte_zones_;
    std::uint64_t candidates = by_first_byte_[static_cast<unsigned char>(name[i])] & fitting_second_byte & ~held;
    while (candidates != 0) {
      const int z = std::countr_zero(candidates);
      candidates &= candidates - 1;
      const std::string& zone = (*zones_)[z];
      if (zone.size() <= name.size() - i && std::memcmp(name.data() + i, zone.data(), zone.size()) == 0) {
        held |= std::uint64_t{1} << z;
      }
    }
  }
  return held;
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
