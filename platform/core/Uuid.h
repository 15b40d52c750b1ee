// UUIDs from their text form and from 16 bytes.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace qor::core {

class Uuid {
  public:
    using Bytes = std::array<std::uint8_t, 16>;

    constexpr Uuid() = default;
    constexpr explicit Uuid(const Bytes& bytes) : bytes_(bytes) {}

    // Accepts the 8-4-4-4-12 hexadecimal form, in either letter case, and nothing else.
    static std::optional<Uuid> fromString(std::string_view text);
    static Uuid fromBytes(std::span<const std::uint8_t, 16> bytes);

    const Bytes& bytes() const { return bytes_; }
    // The canonical upper-case 8-4-4-4-12 form.
    std::string toString() const;

    bool operator==(const Uuid&) const = default;
    auto operator<=>(const Uuid&) const = default;

  private:
    Bytes bytes_{};
};

}  // namespace qor::core
