// The settings file on any bytes: reading never fails, and a saved setting reads back exactly,
// without changing any other setting the file held.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/Workspace.h"
#include "platform/sdl/IniSettingsStore.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const strikora::fuzz::Workspace ws;
  FuzzedDataProvider in(data, size);
  const std::string app = in.ConsumeRandomLengthString(24);
  const std::string section = in.ConsumeRandomLengthString(24);
  const std::string key = in.ConsumeRandomLengthString(24);
  const std::string value = in.ConsumeRandomLengthString(48);
  const std::filesystem::path file = ws.Root() / "settings.ini";
  strikora::fuzz::WriteFile(file, in.ConsumeRemainingBytesAsString());

  strikora::sdl::IniSettingsStore store(file);
  const std::string missing = "\x01(missing)";
  const std::string play = store.GetSetting("KORVELDA", "Menu", "Play", missing);
  const std::string skill = store.GetSetting("KORVELDA", "Menu", "Skill", missing);
  // A setting is a name the game gives: never an empty key.
  if (key.empty()) return 0;
  store.SaveSetting(app, section, key, value);
  STRIKORA_FUZZ_CHECK(store.GetSetting(app, section, key, missing) == value);
  const bool same = app == "KORVELDA" && section == "Menu";
  if (!(same && key == "Play")) {
    STRIKORA_FUZZ_CHECK(store.GetSetting("KORVELDA", "Menu", "Play", missing) == play);
  }
  if (!(same && key == "Skill")) {
    STRIKORA_FUZZ_CHECK(store.GetSetting("KORVELDA", "Menu", "Skill", missing) == skill);
  }
  return 0;
}
