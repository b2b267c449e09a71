#include "platform/SoundTrace.h"

#include <cstdio>

#include "platform/PlatformError.h"

namespace strikora {

std::string TraceEvent::Line() const {
  std::string line = std::to_string(Ms) + '\t' + Kind;
  for (const auto& f : Fields) {
    line += '\t';
    line += f;
  }
  return line;
}

void SoundTrace::WriteTo(const std::filesystem::path& file) {
  auto out = std::make_unique<std::ofstream>(file, std::ios::app | std::ios::binary);
  if (!*out) {
    throw PlatformError(ErrorCode::FileAccess, "Cannot open the sound trace " + file.string());
  }
  file_ = std::move(out);
}

void SoundTrace::Record(std::string kind, std::vector<std::string> fields, bool toFile) {
  TraceEvent ev{clock_.MonotonicMs(), std::move(kind), std::move(fields)};
  if (file_ && toFile) {
    *file_ << ev.Line() << '\n';
    file_->flush();
  }
  if (listener_) listener_(ev);
  if (keepInMemory_) events_.push_back(std::move(ev));
}

void SoundTrace::Play(const std::string& slot, const std::filesystem::path& file, int volume,
                      int pan, PlayMode mode) {
  Record("play", {slot, file.string(), std::to_string(volume), std::to_string(pan),
                  mode == PlayMode::Looping ? "1" : "0"});
}
void SoundTrace::Stop(const std::string& slot) {
  Record("stop", {slot});
}
void SoundTrace::Volume(const std::string& slot, int volume) {
  Record("volume", {slot, std::to_string(volume)});
}
void SoundTrace::Pan(const std::string& slot, int pan) {
  Record("pan", {slot, std::to_string(pan)});
}
void SoundTrace::Fail(const std::string& slot, const std::filesystem::path& file) {
  Record("fail", {slot, file.string()});
}
void SoundTrace::Mp3(const std::string& action, const std::string& argument) {
  Record("mp3", {action, argument});
}
void SoundTrace::Focus(const std::string& caption) {
  Record("focus", {caption});
}
void SoundTrace::Key(int keyCode, int shift) {
  Record("key", {std::to_string(keyCode), std::to_string(shift)});
}
void SoundTrace::Error(int code, const std::string& where) {
  Record("error", {std::to_string(code), where});
}
void SoundTrace::MessageBox(const std::string& text) {
  Record("msgbox", {text}, false);
}

namespace {

class TracedBuffer final : public ForwardingSoundBuffer {
 public:
  TracedBuffer(std::unique_ptr<SoundBuffer> inner, std::string slot, SoundTrace& trace)
      : ForwardingSoundBuffer(std::move(inner)), slot_(std::move(slot)), trace_(trace) {}

  void Play(PlayMode mode) override {
    inner_->Play(mode);
    started_ = true;
    trace_.Play(slot_, inner_->Source(), inner_->GetVolume(), inner_->GetPan(), mode);
  }
  void Stop() override {
    inner_->Stop();
    trace_.Stop(slot_);
  }
  // Levels set before the first play are part of its play line.
  void SetVolume(int volume) override {
    inner_->SetVolume(volume);
    if (started_) trace_.Volume(slot_, inner_->GetVolume());
  }
  void SetPan(int pan) override {
    inner_->SetPan(pan);
    if (started_) trace_.Pan(slot_, inner_->GetPan());
  }

 private:
  std::string slot_;
  SoundTrace& trace_;
  bool started_ = false;
};

std::string RateText(double rate) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", rate);
  return text;
}

}  // namespace

std::unique_ptr<SoundBuffer> TracingAudioDevice::CreateSoundBufferFromFile(
    const std::filesystem::path& file, const std::string& slot) {
  try {
    return std::make_unique<TracedBuffer>(inner_.CreateSoundBufferFromFile(file, slot), slot,
                                          trace_);
  } catch (...) {
    trace_.Fail(slot, file);
    throw;
  }
}

void TracingMusicPlayer::Load(const std::filesystem::path& file) {
  trace_.Mp3("load", file.string());
  endReported_ = false;
  inner_.Load(file);
}
void TracingMusicPlayer::Run() {
  inner_.Run();
  trace_.Mp3("run", "");
}
void TracingMusicPlayer::Stop() {
  inner_.Stop();
  trace_.Mp3("stop", "");
}
void TracingMusicPlayer::SetRate(double rate) {
  inner_.SetRate(rate);
  trace_.Mp3("rate", RateText(rate));
}
double TracingMusicPlayer::CurrentPosition() const {
  const double p = inner_.CurrentPosition();
  if (!endReported_ && inner_.IsLoaded() && p >= inner_.Duration()) {
    endReported_ = true;
    trace_.Mp3("end", "");
  }
  return p;
}
void TracingMusicPlayer::SetCurrentPosition(double seconds) {
  inner_.SetCurrentPosition(seconds);
  endReported_ = false;
}

}  // namespace strikora
