#!/usr/bin/env python3
"""Plays the Windows tarvel.exe under Wine on a virtual X display, as a person would.

The same round as the desktop's end-to-end test (tests/e2e/window_e2e.py, whose display, pointer,
screenshot and step helpers it uses): the pitch and soft keys, the disc following the pointer, a
goal, the menu from "AYUDA" and F2, "Dificil" and its check mark, "Nuevo", the About box and its
OK, a second start that brings the first forward and exits 0, Ctrl+Q; then "Aceptar" and a
240 x 320 screen in a second game, and a match recorded here played back by the desktop's
tarvel-sim and one recorded on the desktop played back here. Here the soft-key bar, the menu and the About box are the real
user32's, drawn by Wine.

    windows_e2e.py --tarvel build/windows/tarvel.exe --wine-run scripts/wine-run \
                   --tarvel-sim build/release/tools/tarvel-sim [--artifacts DIR] [--window-manager]

Exits 0 when every step passed; otherwise says which step failed, why, and where its
screenshot is.
"""
import argparse
import time
import os
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'e2e'))
import window_e2e as e2e  # noqa: E402
import compare_frames  # noqa: E402

from window_e2e import StepFailed, near, wait_for  # noqa: E402

# Wine's menus: white, their items in the system's menu font, a third of the height of the
# device's own menus at this screen's density.
e2e.MENU_BACKGROUND = (255, 255, 255)


def menu_box(image):
    """The open menu's rectangle (left, top, right, bottom), or None."""
    rows = [y for y in range(0, e2e.PITCH_H)
            if near(image.pixel(e2e.SCREEN_W - 20, y), e2e.MENU_BACKGROUND, 4)]
    if len(rows) < 30:
        return None
    columns = [x for x in range(0, e2e.SCREEN_W)
               if near(image.pixel(x, rows[0] + 4), e2e.MENU_BACKGROUND, 4)]
    return (columns[0] - 1, rows[0] - 1, columns[-1] + 2, rows[-1] + 2)


def check_area(s, image):
    """What is drawn in the "Dificil" item left of its text, where the check mark goes."""
    left, top, right, bottom = e2e.item_box(s, 2)
    return image.count((left, top, left + 16, bottom), lambda c: max(c) < 150)


def choose(s, index):
    """Chooses a menu item with the keys, the pointer resting on the soft-key bar: when a menu
    closes, Windows tells the window under the pointer where the pointer is, and over the pitch
    that steers the disc, as a person hovering there would."""
    s.xdotool('mousemove', '--window', s.window, str(e2e.LEFT_SOFT_KEY[0]),
              str(e2e.LEFT_SOFT_KEY[1]))
    s.xdotool('key', *(['Down'] * (index + 1) + ['Return']))
    wait_for('the menu to close', lambda: e2e.menu_box(s.shot()) is None)


e2e.menu_box = menu_box
e2e.choose = choose
# The system's check mark at 96 dpi is about 7 pixels square.
e2e.CHECK_MARK_PIXELS = 10
e2e.check_area = check_area
def light(colour):
    return min(colour) >= 224


