#include "app/Application.h"

#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <exception>
#include <string>
#include <system_error>

#include "audio/SoundMix.h"
#include "audio/SoundPack.h"
#include "platform/PlatformError.h"

namespace strikora {

Application::Application(Platform& platform, const std::filesystem::path& dataFolder,
                         const std::filesystem::path& packFolder)
    : platform_(platform),
      folders_(Folders::Make(dataFolder, packFolder)),
      engine_(platform, folders_),
      log_(folders_.DataFolder / "qbxerr.log", folders_.PlayFolder / "buzzer.wav", platform.Time,
           platform.Trace, engine_),
      roster_(folders_.PlayersFile, folders_.DataFolder, folders_.NamesFolder),
      names_(engine_, roster_),
      commentary_(engine_, roster_, session_, names_),
      splash_(std::make_unique<fSplash>(engine_)),
      main_(std::make_unique<fMain>(engine_, *this, session_)),
      wizard_(std::make_unique<NewPlayerWizard>(engine_, roster_, *main_)),
      selPlayers_(std::make_unique<fSelPlayers>(engine_, roster_, names_, session_)),
      stats_(std::make_unique<fStats>(engine_, roster_, names_)),
      viewPlayers_(std::make_unique<fViewPlayers>(engine_, roster_, names_, *stats_)),
      selPlayMethod_(std::make_unique<fSelPlayMethod>(engine_, session_)),
      selSkill_(std::make_unique<fSelSkill>(engine_, session_)),
      options_(std::make_unique<fOptions>(engine_)),
      game_(std::make_unique<Game>(engine_, roster_, session_, commentary_, names_,
                                   GameWindows{*main_, *selPlayers_, *selPlayMethod_, *selSkill_})),
      screen_(platform, roster_, session_, folders_.SoundsFolder) {
  // The words shown for each clip lie beside the packs.
  screen_.Words().Load(folders_.PackFolder / "words.txt");
  screen_.SetLane(&game_->Lane());
  engine_.SetErrorReporter(&log_);
  platform_.Windows.SetErrorReporter(&log_);
  ApplySoundOptions();
  // Closing the window ends the game from any screen, as the exit item does.
  platform_.Windows.SetQuitHandler([this] { ExitProgram(); });
}

Application::~Application() {
  platform_.Windows.SetQuitHandler(nullptr);
  platform_.Windows.SetErrorReporter(nullptr);
  engine_.SetErrorReporter(nullptr);
}

void Application::ApplySoundOptions() {
  const MixSettings mix = LoadMixSettings(platform_.Settings);
  if (platform_.Mix.Apply(mix) || !mix.Headphones) return;
  // Said once, in the log only: the game plays on in stereo, as it always could.
  try {
    throw PlatformError(ErrorCode::AudioFailure, kNoHeadphones3D);
  } catch (const PlatformError&) {
    log_.Record("Headphones", ErrorInfo::FromCurrentException());
  }
}

bool Application::LogStartupError(const std::filesystem::path& where) {
  std::error_code ec;
  if (std::filesystem::exists(folders_.PlayFolder / "buzzer.wav", ec)) {
    log_.LogError(where.string(), ErrorInfo::FromCurrentException());
    return true;
  }
  log_.Record(where.string(), ErrorInfo::FromCurrentException());
  return false;
}

void Application::LogStartupError(const std::filesystem::path& where, ErrorCode code,
                                  const std::string& description) {
  try {
    throw PlatformError(code, description);
  } catch (const PlatformError&) {
    (void)LogStartupError(where);
  }
}

bool Application::MakeDataFolders() {
  for (const auto& folder : {folders_.DataFolder, folders_.SoundsFolder}) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    std::string why = ec ? ec.message() : std::string();
    if (why.empty() && ::access(folder.c_str(), W_OK) != 0) why = std::strerror(errno);
    if (why.empty()) continue;
    // Without a folder to unpack into the game would start in silence and could keep no
    // bowler: say so, in a box a screen reader speaks, and stop before anything is touched.
    const std::string text = "Strikora cannot write to its data folder " + folder.string() + " (" +
                             why +
                             "). It unpacks its sounds and keeps its bowlers there. Make the "
                             "folder writable, or set AllUsersProfile to another folder.";
    LogStartupError(folder, ErrorCode::FileAccess, text);
    platform_.Windows.ShowMessageBox(text, "Strikora");
    return false;
  }
  return true;
}

