#include "game/Pinfall.h"

namespace strikora {

int Pinfall::NextStanding(int from, int at) const {
  for (int q = from; q <= kPins; ++q) {
    if (Standing(q) && PositionOf(q) == at) return q;
  }
  return 0;
}

int Pinfall::Chain(int& p, Bias bias) {
  int felled = 0;
  int branch = 0;
  int last = p;
  // The pin straight behind the first one, standing or not: the chain falls back on it once
  // when it gets stuck with no branch of its own.
  int behind = 0;
  for (int q = p + 1; q <= kPins; ++q) {
    if (PositionOf(q) == PositionOf(p)) {
      behind = q;
      break;
    }
  }
  const auto fellNext = [&](int d) {
    const int q = NextStanding(p, PositionOf(p) + d);
    if (q != 0) {
      Fell(q);
      ++felled;
    }
    return q;
  };

  // A left or right chain keeps one draw for its whole run; a random one draws at every step.
  int r = bias == Bias::Random ? 0 : Draw();
  for (;;) {
    if (bias == Bias::Random) r = Draw();
    enum class Step { Lower, Higher, Both } step;
    switch (bias) {
      case Bias::Left:
        step = r <= 80 ? Step::Lower : r <= 95 ? Step::Both : Step::Higher;
        break;
      case Bias::Right:
        step = r <= 80 ? Step::Higher : r <= 95 ? Step::Both : Step::Lower;
        break;
      default:
        step = r <= 30 ? Step::Lower : r <= 60 ? Step::Higher : Step::Both;
        break;
    }
    if (step == Step::Lower) {
      if (const int q = fellNext(-2); q != 0) p = q;
    } else if (step == Step::Higher) {
      if (const int q = fellNext(2); q != 0) p = q;
    } else {
      // The lower pin goes its own way, to be followed later; the chain goes on higher.
      if (const int q = fellNext(-2); q != 0) branch = q;
      if (const int q = fellNext(2); q != 0) p = q;
    }
    if (p != last) {
      last = p;
      continue;
    }
    // Stuck: go back to the branch, or once to the pin behind the first.
    if (branch == 0 && behind > 0) {
      branch = behind;
      behind = 0;
      if (Standing(branch)) {
        Fell(branch);
        ++felled;
      }
    }
    if (branch == 0) return felled;
    p = branch;
    branch = 0;
    last = p;
  }
}

int Pinfall::ChainLeft(int& p) {
  return Chain(p, Bias::Left);
}
int Pinfall::ChainRight(int& p) {
  return Chain(p, Bias::Right);
}
int Pinfall::ChainRandom(int& p) {
  return Chain(p, Bias::Random);
}

int Pinfall::ClipPins(int pos, int pocket, Bias bias) {
  int felled = 0;
  if (pos == pocket && Draw() <= 90) {
    // The pocket: the rack goes from the head pin back, as long as the pins stand. Every one
    // of them counts, or a pocket strike would be heard as a miss.
    for (int i = 1; i <= kPins && Standing(i); ++i) {
      Fell(i);
      ++felled;
    }
  }
  for (const int side : {pos - 1, pos + 1}) {
    for (int i = 1; i <= kPins; ++i) {
      if (PositionOf(i) == side && Standing(i)) {
        Fell(i);
        ++felled;
        felled += Chain(i, bias);
      }
    }
  }
  return felled;
}

int Pinfall::ClipPinsRight(int pos) {
  return ClipPins(pos, 11, Bias::Left);
}
int Pinfall::ClipPinsLeft(int pos) {
  return ClipPins(pos, 9, Bias::Right);
}

Pinfall::Result Pinfall::Resolve(bool lefthanded) {
  std::int16_t& pos = session_.BallPosition;
  const int h = session_.HookAmount;
  int count = 0;
  // A strong hook bends the ball before it reaches the pins.
  bool hooked = true;
  if (h >= 9 && h <= 12) {
    pos += 4;
  } else if (h >= 13 && h <= 16) {
    pos += 8;
  } else if (h >= -12 && h <= -9) {
    pos -= 4;
  } else if (h >= -16 && h <= -13) {
    pos -= 8;
  } else {
    hooked = false;
  }
  if (pos < 2 || pos > 18) return {true, 0};

  for (;;) {
    const int r = Draw();
    for (int i = 1; i <= kPins; ++i) {
      if (PositionOf(i) == pos && Standing(i)) {
        Fell(i);
        ++count;
        if (r <= 60) {
          count += lefthanded ? ChainRight(i) : ChainLeft(i);
        } else if (r <= 90) {
          count += ChainRandom(i);
        } else {
          count += lefthanded ? ChainLeft(i) : ChainRight(i);
        }
      }
      if (count > 1) break;
    }
    if (count == 0) count = lefthanded ? ClipPinsLeft(pos) : ClipPinsRight(pos);

    // A gentle hook bends the ball late: a second pass one pin line over, adding to the count.
    if (hooked || h == 0) break;
    hooked = true;
    if (h >= 5 && h <= 8) {
      pos += 2;
    } else if (h >= -8 && h <= -5) {
      pos -= 2;
    } else {
      break;
    }
  }
  return {false, count};
}

}  // namespace strikora
