#include "tools/ClipList.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>
#include <utility>

namespace strikora::voiceset {
namespace {

class ClipTable {
 public:
  void Say(Pack pack, std::string file, Voice voice, std::string text) {
    Clips.push_back({pack, std::move(file), ClipKind::Speech, voice, std::move(text)});
  }
  void Make(Pack pack, std::string file, ClipKind kind, Effect effect, int p1 = 0, int p2 = 0,
            std::string text = {}, Voice voice = Voice::None) {
    Clips.push_back({pack, std::move(file), kind, voice, std::move(text), effect, p1, p2});
  }
  std::vector<Clip> Clips;
};

std::string N(int n) {
  return std::to_string(n);
}

void AddNumbers(ClipTable& t) {
  const char* units[] = {"zero",     "one",      "two",      "three",   "four",    "five",
                         "six",      "seven",    "eight",    "nine",    "ten",     "eleven",
                         "twelve",   "thirteen", "fourteen", "fifteen", "sixteen", "seventeen",
                         "eighteen", "nineteen", "twenty"};
  const char* tens[] = {"thirty", "forty", "fifty", "sixty", "seventy", "eighty", "ninety"};
  std::vector<std::pair<std::string, std::string>> stems;
  for (int i = 0; i <= 20; ++i) stems.emplace_back(N(i), units[i]);
  for (int i = 0; i < 7; ++i) stems.emplace_back(N(30 + 10 * i), tens[i]);
  stems.emplace_back("hundred", "hundred");
  stems.emplace_back("thousnd", "thousand");
  stems.emplace_back("negativ", "minus");
  // Three speakers, so that a score heard twice need not sound the same.
  const std::pair<const char*, Voice> variants[] = {
      {".wav", Voice::NumberPlain}, {"f.wav", Voice::NumberF}, {"p.wav", Voice::NumberP}};
  for (const auto& [stem, word] : stems) {
    for (const auto& [suffix, voice] : variants) t.Say(Pack::Numbers, stem + suffix, voice, word);
  }
}

void AddAnnouncer(ClipTable& t) {
  const auto say = [&t](std::string file, std::string text) {
    t.Say(Pack::Announce, std::move(file), Voice::Announcer, std::move(text));
  };
  const char* ordinals[] = {"one", "two",   "three", "four", "five",
                            "six", "seven", "eight", "nine", "ten"};
  for (int f = 1; f <= 9; ++f)
    say("frame" + N(f) + ".wav", std::string("Frame ") + ordinals[f - 1] + ".");
  say("frame10.wav", "Frame ten. The final frame!");

  // 1 to 3 follow the bowler's name, 4 to 6 come before it.
  say("isup1.wav", "is up.");
  say("isup2.wav", "steps up to the line.");
  say("isup3.wav", "is on the approach.");
  say("isup4.wav", "Next on the lane,");
  say("isup5.wav", "Here comes");
  say("isup6.wav", "Now bowling,");

  say("fwstrk.wav", "She struck last frame. Can she do it again?");
  say("mwstrk.wav", "He's coming off a strike.");
  say("fw2strk.wav", "She has a double going!");
  say("mw2strk.wav", "He has a double going!");
  say("fwspr.wav", "She picked up the spare last frame.");
  say("mwspr.wav", "He picked up the spare last frame.");

  say("1stball1.wav", "First ball.");
  say("1stball2.wav", "Here's the first ball.");
  say("1stball3.wav", "Ready for the first ball.");
  say("2ndball1.wav", "Second ball.");
  say("2ndball2.wav", "Second ball. Go get those pins.");
  say("2ndball3.wav", "Now for the second ball.");
  say("xtraball.wav", "Extra ball!");
  say("nxtplay1.wav", "Press enter for the next bowler.");
  say("nxtplay2.wav", "That's the turn. Enter brings up the next bowler.");
  say("etc.wav", "That's the frame. Press enter to go on.");

  const char* gutter[] = {"Oh no, a gutter ball.",      "Right into the gutter!",
                          "That one found the gutter.", "Gutter ball. Shake it off.",
                          "Oops, the gutter takes it.", "Not even close. Gutter ball."};
  for (int k = 1; k <= 6; ++k) say("g" + N(k) + ".wav", gutter[k - 1]);

  const std::pair<const char*, std::array<const char*, 2>> strike[] = {
      {"f", {"Strike! What a ball!", "She gets a strike!"}},
      {"m", {"Strike! He nailed it!", "Boom! A strike for him!"}}};
  for (const auto& [sex, lines] : strike) {
    for (int k = 1; k <= 2; ++k) say("strk" + std::string(sex) + N(k) + ".wav", lines[k - 1]);
  }
  const bool she[] = {true, false};
  for (const bool female : she) {
    const std::string sex = female ? "f" : "m";
    const std::string pro = female ? "She" : "He";
    const std::string pos = female ? "her" : "his";
    say("prfaim" + sex + "1.wav", "Perfect aim, right in the pocket.");
    say("prfaim" + sex + "2.wav",
        pro + " put it exactly where " + (female ? "she" : "he") + " wanted it.");
    say("strkrh" + sex + "1.wav", "What a hook! It curled right into the pocket.");
    say("strkrh" + sex + "2.wav", pro + " bent that one to the right, beautifully.");
    say("strklh" + sex + "1.wav", "A lovely hook to the left did the job.");
    say("strklh" + sex + "2.wav", pro + " curved it left, and " + pos + " hook paid off.");
    say("lgwts" + sex + ".wav", pro + " let go way too soon.");
    say("lglts" + sex + ".wav", pro + " let go a little too soon.");
    say("lgltl" + sex + ".wav", pro + " let go a little too late.");
    say("spare" + sex + "1.wav", "Spare! " + pro + " picks it up!");
    say("spare" + sex + "2.wav",
        "That's a spare for " + std::string(female ? "her" : "him") + ". Nicely done.");
    say(sex + "ht.wav", std::string(female ? "Her" : "His") + " handicap was");
    say("prfgam" + sex + ".wav", "A perfect game! " + pro + " rolled twelve strikes in a row!");
  }

  // What the ball did: first-ball leaves by pins down, then second-ball pickups.
  const std::pair<std::string, std::array<const char*, 3>> leaves[] = {
      {"k1-3", {"Only a few pins down.", "Just a light hit.", "Lots of pins still standing."}},
      {"k4-6",
       {"About half the rack is down.", "A fair hit, half of them gone.",
        "Middling. Half the pins are left."}},
      {"k7-8",
       {"Good ball. Just a few left.", "Nice hit, only a couple standing.",
        "Most of them down. A makeable spare."}},
      {"k9",
       {"Nine pins! Just one left.", "So close. One pin standing.",
        "Nine down. One lonely pin left."}},
      {"k21", {"One more pin.", "Picked off just one.", "Got one of them."}},
      {"k22-3", {"Two or three more down.", "A couple more pins.", "Picked up a few."}},
      {"k24-6", {"A good second ball.", "Several more pins down.", "A nice clean-up."}},
      {"k27-",
       {"Seven or more on the second ball!", "What a second ball!", "Great clean-up ball!"}},
      {"m", {"Missed them all.", "Nothing on that one.", "Not a pin."}}};
  for (const auto& [stem, lines] : leaves) {
    for (int k = 1; k <= 3; ++k) say(stem + N(k) + ".wav", lines[k - 1]);
  }
  say("spare.wav", "The spare is still there for the taking.");
  say("pko.wav", "Pins knocked down:");
  say("stndpin.wav", "Pins still standing:");

  // The lane's report keys and questions.
  say("help1.wav",
      "Lane keys. Space starts your aim, and space or down arrow releases the ball where the "
      "tone is. Hold left or right shift as the ball leaves your hand to hook it. P lists the "
      "standing pins, S gives your frame score, T your game score, F5 says where you last "
      "aimed, R repeats who is up, and F12 tells the time. Page up and page down change the "
      "crowd noise. Escape leaves the game.");
  say("help2.wav",
      "How to bowl. The aim tone sweeps from the left gutter to the right and back. A brighter "
      "tone marks the pin lines. With aim and swing, ten swing sounds follow your aim: release "
      "on the eighth for a straight ball. When a turn is over, enter calls the next bowler.");
  say("frmscor.wav", "frame score:");
  say("gamscor.wav", "game score:");
  say("leave.wav", "Do you want to leave this game?");
  const char* waitSpace[] = {
      "Press space when you're ready to aim.",    "The lane is yours. Press space.",
      "Take your time, then press space to aim.", "Space starts the aim.",
      "The pins are waiting. Press space.",       "Whenever you're ready, press space.",
      "Press F1 for help, or space to aim."};
  for (int n = 1; n <= 7; ++n) say("imp" + N(n) + ".wav", waitSpace[n - 1]);
  const char* waitEnter[] = {"Press enter for the next bowler.",
                             "Next bowler? Press enter.",
                             "The lane is ready. Press enter to go on.",
                             "Enter brings up the next bowler.",
                             "Still there? Press enter.",
                             "Press enter to keep the game going."};
  for (int n = 1; n <= 6; ++n) say("imp2" + N(n) + ".wav", waitEnter[n - 1]);

  // The opening.
  say("intro1a.wav", "Good morning, and welcome to Strikora!");
  say("intro1b.wav", "Good afternoon, and welcome to Strikora!");
  say("intro1c.wav", "Good evening, and welcome to Strikora!");
  say("welcome.wav", "Welcome to Strikora Lanes, ladies and gentlemen!");
  say("sponsor1.wav", "Tonight's game is brought to you by Pinwheel Pizza.");
  say("sponsor2.wav", "This game comes to you courtesy of Lanemaster Bowling Balls.");
  say("1stlook.wav", "Let's meet tonight's bowlers.");
  say("wordfrom.wav", "And now, a word from our sponsors.");
  for (const bool female : she) {
    const std::string pro = female ? "she" : "he";
    const std::string pos = female ? "her" : "his";
    for (const bool left : {false, true}) {
      const std::string hander = left ? "left-hander" : "right-hander";
      const std::string stem = std::string(female ? "f" : "m") + (left ? "lh" : "rh");
      say(stem + "n.wav", "a " + hander + ", bowling " + pos + " first game with us!");
      say(stem + "b.wav", "a " + hander + " who is still finding " + pos + " line.");
      say(stem + "e.wav", "a solid " + hander + ". Always a threat.");
      say(stem + "p.wav", "a powerful " + hander + ". The crowd loves " +
                              std::string(female ? "her" : "him") + "!");
    }
  }

  // The results.
  say("handi.wav", "Tonight's scores include handicap.");
  say("solo1.wav", "Bowling on your own tonight,");
  say("solo2.wav", "And for our solo bowler,");
  say("1stplc1.wav", "And the winner is");
  say("1stplc2.wav", "In first place,");
  say("2ndplc1.wav", "In second place,");
  say("2ndplc2.wav", "Taking second,");
  say("3rdplc1.wav", "In third place,");
  say("3rdplc2.wav", "Taking third,");
  say("lastplc1.wav", "In last place,");
  say("lastplc2.wav", "Bringing up the rear,");
  say("nextplc1.wav", "Next,");
  say("nextplc2.wav", "In the next spot,");
  say("tying.wav", "Tying with");
  say("was.wav", "was");
  say("scoreof1.wav", "with a score of");
  say("scoreof2.wav", "finishing on");
  say("scoreof3.wav", "scoring");
  say("ruagain.wav", "Would you like to hear the results again?");
  say("pgend.wav", "That's the game. Thanks for bowling at Strikora Lanes!");

  t.Make(Pack::Announce, "themesng.mp3", ClipKind::Music, Effect::Theme);
  t.Make(Pack::Announce, "pgstart.mp3", ClipKind::Music, Effect::Closing);
}

void AddAdverts(ClipTable& t) {
  const char* adverts[] = {
      "Hungry after a great game? Pinwheel Pizza. Every slice a strike. Open late, right "
      "next door.",
      "Gutterglow Shoes. Light up the lane with every step. Rent a pair at the front desk.",
      "Lanemaster Bowling Balls. Perfect weight, perfect hook, perfect game. Ask for one by name.",
      "Ten Frame Coffee. Ten cups, ten flavours, one great morning. Now brewing at the snack bar.",
      "Split Decision Insurance. Because life leaves a seven ten split now and then. Call us "
      "today.",
      "Strike Force sports drink. Cool, fizzy and full of power for the tenth frame.",
      "Alley Cat Car Wash. Your car comes out shining like a fresh lane. Open every day.",
      "Spare Parts Hardware. Whatever you are missing, we've got the spare. Downtown, on Main "
      "Street.",
      "Hook Line Travel. Curve away to sunny beaches. Book your holiday today.",
      "The Seven Ten Diner. Breakfast, lunch and dinner, ten till seven. Try the bowling pin "
      "pancakes."};
  for (int n = 1; n <= 10; ++n) {
    t.Make(Pack::Adverts, "advert" + N(n) + ".mp3", ClipKind::Music, Effect::Advert, n, 0,
           adverts[n - 1], Voice::Sponsor);
  }
}

void AddAmbient(ClipTable& t) {
  t.Make(Pack::Ambient, "alley.wav", ClipKind::Effect, Effect::AlleyAmbience);
  for (int k = 1; k <= 5; ++k) {
    t.Make(Pack::Ambient, "music" + N(k) + ".wav", ClipKind::Music, Effect::MusicLoop, k);
  }
  for (int k = 1; k <= 7; ++k)
    t.Make(Pack::Ambient, "ohs" + N(k) + ".wav", ClipKind::Effect, Effect::Ohs, k);
  for (int k = 1; k <= 15; ++k) {
    t.Make(Pack::Ambient, "amb" + N(k) + ".wav", ClipKind::Effect, Effect::AmbientEvent, k);
  }
}

void AddMenus(ClipTable& t) {
  const auto say = [&t](std::string file, std::string text) {
    t.Say(Pack::Menu, std::move(file), Voice::Menu, std::move(text));
  };
  t.Make(Pack::Menu, "menu.wav", ClipKind::Music, Effect::MenuMusic);
  t.Make(Pack::Menu, "active.wav", ClipKind::Tone, Effect::Chime);
  // The main menu.
  say("psao.wav", "Main menu. Use the up and down arrows to choose, and enter to select.");
  say("lgb.wav", "Let's go bowling! Start a new game.");
  say("create.wav", "Create a new bowler.");
  say("vps.wav", "View or delete bowlers, and hear their averages.");
  say("uh.wav", "Handicap scoring is");
  say("on.wav", "on.");
  say("off.wav", "off.");
  t.Make(Pack::Menu, "spkrtest.wav", ClipKind::Speech, Effect::SpeakerTest, 0, 0,
         "Speaker test.|This is the left speaker.|This is the right speaker.", Voice::Menu);
  say("options.wav", "Sound options.");
  say("lta.wav", "Leave the alley, and quit the game.");
  say("end.wav", "Thanks for bowling with us. See you next time!");
  say("yesno.wav", "Press Y for yes, or N for no.");
  // The sound options.
  say("psoption.wav",
      "Sound options. Use the up and down arrows to choose, left and right to change, and "
      "escape to go back.");
  say("volspch.wav", "Speech volume:");
  say("volfx.wav", "Lane effects volume:");
  say("volcrowd.wav", "Crowd volume:");
  say("volmusic.wav", "Music volume:");
  say("percent.wav", "percent.");
  say("clearsp.wav", "Clear speech on the lane is");
  say("headph.wav", "Headphones 3D sound is");
  // The roster menus.
  say("selplyrs.wav",
      "Choose today's bowlers. Use the arrows to move through the roster, space to add or "
      "remove a bowler, and enter when everyone is in. The number keys jump by tens.");
  say("vpsmenu.wav",
      "Bowlers. Use the arrows to move through the roster. Enter tells a bowler's averages, "
      "delete removes a bowler, and escape goes back to the main menu.");
  say("selplay.wav", "Today's bowlers are:");
  say("delete.wav", "Delete this bowler?");
  say("stats.wav",
      "Bowler statistics. Use the arrows to hear each average, and escape to go back.");
  say("lefty.wav", "Left-handed.");
  say("righty.wav", "Right-handed.");
  say("avgof.wav", "average of");
  // Play method and skill.
  say("psapm.wav", "Choose a play method.");
  say("pssl.wav", "Choose a skill level.");
  say("pm1.wav", "Aim only.");
  say("pm2.wav", "Aim and swing.");
  const char* levels[] = {"Skill level one. Beginner.", "Skill level two. Casual.",
                          "Skill level three. League.", "Skill level four. Expert.",
                          "Skill level five. Professional."};
  const char* descriptions[] = {
      "Every pin line is marked on the aim sweep, and the tones are slow.",
      "Every pin line but the centre is marked, and the sweep is a little quicker.",
      "Only the outer pin lines are marked, and the sweep is quicker still.",
      "Only the two edge pin lines are marked, and the sweep is fast.",
      "No marks at all, and the fastest sweep. Good luck!"};
  for (int i = 1; i <= 5; ++i) {
    say("l" + N(i) + ".wav", levels[i - 1]);
    say("ld" + N(i) + ".wav", descriptions[i - 1]);
  }
  // The new-bowler wizard.
  say("full.wav", "The roster is full. Delete a bowler first.");
  say("hello.wav", "Hello,");
  say("wyfn.wav", "What is your first name?");
  say("uai.wav", "Use an initial.");
  say("uafn.wav", "Choose a name from the list.");
  say("wyln.wav", "What is the initial of your last name?");
  say("morf.wav", "Are you male or female?");
  say("male.wav", "Male.");
  say("female.wav", "Female.");
  say("sybh.wav", "What is your bowling hand?");
}

void AddPlay(ClipTable& t) {
  const Pack p = Pack::Play;
  for (int skill = 1; skill <= 5; ++skill) {
    for (int tone = 0; tone <= 1; ++tone) {
      t.Make(p, "aim" + N(tone) + N(skill) + ".wav", ClipKind::Tone, Effect::AimTone, tone, skill);
    }
    for (int k = 1; k <= 10; ++k) {
      t.Make(p, "sw" + N(skill) + N(k) + ".wav", ClipKind::Effect, Effect::Swing, skill, k);
    }
  }
  t.Make(p, "roll.wav", ClipKind::Effect, Effect::Roll, 0);
  t.Make(p, "rollhard.wav", ClipKind::Effect, Effect::Roll, 1);
  t.Make(p, "hook.wav", ClipKind::Effect, Effect::Hook);
  t.Make(p, "thumb.wav", ClipKind::Effect, Effect::Thumb);
  t.Make(p, "gutter.wav", ClipKind::Effect, Effect::Gutter);
  for (int n = 1; n <= 10; ++n)
    t.Make(p, "pin" + N(n) + ".wav", ClipKind::Effect, Effect::PinCrash, n);
  t.Make(p, "cheers1.wav", ClipKind::Effect, Effect::CrowdRoar, 1);
  t.Make(p, "cheers2.wav", ClipKind::Effect, Effect::CrowdRoar, 2);
  for (int k = 1; k <= 9; ++k)
    t.Make(p, "cheer" + N(k) + ".wav", ClipKind::Effect, Effect::Whoop, k);
  const char* forHer[] = {"Go, girl!", "Way to go, lady!"};
  const char* forHim[] = {"Go, man, go!", "That's my guy!"};
  for (int k = 1; k <= 2; ++k) {
    t.Make(p, "cheerf" + N(k) + ".wav", ClipKind::Effect, Effect::CrowdShout, k, 0, forHer[k - 1],
           Voice::Crowd);
    t.Make(p, "cheerm" + N(k) + ".wav", ClipKind::Effect, Effect::CrowdShout, k, 0, forHim[k - 1],
           Voice::Crowd);
  }
  t.Make(p, "turkey.wav", ClipKind::Effect, Effect::CrowdShout, 3, 0, "Turkey! Turkey!",
         Voice::Crowd);
  t.Make(p, "ballret.wav", ClipKind::Effect, Effect::BallReturn);
  t.Make(p, "buzzer.wav", ClipKind::Effect, Effect::Buzzer);
  t.Make(p, "miss.wav", ClipKind::Effect, Effect::Miss);
}

void AddNames(ClipTable& t) {
  const auto& names = FirstNames();
  for (std::size_t i = 0; i < names.size(); ++i) {
    t.Say(Pack::StdNames, "fn" + N(static_cast<int>(i) + 1) + ".wav", Voice::Announcer, names[i]);
  }
  t.Make(Pack::StdNames, "../names.dat", ClipKind::Data, Effect::NamesList);
  for (char c = 'A'; c <= 'Z'; ++c) {
    // A capital letter alone is spoken as its name ("B" as "bee").
    t.Say(Pack::Initials, std::string(1, c) + ".wav", Voice::Announcer, std::string(1, c));
  }
}

// Where each sound sits against the voices, hundredths of a LU relative to kSpeechLoudness.
// The words always come first: an effect tells what happened, the announcer then says it.
int LevelOf(const Clip& c) {
  switch (c.effect) {
    case Effect::None:         // speech
    case Effect::SpeakerTest:  // speech, each side as loud as a centred voice
    case Effect::Advert:       // the sponsor's words at speech level, the music ducked under them
    case Effect::Silence:
    case Effect::NamesList:
      return 0;
    case Effect::AimTone:
      // Heard over the alley at every sweep step, so a little under the voice; the landmark a
      // touch above the plain tone, on top of its brighter sound.
      return c.param1 == 1 ? -300 : -400;
    case Effect::Swing: {
      // Grows toward the release point in the middle of the swing, as the arm speeds up.
      const double speed = std::sin(std::numbers::pi * c.param2 / 11.0);
      return static_cast<int>(std::lround(-1000 + 600 * speed));
    }
    case Effect::Roll:
      return c.param1 == 1 ? -200 : -400;  // the hard ball is the heavier sound
    case Effect::Hook:
      return -400;
    case Effect::Thumb:
      return -500;
    case Effect::Gutter:
      return -300;
    case Effect::PinCrash:
      // One pin is a knock, ten a strike's crash at the voice's own level: the count is heard
      // in the level as well as the length.
      return -900 + 100 * (c.param1 - 1);
    case Effect::CrowdRoar:
      return c.param1 == 1 ? -100 : -400;  // the whole house roaring, or applause
    case Effect::CrowdShout:
      return -300;  // a few supporters: words, but not the announcer's
    case Effect::Whoop:
      return -700;  // one voice in the crowd, a whistle no louder than a cheer
    case Effect::BallReturn:
      return -600;
    case Effect::Buzzer:
      return -400;  // an alarm that is heard, not one that startles
    case Effect::Miss:
      return -500;
    case Effect::Chime:
      return -500;
    case Effect::AlleyAmbience:
      return -300;  // the game lowers it further under the play
    case Effect::AmbientEvent:
      // Other lanes and the bar: a strike or a laugh carries, talk and glasses less, footsteps
      // least.
      switch (c.param1 % 5) {
        case 1:
        case 2:
          return -600;
        case 3:
        case 4:
          return -700;
        default:
          return -900;
      }
    case Effect::Ohs:
      return -400;
    case Effect::MusicLoop:
    case Effect::MenuMusic:
      return -200;  // the game plays the loops well below this
    case Effect::Jingle:
    case Effect::Theme:
    case Effect::Closing:
      return 0;  // heard alone, between the talking
  }
  return 0;
}

std::vector<Clip> BuildClips() {
  ClipTable t;
  AddNumbers(t);
  AddAnnouncer(t);
  AddAdverts(t);
  AddAmbient(t);
  AddMenus(t);
  AddPlay(t);
  AddNames(t);
  t.Make(Pack::Beside, "silence.wav", ClipKind::Effect, Effect::Silence);
  t.Make(Pack::Beside, "logos.mp3", ClipKind::Music, Effect::Jingle);
  for (Clip& c : t.Clips) c.level = LevelOf(c);
  return std::move(t.Clips);
}

}  // namespace

std::string_view PackFileName(Pack pack) {
  switch (pack) {
    case Pack::Numbers:
      return "numbers.des";
    case Pack::Announce:
      return "announce.des";
    case Pack::Adverts:
      return "adverts.des";
    case Pack::Ambient:
      return "ambient.des";
    case Pack::Menu:
      return "menu.des";
    case Pack::Play:
      return "play.des";
    case Pack::StdNames:
      return "stdnames.des";
    case Pack::Initials:
      return "initials.des";
    case Pack::Beside:
      return "";
  }
  return "";
}

std::string_view PackDestination(Pack pack) {
  switch (pack) {
    case Pack::Numbers:
      return "numbers";
    case Pack::Announce:
      return "announce";
    case Pack::Adverts:
      return "adverts";
    case Pack::Ambient:
      return "ambient";
    case Pack::Menu:
      return "menu";
    case Pack::Play:
      return "play";
    case Pack::StdNames:
      return "names";
    case Pack::Initials:
      return "names/initials";
    case Pack::Beside:
      return "";
  }
  return "";
}

bool Clip::Loops() const {
  return effect == Effect::AlleyAmbience || effect == Effect::MusicLoop ||
         effect == Effect::MenuMusic;
}

bool Clip::IsMp3() const {
  return file.size() > 4 && file.ends_with(".mp3");
}

std::string Clip::PackEntryName() const {
  std::string name = file;
  std::replace(name.begin(), name.end(), '/', '\\');
  return name;
}

const std::vector<Clip>& AllClips() {
  static const std::vector<Clip> clips = BuildClips();
  return clips;
}

std::vector<const Clip*> ClipsOf(Pack pack) {
  std::vector<const Clip*> out;
  for (const auto& c : AllClips()) {
    if (c.pack == pack) out.push_back(&c);
  }
  return out;
}

const Clip* FindClip(Pack pack, std::string_view file) {
  for (const auto& c : AllClips()) {
    if (c.pack == pack && c.file == file) return &c;
  }
  return nullptr;
}

const std::vector<std::string>& FirstNames() {
  // File order is roughly how common the names are; the list is offered alphabetically
  // through names.dat.
  static const std::vector<std::string> names = {
      "James",     "Mary",      "John",       "Patricia", "Robert",    "Jennifer", "Michael",
      "Linda",     "William",   "Elizabeth",  "David",    "Barbara",   "Richard",  "Susan",
      "Joseph",    "Jessica",   "Thomas",     "Sarah",    "Charles",   "Karen",    "Christopher",
      "Lisa",      "Daniel",    "Nancy",      "Matthew",  "Betty",     "Anthony",  "Margaret",
      "Mark",      "Sandra",    "Donald",     "Ashley",   "Steven",    "Kimberly", "Paul",
      "Emily",     "Andrew",    "Donna",      "Joshua",   "Michelle",  "Kenneth",  "Carol",
      "Kevin",     "Amanda",    "Brian",      "Dorothy",  "George",    "Melissa",  "Timothy",
      "Deborah",   "Ronald",    "Stephanie",  "Edward",   "Rebecca",   "Jason",    "Sharon",
      "Jeffrey",   "Laura",     "Ryan",       "Cynthia",  "Jacob",     "Kathleen", "Gary",
      "Amy",       "Nicholas",  "Angela",     "Eric",     "Shirley",   "Jonathan", "Anna",
      "Stephen",   "Brenda",    "Larry",      "Pamela",   "Justin",    "Emma",     "Scott",
      "Nicole",    "Brandon",   "Helen",      "Benjamin", "Samantha",  "Samuel",   "Katherine",
      "Gregory",   "Christine", "Alexander",  "Debra",    "Frank",     "Rachel",   "Patrick",
      "Carolyn",   "Raymond",   "Janet",      "Jack",     "Catherine", "Dennis",   "Maria",
      "Jerry",     "Heather",   "Tyler",      "Diane",    "Aaron",     "Ruth",     "Jose",
      "Julie",     "Adam",      "Olivia",     "Nathan",   "Joyce",     "Henry",    "Virginia",
      "Douglas",   "Victoria",  "Zachary",    "Kelly",    "Peter",     "Lauren",   "Kyle",
      "Christina", "Ethan",     "Joan",       "Walter",   "Evelyn",    "Noah",     "Judith",
      "Jeremy",    "Megan",     "Christian",  "Andrea",   "Keith",     "Cheryl",   "Roger",
      "Hannah",    "Terry",     "Jacqueline", "Gerald",   "Martha",    "Harold",   "Gloria",
      "Sean",      "Teresa",    "Austin",     "Ann",      "Carl",      "Sara",     "Arthur",
      "Madison",   "Lawrence",  "Frances"};
  return names;
}

std::string NamesDatText() {
  const auto& names = FirstNames();
  std::vector<int> order(names.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&names](int a, int b) { return names[a] < names[b]; });
  std::string text;
  for (const int i : order) text += std::to_string(i + 1) + "\n";
  return text;
}

}  // namespace strikora::voiceset
