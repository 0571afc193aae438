#!/usr/bin/env python3
"""Plays the real tarvel in its window on a virtual X display, as a person would.

Starts Xvfb, runs tarvel, moves the pointer and presses keys with xdotool, and reads the screen
with ImageMagick's `import`. Each step waits for what it expects to see (with a time limit)
rather than sleeping. Screenshots of the main moments go to --artifacts.

    window_e2e.py --tarvel build/release/app/tarvel [--tarvel-sim build/release/tools/tarvel-sim]
                  [--artifacts DIR] [--window-manager]

With --window-manager, openbox manages the display and a shorter round is played: the window,
the disc, full screen both ways (F11 and --fullscreen) and the way out. Without, nothing
manages it, as on a bare X server, and full screen is the game's own doing.

Exits 0 when every step passed; otherwise says which step failed, why, and where its
screenshot is.
"""
import argparse
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

# The device screen: 480 x 640, shown at scale 1 in a window of the same size.
SCREEN_W, SCREEN_H = 480, 640
# A match recorded by each target, a goal in each, on a 240 x 320 screen.
RECORDINGS = [os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'replays',
                           target + '-240x320.tarvel') for target in ('linux', 'windows', 'web')]
# The virtual display; full screen shows the screen 1.6 times, 768 x 1024, 256 pixels in.
DISPLAY_W, DISPLAY_H = 1280, 1024
FULL_SCALE = 1.6
FULL_LEFT = 256
BAR_H = 52  # the soft-key bar at 192 dots per inch
PITCH_H = SCREEN_H - BAR_H

PITCH_GREEN = (0, 100, 50)
USER_DISC = (150, 0, 150)
COMPUTER_DISC = (200, 100, 0)
BALL = (200, 50, 100)
MENU_BACKGROUND = (250, 250, 250)

