// The text of a class skeleton (New Class) or of one more interface for a
// class (New Interface), optionally with the message bridge.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace codeloom {

enum class SkeletonKind {
  Class,      // factory function, class, instances, Create/Destroy, interface
  Interface,  // instances and the interface only, closed by "End Class"
};

// Returns one new GUID in registry form with braces; newGuidText in the tool.
using GuidSource = std::function<std::string()>;

// The GUID of the message bridge's iMessage interface, the same in every run.
inline constexpr const char* kMessageInterfaceGuid = "{2e0e23cf-6e19-4a88-a33c-2cca8397778f}";

// Builds the skeleton from the class name, the properties and methods texts
// (member specification) and the Messages flag. Every line ends with CR LF.
// A class takes two GUIDs, the class's before anything else and the
// interface's after the Destroy method; an interface takes one, first.
std::string buildSkeleton(SkeletonKind kind, std::string_view className,
                          std::string_view properties, std::string_view methods, bool messages,
                          const GuidSource& newGuid);

}  // namespace codeloom
