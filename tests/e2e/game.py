#!/usr/bin/env python3
"""A whole game in the real program: under Xvfb with a short sound set, create a bowler by
voice, choose them for play method 1 and skill 1, bowl ten frames aiming with Space and Down,
hear the results and answer N. The final score spoken must be the ten-pin total of the pin
counts heard, and the roster file must hold that game once the program has ended.
  game.py STRIKORA STRIKORA-TEST-SOUNDSET"""

import os
import random
import re
import shutil
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import strikora_driver as drive  # noqa: E402

BALL = r"play\tAnnouncerBuffer\t[^\t]*/(1stball\d|2ndball\d|xtraball)\.wav\t"
TURN_OVER = r"play\tAnnouncerBuffer\t[^\t]*/(nxtplay\d|etc)\.wav\t"
SCORE_OF = r"play\tAnnouncerBuffer\t[^\t]*/scoreof\d\.wav\t"
OUTCOME = (r"play\t(BallBuffer\t[^\t]*/(pin\d+|gutter)\.wav|"
           r"SpeechBuffer\t[^\t]*/(miss|buzzer)\.wav)\t")


def bowl(game):
    """Bowls ten frames for one bowler; returns the pins heard per delivery, frame by frame."""
    frames = [[] for _ in range(10)]
    frame = 0
    while True:
        line = game.wait_for("|".join([BALL, TURN_OVER, SCORE_OF]), timeout=60)
        clip = os.path.basename(line[3])
        if clip.startswith(("1stball", "2ndball", "xtraball")):
            game.press("space")
            # Stop the sweep somewhere near the head pin: the sweep plays one tone a position
            # from the left gutter (0) on.
            for _ in range(random.randint(9, 13)):
                game.wait_for(r"play\tAimBuffers\[")
            game.press("Down")
            outcome = os.path.basename(game.wait_for(OUTCOME)[3])
            pins = re.match(r"pin(\d+)\.wav", outcome)
            frames[frame].append(int(pins.group(1)) if pins else 0)
        elif clip.startswith("scoreof"):
            return frames
        else:
            game.press("Return")
            frame += 1
            if frame > 10:
                raise drive.Failure("more than ten turns")


def spoken_number(game):
    """The number snippets that follow, up to the first clip on another slot."""
    files = []
    while True:
        line = game.wait_for(r"\tplay\t")
        if line[2] != "NumberBuffer":
            return drive.number_heard(files)
        files.append(os.path.basename(line[3]))


def main(program, soundset_tool):
    work = drive.temporary_folder()
    game = None
    try:
        packs = drive.short_sound_set(soundset_tool, os.path.join(work, "set"))
        with drive.Xvfb() as x:
            game = drive.Game(program, packs, x.display, work)
            game.start("game")
            game.create_bowler()
            game.choose_first_bowler(method=1, skill=1)
            frames = bowl(game)
            spoken = spoken_number(game)
            game.after(r"/ruagain\.wav\t", "n", quiet=False)
            game.wait_for(r"/pgend\.wav\t")
            game.after(r"/lgb\.wav\t", "Escape")
            status = game.finish()
        expected = drive.ten_pin_score(frames)
        print("pins heard per frame:", frames)
        print("score spoken:", spoken, "ten-pin total:", expected)
        if status != 0:
            raise drive.Failure("exit status %d" % status)
        if game.failures():
            raise drive.Failure("failed clips or errors:\n" + "\n".join(game.failures()))
        if spoken != expected:
            raise drive.Failure("the score spoken is not the total of the pins heard")
        with open(os.path.join(game.data, "players.qbx"), "rb") as f:
            record = f.read(2054)
        # History slot 1 of play method 1, skill 1, then the slot last written.
        stored, last_slot = struct.unpack_from("<h", record, 28)[0], struct.unpack_from(
            "<h", record, 2028)[0]
        if stored != expected or last_slot != 1:
            raise drive.Failure("the roster holds %d in slot %d" % (stored, last_slot))
        print("PASS: a whole game bowled, told and stored")
        return 0
    except drive.Failure as e:
        print("FAIL:", e)
        if game is not None:
            print("--- trace tail")
            for line in game.lines[-40:]:
                print("\t".join(line))
        return 1
    finally:
        if game is not None:
            game.stop()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