void Application::LoadRoster() {
  try {
    roster_.LoadRoster();
  } catch (const std::exception&) {
    // The bowlers read so far stay; the file itself is left as it was.
    engine_.LogError("LoadRoster");
  }
  // A roster damaged outside the game is kept as it is, bowler by bowler; the log says what
  // was found, so that whoever looks after the computer can tell.
  std::error_code ec;
  const std::uintmax_t bytes = std::filesystem::file_size(folders_.PlayersFile, ec);
  if (!ec && bytes % kRecordLength != 0) {
    LogRosterDamage("the roster file is " + std::to_string(bytes) +
                    " bytes, not a whole number of 2054-byte records: its last record was "
                    "cut short. Every bowler it holds is kept.");
  }
  for (int i = 1; i <= roster_.PlayerCount(); ++i) {
    const Player& p = roster_.Players(i);
    if (!IsPlainClipName(p.FirstName()) || !IsPlainClipName(p.LastName())) {
      LogRosterDamage("bowler " + std::to_string(i) +
                      " of the roster has a name that is not a clip name; the bowler is kept "
                      "and the name is heard as the buzzer.");
    }
  }
}

void Application::LogRosterDamage(const std::string& description) {
  try {
    throw PlatformError(ErrorCode::BadFileFormat, description);
  } catch (const PlatformError&) {
    engine_.LogError(folders_.PlayersFile.string());
  }
}

void Application::UnpackSoundPacks() {
  struct Step {
    const char* Pack;
    const std::filesystem::path* Dest;
  };
  const std::array<Step, 8> steps = {{{"numbers.des", &folders_.NumbersFolder},
                                      {"announce.des", &folders_.AnnounceFolder},
                                      {"adverts.des", &folders_.AdvertsFolder},
                                      {"ambient.des", &folders_.AmbientFolder},
                                      {"menu.des", &folders_.MenuFolder},
                                      {"play.des", &folders_.PlayFolder},
                                      {"stdnames.des", &folders_.NamesFolder},
                                      {"initials.des", &folders_.InitialsFolder}}};
  std::string why;
  int record = -1;  // the directory record in hand, counted as the unpacker reaches each one
  UnpackHost host;
  host.DoEvents = [this, &record] {
    ++record;
    (void)platform_.Windows.DoPendingEvents();
  };
  // No message box: a player who cannot see it would wait for ever. The failure is told as
  // every other is, in the log and by the buzzer.
  host.Explain = [&why](const std::string& text) { why = text; };
  bool buzzerOwed = false;  // a failure was recorded before the buzzer was unpacked
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const std::filesystem::path pack = folders_.PackFolder / steps[i].Pack;
    record = -1;
    try {
      switch (UnpackSoundPack(pack, *steps[i].Dest, folders_.SoundsFolder, host)) {
        case UnpackResult::Missing:
          throw PlatformError(ErrorCode::FileNotFound, "sound pack not found: " + pack.string());
        case UnpackResult::Failed:
          throw PlatformError(ErrorCode::BadFileFormat,
                              "sound pack not unpacked whole, " +
                                  (record < 0 ? std::string("before its directory")
                                              : "at directory record " + std::to_string(record)) +
                                  ": " + why + ". The files unpacked before it are kept.");
        case UnpackResult::Done:
          break;
      }
    } catch (const std::exception&) {
      // A missing or damaged pack, or a folder that could not be made for it: the rest still
      // unpack.
      buzzerOwed = !LogStartupError(pack) || buzzerOwed;
    }
    std::error_code ec;
    if (buzzerOwed && std::filesystem::exists(folders_.PlayFolder / "buzzer.wav", ec)) {
      log_.SoundBuzzer();
      buzzerOwed = false;
    }
    if (i == 0) engine_.Numbers.InitNumberSpeech();
    if (i == 6) roster_.CatalogueFirstNames();
  }
}

int Application::Run() {
  try {
    engine_.Busy = true;
    engine_.Mp3.MP3Speed = 100.0f;
    if (!MakeDataFolders()) return 1;
    splash_->Show(ShowMode::Modeless);
    engine_.PlaySilence(10);
    (void)engine_.Mp3.LoadMP3(folders_.PackFolder / "logos.mp3");
    (void)engine_.Mp3.PlayMP3(true);
    UnpackSoundPacks();
    engine_.Mp3.WaitForMP3();
    engine_.Busy = false;
    engine_.PlayIntro();
    engine_.Busy = true;
    LoadRoster();
    engine_.Busy = false;
    engine_.StartMenuMusic();
    main_->Show(ShowMode::Modal, splash_.get());
  } catch (const ProgramEnded& end) {
    return end.Status;
  }
  return 0;
}

bool Application::ChooseTodaysPlayers() {
  roster_.ClearTodaysPlayers();
  selPlayers_->Show(ShowMode::Modal, main_.get());
  return session_.MenuAccepted;
}

void Application::ExitProgram() {
  for (const auto* folder :
       {&folders_.AdvertsFolder, &folders_.AmbientFolder, &folders_.AnnounceFolder,
        &folders_.MenuFolder, &folders_.NumbersFolder, &folders_.PlayFolder}) {
    std::error_code ec;
    std::filesystem::remove_all(*folder, ec);  // what cannot go stays until the next start
  }
  engine_.ShutDownDirectX();
  throw ProgramEnded{0};
}

}  // namespace strikora
