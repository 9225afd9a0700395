#!/usr/bin/env python3
"""The skinned caption as a user meets it, run inside tools/sandbox/run --shell:
    caption_test.py PROGRAM.exe PROBE.exe ARTIFACTS TITLE SKIN...
Each skin number is handed to the program in QZ_SKIN_NUMBER (the real program
always wears skin 5 and takes the single skin "5"). The boxes are found in a
screenshot by their pixels alone, and the window's hit test must answer a box
exactly there and the bare caption everywhere else in the band. Then real
clicks (XTEST): press on a box and drag off does nothing, the bare caption
beside the boxes does nothing, the minimise box minimises, the close box ends
the program with 0; the system menu opens by the icon and by Alt+Space where
the caption ends. With the first skin also the inactive caption, a pressed
box and the caption after a restore, saved as ARTIFACTS/caption-PROGRAM-*.png.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

HTCLIENT, HTCAPTION, HTSYSMENU, HTMINBUTTON, HTCLOSE, HTBORDER = 1, 2, 3, 8, 20, 18

program, probe, artifacts, title = sys.argv[1:5]
skins = sys.argv[5:]
stem = os.path.splitext(os.path.basename(program))[0]
os.makedirs(artifacts, exist_ok=True)


def artifact(what):
    return os.path.join(artifacts, f"caption-{stem}-{what}.png")
failures = 0


def check(what, ok, detail=""):
    global failures
    print(("ok   " if ok else "FAIL ") + what + (f" ({detail})" if detail and not ok else ""), flush=True)
    if not ok:
        failures += 1
    return ok


def wine_probe(*args):
    done = subprocess.run(["wine", probe, *args], capture_output=True, text=True, timeout=60)
    return done.stdout.strip()


def xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], check=False, timeout=30)


def wait_for(predicate, seconds=10):
    end = time.time() + seconds
    while time.time() < end:
        if predicate():
            return True
        time.sleep(0.1)
    return predicate()


class Shot:
    """The window's rectangle of the screen, read from a PPM."""

    def __init__(self, path, geometry):
        left, top, width, height = geometry[:4]
        subprocess.run(["import", "-window", "root", "-crop", f"{width}x{height}+{left}+{top}", "+repage", path],
                       check=True, timeout=60)
        data = subprocess.run(["convert", path, "ppm:-"], capture_output=True, check=True).stdout
        fields, pos = [], 0
        while len(fields) < 4:  # P6, width, height, maximum
            while data[pos:pos + 1].isspace():
                pos += 1
            end = pos
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(data[pos:end])
            pos = end
        self.width, self.height = int(fields[1]), int(fields[2])
        self.pixels = data[pos + 1:]
        self.path = path

    def at(self, x, y):
        i = 3 * (y * self.width + x)
        return self.pixels[i:i + 3]

    def region(self, x0, y0, x1, y1):
        return [self.at(x, y) for y in range(y0, y1) for x in range(x0, x1)]


