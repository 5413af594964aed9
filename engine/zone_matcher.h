#ifndef VARNEL_ENGINE_ZONE_MATCHER_H_
#define VARNEL_ENGINE_ZONE_MATCHER_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace varnel {

// Tells which zones of a zone list a name holds (as substrings; an empty zone is in every name), reading
// the name once instead of once per zone. The zone list must outlive the matcher and stay unchanged.
class ZoneMatcher {
 public:
  ZoneMatcher() = default;
  explicit ZoneMatcher(const std::vector<std::string>* zones);

  // True when `name` holds zone `zone`, given `held`, the result of ZonesIn(name).
  bool Holds(std::string_view name, std::uint64_t held, std::size_t zone) const {
    if (zone < kBits) return (held >> zone) & 1;
    return name.find((*zones_)[zone]) != std::string_view::npos;
  }
  // The zones `name` holds, as bits (bit z for zone z); only the first 64 zones have a bit.
  std::uint64_t ZonesIn(std::string_view name) const;
  // The index of the first zone, in list order, that `name` holds; the number of zones when none.
  std::size_t FirstZoneIn(std::string_view name) const;

 private:
  static constexpr std::size_t kBits = 64;
  const std::vector<std::string>* zones_ = nullptr;
  std::uint64_t empty_zones_ = 0;                      // the empty zones among the first 64
  std::array<std::uint64_t, 256> by_first_byte_ = {};  // the zones among the first 64 starting with each byte
  // The zones among the first 64 whose second byte is each byte, and with them those of one byte.
  std::array<std::uint64_t, 256> by_second_byte_ = {};
  std::uint64_t one_byte_zones_ = 0;  // the zones of one byte among the first 64
  int only_first_byte_ = -1;          // the first byte of every non-empty zone among the first 64 when they share one
};

}  // namespace varnel

#endif  // VARNEL_ENGINE_ZONE_MATCHER_H_
