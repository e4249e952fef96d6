#pragma once
// What a design-time property browser shows for the control's members: each member's description,
// whether it is listed at all, and the control's default event.

#include <optional>
#include <string_view>
#include <vector>

namespace tamarind {

struct MemberDescription {
  std::string_view name;
  std::string_view description;
  bool browsable = true;
};

// Every described member, in alphabetical order.
const std::vector<MemberDescription>& KestrelMemberDescriptions();
// The description of one member; nullopt for a member without one.
std::optional<MemberDescription> DescribeKestrelMember(std::string_view name);
// The event a designer opens first for the control.
inline constexpr std::string_view kKestrelDefaultEvent = "ItemClick";

}  // namespace tamarind
