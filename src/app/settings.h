// ToolSettings: the ten values the two input dialogs remember, and their
// file "settings.txt" in the current directory.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace codeloom {

class Platform;

// An ordered set of option names: keeps insertion order, refuses a name it
// already holds (exact, case-sensitive), and accepts the empty name.
class OptionSet {
 public:
  OptionSet() = default;
  OptionSet(std::initializer_list<std::string> names);

  // Adds name unless present; returns whether it was added.
  bool add(std::string_view name);
  bool contains(std::string_view name) const;
  void clear();
  const std::vector<std::string>& names() const { return names_; }
  bool empty() const { return names_.empty(); }
  bool operator==(const OptionSet& other) const { return names_ == other.names_; }

 private:
  std::vector<std::string> names_;
  std::unordered_set<std::string> index_;
};

struct ToolSettings {
  std::string templateName;
  std::string templateAuthor;
  std::string templateTitle;
  std::string saveFolder;
  std::string className;
  std::string classProperties;
  std::string classMethods;
  int32_t classMessages = 0;  // 0 off, anything else on
  OptionSet templateOptions;
  std::string templateDescription;  // lines separated by CR LF

  bool operator==(const ToolSettings& other) const = default;
};

inline constexpr const char* kSettingsFileName = "settings.txt";

// The ten-line file text of a record. A CR LF in the description becomes
// 0x7F; so does a lone CR, which the line format could not otherwise carry.
std::string formatSettings(const ToolSettings& settings);

// Replaces every field with the values of a settings file's bytes. Missing
// lines read as empty; lines after the tenth are ignored.
void parseSettings(std::string_view bytes, ToolSettings& settings);

// Reads "settings.txt" into settings when the file exists; an unreadable
// file reads as empty.
void loadSettings(Platform& platform, ToolSettings& settings);

// Writes the whole record to "settings.txt". The old file is replaced only
// once the new one is written in full; on failure it stays as it was.
void saveSettings(Platform& platform, const ToolSettings& settings);

}  // namespace codeloom