class WineSession(e2e.Session):
    """The game runs under Wine: each start goes through the project's wine-run, and the
    window's pixels are read from the display (menus are windows of their own over it)."""

    def __init__(self, wine_run, *arguments):
        super().__init__(*arguments)
        self.wine_run = wine_run

    def command(self, *options):
        return [self.wine_run, self.tarvel] + list(options)

    def start_game(self, *options, name='^Tarvel$'):
        self.game = subprocess.Popen(self.command('--scale', '1', *options), env=self.env,
                                     stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        try:
            self.window = wait_for('the window', lambda: self.find_window(name), timeout=30)
        except StepFailed:
            status = self.game.poll()
            raise StepFailed('timed out waiting for the window (the game %s)' %
                             ('is running' if status is None else 'ended with %d' % status))
        width, height, x, y = self.geometry()
        self.origin = (x, y)
        self.size = (width, height)

    def geometry(self):
        """The client area's width, height and place on the display (xwininfo's absolute
        corner: under a window manager the window sits in its frame)."""
        fields = {}
        for line in subprocess.run(['xwininfo', '-id', self.window], env=self.env, check=True,
                                   capture_output=True, text=True, timeout=20).stdout.splitlines():
            name, _, value = line.strip().partition(':')
            fields[name] = value.strip()
        return (int(fields['Width']), int(fields['Height']), int(fields['Absolute upper-left X']),
                int(fields['Absolute upper-left Y']))

    def shot(self, name=None):
        """The window's area of the display, menus and dialogs over it included."""
        width, height = self.size
        x, y = self.origin
        image = e2e.Image(subprocess.run(
            ['import', '-window', 'root', '-crop', '%dx%d+%d+%d' % (width, height, x, y),
             '-depth', '8', 'ppm:-'], env=self.env, check=True, capture_output=True,
            timeout=20).stdout)
        self.last = image
        if name:
            self.save(image, name)
        return image

    def click(self, x, y):
        # Wine takes a press where the pointer was last seen: move, let it arrive, press.
        self.xdotool('mousemove', '--window', self.window, str(x), str(y), 'sleep', '0.2',
                     'click', '1')

    def stop(self):
        super().stop()
        # The Wine server of the prefix goes with the last program, or at once here.
        subprocess.run([self.wine_run, '--kill'], env=self.env, capture_output=True, timeout=20)


def window_is_the_device_screen(s):
    if s.size != (e2e.SCREEN_W, e2e.SCREEN_H):
        raise StepFailed('the client area is %dx%d, not the 480 x 640 screen at scale 1' %
                         s.size)


def about_box_shown(s):
    image = s.shot()
    face = image.count((0, 60, e2e.SCREEN_W, e2e.PITCH_H), light)
    return face > e2e.SCREEN_W * e2e.PITCH_H // 2 and image


def version_line_pixels(image):
    return image.count((0, 40, e2e.SCREEN_W, 200), lambda c: max(c) < 90)


def about_box_in_front(s):
    """The About box's face and its version lines, not a light window over it."""
    image = about_box_shown(s)
    return image and version_line_pixels(image) >= 80 and image


def about_box_opens_and_closes(s):
    s.key('ctrl+a')
    wait_for('the About box', lambda: about_box_shown(s))
    # Wine paints the dialog's face first and its text controls after it, a moment later.
    try:
        image = wait_for('the version lines', lambda: about_box_in_front(s))
    except StepFailed:
        raise StepFailed('no version lines in the About box (%d dark pixels)' %
                         version_line_pixels(s.last))
    s.save(image, 'about')
    # Inside its frame, which a window manager would draw over the screen's edges.
    frame = 4
    if image.count((frame, 60, e2e.SCREEN_W - frame, e2e.PITCH_H),
                   lambda c: near(c, e2e.PITCH_GREEN, 0)):
        raise StepFailed('the About box does not cover the pitch')
    # Escape dismisses it, as it does any desktop dialog, though it has no Cancel button.
    s.key('Escape')
    wait_for('the pitch again', lambda: not about_box_shown(s) and
             near(s.last.pixel(60, 100), e2e.PITCH_GREEN, 0))


def start_again(s):
    """A second start, which leaves at once, the first game still running and its window the
    only one named Tarvel."""
    second = subprocess.run(s.command(), env=s.env, capture_output=True, text=True, timeout=30)
    if second.returncode != 0:
        raise StepFailed('the second start exited with %d: %s' % (second.returncode,
                                                                  second.stderr.strip()))
    if not s.game_running():
        raise StepFailed('the first game ended')

    def only_the_first():
        found = subprocess.run(['xdotool', 'search', '--onlyvisible', '--name', '^Tarvel$'],
                               env=s.env, capture_output=True, text=True).stdout.split()
        return found == [s.window] or found

    found = wait_for('the game shown again', only_the_first)
    if found is not True:
        raise StepFailed('windows named Tarvel: %s, not just the first' % found)


def second_start_raises_the_first(s):
    """A second start brings the first game in front of a covering window with the keyboard:
    keys typed at no window in particular reach it, or the About box it has open."""
    cover = subprocess.Popen(['xev', '-geometry', '1280x1024+0+0', '-name', 'cover'],
                             env=s.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    s.others.append(cover)
    x, y = s.origin[0] + 60, s.origin[1] + 100
    wait_for('the cover over the game', lambda: not near(s.root_shot().pixel(x, y),
                                                         e2e.PITCH_GREEN, 0))
    start_again(s)
    wait_for('the game in front of the cover',
             lambda: near(s.root_shot().pixel(x, y), e2e.PITCH_GREEN, 0))
    s.root_shot('raised')
    if s.window_manager:
        active = subprocess.run(['xdotool', 'getactivewindow'], env=s.env, capture_output=True,
                                text=True).stdout.strip()
        if active != s.window:
            raise StepFailed('the active window is %s, not the game\'s %s' % (active, s.window))
    if s.window_manager:
        s.xdotool('key', '--clearmodifiers', 'ctrl+a')
    else:
        # On a bare X server nothing hands out the keyboard focus: the game takes it back on a
        # 200 ms timer after showing itself again, and a key typed before Wine has settled that
        # can be lost (seen about one run in two), so the key comes as a person's would, a
        # moment later, at the game's window.
        time.sleep(0.6)
        s.key('ctrl+a')
    wait_for('the About box from a key typed after the second start',
             lambda: about_box_in_front(s))

    # The cover over the open About box, then a second start again.
    s.xdotool('search', '--name', '^cover$', 'windowraise', 'windowfocus', '--sync')
    wait_for('the cover over the About box', lambda: not about_box_in_front(s))
    start_again(s)
    wait_for('the About box in front of the cover', lambda: about_box_in_front(s))
    if s.window_manager:
        s.xdotool('key', 'Escape')
    else:
        # Nothing takes back the focus the cover was given but a window manager.
        s.key('Escape')
    wait_for('the About box to close', lambda: not about_box_in_front(s))
    cover.kill()
    cover.wait()


def command_prompt_waits_for_the_launcher(s):
    """Typed at a command prompt, `tarvel` is the console launcher beside tarvel.exe (cmd finds
    .com before .exe): the prompt comes back after the program's output, with its status."""
    folder = os.path.dirname(s.tarvel)
    if not os.path.isfile(os.path.join(folder, 'tarvel.com')):
        raise StepFailed('no tarvel.com beside ' + s.tarvel)
    # Wine's cmd reads piped commands no further than the first line: a file, then.
    script = os.path.join(folder, 'prompt-commands.txt')
    with open(script, 'w', newline='\r\n') as commands:
        commands.write('cd /d "Z:%s"\ntarvel --bogus\necho status=%%ERRORLEVEL%%\n'
                       'tarvel /?\necho status=%%ERRORLEVEL%%\nexit\n' % folder.replace('/', '\\'))
    with open(script) as commands:
        said = subprocess.run([s.wine_run, 'cmd'], stdin=commands, env=s.env,
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                              timeout=60).stdout.replace('\r', '')
    os.remove(script)
    # Each text, then the prompt again (its '>') with the status.
    places = [said.find(text) for text in ("tarvel: unknown option '--bogus'", '>status=2',
                                           'Usage: tarvel', '>status=0')]
    if -1 in places or places != sorted(places):
        raise StepFailed('at the prompt, --bogus and /? should print their text, then the '
                         'prompt and status 2 and 0; cmd said:\n' + said)


def quit_by(s, how, what):
    how()
    try:
        status = s.game.wait(timeout=15)
    except subprocess.TimeoutExpired:
        raise StepFailed('still running 15 s after %s' % what)
    if status != 0:
        raise StepFailed('exit status %d after %s' % (status, what))


def control_q_quits(s):
    quit_by(s, lambda: s.key('ctrl+q'), 'Ctrl+Q')


def aceptar_quits(s):
    s.start_game()
    e2e.pitch_and_soft_keys(s)
    quit_by(s, lambda: s.click(*e2e.LEFT_SOFT_KEY), '"Aceptar"')


aceptar_quits.starts_a_game = True


def small_screen(s):
    """A 240 x 320 screen: the window is that size, its bar 26 pixels high, the pitch above."""
    s.start_game('--screen', '240x320')
    if s.size != (240, 320):
        raise StepFailed('the client area is %dx%d for a 240 x 320 screen' % s.size)
    image = wait_for('the small pitch', lambda: near(s.shot().pixel(30, 50),
                                                     e2e.PITCH_GREEN, 0) and s.last, timeout=15)
    s.save(image, 'small-screen')
    if not e2e.dark_grey(image.pixel(10, 320 - 5)) or near(image.pixel(10, 320 - 27),
                                                           (64, 64, 72), 12):
        raise StepFailed('the soft-key bar is not the bottom 26 pixels')
    quit_by(s, lambda: s.key('F1'), 'F1')


small_screen.starts_a_game = True


def recordings_cross_over(s):
    """A match recorded here plays back on the desktop's tarvel-sim bit for bit, and one
    recorded by each target plays back here with every check holding, to tarvel-sim's frame.
    The files are named outside the ANSI code page: Windows must be asked for them in UTF-16."""
    recorded = os.path.join(s.state, 'partido-матч.tarvel')
    s.start_game('--record', 'Z:' + recorded.replace('/', '\\'))
    wait_for('the pitch', lambda: near(s.shot().pixel(60, 100), e2e.PITCH_GREEN, 0), timeout=15)
    for x, y in ((240, 420), (200, 330), (300, 300)):
        s.steer(x, y, moves=8)
    quit_by(s, lambda: s.key('ctrl+q'), 'Ctrl+Q')
    with open(recorded) as text:
        head = [text.readline() for _ in range(3)]
    if (not head[0].startswith('# tarvel-replay 1 tarvel ') or not head[0].endswith(' windows\n')
            or head[1:] != ['# screen 480 640\n', 'start 480 %d\n' % e2e.PITCH_H]):
        raise StepFailed('the recording starts %r, not with its header, screen and pitch' % head)
    status, errors = e2e.simulate(s, recorded)
    if status != 0:
        raise StepFailed('tarvel-sim does not play the Windows recording: ' + errors.strip())

    # Each target's recording plays here to its end: the last frame is tarvel-sim's outside the
    # places two GDIs may differ, the score texts' cells as this GDI measures them.
    folder = os.path.join(s.state, 'text-cells')
    os.makedirs(folder)
    scripts = []
    for recording in e2e.RECORDINGS:
        scripts.append(os.path.join(folder, os.path.basename(recording)))
        with open(recording) as text, open(scripts[-1], 'w') as out:
            out.write(text.read() + 'frame %s.png\n' % os.path.basename(recording))
    try:
        compare_frames.run([s.wine_run, s.windows_frames, '--text-cells', 'cells.txt'] + scripts,
                           folder, 'windows_gdi_frames')
        cells = compare_frames.read_text_cells(os.path.join(folder, 'cells.txt'))
        shared = os.path.join(s.state, 'réplicas-повторы')
        os.makedirs(shared)
        for recording in e2e.RECORDINGS:
            copy = shutil.copy(recording, shared)
            shown, frame, state = e2e.play_to_the_end(
                s, copy, shown_as='Z:' + os.path.abspath(copy).replace('/', '\\'))
            width, height, _ = native = compare_frames.read_png(frame)
            rows = [shown.pixels[y * shown.width * 3:(y * shown.width + width) * 3]
                    for y in range(height)]
            _, differing = compare_frames.compare(
                recording, native, (width, height, rows), state,
                cells[os.path.basename(recording) + '.png'],
                os.path.join(s.artifacts or s.state, 'diff-' + os.path.basename(recording) + '.png'))
            if differing[0]:
                raise StepFailed('the last frame of %s differs from tarvel-sim\'s in %d pixels'
                                 % (recording, differing[0]))
            quit_by(s, lambda: s.key('ctrl+q'), 'Ctrl+Q')
    except compare_frames.Failure as failure:
        raise StepFailed(str(failure))


recordings_cross_over.starts_a_game = True

STEPS = [
    window_is_the_device_screen,
    e2e.pitch_and_soft_keys,
    e2e.disc_follows_pointer,
    e2e.a_goal_changes_the_score,
    e2e.help_menu_opens,
    e2e.hard_shows_its_check_mark,
    e2e.new_game_resets,
    about_box_opens_and_closes,
    second_start_raises_the_first,
    command_prompt_waits_for_the_launcher,
    control_q_quits,
    aceptar_quits,
    small_screen,
    recordings_cross_over,
]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('--tarvel', required=True)
    parser.add_argument('--wine-run', required=True)
    parser.add_argument('--tarvel-sim', required=True,
                        help="the desktop build's tarvel-sim, to play recordings back")
    parser.add_argument('--windows-frames', required=True,
                        help='windows_gdi_frames, to measure the score texts as this GDI does')
    parser.add_argument('--only', help='run only these steps (comma-separated names)')
    parser.add_argument('--artifacts', help='folder for the screenshots')
    parser.add_argument('--window-manager', action='store_true',
                        help='run openbox on the display')
    options = parser.parse_args()
    if options.artifacts:
        os.makedirs(options.artifacts, exist_ok=True)
    session = WineSession(os.path.abspath(options.wine_run), os.path.abspath(options.tarvel),
                          options.artifacts, options.window_manager,
                          os.path.abspath(options.tarvel_sim))
    session.windows_frames = os.path.abspath(options.windows_frames)
    steps = STEPS
    if options.only:
        steps = [step for step in steps if step.__name__ in options.only.split(',')]
    return e2e.play(session, steps)


if __name__ == '__main__':
    sys.exit(main())
