"""Drives the real game under a virtual X server: starts it with a sound set and a fresh data
folder, follows its sound trace as it grows, and sends keys with xdotool only once the trace
shows the prompt that waits for them. Used by the end-to-end tests and the benchmarks."""

import os
import re
import shutil
import subprocess
import tempfile
import time
import wave


BALL = r"play\tAnnouncerBuffer\t[^\t]*/(1stball\d|2ndball\d|xtraball)\.wav\t"
TURN_OVER = r"play\tAnnouncerBuffer\t[^\t]*/(nxtplay\d|etc)\.wav\t"
OUTCOME = (r"play\t(BallBuffer\t[^\t]*/(pin\d+|gutter)\.wav|"
           r"SpeechBuffer\t[^\t]*/(miss|buzzer)\.wav)\t")


class Failure(Exception):
    pass


class Xvfb:
    """A virtual X server on the first free display, of the given screen size."""

    def __init__(self, screen="640x480x24"):
        self.screen = screen

    def __enter__(self):
        read, write = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", self.screen, "-nolisten", "tcp"],
            pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as f:
            self.display = ":" + f.readline().strip()
        return self

    def __exit__(self, *exc):
        self.proc.kill()
        self.proc.wait()


def short_sound_set(tool, folder, clip_ms=40, mp3_ms=300, silence_ms=20):
    """The default clip list with every clip short and silent: a game takes seconds."""
    out = subprocess.run([tool, folder, str(clip_ms), str(mp3_ms), str(silence_ms)],
                         check=True, capture_output=True, text=True)
    return out.stdout.strip()


class Game:
    """Runs of the real program on one data folder. Trace lines are kept as lists of fields."""

    def __init__(self, program, packs, display, work):
        self.work, self.display, self.proc = work, display, None
        # The game finds its packs beside itself: give this copy its own.
        bindir = os.path.join(work, "bin")
        os.makedirs(bindir, exist_ok=True)
        self.program = os.path.join(bindir, "strikora")
        shutil.copy2(program, self.program)
        if not os.path.exists(os.path.join(bindir, "sounds")):
            os.symlink(os.path.abspath(packs), os.path.join(bindir, "sounds"))
        self.profile = os.path.join(work, "profile")
        os.makedirs(self.profile, exist_ok=True)
        self.data = os.path.join(self.profile, "Application Data", "Strikora")
        self.lengths = {}

    def launch(self, name):
        """Starts a run; its trace is name.tsv."""
        self.trace_file = os.path.join(self.work, name + ".tsv")
        self.lines, self.read_at, self.seen = [], 0, 0
        self.sounding = {}  # slot: when its one-shot clip ends (monotonic seconds)
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
            try:
                with wave.open(path) as w:
                    self.lengths[path] = w.getnframes() / w.getframerate()
            except (OSError, EOFError, wave.Error):
                self.lengths[path] = 0.0
        return self.lengths[path]

    def poll(self):
        """Reads what the trace gained since the last look, noting until when each slot's
        one-shot clip will sound."""
        try:
            with open(self.trace_file) as f:
                f.seek(self.read_at)
                chunk = f.read()
        except FileNotFoundError:
            return
        complete = chunk[: chunk.rfind("\n") + 1]
        self.read_at += len(complete.encode())
        now = time.monotonic()
        for line in complete.splitlines():
            fields = line.split("\t")
            self.lines.append(fields)
            if len(fields) >= 7 and fields[1] == "play" and fields[6] == "0":
                self.sounding[fields[2]] = now + self.clip_seconds(fields[3])
            elif len(fields) >= 3 and fields[1] == "stop":
                self.sounding[fields[2]] = now

    def wait_for(self, pattern, timeout=60):
        """Waits for the first trace line after the last one consumed that matches pattern;
        returns it and consumes everything up to it."""
        regex, deadline = re.compile(pattern), time.monotonic() + timeout
        while True:
            self.poll()
            while self.seen < len(self.lines):
                self.seen += 1
                if regex.search("\t".join(self.lines[self.seen - 1])):
                    return self.lines[self.seen - 1]
            if self.proc.poll() is not None:
                raise Failure("the game ended while waiting for " + pattern)
            if time.monotonic() > deadline:
                raise Failure("never heard " + pattern)
            time.sleep(0.01)

    def wait_quiet(self, ms=250, timeout=60):
        """Waits until every clip heard has ended and nothing new is heard for ms: the prompt
        has finished."""
        deadline = time.monotonic() + timeout
        count, since = -1, time.monotonic()
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

    def after(self, pattern, key, quiet=True):
        """Presses key once the trace shows pattern and, if quiet, the prompt has ended."""
        self.wait_for(pattern)
        if quiet:
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
        """From the main menu's first item to the lane: the roster's first bowler, the first
        play method and skill 1."""
        self.press("Return")
        for prompt, key in (("selplyrs", "space"), ("active", "Return"), ("pm1", "Return"),
                            ("ld1", "Return")):
            self.after(r"/%s\.wav\t" % prompt, key)

    def bowl(self, end, before_ball=lambda frame, clip: None, aims=lambda: 11):
        """Bowls for one bowler until a line matching end: Enter when a turn is over; at each
        ball call Space, `aims` sweep tones, then Down."""
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
            before_ball(frame, os.path.basename(line.split("\t")[3]))
            self.press("space")
            for _ in range(aims()):
                self.wait_for(r"play\tAimBuffers\[")
            self.press("Down")
            self.wait_for(OUTCOME)


def temporary_folder():
    return tempfile.mkdtemp(prefix="strikora-e2e-")


def run(what, program, soundset_tool, body, screen="640x480x24", mp3_ms=300, words=None):
    """Runs body(game) on a fresh data folder, settings file and short sound set in a virtual X
    server; prints PASS, or FAIL with the trace's tail, and returns the exit status."""
    work, game = temporary_folder(), None
    os.environ["XDG_CONFIG_HOME"] = os.path.join(work, "config")  # the settings file
    try:
        packs = short_sound_set(soundset_tool, os.path.join(work, "set"), mp3_ms=mp3_ms)
        if words:
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
