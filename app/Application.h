#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "app/ErrorLog.h"
#include "app/fSplash.h"
#include "audio/Folders.h"
#include "audio/NameSpeech.h"
#include "audio/SoundEngine.h"
#include "commentary/Commentary.h"
#include "game/Game.h"
#include "menus/NewPlayerWizard.h"
#include "menus/fMain.h"
#include "menus/fOptions.h"
#include "menus/fSelPlayMethod.h"
#include "menus/fSelPlayers.h"
#include "menus/fSelSkill.h"
#include "menus/fStats.h"
#include "menus/fViewPlayers.h"
#include "platform/Platform.h"
#include "platform/PlatformError.h"
#include "players/Roster.h"
#include "screen/ScreenModel.h"
#include "session/GameSession.h"

namespace strikora {

// Thrown by the exit item to leave every loop on the stack at once; caught where the program
// started. Not a std::exception, so that no failure trap on the way can swallow it.
struct ProgramEnded {
  int Status = 0;
};

// The whole game on one desktop: builds every module, wires them together and runs the entry
// procedure, from the first silence to the main menu and back out through its exit item.
class Application final : public MainMenuHost {
 public:
  Application(Platform& platform, const std::filesystem::path& dataFolder,
              const std::filesystem::path& packFolder);
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;
  ~Application() override;

  // The entry procedure; returns the program's exit status when the player leaves.
  int Run();

  // Main-menu items.
  void StartGame() override { game_->StartGame(); }
  void CreatePlayer() override { wizard_->CreatePlayer(); }
  void ShowViewPlayers() override { strikora::ShowViewPlayers(*main_, *viewPlayers_); }
  void ShowOptions() override { strikora::ShowOptions(*main_, *options_); }
  [[noreturn]] void ExitProgram() override;

  // Today's bowlers, as the game start asks for them: nobody chosen yet, the list shown
  // modally; true when confirmed with at least one bowler, false when left with Escape.
  [[nodiscard]] bool ChooseTodaysPlayers();

  // The packs in the order they are unpacked, with their folders.
  void UnpackSoundPacks();

  [[nodiscard]] SoundEngine& Engine() { return engine_; }
  [[nodiscard]] const Folders& GetFolders() const { return folders_; }
  [[nodiscard]] Roster& Players() { return roster_; }
  [[nodiscard]] GameSession& Session() { return session_; }
  [[nodiscard]] fMain& MainMenu() { return *main_; }
  [[nodiscard]] fSplash& Splash() { return *splash_; }
  [[nodiscard]] ErrorLog& Log() { return log_; }
  [[nodiscard]] NameSpeech& Names() { return names_; }
  [[nodiscard]] NewPlayerWizard& Wizard() { return *wizard_; }
  // The menus before a game; each sets Session().MenuAccepted when it closes.
  [[nodiscard]] fSelPlayers& SelPlayers() { return *selPlayers_; }
  [[nodiscard]] fSelPlayMethod& SelPlayMethod() { return *selPlayMethod_; }
  [[nodiscard]] fSelSkill& SelSkill() { return *selSkill_; }
  [[nodiscard]] fViewPlayers& ViewPlayers() { return *viewPlayers_; }
  [[nodiscard]] fStats& Stats() { return *stats_; }
  [[nodiscard]] fOptions& Options() { return *options_; }
  [[nodiscard]] Game& TheGame() { return *game_; }
  [[nodiscard]] ScreenModel& Screen() { return screen_; }

 private:
  // A failure at start-up. Before the play folder is unpacked the buzzer cannot sound yet, so
  // only the record is written; false then.
  bool LogStartupError(const std::filesystem::path& where);
  void LogStartupError(const std::filesystem::path& where, ErrorCode code,
                       const std::string& description);
  // False, after telling the player, when the data folder cannot be made or written.
  [[nodiscard]] bool MakeDataFolders();
  // Loads the roster and logs what it finds damaged, keeping every bowler it can read.
  void LoadRoster();
  void LogRosterDamage(const std::string& description);
  // The player's volumes, clear speech and headphones, as the settings file keeps them.
  void ApplySoundOptions();

  Platform& platform_;
  Folders folders_;
  SoundEngine engine_;
  ErrorLog log_;
  Roster roster_;
  GameSession session_;
  NameSpeech names_;
  Commentary commentary_;
  std::unique_ptr<fSplash> splash_;
  std::unique_ptr<fMain> main_;
  std::unique_ptr<NewPlayerWizard> wizard_;
  std::unique_ptr<fSelPlayers> selPlayers_;
  std::unique_ptr<fStats> stats_;
  std::unique_ptr<fViewPlayers> viewPlayers_;
  std::unique_ptr<fSelPlayMethod> selPlayMethod_;
  std::unique_ptr<fSelSkill> selSkill_;
  std::unique_ptr<fOptions> options_;
  std::unique_ptr<Game> game_;
  ScreenModel screen_;  // last: it follows the others, and stops first
};

}  // namespace strikora
