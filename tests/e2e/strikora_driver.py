"""Drives the real game under a virtual X server: starts it with a sound set and a fresh data
folder, follows its sound trace as it grows, and sends keys with xdotool only once the trace
shows the prompt that waits for them. Used by the end-to-end tests and the benchmarks."""

import contextlib
import os
import re
import shutil
import subprocess
import tempfile
import time
import types
import wave

BALL = r"play\tAnnouncerBuffer\t[^\t]*/(1stball\d|2ndball\d|xtraball)\.wav\t"
TURN_OVER = r"play\tAnnouncerBuffer\t[^\t]*/(nxtplay\d|etc)\.wav\t"
OUTCOME = (r"play\t(BallBuffer\t[^\t]*/(pin\d+|gutter)\.wav|"
           r"SpeechBuffer\t[^\t]*/(miss|buzzer)\.wav)\t")


class Failure(Exception):
    pass


@contextlib.contextmanager
def Xvfb(screen="640x480x24"):
    """A virtual X server on the first free display, of the given screen size."""
    read, write = os.pipe()
    proc = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write), "-screen", "0", screen, "-nolisten", "tcp"],
        pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write)
    try:
        with os.fdopen(read) as f:
            yield types.SimpleNamespace(display=":" + f.readline().strip())
    finally:
        proc.kill()
        proc.wait()


