#!/usr/bin/env python3
"""The real program under Xvfb with a short sound set, driven by keys:
  bowler  the main menu in large print, F8 changing its colours; a bowler created by voice, the
          window closed from the wizard; after a restart the list names that bowler, a whole game
          is bowled (the lane and the results in large print), told and stored, speech turned
          down in the sound options, Escape; a third start deletes the bowler, tells the speech
          volume again and closes the window;
  splash  the window closed while the packs unpack under the jingle.
Every run must end with status 0, no failed clip or error, and the unpacked sounds cleared.
  scenarios.py bowler|splash STRIKORA STRIKORA-TEST-SOUNDSET STRIKORA-CLOSE-WINDOW WORDS.TXT"""

import collections
import os
import pathlib
import random
import re
import shutil
import struct
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import strikora_driver as drive  # noqa: E402

SCORE_OF = r"play\tAnnouncerBuffer\t[^\t]*/scoreof\d\.wav\t"
UNPACKED = ("adverts", "ambient", "announce", "menu", "numbers", "play")
YELLOW, WHITE, BLACK = (255, 255, 0), (255, 255, 255), (0, 0, 0)


def check(ok, what):
    if not ok:
        raise drive.Failure(what)


def expect_text(game, name, ink, least=0.01):
    """The window (1024 x 640), dumped with xwd if there is one, is black paper with ink on it."""
    if shutil.which("xwd") is None:
        return
    time.sleep(0.3)  # the picture is drawn as the clip starts; let the server take it
    dump = subprocess.run(["xwd", "-silent", "-id", game.window], check=True, capture_output=True,
                          env=dict(os.environ, DISPLAY=game.display)).stdout
    h = struct.unpack(">25I", dump[:100])  # the header: sizes, byte order, depth, masks
    size, width, height, order, bpp, stride, ncolors = h[0], h[4], h[5], h[7], h[11], h[12], h[19]
    check(bpp == 32, "xwd gave %d bits a pixel" % bpp)
    check((width, height) == (1024, 640), "%s: the window is %d x %d" % (name, width, height))
    data, shifts = dump[size + 12 * ncolors:], [(m & -m).bit_length() - 1 for m in h[14:17]]
    rows = (data[y * stride: y * stride + 4 * width] for y in range(height))
    counts = collections.Counter(tuple((p & m) >> s for m, s in zip(h[14:17], shifts)) for row in rows
                                 for (p,) in struct.iter_unpack("<I" if order == 0 else ">I", row))
    text, paper = (100 * counts[c] / (width * height) for c in (ink, BLACK))
    check(paper >= 50 and text >= 100 * least,
          "%s: %.1f %% in the text colour, %.1f %% background" % (name, text, paper))
    print("ok %s: %.1f %% text, %.1f %% background" % (name, text, paper))


def ended_clean(game, names_kept=True):
    """The run ended well and took away every unpacked folder but the names."""
    game.ended_well()
    sounds = os.path.join(game.data, "sounds")
    check(not [d for d in UNPACKED if os.path.exists(os.path.join(sounds, d))], "sounds left behind")
    check(not names_kept or os.path.isfile(os.path.join(sounds, "names", "fn1.wav")) and
          os.path.isdir(os.path.join(sounds, "names", "initials")), "the names went too")


def close(game, closer, title):
    check(subprocess.run([closer, game.find_window(title)],
                         env=dict(os.environ, DISPLAY=game.display)).returncode == 0,
          "could not close " + title)


def spoken_number(game):
    """The number told by the number clips ("1f", "hundred", "20p" ...) up to another slot's."""
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


def open_options(game):
    """From the main menu's first item, once said, up past leaving the game to the options."""
    game.wait_quiet()
    game.press("Up")
    game.after(r"/lta\.wav\t", "Up")
    game.after(r"/options\.wav\t", "Return")


def bowler(game, closer):
    game.start("first")
    game.wait_quiet()
    expect_text(game, "the main menu", YELLOW)
    game.press("F8")
    expect_text(game, "F8, white on black", WHITE)
    game.press("F8", "F8")
    name = game.create_bowler()
    # The last-initial question ignores Escape: the close button leaves it.
    game.press("Down")
    for prompt in ("create", "uai", "initials/A"):
        game.after(r"/%s\.wav\t" % prompt, "Return")
    game.wait_for(r"/wyln\.wav\t")
    close(game, closer, "Select an Initial")
    ended_clean(game)
    record = pathlib.Path(game.data, "players.qbx").read_bytes()
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

    def lane(frame):  # the lane in large print at the ball calls of the fourth frame
        if frame == 3:
            game.wait_quiet()
            expect_text(game, "the lane mid-game", YELLOW)

    # Stop each sweep near the head pin: one tone a position from the left gutter (0) on.
    game.bowl(SCORE_OF, before_ball=lane, aims=lambda: random.randint(9, 13))
    spoken = spoken_number(game)
    game.wait_for(r"/ruagain\.wav\t")
    expect_text(game, "the results", YELLOW, least=0.005)
    game.press("n")
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
    stored, slot = (struct.unpack_from("<h", pathlib.Path(game.data, "players.qbx").read_bytes(), at)[0] for at in (28, 2028))
    check((stored, slot) == (spoken, 1), "told %d, stored %d in slot %d" % (spoken, stored, slot))

    game.start("third")  # the bowler deleted from the list, then the options kept
    game.press("Down", "Down")
    game.after(r"/vps\.wav\t", "Return")
    game.after(r"\tAnnouncerBuffer\t.*/initials/Z\.wav\t", "Delete")
    game.after(r"/yesno\.wav\t", "y")
    game.wait_for(r"/psao\.wav\t")
    game.after(r"/vps\.wav\t", "Up")
    game.after(r"/create\.wav\t", "Up")
    game.wait_for(r"/lgb\.wav\t")
    open_options(game)
    game.wait_for(r"/volspch\.wav\t")
    check(spoken_number(game) == 90, "the speech volume was not kept")
    game.wait_quiet()
    close(game, closer, "Sound Options:")
    ended_clean(game)
    check(pathlib.Path(game.data, "players.qbx").read_bytes() == b"", "the deleted bowler is kept")


def splash(game, closer):
    game.launch("splash")
    game.wait_for(r"\tmp3\trun\t")
    close(game, closer, "Welcome to Strikora")
    ended_clean(game, names_kept=False)


def main(scenario, program, soundset_tool, closer, words):
    # Under the splash the jingle must outlast the close; elsewhere music is only a wait. The
    # screen has room for the window's own 1024 x 640.
    return drive.run(scenario, program, soundset_tool,
                     lambda game: {"bowler": bowler, "splash": splash}[scenario](game, closer),
                     mp3_ms=20000 if scenario == "splash" else 300, screen="1280x1024x24",
                     words=words)


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:6]))
