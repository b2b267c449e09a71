#include "platform/sdl/SdlDisplay.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <array>
#include <memory>

namespace strikora::sdl {
namespace {

// The main line's height at each text size, as a share of the window's height.
constexpr std::array<double, 5> kMainLine = {0.10, 0.12, 0.14, 0.17, 0.20};

struct FreeSurface {
  void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
struct FreeTexture {
  void operator()(SDL_Texture* t) const { SDL_DestroyTexture(t); }
};
struct FreeFcConfig {
  void operator()(FcConfig* c) const { FcConfigDestroy(c); }
};
struct FreeFcPattern {
  void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};

// The file of the game's font, or empty with the reason in why.
std::string FindFont(std::string& why) {
  const std::unique_ptr<FcConfig, FreeFcConfig> config(FcInitLoadConfigAndFonts());
  const std::unique_ptr<FcPattern, FreeFcPattern> wanted(
      FcNameParse(reinterpret_cast<const FcChar8*>("DejaVu Sans:bold")));
  if (!config || !wanted) {
    why = "fontconfig could not be started";
    return {};
  }
  FcConfigSubstitute(config.get(), wanted.get(), FcMatchPattern);
  FcDefaultSubstitute(wanted.get());
  FcResult result = FcResultNoMatch;
  const std::unique_ptr<FcPattern, FreeFcPattern> match(
      FcFontMatch(config.get(), wanted.get(), &result));
  FcChar8* file = nullptr;
  if (!match || FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch ||
      file == nullptr) {
    why = "no font found (install fonts-dejavu-core)";
    return {};
  }
  return reinterpret_cast<const char*>(file);
}

SDL_Color ColourOf(const Rgb& c) {
  return {c.R, c.G, c.B, 255};
}

}  // namespace

void DestroySdlRenderer(SDL_Renderer* renderer) {
  SDL_DestroyRenderer(renderer);
}
void CloseTtfFont(TTF_Font* font) {
  TTF_CloseFont(font);
}
void QuitTtf(bool /*started*/) {
  TTF_Quit();
}

SdlDisplay::SdlDisplay(SdlEventSource& window) : window_(window) {
  SDL_Window* w = window_.NativeWindow();
  SDL_SetWindowMinimumSize(w, 320, 200);
  // Still text, drawn now and then: the software renderer needs no graphics driver, and its
  // window surface is plain shared memory, so SDL does not load (and later unload) OpenGL
  // only to ask whether the desktop has it.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  renderer_ = SdlRenderer(SDL_CreateRenderer(w, -1, SDL_RENDERER_SOFTWARE));
  if (!renderer_) {
    problem_ = std::string("no renderer for the window: ") + SDL_GetError();
    return;
  }
  if (TTF_Init() != 0) {
    problem_ = std::string("SDL_ttf could not be started: ") + TTF_GetError();
    return;
  }
  ttf_ = TtfLibrary(true);
  fontFile_ = FindFont(problem_);
  if (!fontFile_.empty() && Font(24) == nullptr) {
    problem_ = "the font " + fontFile_ + " cannot be read: " + TTF_GetError();
    fontFile_.clear();
  }
  window_.OnWindowChanged([this] {
    if (have_) Draw();
  });
}

SdlDisplay::~SdlDisplay() {
  window_.OnWindowChanged(nullptr);
  fonts_.clear();  // before the library closes
}

TTF_Font* SdlDisplay::Font(int pixels) {
  if (fontFile_.empty()) return nullptr;
  pixels = std::max(pixels, 6);
  auto it = fonts_.find(pixels);
  if (it == fonts_.end()) {
    if (fonts_.size() > 16) fonts_.clear();  // sizes of windows long gone
    TtfFont font(TTF_OpenFont(fontFile_.c_str(), pixels));
    if (!font) return nullptr;
    it = fonts_.emplace(pixels, std::move(font)).first;
  }
  return it->second.get();
}

void SdlDisplay::Show(const Picture& picture) {
  if (have_ && picture == picture_) return;
  if (picture.FullScreen != fullScreen_) {
    fullScreen_ = picture.FullScreen;
    SDL_SetWindowFullscreen(window_.NativeWindow(),
                            fullScreen_ ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
  }
  picture_ = picture;
  have_ = true;
  Draw();
}

void SdlDisplay::Fill(int x, int y, int w, int h, bool foreground) {
  const Rgb& c = foreground ? picture_.Colours.Text : picture_.Colours.Background;
  SDL_SetRenderDrawColor(renderer_.get(), c.R, c.G, c.B, 255);
  const SDL_Rect r{x, y, w, h};
  SDL_RenderFillRect(renderer_.get(), &r);
}

void SdlDisplay::Frame(int x, int y, int w, int h) {
  const Rgb& c = picture_.Colours.Text;
  SDL_SetRenderDrawColor(renderer_.get(), c.R, c.G, c.B, 255);
  const SDL_Rect r{x, y, w, h};
  SDL_RenderDrawRect(renderer_.get(), &r);
}

int SdlDisplay::Text(const std::string& text, int pixels, int x, int y, int w, int h, bool inverse,
                     bool wrap, bool centre) {
  TTF_Font* font = Font(pixels);
  if (font == nullptr || text.empty()) return 0;
  const SDL_Color ink = ColourOf(inverse ? picture_.Colours.Background : picture_.Colours.Text);
  const std::unique_ptr<SDL_Surface, FreeSurface> surface(
      wrap && w > 0
          ? TTF_RenderUTF8_Blended_Wrapped(font, text.c_str(), ink, static_cast<Uint32>(w))
          : TTF_RenderUTF8_Blended(font, text.c_str(), ink));
  if (!surface) return 0;
  const std::unique_ptr<SDL_Texture, FreeTexture> texture(
      SDL_CreateTextureFromSurface(renderer_.get(), surface.get()));
  if (!texture) return 0;
  SDL_Rect from{0, 0, surface->w, surface->h};
  if (w > 0) from.w = std::min(from.w, w);
  if (h > 0) from.h = std::min(from.h, h);
  SDL_Rect to{x, y, from.w, from.h};
  if (centre && w > 0) to.x = x + (w - from.w) / 2;
  SDL_RenderCopy(renderer_.get(), texture.get(), &from, &to);
  return from.h;
}

void SdlDisplay::Draw() {
  if (!renderer_) return;
  ++draws_;
  int width = 0, height = 0;
  SDL_GetRendererOutputSize(renderer_.get(), &width, &height);
  Fill(0, 0, width, height, false);
  const int margin = std::max(4, height / 50);
  const int step = std::clamp(picture_.TextStep, 1, static_cast<int>(kMainLine.size()));
  const int main = static_cast<int>(height * kMainLine[static_cast<std::size_t>(step - 1)]);
  const int caption = std::max(height / 20, main * 11 / 20);
  const bool lane = !picture_.Card.empty() || !picture_.Standings.empty();
  const int pinsWidth = picture_.ShowPins ? width / 5 : 0;

  int y = margin;
  y += Text(picture_.Caption, caption, margin, y, width - 2 * margin - pinsWidth, caption * 3 / 2);
  y += margin / 2;
  // On the lane the words keep to two lines above the scorecard.
  const int wordsRoom = lane ? main * 5 / 2 : height - y - margin;
  y +=
      Text(picture_.Words, main, margin, y, width - 2 * margin - pinsWidth, wordsRoom, false, true);
  if (picture_.ShowPins) {
    DrawPins(width - pinsWidth - margin, margin, pinsWidth, std::min(height * 3 / 10, pinsWidth));
    y = std::max(y, margin + std::min(height * 3 / 10, pinsWidth));
  }
  y += margin;
  if (!picture_.Standings.empty()) {
    DrawStandings(margin, y, width - 2 * margin, height - y - margin);
  } else if (!picture_.Card.empty()) {
    DrawCard(margin, y, width - 2 * margin, height - y - margin);
  }
  SDL_RenderPresent(renderer_.get());
}

void SdlDisplay::DrawPins(int x, int y, int w, int h) {
  // The rack as the bowler sees it: the head pin nearest, the back row of four farthest.
  constexpr std::array<int, 10> kAcross = {10, 8, 12, 6, 10, 14, 4, 8, 12, 16};
  constexpr std::array<int, 10> kRow = {0, 1, 1, 2, 2, 2, 3, 3, 3, 3};
  const int r = std::max(3, std::min(w / 14, h / 10));
  SDL_Renderer* g = renderer_.get();
  const Rgb& c = picture_.Colours.Text;
  SDL_SetRenderDrawColor(g, c.R, c.G, c.B, 255);
  for (std::size_t i = 0; i < 10; ++i) {
    const int cx = x + r + (kAcross[i] - 4) * (w - 2 * r) / 12;
    const int cy = y + h - r - kRow[i] * (h - 2 * r) / 3;
    if (picture_.PinStanding[i]) {
      // Standing: a solid disc.
      for (int dy = -r; dy <= r; ++dy) {
        int dx = 0;
        while ((dx + 1) * (dx + 1) + dy * dy <= r * r) ++dx;
        SDL_RenderDrawLine(g, cx - dx, cy + dy, cx + dx, cy + dy);
      }
    } else {
      // Fallen: a thin cross where it stood.
      const int d = r * 2 / 3;
      for (int t = -1; t <= 1; ++t) {
        SDL_RenderDrawLine(g, cx - d + t, cy - d, cx + d + t, cy + d);
        SDL_RenderDrawLine(g, cx - d + t, cy + d, cx + d + t, cy - d);
      }
    }
  }
}

void SdlDisplay::DrawCard(int x, int y, int w, int h) {
  const int rows = static_cast<int>(picture_.Card.size());
  const int rowHeight = std::min(h / std::max(rows, 1), h / 3);
  if (rowHeight < 8) return;
  const int nameWidth = w * 16 / 100, totalWidth = w * 9 / 100;
  const int frameWidth = (w - nameWidth - totalWidth) / 10;
  const int half = rowHeight / 2;
  // Each mark fits its box and a three-digit total its frame.
  const int markPx = std::min(half * 4 / 5, frameWidth * 2 / 5);
  const int totalPx = std::min(half * 4 / 5, frameWidth * 2 / 5);
  for (int r = 0; r < rows; ++r) {
    const CardRow& row = picture_.Card[static_cast<std::size_t>(r)];
    const int top = y + r * rowHeight;
    // The bowler up: the name in reverse.
    if (row.Up) Fill(x, top, nameWidth, rowHeight - 2, true);
    Text(row.Name, markPx, x + 4, top + rowHeight / 4, nameWidth - 8, rowHeight, row.Up);
    for (int f = 0; f < 10; ++f) {
      const FrameBox& box = row.Frames[static_cast<std::size_t>(f)];
      const int left = x + nameWidth + f * frameWidth;
      Frame(left, top, frameWidth, rowHeight - 2);
      const int boxes = f == 9 ? 3 : 2;
      const int markWidth = frameWidth / boxes;
      for (int b = 0; b < boxes; ++b) {
        const int bx = left + b * markWidth;
        const bool inPlay = box.InPlay == b;
        if (inPlay) Fill(bx + 2, top + 2, markWidth - 3, half - 2, true);
        Frame(bx, top, markWidth, half);
        Text(box.Marks[static_cast<std::size_t>(b)], markPx, bx, top + 1, markWidth, half, inPlay,
             false, true);
      }
      Text(box.Total, totalPx, left, top + half, frameWidth, half, false, false, true);
    }
    const int left = x + nameWidth + 10 * frameWidth;
    Frame(left, top, totalWidth, rowHeight - 2);
    Text(row.Total, markPx, left, top + rowHeight / 4, totalWidth, rowHeight, false, false, true);
  }
}

void SdlDisplay::DrawStandings(int x, int y, int w, int h) {
  const int rows = static_cast<int>(picture_.Standings.size()) + 1;
  const int rowHeight = std::min(h / std::max(rows, 1), h / 4);
  const int px = std::min(rowHeight * 2 / 3, w / 16);
  const bool handicap = picture_.ShowHandicap;
  const std::array<int, 4> at = {0, w * 16 / 100, handicap ? w * 58 / 100 : w * 72 / 100,
                                 w * 78 / 100};
  const std::array<const char*, 4> head = {"Place", "Bowler", "Score", "Handicap"};
  for (int c = 0; c < (handicap ? 4 : 3); ++c) {
    Text(head[static_cast<std::size_t>(c)], px * 3 / 5, x + at[static_cast<std::size_t>(c)],
         y + rowHeight / 3, 0, 0);
  }
  for (int r = 1; r < rows; ++r) {
    const StandingRow& row = picture_.Standings[static_cast<std::size_t>(r - 1)];
    const int top = y + r * rowHeight;
    const std::array<const std::string*, 4> cells = {&row.Place, &row.Name, &row.Score,
                                                     &row.Handicap};
    for (int c = 0; c < (handicap ? 4 : 3); ++c) {
      const int left = x + at[static_cast<std::size_t>(c)];
      const int right =
          c + 1 < (handicap ? 4 : 3) ? x + at[static_cast<std::size_t>(c + 1)] : x + w;
      Text(*cells[static_cast<std::size_t>(c)], px, left, top, right - left - 8, rowHeight);
    }
  }
}

}  // namespace strikora::sdl
