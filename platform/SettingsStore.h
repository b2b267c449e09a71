#pragma once

#include <map>
#include <string>
#include <tuple>

namespace strikora {

// A string per application, section and key (the last play method and skill level).
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  [[nodiscard]] virtual std::string GetSetting(const std::string& app, const std::string& section,
                                               const std::string& key,
                                               const std::string& fallback) const = 0;
  virtual void SaveSetting(const std::string& app, const std::string& section,
                           const std::string& key, const std::string& value) = 0;
};

class MemorySettings final : public SettingsStore {
 public:
  [[nodiscard]] std::string GetSetting(const std::string& app, const std::string& section,
                                       const std::string& key,
                                       const std::string& fallback) const override {
    const auto it = values_.find({app, section, key});
    return it == values_.end() ? fallback : it->second;
  }
  void SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                   const std::string& value) override {
    values_[{app, section, key}] = value;
  }

 private:
  std::map<std::tuple<std::string, std::string, std::string>, std::string> values_;
};

}  // namespace strikora