LEFT_SOFT_KEY = (120, SCREEN_H - BAR_H // 2)
RIGHT_SOFT_KEY = (360, SCREEN_H - BAR_H // 2)
# The stylus aims this far above its tip at a width of 480.
AIM_LIFT = 32
# Where the score digits are drawn (computer's above the half-way line, the user's below).
SCORE_AREAS = ((12, 150, 58, 205), (12, 443, 58, 498))


class StepFailed(Exception):
    pass


def near(colour, wanted, tolerance=12):
    return all(abs(a - b) <= tolerance for a, b in zip(colour, wanted))


def is_digit_shade(colour):
    r, g, b = colour
    return r > 50 and abs(r - g) < 30 and b < r - 30


def dark_grey(colour):
    """The soft-key bar's shades, darker toward its bottom."""
    r, g, b = colour
    return max(colour) < 90 and abs(r - g) < 12 and 0 <= b - r < 16


class Image:
    """An RGB picture read from a binary PPM."""

    def __init__(self, ppm):
        fields = []
        at = 0
        while len(fields) < 4:
            while ppm[at:at + 1].isspace():
                at += 1
            if ppm[at:at + 1] == b'#':
                at = ppm.index(b'\n', at)
                continue
            end = at
            while not ppm[end:end + 1].isspace():
                end += 1
            fields.append(ppm[at:end])
            at = end
        if fields[0] != b'P6' or fields[3] != b'255':
            raise StepFailed('the screenshot is not an 8-bit PPM')
        self.width, self.height = int(fields[1]), int(fields[2])
        self.pixels = ppm[at + 1:]
        self.ppm = ppm

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i:i + 3])

    def count(self, box, test):
        left, top, right, bottom = box
        return sum(1 for y in range(top, bottom) for x in range(left, right)
                   if test(self.pixel(x, y)))

    def centroid(self, colour):
        """The centre of the pixels of exactly `colour`, or None when there are few. The game's
        figures are drawn in solid colours, and the window shows them unscaled."""
        xs = ys = n = 0
        for found in re.finditer(re.escape(bytes(colour)), self.pixels):
            if found.start() % 3 == 0:
                x, y = divmod(found.start() // 3, self.width)[::-1]
                xs += x
                ys += y
                n += 1
        return (xs / n, ys / n) if n >= 50 else None

    def digits(self, box):
        """The pixels of `box` in the score digits' olive shades: the shape of the number there,
        whatever disc or ball passes over it."""
        left, top, right, bottom = box
        return frozenset((x, y) for y in range(top, bottom) for x in range(left, right)
                         if is_digit_shade(self.pixel(x, y)))

    def save(self, path):
        subprocess.run(['convert', 'ppm:-', 'png:' + path], input=self.ppm, check=True)


def run(*command, **kwargs):
    return subprocess.run(command, check=True, capture_output=True, text=True, timeout=20,
                          **kwargs).stdout


def wait_for(what, condition, timeout=5.0, interval=0.05):
    """Polls `condition` until it gives something true; fails the step after `timeout`."""
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() > deadline:
            raise StepFailed('timed out waiting for ' + what)
        time.sleep(interval)


class Session:
    def __init__(self, tarvel, artifacts, window_manager, tarvel_sim=None):
        self.tarvel = tarvel
        self.tarvel_sim = tarvel_sim
        # Each game keeps its last match in the state folder: this one, not the user's.
        self.state = tempfile.mkdtemp(prefix='tarvel-e2e-state-')
        self.artifacts = artifacts
        self.window_manager = window_manager
        self.env = None
        self.xvfb = None
        self.game = None
        self.window = None
        self.last = None
        self.others = []

    # The display and the game.

    def start_display(self):
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ['Xvfb', '-displayfd', str(write_end), '-screen', '0',
             '%dx%dx24' % (DISPLAY_W, DISPLAY_H),
             '-nolisten', 'tcp', '-noreset'],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b''
        with os.fdopen(read_end, 'rb') as pipe:
            while not number.endswith(b'\n'):
                chunk = pipe.read(1)
                if not chunk:
                    raise StepFailed('Xvfb did not start')
                number += chunk
        self.env = dict(os.environ, DISPLAY=':' + number.decode().strip(),
                        XDG_STATE_HOME=self.state)
        self.env.pop('WAYLAND_DISPLAY', None)
        self.env.pop('SDL_VIDEODRIVER', None)
        if self.window_manager:
            self.others.append(subprocess.Popen(['openbox'], env=self.env,
                                                stdout=subprocess.DEVNULL,
                                                stderr=subprocess.DEVNULL))
            # Up when it names itself and has set up its desktops, the last of its start.
            wait_for('openbox', lambda: all(
                name + '(' in subprocess.run(['xprop', '-root', name], env=self.env,
                                             capture_output=True, text=True).stdout
                for name in ('_NET_SUPPORTING_WM_CHECK', '_NET_CURRENT_DESKTOP',
                             '_NET_DESKTOP_NAMES')), timeout=10)
        # The pointer starts off the window, so the game sees only the moves made here.
        self.xdotool('mousemove', '0', '0')

    def start_game(self, *options, name='^Tarvel$'):
        self.game = subprocess.Popen([self.tarvel, '--scale', '1'] + list(options), env=self.env,
                                     stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        try:
            self.window = wait_for('the window', lambda: self.find_window(name), timeout=15)
        except StepFailed:
            hidden = subprocess.run(['xdotool', 'search', '--name', '^Tarvel$'], env=self.env,
                                    capture_output=True, text=True).stdout.split()
            status = self.game.poll()
            raise StepFailed('timed out waiting for the window (the game %s; windows named '
                             'Tarvel, shown or not: %s)' %
                             ('is running' if status is None else 'ended with %d' % status,
                              hidden or 'none'))
        if options and options[0] != '--record':
            return
        width, height, x, y = self.geometry()
        if (width, height) != (SCREEN_W, SCREEN_H):
            raise StepFailed('the window is %dx%d, not the screen at scale 1' % (width, height))
        self.origin = (x, y)

    def geometry(self):
        """The game window's width, height and position on the display."""
        fields = dict(line.split('=') for line in
                      self.xdotool('getwindowgeometry', '--shell', self.window).split())
        return int(fields['WIDTH']), int(fields['HEIGHT']), int(fields['X']), int(fields['Y'])

    def find_window(self, name='^Tarvel$'):
        # Visible ones only: the game's window exists, hidden, until the game shows its own.
        found = subprocess.run(['xdotool', 'search', '--onlyvisible', '--name', name],
                               env=self.env, capture_output=True, text=True).stdout.split()
        return found[0] if found else None

    def xdotool(self, *arguments):
        return run('xdotool', *arguments, env=self.env)

    def stop(self):
        for process in [self.game] + self.others + [self.xvfb]:
            if process is not None and process.poll() is None:
                process.kill()
                process.wait()
        shutil.rmtree(self.state, ignore_errors=True)

    # Seeing and acting, in device pixels.

    def shot(self, name=None):
        self.last = Image(subprocess.run(['import', '-window', self.window, '-depth', '8', 'ppm:-'],
                                         env=self.env, check=True, capture_output=True,
                                         timeout=20).stdout)
        if name:
            self.save(self.last, name)
        return self.last

    def root_shot(self, name=None):
        image = Image(subprocess.run(['import', '-window', 'root', '-depth', '8', 'ppm:-'], env=self.env,
                                     check=True, capture_output=True, timeout=20).stdout)
        if name:
            self.save(image, name)
        return image

    def save(self, image, name):
        if self.artifacts:
            image.save(os.path.join(self.artifacts, name + '.png'))

    def move(self, x, y):
        self.xdotool('mousemove', '--window', self.window, str(x), str(y))

    def click(self, x, y):
        self.xdotool('mousemove', '--window', self.window, str(x), str(y), 'click', '1')

    def key(self, keys):
        self.xdotool('windowfocus', '--sync', self.window, 'key', '--clearmodifiers', keys)

    def steer(self, x, y, moves=12):
        """Rests the pointer at (x, y) with small moves, so the disc closes in on its aim."""
        command = []
        for i in range(moves):
            command += ['mousemove', '--window', self.window, str(x + i % 2), str(y),
                        'sleep', '0.03']
        self.xdotool(*command)

    def game_running(self):
        return self.game.poll() is None


# The steps, in the order a person meets them.

def pitch_and_soft_keys(s):
    image = wait_for('the pitch', lambda: near(s.shot().pixel(60, 100), PITCH_GREEN, 0) and
                     s.last, timeout=10)
    s.save(image, 'pitch')
    green = image.count((0, 0, SCREEN_W, PITCH_H), lambda c: near(c, PITCH_GREEN, 0))
    if green < SCREEN_W * PITCH_H // 2:
        raise StepFailed('only %d pitch-green pixels above the soft keys' % green)
    bar = (0, PITCH_H, SCREEN_W, SCREEN_H)
    if image.count(bar, lambda c: near(c, PITCH_GREEN, 0)) != 0:
        raise StepFailed('the pitch shows through the soft-key bar')
    if image.count(bar, dark_grey) < SCREEN_W * BAR_H // 2:
        raise StepFailed('no soft-key bar across the bottom %d pixels' % BAR_H)
    for name, half in (('Aceptar', (0, PITCH_H, 240, SCREEN_H)),
                       ('AYUDA', (240, PITCH_H, SCREEN_W, SCREEN_H))):
        if image.count(half, lambda c: min(c) > 220) < 100:
            raise StepFailed('no "%s" label on its soft key' % name)
    s.kickoff_user_disc = image.centroid(USER_DISC)
    s.kickoff_ball = image.centroid(BALL)
    s.start_scores = scores(image)
    if s.kickoff_user_disc is None or s.kickoff_ball is None:
        raise StepFailed('no disc or no ball at the kick-off')
    if not all(s.start_scores):
        raise StepFailed('no score digits')


def disc_follows_pointer(s):
    for x, y in ((130, 480), (350, 480)):
        s.steer(x, y)

        def disc_at_aim():
            centre = s.shot().centroid(USER_DISC)
            return centre and abs(centre[0] - x) <= 4 and abs(centre[1] - (y - AIM_LIFT)) <= 4

        try:
            wait_for('the disc', disc_at_aim, timeout=3)
        except StepFailed:
            raise StepFailed('the pointer rests at (%d, %d) but the disc centre is at %s, not '
                             '%d px above it' % (x, y, s.last.centroid(USER_DISC), AIM_LIFT))


def scores(image):
    return [image.digits(area) for area in SCORE_AREAS]


def a_goal_changes_the_score(s):
    """The disc strikes the ball at the kick-off from below, a little off its centre, then moves
    out of the way; the ball comes back off the computer's disc or goes past it, and one side
    scores."""
    for offset in (-15, 15, -25):
        ball_x, ball_y = (int(v) for v in wait_for('the ball', lambda: s.shot().centroid(BALL)))
        s.steer(ball_x + offset, PITCH_H - 16)
        strike = []
        for dy in (10, 11, 10):
            strike += ['mousemove', '--window', s.window, str(ball_x + offset), str(ball_y + dy),
                       'sleep', '0.02']
        s.xdotool(*strike)
        s.steer(440, 400, moves=4)
        try:
            wait_for('a goal', lambda: scores(s.shot()) != s.start_scores, timeout=5)
            s.save(s.last, 'goal')
            return
        except StepFailed:
            pass
        # Start again from a kick-off.
        open_menu(s, lambda: s.key('F2'))
        choose(s, 1)
    raise StepFailed('three strokes and no goal')


# The menu above the right soft key: its box and its items.

def menu_box(image):
    """The open menu's rectangle (left, top, right, bottom), or None."""
    rows = [y for y in range(0, PITCH_H)
            if near(image.pixel(SCREEN_W - 20, y), MENU_BACKGROUND, 4)]
    if len(rows) < 60:
        return None
    columns = [x for x in range(0, SCREEN_W) if near(image.pixel(x, rows[0] + 4),
                                                     MENU_BACKGROUND, 4)]
    return (columns[0] - 1, rows[0] - 1, columns[-1] + 2, rows[-1] + 2)


def open_menu(s, how):
    how()
    s.menu = wait_for('the menu', lambda: menu_box(s.shot()))
    return s.last


def close_menu(s):
    s.key('Escape')
    wait_for('the menu to close', lambda: menu_box(s.shot()) is None)


def item_box(s, index, count=3):
    left, top, right, bottom = s.menu
    height = (bottom - top) / count
    return (left + 2, int(top + index * height) + 2, right - 2, int(top + (index + 1) * height) - 2)


def choose(s, index):
    left, top, right, bottom = item_box(s, index)
    s.click((left + right) // 2, (top + bottom) // 2)
    wait_for('the menu to close', lambda: menu_box(s.shot()) is None)


def help_menu_opens(s):
    before = s.shot()
    image = open_menu(s, lambda: s.click(*RIGHT_SOFT_KEY))
    s.save(image, 'menu')
    left, top, right, bottom = s.menu
    if not (right >= SCREEN_W - 4 and bottom >= PITCH_H - 4 and left > SCREEN_W // 3):
        raise StepFailed('the menu %s is not above the right soft key' % (s.menu,))
    for index in range(3):
        if image.count(item_box(s, index), lambda c: max(c) < 100) < 30:
            raise StepFailed('menu item %d has no text' % index)
    if image.pixel(*RIGHT_SOFT_KEY) == before.pixel(*RIGHT_SOFT_KEY):
        raise StepFailed('the "AYUDA" key does not show it is held open')
    close_menu(s)
    open_menu(s, lambda: s.key('F2'))
    close_menu(s)


# The fewest dark pixels a check mark adds by its item.
CHECK_MARK_PIXELS = 20


def check_area(s, image):
    """What is drawn in the "Dificil" item left of its text, where the check mark goes."""
    left, top, right, bottom = item_box(s, 2)
    return image.count((left, top, left + 36, bottom), lambda c: max(c) < 150)


def hard_shows_its_check_mark(s):
    plain = check_area(s, open_menu(s, lambda: s.key('F2')))
    choose(s, 2)
    checked_image = open_menu(s, lambda: s.key('F2'))
    s.save(checked_image, 'menu-hard')
    checked = check_area(s, checked_image)
    if checked < plain + CHECK_MARK_PIXELS:
        raise StepFailed('no check mark by "Dificil" (%d dark pixels, %d before)' %
                         (checked, plain))
    choose(s, 2)
    again = check_area(s, open_menu(s, lambda: s.key('F2')))
    if again != plain:
        raise StepFailed('a second "Dificil" leaves %d dark pixels by it, not %d' % (again, plain))
    close_menu(s)


def new_game_resets(s):
    # The disc away from its kick-off place, the pointer then left alone.
    s.steer(130, 480)
    open_menu(s, lambda: s.key('F2'))
    choose(s, 1)

    # The ball rests on the centre spot again and the disc is back in the middle of the bottom
    # (a little higher than at the very first kick-off, which has no goal depth yet).
    def kicked_off():
        image = s.shot()
        disc = image.centroid(USER_DISC)
        ball = image.centroid(BALL)
        return (disc and ball and abs(disc[0] - s.kickoff_user_disc[0]) <= 2 and
                0 <= s.kickoff_user_disc[1] - disc[1] <= 20 and
                abs(ball[0] - s.kickoff_ball[0]) <= 2 and abs(ball[1] - s.kickoff_ball[1]) <= 2
                and scores(image) == s.start_scores)

    try:
        wait_for('the kick-off', kicked_off, timeout=3)
    except StepFailed:
        raise StepFailed('after "Nuevo" the disc is at %s (first kick-off %s), the ball at %s '
                         '(%s) and the scores %s' %
                         (s.last.centroid(USER_DISC), s.kickoff_user_disc,
                          s.last.centroid(BALL), s.kickoff_ball,
                          'are back to 0' if scores(s.last) == s.start_scores
                          else 'are not back to 0'))
    s.save(s.last, 'new-game')


def about_box_opens_and_closes(s):
    def caption():
        image = s.shot()
        blue = image.count((0, 0, SCREEN_W, 40), lambda c: c[2] > 150 and c[0] < 100)
        return blue > SCREEN_W * 30 and image

    s.key('ctrl+a')
    image = wait_for('the About box', caption)
    s.save(image, 'about')
    if image.count((0, 60, SCREEN_W, PITCH_H), lambda c: near(c, PITCH_GREEN, 0)) != 0:
        raise StepFailed('the About box does not cover the pitch')
    # Its OK button sits at the right end of the caption.
    s.click(SCREEN_W - 44, 26)
    wait_for('the pitch again', lambda: not caption() and
             near(s.last.pixel(60, 100), PITCH_GREEN, 0))
    # On a desktop, Escape dismisses a dialog too.
    s.key('ctrl+a')
    wait_for('the About box again', caption)
    s.key('Escape')
    wait_for('the pitch after Escape', lambda: not caption() and
             near(s.last.pixel(60, 100), PITCH_GREEN, 0))


def window_class_names_the_desktop_entry(s):
    # A dock matches a running window to its launcher by the window's class.
    entry = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'data',
                         'io.github.tarvel.Tarvel.desktop')
    with open(entry, encoding='utf-8') as lines:
        named = [line.strip().split('=', 1)[1] for line in lines
                 if line.startswith('StartupWMClass=')]
    found = run('xprop', '-id', s.window, 'WM_CLASS', env=s.env)
    classes = re.findall(r'"([^"]*)"', found)
    if len(named) != 1 or len(classes) != 2 or classes[1] != named[0]:
        raise StepFailed('the window\'s class is %s; the desktop entry names %s' %
                         (classes or found.strip(), named or 'none'))


def second_start_raises_the_first(s):
    cover = subprocess.Popen(['xev', '-geometry', '1280x1024+0+0', '-name', 'cover'],
                             env=s.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    s.others.append(cover)
    x, y = s.origin[0] + 60, s.origin[1] + 100
    wait_for('the cover over the game', lambda: not near(s.root_shot().pixel(x, y), PITCH_GREEN, 0))
    started = time.monotonic()
    second = subprocess.run([s.tarvel], env=s.env, capture_output=True, text=True, timeout=10)
    took = time.monotonic() - started
    if second.returncode != 0:
        raise StepFailed('the second start exited with %d: %s' % (second.returncode,
                                                                  second.stderr.strip()))
    if took > 3:
        raise StepFailed('the second start took %.1f s to hand over' % took)
    if not s.game_running():
        raise StepFailed('the first game ended')
    found = subprocess.run(['xdotool', 'search', '--name', '^Tarvel$'], env=s.env,
                           capture_output=True, text=True).stdout.split()
    if found != [s.window]:
        raise StepFailed('windows named Tarvel: %s, not just the first' % found)
    wait_for('the game in front of the cover',
             lambda: near(s.root_shot().pixel(x, y), PITCH_GREEN, 0))
    s.root_shot('raised')
    cover.kill()
    cover.wait()


def full_screen_shows_the_whole_screen(s, name):
    """The window covers the display and shows the whole device screen, letterboxed."""
    wait_for('the window to cover the display',
             lambda: s.geometry() == (DISPLAY_W, DISPLAY_H, 0, 0), timeout=5)

    def at(x, y):
        return FULL_LEFT + int(x * FULL_SCALE), int(y * FULL_SCALE)

    def whole():
        image = s.root_shot()
        s.last = image
        # The pitch at its top left and lower right, black bars both sides, and the soft-key
        # bar at its two ends, away from the labels.
        return (near(image.pixel(*at(60, 100)), PITCH_GREEN, 0) and
                near(image.pixel(*at(400, 400)), PITCH_GREEN, 0) and
                image.pixel(100, 500) == (0, 0, 0) and image.pixel(1200, 500) == (0, 0, 0) and
                dark_grey(image.pixel(*at(10, SCREEN_H - 8))) and
                dark_grey(image.pixel(*at(SCREEN_W - 10, SCREEN_H - 8))) and image)
    s.save(wait_for('the whole pitch and the soft keys in full screen', whole), name)


def full_screen_both_ways(s):
    s.key('F11')
    full_screen_shows_the_whole_screen(s, 'full-screen')
    # The pointer steers in full screen too: the disc goes where it points.
    s.steer(*[int(v) for v in (FULL_LEFT + 240 * FULL_SCALE, 520 * FULL_SCALE)])
    s.key('F11')
    wait_for('the window back at 480 x 640',
             lambda: s.geometry()[:2] == (SCREEN_W, SCREEN_H), timeout=5)
    wait_for('the pitch in the window again',
             lambda: near(s.shot().pixel(60, 100), PITCH_GREEN, 0))


def control_q_quits(s):
    s.key('ctrl+q')
    try:
        status = s.game.wait(timeout=5)
    except subprocess.TimeoutExpired:
        raise StepFailed('still running 5 s after Ctrl+Q')
    if status != 0:
        raise StepFailed('exit status %d after Ctrl+Q' % status)


def full_screen_from_the_start(s):
    s.start_game('--fullscreen')
    full_screen_shows_the_whole_screen(s, 'full-screen-from-the-start')
    control_q_quits(s)


full_screen_from_the_start.starts_a_game = True


# Recordings: every run records its match; tarvel-sim and the program play it back.

def simulate(s, replay, extra=''):
    """Runs tarvel-sim on a recording with `extra` lines after it: (status, stderr)."""
    with open(replay, 'rb') as recorded:
        script = recorded.read() + extra.encode()
    done = subprocess.run([s.tarvel_sim, '-'], input=script, capture_output=True, timeout=120)
    return done.returncode, done.stderr.decode(errors='replace')


def title_of(s):
    return run('xdotool', 'getwindowname', s.window, env=s.env).strip()


def the_last_match_is_kept(s):
    """The game that just quit kept its whole match, menus and commands included."""
    replay = os.path.join(s.state, 'tarvel', 'last-match.tarvel')
    if not os.path.exists(replay):
        raise StepFailed('no last match at ' + replay)
    status, errors = simulate(s, replay)
    if status != 0:
        raise StepFailed('tarvel-sim refused the last match: ' + errors.strip())


# After the game has quit.
the_last_match_is_kept.starts_a_game = True


def play_to_the_end(s, replay, *options, shown_as=None):
    """Plays `replay` in the program, `shown_as` the path it is given, to its end, with every
    check holding: (the last frame shown, tarvel-sim's PNG of it, the match state it shows).
    The program shows it on the screen it was recorded on, whatever `options` say."""
    frame = os.path.join(s.state, 'sim-frame.png')
    with open(replay, 'rb') as recorded:
        script = recorded.read()
    done = subprocess.run([s.tarvel_sim, '-'], input=script + b'frame %s\ndump\n' % frame.encode(),
                          capture_output=True, timeout=120)
    if done.returncode != 0:
        raise StepFailed('tarvel-sim does not play %s: %s' % (replay, done.stderr.decode().strip()))
    screen = tuple(int(v) for v in re.search(rb'\n# screen (\d+) (\d+)\n', script).groups())
    name = os.path.splitext(os.path.basename(replay))[0]
    s.start_game('--replay', shown_as or replay, *options, name='^Tarvel: ')
    s.xdotool('mousemove', '--window', s.window, '10', '10')  # the live pointer changes nothing
    s.key('plus')
    wait_for('the end of ' + name, lambda: 'end of replay' in title_of(s), timeout=60)
    shown = s.shot('replay-of-' + name)
    if (shown.width, shown.height) != screen:
        raise StepFailed('%s shows %dx%d, not the recorded screen' %
                         (name, shown.width, shown.height))
    return shown, frame, json.loads(done.stdout.decode().splitlines()[-1])


def record_replay_and_compare(s):
    replay = os.path.join(s.state, 'strokes.tarvel')
    s.start_game('--record', replay)
    wait_for('the pitch', lambda: near(s.shot().pixel(60, 100), PITCH_GREEN, 0), timeout=10)
    for x, y in ((240, 420), (200, 330), (300, 300), (150, 360), (330, 420)):
        s.steer(x, y, moves=8)
    s.key('ctrl+q')
    if s.game.wait(timeout=5) != 0:
        raise StepFailed('the recording game ended with %d' % s.game.returncode)

    # That recording and each target's play to their end, the last frame up: tarvel-sim's.
    for recording in [replay] + RECORDINGS:
        shown, frame, _ = play_to_the_end(s, recording, '--screen', '240x320', '--scale', '1')
        expected = Image(subprocess.run(['convert', frame, '-depth', '8', 'ppm:-'], check=True,
                                        capture_output=True).stdout)
        differ = sum(1 for y in range(expected.height) for x in range(expected.width)
                     if shown.pixel(x, y) != expected.pixel(x, y))
        if differ:
            raise StepFailed('the last frame of %s differs from tarvel-sim\'s in %d pixels' %
                             (recording, differ))
        s.key('ctrl+q')
        status = s.game.wait(timeout=5)
        errors = s.game.stderr.read().decode(errors='replace')
        if status != 0 or 'end of replay' not in errors:
            raise StepFailed('status %d, stderr %r at the end of %s' % (status, errors, recording))

    # One move one pixel off: the program stops at the first check after it and names its tick.
    with open(replay) as recorded:
        lines = recorded.read().split('\n')
    at = next(i for i, line in enumerate(lines) if line.startswith('move '))
    _, x, y = lines[at].split()
    lines[at] = 'move %d %s' % (int(x) + 1, y)
    tick = next(line.split()[1] for line in lines[at:] if line.startswith('check '))
    altered = os.path.join(s.state, 'altered.tarvel')
    with open(altered, 'w') as out:
        out.write('\n'.join(lines))
    status, errors = simulate(s, altered)
    if status != 2 or 'the match differs from the recording at tick %s\n' % tick not in errors:
        raise StepFailed('tarvel-sim on the altered move: status %d, %r' % (status, errors))
    s.start_game('--replay', altered, name='^Tarvel: ')
    for _ in range(3):
        s.key('plus')  # x8
    wanted = 'differs from the recording at tick %s ' % tick
    wait_for('the failed check', lambda: wanted in title_of(s), timeout=30)
    s.key('ctrl+q')
    if s.game.wait(timeout=5) != 2:
        raise StepFailed('status %d after a failed check, not 2' % s.game.returncode)

    # A file that cannot be written is refused before any window.
    done = subprocess.run([s.tarvel, '--record', '/nonexistent/folder/m.tarvel'], env=s.env,
                          capture_output=True, text=True, timeout=10)
    if done.returncode != 2 or 'cannot record to /nonexistent/folder/m.tarvel' not in done.stderr:
        raise StepFailed('an unwritable --record file: status %d, %r' %
                         (done.returncode, done.stderr))

    # Cut short and garbage: refused with the line and status 2, before any window.
    for name, text, reason in (
            ('cut.tarvel', open(replay).read()[:-3], 'is cut short in this line'),
            ('garbage.tarvel', '\x7fELF\x02\x01', 'not a recording')):
        path = os.path.join(s.state, name)
        with open(path, 'w') as out:
            out.write(text)
        done = subprocess.run([s.tarvel, '--replay', path], env=s.env, capture_output=True,
                              text=True, timeout=10)
        if done.returncode != 2 or not re.match(r'tarvel: .*: line \d+: .*' + reason,
                                                done.stderr):
            raise StepFailed('%s: status %d, %r' % (name, done.returncode, done.stderr))


record_replay_and_compare.starts_a_game = True


STEPS = [
    pitch_and_soft_keys,
    disc_follows_pointer,
    a_goal_changes_the_score,
    help_menu_opens,
    hard_shows_its_check_mark,
    new_game_resets,
    about_box_opens_and_closes,
    second_start_raises_the_first,
    full_screen_both_ways,
    control_q_quits,
    the_last_match_is_kept,
    record_replay_and_compare,
    full_screen_from_the_start,
]
# Under a window manager: what it takes part in.
MANAGED_STEPS = [
    pitch_and_soft_keys,
    window_class_names_the_desktop_entry,
    disc_follows_pointer,
    full_screen_both_ways,
    control_q_quits,
    full_screen_from_the_start,
]


def play(session, steps):
    """Plays `steps` in order on a new display and game; the exit status, 0 when all passed."""
    begun = time.monotonic()
    step = 'start'
    try:
        session.start_display()
        session.start_game()
        for function in steps:
            step = function.__name__
            started = time.monotonic()
            if not getattr(function, 'starts_a_game', False) and not session.game_running():
                raise StepFailed('the game is no longer running (status %s)' %
                                 session.game.returncode)
            function(session)
            print('ok   %-32s %5.1f s' % (step, time.monotonic() - started), flush=True)
    except (StepFailed, subprocess.SubprocessError) as failure:
        print('FAIL %s: %s' % (step, failure), flush=True)
        if session.last is not None and session.artifacts:
            path = os.path.join(session.artifacts, 'failed-%s.png' % step)
            session.last.save(path)
            print('     the last screenshot: ' + path)
        session.stop()
        if session.game is not None:
            errors = session.game.stderr.read().decode(errors='replace').strip()
            if errors:
                print('     tarvel said: ' + errors)
        return 1
    finally:
        session.stop()
    print('%d passed, 0 failed in %.1f s' % (len(steps), time.monotonic() - begun))
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('--tarvel', required=True)
    parser.add_argument('--tarvel-sim', help='the simulator, to play recordings back')
    parser.add_argument('--artifacts', help='folder for the screenshots')
    parser.add_argument('--window-manager', action='store_true',
                        help='run openbox on the display and play the managed round')
    parser.add_argument('--only', help='run only these steps (comma-separated names)')
    options = parser.parse_args()
    if options.artifacts:
        os.makedirs(options.artifacts, exist_ok=True)
    tarvel_sim = options.tarvel_sim or os.path.join(os.path.dirname(options.tarvel), '..', 'tools',
                                                    'tarvel-sim')
    session = Session(os.path.abspath(options.tarvel), options.artifacts, options.window_manager,
                      os.path.abspath(tarvel_sim))
    steps = MANAGED_STEPS if options.window_manager else STEPS
    if options.only:
        steps = [step for step in steps if step.__name__ in options.only.split(',')]
    return play(session, steps)


if __name__ == '__main__':
    sys.exit(main())
