#include <dlfcn.h>

#include <csignal>
#include <exception>
#include <iostream>
#include <memory>

#include "app/Application.h"
#include "app/DataFolders.h"
#include "app/SingleInstance.h"
#include "platform/PlatformError.h"
#include "platform/sdl/SdlDisplay.h"
#include "platform/sdl/SdlEventSource.h"
#include "platform/sdl/SdlPlatform.h"

namespace {

// The checked builds' leak checker reads a library's memory only while the library is loaded.
// SDL and OpenAL Soft open system libraries to probe for a desktop bus or a JACK server and
// close them again, and those libraries keep their start-up buffers to the end: once unloaded,
// the buffers read as the game's leaks. Kept loaded, they are known for what they are.
void KeepProbedLibrariesLoaded() {
#if defined(__SANITIZE_ADDRESS__)
  for (const char* library : {"libdbus-1.so.3", "libjack.so.0"}) {
    if (void* handle = dlopen(library, RTLD_LAZY | RTLD_NODELETE)) dlclose(handle);
  }
#endif
}

}  // namespace

// The program: works out its folders, opens the window and the sound device, and runs the game
// until the player leaves it from the main menu.
int main() {
  KeepProbedLibrariesLoaded();
  using namespace strikora;
  const std::filesystem::path dataFolder = GetDataFolder();
  const std::filesystem::path packFolder = FindPackFolder(ProgramFolder());
  // A full disk or a file-size limit must fail a write, which the game reports and survives,
  // not kill the game outright.
  std::signal(SIGXFSZ, SIG_IGN);
  const SingleInstance onlyCopy(dataFolder);
  if (!onlyCopy.MayRun(std::cerr)) return 1;

  // Before any thread starts: Ctrl+C then closes the game as the window's close button does.
  const sdl::QuitOnSignals signals;
  std::unique_ptr<sdl::SdlPlatform> desktop;
  try {
    desktop = std::make_unique<sdl::SdlPlatform>("Strikora");
  } catch (const std::exception& e) {
    sdl::ShowStartupFailure("Unable to start DirectX.", e.what());
    return 1;
  }
  // The large print in the window, for whoever can see it; without a font the window stays
  // blank and the game is played by ear as ever.
  sdl::SdlDisplay display(desktop->Window());
  Application game(desktop->GetPlatform(), dataFolder, packFolder);
  if (!display.Problem().empty()) {
    std::cerr << "Strikora: the window shows no text: " << display.Problem() << '\n';
    game.Log().Record("SdlDisplay", {static_cast<int>(ErrorCode::DeviceUnavailable),
                                     "the window shows no text: " + display.Problem()});
  }
  game.Screen().SetDisplay(&display);
  return game.Run();
}