class Game:
    """Runs of the real program on one data folder. Trace lines are kept as lists of fields."""

    def __init__(self, program, packs, display, work):
        self.work, self.display, self.proc, self.lengths = work, display, None, {}
        # The game finds its packs beside itself: give this copy its own.
        bindir = os.path.join(work, "bin")
        os.makedirs(bindir, exist_ok=True)
        self.program = shutil.copy2(program, os.path.join(bindir, "strikora"))
        os.symlink(os.path.abspath(packs), os.path.join(bindir, "sounds"))
        self.profile = os.path.join(work, "profile")
        os.makedirs(self.profile, exist_ok=True)
        self.data = os.path.join(self.profile, "Application Data", "Strikora")

    def launch(self, name):
        """Starts a run; its trace is name.tsv."""
        self.trace_file = os.path.join(self.work, name + ".tsv")
        # sounding: the slot's one-shot clip ends at this (monotonic) second
        self.lines, self.read_at, self.seen, self.sounding = [], 0, 0, {}
        env = dict(os.environ, DISPLAY=self.display, AllUsersProfile=self.profile,
                   STRIKORA_TRACE=self.trace_file, ALSOFT_DRIVERS="null")
        env.pop("SDL_VIDEODRIVER", None)
        self.output = open(os.path.join(self.work, name + ".out"), "w")
        self.proc = subprocess.Popen([self.program], env=env, stdout=self.output,
                                     stderr=subprocess.STDOUT)

    def start(self, name):
        """Starts a run and waits for the main menu's first item."""
        self.launch(name)
        self.wait_for(r"play\tSpeechBuffer\t.*/lgb\.wav\t", timeout=120)
        self.window = self.find_window("Main Menu:")

    def xdotool(self, *args):
        return subprocess.run(["xdotool", *args], env=dict(os.environ, DISPLAY=self.display),
                              check=True, capture_output=True, text=True).stdout

    def find_window(self, title):
        return self.xdotool("search", "--sync", "--name", title).split()[0]

    def press(self, *keys):
        self.xdotool("key", "--window", self.window, *keys)

    def clip_seconds(self, path):
        if path not in self.lengths:
            self.lengths[path] = 0.0
            with contextlib.suppress(OSError, EOFError, wave.Error), wave.open(path) as w:
                self.lengths[path] = w.getnframes() / w.getframerate()
        return self.lengths[path]

    def poll(self):
        """Reads the trace's new whole lines, noting until when each slot's one-shot clip sounds."""
        with contextlib.suppress(FileNotFoundError), open(self.trace_file) as f:
            f.seek(self.read_at)
            lines, newline, _ = f.read().rpartition("\n")
            self.read_at += len((lines + newline).encode())
            for fields in (line.split("\t") for line in lines.splitlines()):
                self.lines.append(fields)
                if len(fields) >= 7 and fields[1] == "play" and fields[6] == "0":
                    self.sounding[fields[2]] = time.monotonic() + self.clip_seconds(fields[3])
                elif len(fields) >= 3 and fields[1] == "stop":
                    self.sounding[fields[2]] = time.monotonic()

    def wait_for(self, pattern, timeout=60):
        """Consumes the trace up to the next line matching pattern, and returns that line."""
        regex, deadline = re.compile(pattern), time.monotonic() + timeout
        while True:
            self.poll()
            for self.seen in range(self.seen + 1, len(self.lines) + 1):
                if regex.search("\t".join(self.lines[self.seen - 1])):
                    return self.lines[self.seen - 1]
            if self.proc.poll() is not None:
                raise Failure("the game ended while waiting for " + pattern)
            if time.monotonic() > deadline:
                raise Failure("never heard " + pattern)
            time.sleep(0.01)

    def wait_quiet(self, ms=250, timeout=60):
        """Waits until every clip heard has ended and nothing new comes for ms: the prompt ended."""
        deadline, count, since = time.monotonic() + timeout, -1, time.monotonic()
        while time.monotonic() < deadline:
            self.poll()
            now = time.monotonic()
            if len(self.lines) != count or any(end > now for end in self.sounding.values()):
                count, since = len(self.lines), now
            elif now - since >= ms / 1000:
                self.seen = len(self.lines)
                return
            time.sleep(0.01)
        raise Failure("the game never fell quiet")

    def after(self, pattern, key):
        """Presses key once the trace shows pattern and the prompt has ended."""
        self.wait_for(pattern)
        self.wait_quiet()
        self.press(key)

    def ended_well(self):
        """Waits for the run to end: with status 0, and no failed clip or error."""
        try:
            status = self.proc.wait(timeout=30)
        except subprocess.TimeoutExpired:
            raise Failure("the game did not end")
        self.output.close()
        self.poll()
        failures = ["\t".join(l) for l in self.lines if len(l) > 1 and l[1] in ("fail", "error")]
        if status != 0 or failures:
            raise Failure("exit status %d; failed clips or errors: %s" % (status, failures))

    def stop(self):
        if self.proc and self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()

    def create_bowler(self):
        """The new-bowler wizard from the main menu's first item: a first name from the list,
        last initial Z, female, left-handed. Back at the first item; returns the name's clip."""
        self.press("Down")
        for prompt, key in (("create", "Return"), ("uai", "Down"), ("uafn", "Return")):
            self.after(r"/%s\.wav\t" % prompt, key)
        name = os.path.basename(self.wait_for(r"\tSpeechBuffer\t.*/names/fn\d+\.wav\t")[3])
        self.wait_quiet()
        self.press("Return")
        for prompt, key in (("initials/A", "Up"), ("initials/Z", "Return"), ("male", "Down"),
                            ("female", "Return"), ("lefty", "Return"), ("create", "Up")):
            self.after(r"/%s\.wav\t" % prompt, key)
        self.wait_for(r"/lgb\.wav\t")
        self.wait_quiet()
        return name

    def choose_first_bowler(self):
        """From the main menu's first item to the lane: bowler 1, play method 1, skill 1."""
        self.press("Return")
        for prompt, key in (("selplyrs", "space"), ("active", "Return"), ("pm1", "Return"),
                            ("ld1", "Return")):
            self.after(r"/%s\.wav\t" % prompt, key)

    def bowl(self, end, before_ball, aims):
        """Bowls until a line matching end: Enter after a turn, Space, `aims()` tones, Down."""
        frame = 0
        while True:
            line = "\t".join(self.wait_for("|".join([BALL, TURN_OVER, end])))
            if re.search(end, line):
                return
            if re.search(TURN_OVER, line):
                self.press("Return")
                frame += 1
                continue
            if frame >= 10:
                raise Failure("more than ten turns")
            before_ball(frame)
            self.press("space")
            for _ in range(aims()):
                self.wait_for(r"play\tAimBuffers\[")
            self.press("Down")
            self.wait_for(OUTCOME)


def temporary_folder():
    return tempfile.mkdtemp(prefix="strikora-e2e-")


def run(what, program, soundset_tool, body, screen, mp3_ms, words):
    """Runs body(game) in a virtual X server on a fresh data folder, settings file and short
    silent sound set (a game takes seconds); prints PASS, or FAIL with the trace's tail."""
    work, game = temporary_folder(), None
    os.environ["XDG_CONFIG_HOME"] = os.path.join(work, "config")  # the settings file
    try:
        packs = subprocess.run([soundset_tool, os.path.join(work, "set"), "40", str(mp3_ms), "20"],
                               check=True, capture_output=True, text=True).stdout.strip()
        shutil.copy(words, os.path.join(packs, "words.txt"))
        with Xvfb(screen) as x:
            game = Game(program, packs, x.display, work)
            body(game)
        print("PASS:", what)
        return 0
    except Failure as e:
        print("FAIL:", e)
        if game is not None and game.proc is not None:
            print("--- trace tail\n" + "\n".join("\t".join(l) for l in game.lines[-40:]))
        return 1
    finally:
        if game is not None:
            game.stop()
        shutil.rmtree(work, ignore_errors=True)
