#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <sstream>

#include "OpenAlTestTones.h"
#include "platform/PlatformError.h"
#include "platform/sdl/IniSettingsStore.h"

namespace strikora::sdl {
namespace {

using testing::TempDir;

std::string Contents(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class SdlSettingsStoreTest : public ::testing::Test {
 protected:
  TempDir folder;
  std::filesystem::path file = folder / "strikora" / "settings.ini";
};

TEST_F(SdlSettingsStoreTest, SavedSettingsReadBackPerApplicationSectionAndKey) {
  {
    IniSettingsStore store(file);
    EXPECT_EQ(store.GetSetting("Strikora", "Options", "Skill", "3"), "3");  // no file yet
    store.SaveSetting("Strikora", "Options", "Skill", "5");
    store.SaveSetting("Strikora", "Options", "PlayMethod", "2");
    store.SaveSetting("Strikora", "Sound", "Skill", "other section");
    store.SaveSetting("Other", "Options", "Skill", "other app");
    store.SaveSetting("Strikora", "Options", "Skill", "4");  // replaced, not added
  }
  const IniSettingsStore reopened(file);
  EXPECT_EQ(reopened.GetSetting("Strikora", "Options", "Skill", ""), "4");
  EXPECT_EQ(reopened.GetSetting("Strikora", "Options", "PlayMethod", ""), "2");
  EXPECT_EQ(reopened.GetSetting("Strikora", "Sound", "Skill", ""), "other section");
  EXPECT_EQ(reopened.GetSetting("Other", "Options", "Skill", ""), "other app");
  EXPECT_EQ(reopened.GetSetting("Strikora", "Options", "Missing", "fallback"), "fallback");

  const std::string text = Contents(file);
  EXPECT_NE(text.find("[Strikora/Options]\nPlayMethod=2\nSkill=4\n"), std::string::npos) << text;
  // Written through a temporary file that does not stay behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(file.parent_path()), {}), 1);
}

TEST_F(SdlSettingsStoreTest, AwkwardNamesAndValuesComeBackUnchanged) {
  IniSettingsStore store(file);
  const std::string value = " two\nlines = [odd] ; # \\x41 ";
  store.SaveSetting("App/Name", "Sec]tion", "key=with;equals", value);
  store.SaveSetting("App", "Name/Sec]tion", "key=with;equals", "a different place");
  EXPECT_EQ(store.GetSetting("App/Name", "Sec]tion", "key=with;equals", ""), value);
  EXPECT_EQ(store.GetSetting("App", "Name/Sec]tion", "key=with;equals", ""), "a different place");
}

TEST_F(SdlSettingsStoreTest, AGarbledFileIsReadForWhatItHoldsAndNeverFails) {
  std::filesystem::create_directories(file.parent_path());
  {
    std::ofstream out(file, std::ios::binary);
    out << "Skill=1\n"                     // before any section
        << "[no slash here]\nSkill=2\n"    // not a section of ours
        << "[Strikora/Options\nSkill=3\n"  // unclosed
        << std::string("\0\xff\xfe garbage\n", 13) << "=nokey\n"
        << "  [ Strikora / Options ]  \r\n"
        << "  PlayMethod = 2 \r\n"
        << "; a comment=1\n"
        << "no equals sign\n";
  }
  IniSettingsStore store(file);
  EXPECT_EQ(store.GetSetting("Strikora", "Options", "Skill", "none"), "none");
  EXPECT_EQ(store.GetSetting("Strikora", "Options", "PlayMethod", ""), "2");
  // Saving over it keeps what could be read.
  store.SaveSetting("Strikora", "Options", "Skill", "5");
  EXPECT_EQ(IniSettingsStore(file).GetSetting("Strikora", "Options", "PlayMethod", ""), "2");

  // A folder where the file should be: reading still works, saving says why it failed.
  const IniSettingsStore blocked(folder.Path());
  EXPECT_EQ(blocked.GetSetting("Strikora", "Options", "Skill", "3"), "3");
  IniSettingsStore unwritable(folder / "settings.ini" / "is" / "a" / "file");
  { std::ofstream(folder / "settings.ini") << "x"; }
  try {
    unwritable.SaveSetting("Strikora", "Options", "Skill", "5");
    ADD_FAILURE() << "saved under a plain file";
  } catch (const PlatformError& e) {
    EXPECT_EQ(e.Code(), ErrorCode::FileAccess);
  }
}

TEST_F(SdlSettingsStoreTest, TheFileLivesInTheUsersConfigurationFolder) {
  const char* saved = std::getenv("XDG_CONFIG_HOME");
  const std::string restore = saved != nullptr ? saved : "";
  setenv("XDG_CONFIG_HOME", folder.Path().c_str(), 1);
  EXPECT_EQ(IniSettingsStore::DefaultFile(), folder / "strikora" / "settings.ini");
  unsetenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  if (home != nullptr && *home != '\0') {
    EXPECT_EQ(IniSettingsStore::DefaultFile(),
              std::filesystem::path(home) / ".config" / "strikora" / "settings.ini");
  }
  if (saved != nullptr) setenv("XDG_CONFIG_HOME", restore.c_str(), 1);
}

}  // namespace
}  // namespace strikora::sdl
