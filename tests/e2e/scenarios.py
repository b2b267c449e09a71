#!/usr/bin/env python3
"""The real program under Xvfb with a short sound set, driven by keys, in two scenarios:
  bowler  a bowler created by voice (then the window closed from the wizard); after a restart
          the bowler list names that bowler, a whole game is bowled, told and stored, and
          Escape ends the game; started a third time, the bowler is deleted and the window
          closed from the main menu;
  splash  the window closed while the packs unpack under the jingle.
Every run must end with status 0, no failed clip or error, and the unpacked sounds cleared.
  scenarios.py bowler|splash STRIKORA STRIKORA-TEST-SOUNDSET STRIKORA-CLOSE-WINDOW"""

import os
import random
import re
import shutil
import struct
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import strikora_driver as drive  # noqa: E402

BALL = r"play\tAnnouncerBuffer\t[^\t]*/(1stball\d|2ndball\d|xtraball)\.wav\t"
TURN_OVER = r"play\tAnnouncerBuffer\t[^\t]*/(nxtplay\d|etc)\.wav\t"
SCORE_OF = r"play\tAnnouncerBuffer\t[^\t]*/scoreof\d\.wav\t"
OUTCOME = (r"play\t(BallBuffer\t[^\t]*/(pin\d+|gutter)\.wav|"
           r"SpeechBuffer\t[^\t]*/(miss|buzzer)\.wav)\t")
UNPACKED = ("adverts", "ambient", "announce", "menu", "numbers", "play")


def check(ok, what):
    if not ok:
        raise drive.Failure(what)


def ended_clean(game, names_kept=True):
    """The run ended well and took away every unpacked folder but the names."""
    status = game.finish()
    check(status == 0 and not game.failures(),
          "exit status %d; failed clips or errors: %s" % (status, game.failures()))
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


def bowl(game):
    """Bowls ten frames for one bowler; returns the pins heard per delivery, frame by frame."""
    frames, frame = [[] for _ in range(10)], 0
    while True:
        clip = os.path.basename(game.wait_for("|".join([BALL, TURN_OVER, SCORE_OF]))[3])
        if clip.startswith("scoreof"):
            return frames
        if clip.startswith(("nxtplay", "etc")):
            game.press("Return")
            frame += 1
            continue
        check(frame < 10, "more than ten turns")
        game.press("space")
        # Stop the sweep near the head pin: one tone a position from the left gutter (0) on.
        for _ in range(random.randint(9, 13)):
            game.wait_for(r"play\tAimBuffers\[")
        game.press("Down")
        pins = re.match(r"pin(\d+)\.wav", os.path.basename(game.wait_for(OUTCOME)[3]))
        frames[frame].append(int(pins.group(1)) if pins else 0)


def ten_pin_score(frames):
    """frames: ten lists of pins felled by each delivery (the tenth may hold three)."""
    rolls, score, i = [p for f in frames for p in f], 0, 0
    for _ in range(9):
        strike = rolls[i] == 10
        spare = not strike and rolls[i] + rolls[i + 1] == 10
        score += sum(rolls[i:i + (3 if strike or spare else 2)])
        i += 1 if strike else 2
    return score + sum(rolls[i:])


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


def bowler(game, closer):
    game.start("first")
    name = game.create_bowler()
    check(any(l[1:3] == ["play", "SpeechBuffer"] and l[3].endswith("/hello.wav")
              for l in game.lines), "no greeting")
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
    frames = bowl(game)
    spoken, expected = spoken_number(game), ten_pin_score(frames)
    print("pins heard per frame:", frames, "score spoken:", spoken, "ten-pin total:", expected)
    check(spoken == expected, "the score spoken is not the total of the pins heard")
    game.after(r"/ruagain\.wav\t", "n", quiet=False)
    game.wait_for(r"/pgend\.wav\t")
    game.after(r"/lgb\.wav\t", "Escape")
    game.wait_for(r"/end\.wav\t")
    ended_clean(game)
    check(any(l[1:] == ["key", "27", "0"] for l in game.lines), "Escape never reached the game")
    # History slot 1 of play method 1, skill 1, then the slot last written.
    stored, slot = (struct.unpack_from("<h", roster_record(game), at)[0] for at in (28, 2028))
    check((stored, slot) == (expected, 1), "the roster holds %d in slot %d" % (stored, slot))

    game.start("third")
    game.press("Down", "Down")
    game.after(r"/vps\.wav\t", "Return")
    game.after(r"\tAnnouncerBuffer\t.*/initials/Z\.wav\t", "Delete")
    game.after(r"/yesno\.wav\t", "y")
    game.wait_for(r"/psao\.wav\t")
    game.wait_quiet()
    close(game, closer, "Main Menu:")
    ended_clean(game)
    check(roster_record(game) == b"", "the deleted bowler is still in the roster file")


def splash(game, closer):
    game.launch("splash")
    game.wait_for(r"\tmp3\trun\t")
    close(game, closer, "Welcome to Strikora")
    ended_clean(game, names_kept=False)


def main(scenario, program, soundset_tool, closer):
    work, game = drive.temporary_folder(), None
    try:
        # Under the splash the jingle must outlast the close; elsewhere music is only a wait.
        packs = drive.short_sound_set(soundset_tool, os.path.join(work, "set"),
                                      mp3_ms=20000 if scenario == "splash" else 300)
        with drive.Xvfb() as x:
            game = drive.Game(program, packs, x.display, work)
            {"bowler": bowler, "splash": splash}[scenario](game, closer)
        print("PASS:", scenario)
        return 0
    except drive.Failure as e:
        print("FAIL:", e)
        if game is not None and game.proc is not None:
            print("--- trace tail\n" + "\n".join("\t".join(l) for l in game.lines[-40:]))
        return 1
    finally:
        if game is not None:
            game.stop()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:5]))