def drawn_boxes(shot, border, caption):
    """The boxes at the band's right end and the icon at its left, by their
    pixels: per band row the most common colour of the right half is the
    caption's own; columns holding anything else make up a drawn thing."""
    band = range(border, border + caption)
    w = shot.width
    background = {}
    for y in band:
        counts = {}
        for x in range(w // 2, w - border):
            counts[shot.at(x, y)] = counts.get(shot.at(x, y), 0) + 1
        background[y] = max(counts, key=counts.get)

    def drawn(x):
        return [y for y in band if shot.at(x, y) != background[y]]

    def runs(xs):
        found, start = [], None
        for x in xs:
            if drawn(x) and start is None:
                start = x
            if not drawn(x) and start is not None:
                found.append((start, x))
                start = None
        if start is not None:
            found.append((start, xs[-1] + 1))
        return found

    boxes = []
    for left, right in reversed(runs(list(range(w * 3 // 4, w - border)))):
        rows = sorted({y for x in range(left, right) for y in drawn(x)})
        boxes.append((left, rows[0], right, rows[-1] + 1))
    icon = runs(list(range(border, border + 2 * caption)))
    return boxes, (icon[0] if icon else None)


def codes(kind, at):
    return [int(c) for c in wine_probe(kind, title, str(at)).split()]


def differences(got, want, offset=0):
    bad = [(i + offset, g, e) for i, (g, e) in enumerate(zip(got, want)) if g != e]
    return f"{len(bad)} points differ, first (at, got, want): {bad[:6]}"


def check_hit_map(name, shot, geometry):
    """Boxes hit exactly where drawn, the bare band answers the caption."""
    width, height, border, caption = geometry[2:6]
    boxes, icon = drawn_boxes(shot, border, caption)
    check(f"{name}: two boxes drawn at the caption's right end", len(boxes) == 2, f"found {boxes}")
    if len(boxes) != 2:
        return boxes
    print(f"     {name}: close box {boxes[0]}, minimise box {boxes[1]}, icon columns {icon}")
    check(f"{name}: the boxes are squares of one size", all(b[2] - b[0] == b[3] - b[1] for b in boxes) and
          boxes[0][2] - boxes[0][0] == boxes[1][2] - boxes[1][0], f"{boxes}")
    coded = ((boxes[0], HTCLOSE, "close"), (boxes[1], HTMINBUTTON, "minimise"))

    def box_at(x, y):
        return next((code for b, code, _ in coded if b[0] <= x < b[2] and b[1] <= y < b[3]), None)

    for box, code, box_name in coded:
        y_mid = (box[1] + box[3]) // 2
        row = codes("row", y_mid)
        want = [HTBORDER if x < border or x >= width - border else box_at(x, y_mid) for x in range(width)]
        # Left half: the icon's slot, then the bare caption (text included).
        slot = 0
        while border + slot < width and row[border + slot] == HTSYSMENU:
            slot += 1
        for x in range(border, width // 2):
            want[x] = HTSYSMENU if x < border + slot else HTCAPTION
        for x in range(width // 2, width - border):
            if want[x] is None:
                want[x] = HTCAPTION
        check(f"{name}: row {y_mid} across the caption: {box_name} box exactly where drawn, elsewhere the caption",
              row == want, differences(row, want))
        if icon and box is boxes[0]:
            check(f"{name}: the system menu's spot covers the drawn icon and little more",
                  slot > 0 and border + slot >= icon[1] and border + slot <= icon[1] + 4 and icon[0] - border <= 6,
                  f"slot {border}..{border + slot}, icon {icon}")
        x_mid = (box[0] + box[2]) // 2
        column = codes("column", x_mid)[:border + caption + 4]
        want = [HTBORDER if y < border else code if box[1] <= y < box[3] else HTCAPTION if y < border + caption
                else HTCLIENT for y in range(len(column))]
        check(f"{name}: column {x_mid} down the {box_name} box: the box exactly where drawn", column == want,
              differences(column, want))
    # A frame that cannot be resized: its edges are border, not sizing edges.
    row = codes("row", height // 2)
    edges = row[:border] + row[width - border:]
    check(f"{name}: left and right edges are plain border", edges == [HTBORDER] * (2 * border), f"{edges}")
    column = codes("column", width // 2)
    check(f"{name}: bottom edge is plain border", column[height - border:] == [HTBORDER] * border,
          f"{column[height - border:]}")
    return boxes


def start(skin, folder):
    shutil.copy(program, folder)
    env = dict(os.environ, QZ_SKIN_NUMBER=skin)
    process = subprocess.Popen(["wine", os.path.basename(program)], cwd=folder, env=env,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    subprocess.run(["wine", probe, "wait", title], timeout=60)
    time.sleep(1.0)
    return process


def state():
    return wine_probe("state", title)


def geometry():
    return [int(v) for v in wine_probe("geometry", title).split()]


def screen(x, y, g):
    return g[0] + x, g[1] + y


def run_skin(skin, first):
    name = f"skin {skin}"
    folder = tempfile.mkdtemp(dir=os.environ.get("QZ_SANDBOX_DIR"), prefix=f"caption{skin}.")
    process = start(skin, folder)
    g = geometry()
    if not check(f"{name}: the window is up", len(g) == 6, f"geometry {g}"):
        process.kill()
        return
    border, caption = g[4], g[5]
    active = Shot(artifact(f"active-skin{skin}"), g)
    boxes = check_hit_map(name, active, g)
    if len(boxes) != 2:
        process.kill()
        process.wait()
        return
    close, minimise = boxes
    mid = lambda b: ((b[0] + b[2]) // 2, (b[1] + b[3]) // 2)
    band_y = border + caption // 2
    client = (g[2] // 2, border + caption + 60)

    # Press on a box, drag off, release: nothing; while held it looks pressed.
    for box, box_name in ((minimise, "minimise"), (close, "close")):
        xdotool("mousemove", *screen(*mid(box), g))
        xdotool("mousedown", 1)
        time.sleep(0.6)
        if first and box is minimise:
            pressed = Shot(artifact("pressed"), g)
            check(f"{name}: the held {box_name} box is drawn pressed",
                  pressed.region(*box) != active.region(*box))
            check(f"{name}: nothing but the held box changes",
                  pressed.region(0, 0, box[0], border + caption) == active.region(0, 0, box[0], border + caption))
        xdotool("mousemove", *screen(*client, g))
        time.sleep(0.4)
        if first and box is minimise:
            off = Shot(artifact("dragged-off"), g)
            check(f"{name}: dragged off, the box is drawn raised again", off.region(*box) == active.region(*box))
        xdotool("mouseup", 1)
        time.sleep(0.6)
        check(f"{name}: press on the {box_name} box, release off it: nothing happens",
              process.poll() is None and state() == "normal active", f"{state()}, exit {process.poll()}")

    # The bare caption beside the boxes, where the system would put its own boxes.
    for x in (minimise[0] - 3, minimise[0] - 10, minimise[0] - 20, (minimise[2] + close[0]) // 2):
        xdotool("mousemove", *screen(x, band_y, g))
        xdotool("click", 1)
        time.sleep(0.5)
        check(f"{name}: a click on the bare caption at x {x} does nothing",
              process.poll() is None and state() == "normal active", f"{state()}, exit {process.poll()}")

    # The system menu, from the drawn icon and from Alt+Space: below the
    # caption at the frame's left, gone with Esc; its minimise item works.
    menu_at = [g[0] + border, g[1] + border + caption]
    for how in ("icon", "alt+space"):
        if how == "icon":
            xdotool("mousemove", *screen(border + 2, band_y, g))
            xdotool("click", 1)
        else:
            xdotool("key", "alt+space")
        wait_for(lambda: wine_probe("menu") != "none", 5)
        place = [int(v) for v in wine_probe("menu").split()] if wine_probe("menu") != "none" else None
        check(f"{name}: the system menu by {how} opens below the caption's left end",
              place is not None and place[0] == menu_at[0] and abs(place[1] - menu_at[1]) <= 1,
              f"at {place}, caption ends at {menu_at}")
        xdotool("key", "Escape")
        check(f"{name}: Esc closes the system menu and nothing else",
              wait_for(lambda: wine_probe("menu") == "none", 5) and process.poll() is None and
              state() == "normal active", f"{state()}, exit {process.poll()}")
    xdotool("key", "alt+space")
    wait_for(lambda: wine_probe("menu") != "none", 5)
    xdotool("key", "n")
    check(f"{name}: the system menu's minimise item minimises", wait_for(lambda: state().startswith("iconic")),
          state())
    wine_probe("restore", title)
    check(f"{name}: restored from the system menu's minimise", wait_for(lambda: state() == "normal active"),
          state())

    if first:
        # Inactive: another window takes the activation.
        holder = subprocess.Popen(["wine", probe, "hold", "3000"], stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL)
        if check(f"{name}: another window deactivates it", wait_for(lambda: state() == "normal inactive")):
            time.sleep(0.5)
            inactive = Shot(artifact("inactive"), g)
            inactive_boxes, _ = drawn_boxes(inactive, border, caption)
            check(f"{name}: inactive, the caption is drawn otherwise",
                  inactive.at(g[2] // 2, band_y) != active.at(g[2] // 2, band_y))
            check(f"{name}: inactive, the boxes stay where they were", inactive_boxes == boxes,
                  f"{inactive_boxes} against {boxes}")
        holder.wait(timeout=30)
        xdotool("mousemove", *screen(g[2] // 2, band_y, g))
        xdotool("click", 1)
        check(f"{name}: a click on the caption activates it again", wait_for(lambda: state() == "normal active"))

    if first:
        # Dragged off and back on before the release: the box still acts.
        xdotool("mousemove", *screen(*mid(minimise), g))
        xdotool("mousedown", 1)
        time.sleep(0.3)
        xdotool("mousemove", *screen(*client, g))
        time.sleep(0.3)
        xdotool("mousemove", *screen(*mid(minimise), g))
        time.sleep(0.3)
        xdotool("mouseup", 1)
        check(f"{name}: pressed, dragged off and back on, released: minimises",
              wait_for(lambda: state().startswith("iconic")), state())
        wine_probe("restore", title)
        check(f"{name}: restored", wait_for(lambda: state() == "normal active"), state())

    # The drawn minimise box minimises; restored, the dressing is whole.
    before = state()
    xdotool("mousemove", *screen(*mid(minimise), g))
    xdotool("click", 1)
    check(f"{name}: a click on the minimise box minimises",
          before.startswith("normal") and wait_for(lambda: state().startswith("iconic")), f"{before}, then {state()}")
    wine_probe("restore", title)
    check(f"{name}: restored", wait_for(lambda: state() == "normal active"), state())
    time.sleep(0.8)
    restored = Shot(artifact(f"restored-skin{skin}"), geometry())
    check(f"{name}: after the restore the caption is drawn as before",
          restored.region(0, 0, g[2], border + caption) == active.region(0, 0, g[2], border + caption))
    check(f"{name}: after the restore the hit map is unchanged", check_hit_map(f"{name} restored", restored, g) == boxes)

    # The drawn close box ends the program, with 0.
    xdotool("mousemove", *screen(*mid(close), g))
    xdotool("click", 1)
    try:
        status = process.wait(timeout=20)
    except subprocess.TimeoutExpired:
        process.kill()
        status = "still running"
    check(f"{name}: a click on the close box ends the program with 0", status == 0, f"status {status}")
    if process.poll() is None:
        process.kill()
    shutil.rmtree(folder, ignore_errors=True)


for i, skin in enumerate(skins):
    run_skin(skin, i == 0)
print(f"{failures} failed")
sys.exit(1 if failures else 0)
