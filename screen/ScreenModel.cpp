#include "screen/ScreenModel.h"

#include <algorithm>
#include <functional>

#include "screen/Scorecard.h"

namespace strikora {
namespace {

constexpr const char* kApp = "KORVELDA";
constexpr const char* kSection = "Screen";

int StoredInt(const SettingsStore& s, const char* key, int fallback, int low, int high) {
  const std::string text = s.GetSetting(kApp, kSection, key, "");
  try {
    const int v = std::stoi(text);
    return v >= low && v <= high ? v : fallback;
  } catch (const std::exception&) {
    return fallback;
  }
}

bool StartsWith(const std::string& s, const char* prefix) {
  return s.rfind(prefix, 0) == 0;
}

// A clip that calls the next place in the standings.
bool CallsAPlace(const std::string& stem) {
  for (const char* p : {"1stplc", "2ndplc", "3rdplc", "lastplc", "nextplc", "solo"}) {
    if (StartsWith(stem, p)) return true;
  }
  return stem == "was";
}

std::string Ordinal(int n) {
  const int tens = n % 100;
  const char* suffix = (tens >= 11 && tens <= 13) ? "th"
                       : n % 10 == 1              ? "st"
                       : n % 10 == 2              ? "nd"
                       : n % 10 == 3              ? "rd"
                                                  : "th";
  return std::to_string(n) + suffix;
}

}  // namespace

ScreenModel::ScreenModel(Platform& platform, const Roster& roster, const GameSession& session,
                         std::filesystem::path soundsFolder)
    : platform_(platform),
      roster_(roster),
      session_(session),
      soundsFolder_(std::move(soundsFolder)) {
  textStep_ = StoredInt(platform_.Settings, "TextSize", 2, 1, kTextSteps);
  scheme_ = StoredInt(platform_.Settings, "Colours", 0, 0, kColourSchemes.size() - 1);
  fullScreen_ = StoredInt(platform_.Settings, "FullScreen", 0, 0, 1) == 1;
  platform_.Trace.SetListener([this](const TraceEvent& e) { Heard(e); });
  platform_.Windows.SetKeyFilter([this](const KeyEvent& k) { return TakeKey(k); });
}

ScreenModel::~ScreenModel() {
  platform_.Windows.SetKeyFilter(nullptr);
  platform_.Trace.SetListener(nullptr);
}

void ScreenModel::SetDisplay(Display* display) {
  display_ = display;
  everShown_ = false;
  Refresh();
}

bool ScreenModel::TakeKey(const KeyEvent& key) {
  if (key.KeyCode < vk::F(8) || key.KeyCode > vk::F(11)) return false;
  SettingsStore& s = platform_.Settings;
  if (key.KeyCode == vk::F(8)) {
    scheme_ = (scheme_ + 1) % static_cast<int>(kColourSchemes.size());
    s.SaveSetting(kApp, kSection, "Colours", std::to_string(scheme_));
  } else if (key.KeyCode == vk::F(11)) {
    fullScreen_ = !fullScreen_;
    s.SaveSetting(kApp, kSection, "FullScreen", fullScreen_ ? "1" : "0");
  } else {
    textStep_ = std::clamp(textStep_ + (key.KeyCode == vk::F(10) ? 1 : -1), 1, kTextSteps);
    s.SaveSetting(kApp, kSection, "TextSize", std::to_string(textStep_));
  }
  Refresh();
  return true;
}

void ScreenModel::Heard(const TraceEvent& e) {
  if (e.Kind == "key" || e.Kind == "focus") {
    line_.Break();
    if (e.Kind == "focus" && !OnLane()) results_ = false;
    if (e.Kind == "focus" && OnLane()) turnPlayer_ = turnFrame_ = 0;  // a new game
  } else if ((e.Kind == "play" && e.Fields.size() >= 2) ||
             (e.Kind == "mp3" && e.Fields.size() >= 2 && e.Fields[0] == "load")) {
    const std::filesystem::path file(e.Kind == "play" ? e.Fields[1] : e.Fields[1]);
    const std::string relative = file.lexically_relative(soundsFolder_).generic_string();
    const std::string folder = file.parent_path().filename().string();
    std::string stem = file.stem().string();
    if (e.Kind == "mp3" && file.filename() == "pgstart.mp3" && OnLane()) {
      // The closing music opens the results.
      results_ = true;
      placesCalled_ = 0;
    }
    if (results_ && CallsAPlace(stem)) ++placesCalled_;
    if (StartsWith(relative, "numbers/")) {
      if (!stem.empty() && (stem.back() == 'f' || stem.back() == 'p')) stem.pop_back();
      line_.SaidNumber(stem);
    } else if (!relative.empty() && !StartsWith(relative, "..")) {
      if (const std::string* words = words_.Of(relative)) {
        line_.Said(*words, StartsWith(relative, "names/") ? SpokenLine::Kind::Name
                                                          : SpokenLine::Kind::Words);
      }
    }
  } else {
    return;
  }
  Refresh();
}

bool ScreenModel::OnLane() const {
  return lane_ != nullptr && platform_.Windows.ActiveForm() == lane_;
}

void ScreenModel::FollowTurn() {
  // A turn has begun once its first ball is announced and waited for.
  if (session_.BallNumber == 0 && session_.WaitingForThrow) {
    turnPlayer_ = roster_.CurrentPlayer();
    turnFrame_ = session_.CurrentFrame;
  }
}

std::string ScreenModel::NameOf(const Player& bowler) const {
  std::string name;
  const std::string first = bowler.FirstName();
  const std::string last = bowler.LastName();
  const bool initial = first.size() < 7;  // "C.wav"; "fn1.wav" and longer are names
  for (const auto& [clip, folder] : {std::pair{first, initial ? "names/initials/" : "names/"},
                                     std::pair{last, "names/initials/"}}) {
    const std::string* words = words_.Of(std::string(folder) + clip);
    const std::string part =
        words != nullptr ? *words : std::filesystem::path(clip).stem().string();
    if (part.empty()) continue;
    if (!name.empty()) name += ' ';
    name += part;
  }
  return name;
}

void ScreenModel::AddLane(Picture& picture) const {
  const GameSession& s = session_;
  const int current = roster_.CurrentPlayer();
  const bool started = turnFrame_ != 0 && turnPlayer_ == current && turnFrame_ == s.CurrentFrame;
  for (int p = 1; p <= roster_.PlayerCount(); ++p) {
    const Player& bowler = roster_.Players(p);
    if (!bowler.IsActive()) continue;
    BowlerProgress progress;
    for (int f = 1; f <= kFrames; ++f) {
      // Frames before the turn's are bowled; in it, the bowlers before the one up have bowled
      // it and the one up the balls numbered below the game's ball number. Between two turns
      // (the next not yet announced) the last turn's bowler has finished it.
      const bool done =
          f < turnFrame_ || (f == turnFrame_ && (started ? p < current : p <= turnPlayer_));
      const bool partly = started && f == turnFrame_ && p == current;
      if (!done && !partly) continue;
      for (const int ball : FrameBallNumbers(bowler, f, done)) {
        if (done || ball < s.BallNumber) {
          progress.Balls[static_cast<std::size_t>(f - 1)].push_back(ball);
        }
      }
    }
    progress.Up = started && p == current;
    if (progress.Up && !s.AwaitingNextPlayer) {
      // A ball is in play until the frame has had all it gets.
      const auto bowled = progress.Balls[static_cast<std::size_t>(s.CurrentFrame - 1)].size();
      const int f = s.CurrentFrame;
      const bool bonus = f == kFrames && (bowler.Strikes(f) || bowler.Spares(f));
      const std::size_t gets = bowler.Strikes(f) && f < kFrames ? 1 : bonus ? 3 : 2;
      if (bowled < gets) progress.InPlayFrame = f;
    }
    picture.Card.push_back(MakeCardRow(bowler, progress, NameOf(bowler)));
  }
  if (started) {
    picture.ShowPins = true;
    for (int pin = 1; pin <= kPins; ++pin) {
      picture.PinStanding[static_cast<std::size_t>(pin - 1)] =
          s.PinStanding[static_cast<std::size_t>(pin)];
    }
  }
}

void ScreenModel::AddStandings(Picture& picture) const {
  const GameSession& s = session_;
  struct Entry {
    int Player;
    int Score;
  };
  std::vector<Entry> entries;
  for (int p = 1; p <= roster_.PlayerCount(); ++p) {
    const Player& bowler = roster_.Players(p);
    if (bowler.IsActive()) {
      entries.push_back({p, bowler.GetScore(s.UseHandicap, s.PlayMethod, s.SkillLevel)});
    }
  }
  // The announcer's order: best first, and of equal scores the earlier bowler in the roster
  // takes the lower place (it is called first).
  std::stable_sort(entries.begin(), entries.end(),
                   [](const Entry& a, const Entry& b) { return a.Score > b.Score; });
  const int n = static_cast<int>(entries.size());
  for (int i = 0; i < n; ++i) {
    int same = i;
    while (same + 1 < n && entries[same + 1].Score == entries[i].Score) ++same;
    std::reverse(entries.begin() + i, entries.begin() + same + 1);
    i = same;
  }
  picture.ShowHandicap = s.UseHandicap;
  for (int place = 1; place <= n; ++place) {
    StandingRow row;
    // Called from last place up.
    if (n - place < placesCalled_) {
      const Player& bowler = roster_.Players(entries[static_cast<std::size_t>(place - 1)].Player);
      row.Place = Ordinal(place);
      row.Name = NameOf(bowler);
      row.Score = std::to_string(entries[static_cast<std::size_t>(place - 1)].Score);
      if (s.UseHandicap) row.Handicap = std::to_string(bowler.HandiCap(s.PlayMethod, s.SkillLevel));
    }
    picture.Standings.push_back(std::move(row));
  }
}

Picture ScreenModel::Current() const {
  Picture picture;
  if (const Form* active = platform_.Windows.ActiveForm()) picture.Caption = active->Caption();
  picture.Words = line_.Text();
  if (OnLane()) {
    if (results_) {
      AddStandings(picture);
    } else {
      AddLane(picture);
    }
  }
  picture.TextStep = textStep_;
  picture.Colours = kColourSchemes[static_cast<std::size_t>(scheme_)];
  picture.FullScreen = fullScreen_;
  return picture;
}

void ScreenModel::Refresh() {
  if (OnLane()) FollowTurn();
  if (display_ == nullptr) return;
  Picture now = Current();
  if (everShown_ && now == shown_) return;
  shown_ = std::move(now);
  everShown_ = true;
  display_->Show(shown_);
}

}  // namespace strikora
