#!/usr/bin/env python3
"""The real program under Xvfb with a short sound set, driven by keys, in two scenarios:
  bowler  a bowler created by voice (then the window closed from the wizard); after a restart
          the bowler list names that bowler, a whole game is bowled, told and stored, the
          speech volume is turned down in the sound options and Escape ends the game; started
          a third time, the options still tell it, and the window is closed from them;
  splash  the window closed while the packs unpack under the jingle.
Every run must end with status 0, no failed clip or error, and the unpacked sounds cleared.
  scenarios.py bowler|splash STRIKORA STRIKORA-TEST-SOUNDSET STRIKORA-CLOSE-WINDOW"""

import os
import random
import re
import struct
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import strikora_driver as drive  # noqa: E402

SCORE_OF = r"play\tAnnouncerBuffer\t[^\t]*/scoreof\d\.wav\t"
UNPACKED = ("adverts", "ambient", "announce", "menu", "numbers", "play")


def check(ok, what):
    if not ok:
        raise drive.Failure(what)


def ended_clean(game, names_kept=True):
    """The run ended well and took away every unpacked folder but the names."""
    game.ended_well()
    for gone in UNPACKED:
        check(not os.path.exists(os.path.join(game.data, "sounds", gone)), gone + " left behind")
    if names_kept:
        check(os.path.isfile(os.path.join(game.data, "sounds", "names", "fn1.wav")) and
              os.path.isdir(os.path.join(game.data, "sounds", "names", "initials")),
              "the names went too")


def close(game, closer, title):
    check(subprocess.run([closer, game.find_window(title)],
                         env=dict(os.environ, DISPLAY=game.display)).returncode == 0,
          "could not close " + title)


def spoken_number(game):
    """The number told by the number clips that follow, up to the first clip on another slot:
    "1f.wav", "hundred.wav", "20p.wav" ..."""
    total = group = 0
    while True:
        line = game.wait_for(r"\tplay\t")
        if line[2] != "NumberBuffer":
            return total + group
        stem = re.sub(r"[fp]?\.wav$", "", os.path.basename(line[3]))
        if stem == "hundred":
            group *= 100
        elif stem == "thousnd":
            total, group = (total + group) * 1000, 0
        elif stem != "negativ":
            group += int(stem)


def roster_record(game):
    with open(os.path.join(game.data, "players.qbx"), "rb") as f:
        return f.read()


def open_options(game):
    """From the main menu's first item, once said, up past leaving the game to the options."""
    game.wait_quiet()
    game.press("Up")
    game.after(r"/lta\.wav\t", "Up")
    game.after(r"/options\.wav\t", "Return")


def bowler(game, closer):
    game.start("first")
    name = game.create_bowler()
    # The last-initial question ignores Escape: the close button leaves it.
    game.press("Down")
    for prompt in ("create", "uai", "initials/A"):
        game.after(r"/%s\.wav\t" % prompt, "Return")
    game.wait_for(r"/wyln\.wav\t")
    close(game, closer, "Select an Initial")
    ended_clean(game)
    record = roster_record(game)
    check(len(record) == 2054, "the roster holds %d bytes, not one record" % len(record))
    expected = b"%-12s%-12s\xff\xff\xff\xff" % (name.encode(), b"Z.wav")
    check(record[:28] == expected, "stored as %r, not %r" % (record[:28], expected))

    game.start("second")
    game.press("Down", "Down")
    game.after(r"/vps\.wav\t", "Return")
    game.wait_for(r"/vpsmenu\.wav\t")
    start = game.seen
    game.wait_for(r"\tAnnouncerBuffer\t.*/initials/Z\.wav\t")
    heard = [os.path.basename(l[3]) for l in game.lines[start:game.seen]
             if l[1] == "play" and l[2] in ("NumberBuffer", "AnnouncerBuffer")]
    check(len(heard) == 3 and re.fullmatch(r"1[fp]?\.wav", heard[0]) and heard[1:] == [name, "Z.wav"],
          "the list said %s" % heard)
    game.wait_quiet()
    game.press("Escape")
    game.after(r"/vps\.wav\t", "Up")
    game.after(r"/create\.wav\t", "Up")
    game.wait_for(r"/lgb\.wav\t")
    game.wait_quiet()
    game.choose_first_bowler()
    # Stop each sweep near the head pin: one tone a position from the left gutter (0) on.
    game.bowl(SCORE_OF, aims=lambda: random.randint(9, 13))
    spoken = spoken_number(game)
    game.after(r"/ruagain\.wav\t", "n", quiet=False)
    game.wait_for(r"/pgend\.wav\t")
    # The sound options: speech a step down, told as 90, and kept for the next start.
    game.wait_for(r"/lgb\.wav\t")
    open_options(game)
    game.after(r"/percent\.wav\t", "Left")
    check(spoken_number(game) == 90, "speech turned down is not told as 90")
    game.wait_quiet()
    game.press("Escape")
    game.after(r"/options\.wav\t", "Escape")
    game.wait_for(r"/end\.wav\t")
    ended_clean(game)
    check(any(l[1:] == ["key", "27", "0"] for l in game.lines), "Escape never reached the game")
    # The score told is stored: history slot 1 of play method 1, skill 1, the slot last written.
    stored, slot = (struct.unpack_from("<h", roster_record(game), at)[0] for at in (28, 2028))
    check((stored, slot) == (spoken, 1), "told %d, stored %d in slot %d" % (spoken, stored, slot))

    game.start("third")
    open_options(game)
    game.wait_for(r"/volspch\.wav\t")
    check(spoken_number(game) == 90, "the speech volume was not kept")
    game.wait_quiet()
    close(game, closer, "Sound Options:")
    ended_clean(game)


def splash(game, closer):
    game.launch("splash")
    game.wait_for(r"\tmp3\trun\t")
    close(game, closer, "Welcome to Strikora")
    ended_clean(game, names_kept=False)


def main(scenario, program, soundset_tool, closer):
    # Under the splash the jingle must outlast the close; elsewhere music is only a wait.
    return drive.run(scenario, program, soundset_tool,
                     lambda game: {"bowler": bowler, "splash": splash}[scenario](game, closer),
                     mp3_ms=20000 if scenario == "splash" else 300)


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:5]))
