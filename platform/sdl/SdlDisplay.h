#pragma once

#include <map>
#include <string>

#include "platform/Display.h"
#include "platform/sdl/SdlEventSource.h"
#include "platform/sdl/UniqueHandle.h"

struct SDL_Renderer;
typedef struct _TTF_Font TTF_Font;

namespace strikora::sdl {

void DestroySdlRenderer(SDL_Renderer* renderer);
void CloseTtfFont(TTF_Font* font);
void QuitTtf(bool started);
using SdlRenderer = UniqueHandle<SDL_Renderer*, &DestroySdlRenderer>;
using TtfFont = UniqueHandle<TTF_Font*, &CloseTtfFont>;
using TtfLibrary = UniqueHandle<bool, &QuitTtf>;

// Draws the game's pictures in its window with SDL's renderer and SDL_ttf, in the font
// fontconfig gives for DejaVu Sans Bold. Draws only when handed a new picture or when the
// window was resized or uncovered: an idle game draws nothing. Without a font the window stays
// blank and the game goes on speaking.
class SdlDisplay final : public Display {
 public:
  explicit SdlDisplay(SdlEventSource& window);
  ~SdlDisplay() override;
  SdlDisplay(const SdlDisplay&) = delete;
  SdlDisplay& operator=(const SdlDisplay&) = delete;

  void Show(const Picture& picture) override;
  // Why no text can be drawn (no font, no renderer); empty when all is well.
  [[nodiscard]] const std::string& Problem() const { return problem_; }
  [[nodiscard]] int Draws() const { return draws_; }

 private:
  void Draw();
  TTF_Font* Font(int pixels);
  // Draws text with its top left at x, y, cut to w x h (0: as it comes); returns its height.
  int Text(const std::string& text, int pixels, int x, int y, int w, int h, bool inverse = false,
           bool wrap = false, bool centre = false);
  void Fill(int x, int y, int w, int h, bool foreground);
  void Frame(int x, int y, int w, int h);
  void DrawPins(int x, int y, int w, int h);
  void DrawCard(int x, int y, int w, int h);
  void DrawStandings(int x, int y, int w, int h);

  SdlEventSource& window_;
  SdlRenderer renderer_;
  TtfLibrary ttf_;
  std::string fontFile_;
  std::map<int, TtfFont> fonts_;
  Picture picture_;
  bool have_ = false;
  bool fullScreen_ = false;
  int draws_ = 0;
  std::string problem_;
};

}  // namespace strikora::sdl
