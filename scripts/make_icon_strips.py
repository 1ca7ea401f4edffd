#!/usr/bin/python3
"""Builds every icon strip, toolbar bitmap, button bitmap, the program icon and the picture
for unreadable files from the Tango icon set (public domain; Debian package tango-icon-theme)
and the IPA Gothic font (fonts-ipafont-gothic), by the cell tables below.

The outputs are committed, so a build needs neither package; run this only to change a cell.
Needs python3-pil. Usage: make_icon_strips.py [resources folder]

Every strip is 24-bit with the grey C0C0C0 as its transparent colour: image lists take the
top-left pixel as the key, and the owner-drawn menus key out exactly C0C0C0, so that grey
never appears inside a picture.
"""
import os
import sys

from PIL import Image, ImageDraw, ImageEnhance, ImageFont

TANGO = "/usr/share/icons/Tango"
FONT = "/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf"
KEY = (0xC0, 0xC0, 0xC0)
# Semi-transparent edges are blended over the light menu face rather than the key grey.
FACE = (0xEC, 0xE9, 0xD8)

# A cell: base icon, optional overlay icon at the lower right ("folder", "image" and the rest
# are Tango names; "category/name" when the name alone is ambiguous).
IMAGE = "mimetypes/image-x-generic"
FOLDER = "places/folder"
COMMAND_CELLS = [
    None,                                               # 0  no icon
    ("apps/preferences-desktop-theme", None),           # 1  colour management
    ("actions/document-print", None),                   # 2  index print
    ("places/user-trash", None),                        # 3  selected files to the Recycle Bin
    ("places/user-trash", "actions/edit-clear"),        # 4  empty the Recycle Bin
    ("grid", None),                                     # 5  thumbnail screen / selected only
    ("actions/edit-undo", None),                        # 6  undo the files' last action
    ("actions/edit-copy", None),                        # 7  copy row information
    (IMAGE, "emblems/emblem-favorite"),                 # 8  check mark on
    (IMAGE, "actions/list-remove"),                     # 9  check mark off
    ("categories/preferences-system", None),            # 10 settings
    ("actions/view-refresh", None),                     # 11 refresh
    ("apps/preferences-system-windows", None),          # 12 view style
    ("actions/folder-new", None),                       # 13 new folder
    (FOLDER, "actions/edit-cut"),                       # 14 move selected files here
    (FOLDER, "actions/edit-copy"),                      # 15 copy selected files here
    ("actions/edit-clear", None),                       # 16 clear the cache
    ("apps/accessories-text-editor", None),             # 17 batch rename
    (FOLDER, "actions/go-up"),                          # 18 merge sub-folder pictures
    ("apps/help-browser", None),                        # 19 help
    ("actions/bookmark-new", None),                     # 20 add to favourites
    ("actions/system-log-out", None),                   # 21 exit
    ("apps/preferences-desktop-wallpaper", None),       # 22 wallpaper
    ("apps/system-file-manager", None),                 # 23 open the folder in the explorer
    ("actions/system-search", None),                    # 24 loupe (off)
    ("actions/system-search", "actions/list-add"),      # 25 loupe (on)
    ("actions/document-properties", None),              # 26 file properties
    (FOLDER, "actions/document-properties"),            # 27 folder properties
    (IMAGE, "actions/view-refresh"),                    # 28 lossless rotation as shown
    ("split2", None),                                   # 29 thumbnail split view
    ("split4", None),                                   # 30 multi-screen split
    (IMAGE, None),                                      # 31 picture
    ("actions/edit-find", None),                        # 32 actual size / zoom hold (off)
    ("actions/edit-find", "actions/list-add"),          # 33 actual size / zoom hold (on)
    ("actions/mail-message-new", None),                 # 34 mail with pictures
    ("actions/document-properties", IMAGE),             # 35 file information
    ("actions/bookmark-new", IMAGE),                    # 36 new collection
    ("actions/edit-find", IMAGE),                       # 37 search
    ("actions/view-fullscreen", None),                  # 38 full screen
    ("actions/format-indent-less", None),               # 39 hide the folder tree
    ("actions/edit-select-all", None),                  # 40 grid
    ("devices/camera-photo", "actions/media-playback-start"),  # 41 RAW development
    (IMAGE, "actions/edit-redo"),                       # 42 rotate right
    (IMAGE, "actions/edit-undo"),                       # 43 rotate left
    (IMAGE, "devices/camera-photo"),                    # 44 rotate by the Exif orientation
    ("actions/media-playback-start", IMAGE),            # 45 slideshow
    ("actions/go-jump", "emblems/emblem-favorite"),     # 46 jump to checked pictures
    ("devices/media-optical", "apps/accessories-calculator"),  # 47 media split calculation
    ("devices/media-optical", "actions/go-next"),       # 48 media split: distribute
    (FOLDER, "actions/go-up"),                          # 49 merge sub-folder pictures
    ("apps/preferences-desktop-keyboard-shortcuts", None),  # 50 action settings
    ("actions/go-previous", None),                      # 51 previous picture
    ("actions/go-next", None),                          # 52 next picture
    ("actions/go-first", None),                         # 53 first picture
    ("apps/internet-web-browser", "devices/camera-photo"),  # 54 estimate the GPS position
    ("actions/go-last", None),                          # 55 last picture
]

# ActionKind order; the second half of the strip is each kind "not done".
ACTION_KIND_CELLS = [
    ("actions/edit-undo", None),                        # 0 undo
    ("apps/preferences-desktop-keyboard-shortcuts", None),  # 1 built-in command
    ("mimetypes/application-x-executable", "actions/go-next"),  # 2 hand to an application
    ("actions/edit-copy", None),                        # 3 copy
    ("actions/edit-cut", None),                         # 4 move
    ("places/user-trash", None),                        # 5 Recycle Bin
    ("actions/edit-delete", None),                      # 6 delete
    ("devices/camera-photo", "actions/document-save"),  # 7 RAW development to TIFF
    ("devices/camera-photo", IMAGE),                    # 8 RAW development to JPEG
    ("actions/document-save-as", None),                 # 9 save the preview
    ("apps/accessories-text-editor", None),             # 10 rename
    ("actions/edit-find-replace", None),                # 11 replace-rename
    (IMAGE, "actions/view-refresh"),                    # 12 lossless rotation
    ("devices/media-optical", "actions/go-next"),       # 13 media split move, sub-folder merge
]

FAVOURITE_CELLS = [(FOLDER, "emblems/emblem-favorite"), (FOLDER, "actions/appointment-new")]

# Rebar band images: an icon and a short label, by band kind.
BAND_CELLS = [
    ("categories/preferences-system", "ﾂｰﾙ"),
    ("emblems/emblem-favorite", "登録"),
    ("actions/appointment-new", "履歴"),
    ("actions/media-seek-forward", "位置"),
    ("apps/accessories-text-editor", "ﾛｸﾞ"),
    ("apps/utilities-system-monitor", "進捗"),
    ("apps/preferences-desktop-keyboard-shortcuts", "ﾎﾞﾀﾝ"),
]

# Single 16 x 16 dialog buttons, by resource id.
BUTTON_CELLS = {
    134: ("actions/document-open", None),               # choose a folder
    156: (IMAGE, "actions/document-open"),              # choose a file
    213: ("actions/media-skip-backward", None),         # stop and back to the start
    214: ("actions/media-playback-pause", None),        # pause
    215: ("actions/media-playback-start", None),        # play
    216: ("actions/view-refresh", None),                # repeat on
    217: ("actions/go-last", None),                     # play once (repeat off)
    218: ("status/audio-volume-high", None),            # volume symbol of the movie strip
    165: ("actions/document-save-as", None),            # save the index page as a picture
    194: ("actions/document-print", None),              # print the index page
}

SIZES = {16: "16x16", 32: "32x32"}


def find_icon(name, size):
    folder = os.path.join(TANGO, SIZES.get(size, "32x32"))
    if "/" in name:
        path = os.path.join(folder, name + ".png")
        if os.path.exists(path):
            return path
        name = name.split("/", 1)[1]
    for sub in sorted(os.listdir(folder)):
        path = os.path.join(folder, sub, name + ".png")
        if os.path.exists(path):
            return path
    sys.exit("no Tango icon %r at %d pixels" % (name, size))


def icon(name, size):
    source = size if size in SIZES else 32
    img = Image.open(find_icon(name, source)).convert("RGBA")
    if img.size != (size, size):
        img = img.resize((size, size), Image.LANCZOS)
    return img


def composed(name, size):
    """The few cells that are arrangements of one picture: a grid and split layouts."""
    cell = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    if name == "grid":
        half = size // 2
        small = icon(IMAGE, half)
        for x in (0, half):
            for y in (0, half):
                cell.alpha_composite(small, (x, y))
    elif name in ("split2", "split4"):
        draw = ImageDraw.Draw(cell)
        frame = (0x34, 0x65, 0xA4, 255)  # Tango sky blue
        pane = (0xFF, 0xFF, 0xFF, 255)
        draw.rectangle([0, 1, size - 1, size - 2], fill=frame)
        inner = [1, 2, size - 2, size - 3]
        draw.rectangle(inner, fill=pane)
        mid_x = size // 2
        draw.line([mid_x, 2, mid_x, size - 3], fill=frame)
        if name == "split4":
            draw.line([1, size // 2, size - 2, size // 2], fill=frame)
        else:
            draw.rectangle([1, 2, mid_x - 1, size - 3], fill=(0xBA, 0xBD, 0xB6, 255))
    return cell


def cell_picture(spec, size, not_done=False):
    cell = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    if spec is None:
        return cell
    base, overlay = spec
    cell.alpha_composite(composed(base, size) if base in ("grid", "split2", "split4") else icon(base, size))
    if overlay:
        small = size * 5 // 8
        cell.alpha_composite(icon(overlay, small), (size - small, size - small))
    if not_done:
        grey = ImageEnhance.Color(cell).enhance(0.0)
        grey = ImageEnhance.Brightness(grey).enhance(1.25)
        cell = grey
        mark = size // 2
        cell.alpha_composite(icon("actions/process-stop", mark), (size - mark, size - mark))
    return cell


def flatten(img):
    """RGBA over the key grey: mostly transparent pixels become the key, the rest are blended
    over the menu face; a real pixel that happens to be the key is nudged off it."""
    out = Image.new("RGB", img.size, KEY)
    src, dst = img.load(), out.load()
    for y in range(img.size[1]):
        for x in range(img.size[0]):
            r, g, b, a = src[x, y]
            if a < 96:
                continue
            k = a / 255.0
            c = tuple(int(round(v * k + f * (1 - k))) for v, f in zip((r, g, b), FACE))
            dst[x, y] = (0xC1, 0xC0, 0xC0) if c == KEY else c
    return out


def strip(cells, size):
    img = Image.new("RGBA", (size * len(cells), size), (0, 0, 0, 0))
    for n, c in enumerate(cells):
        img.alpha_composite(c, (n * size, 0))
    return flatten(img)


def band_cell(icon_name, label, width, height):
    cell = Image.new("RGBA", (width, height), (0, 0, 0, 0))
    cell.alpha_composite(icon(icon_name, height), (0, 0))
    draw = ImageDraw.Draw(cell)
    font = ImageFont.truetype(FONT, int(height * 0.75))
    box = draw.textbbox((0, 0), label, font=font)
    x = height + 2 + (width - height - 2 - (box[2] - box[0])) // 2 - box[0]
    y = (height - (box[3] - box[1])) // 2 - box[1]
    draw.text((x, y), label, font=font, fill=(0x2E, 0x34, 0x36, 255))
    return cell


def save_bmp(img, path):
    img.putpixel((0, 0), KEY)  # image lists take their transparent colour from this pixel
    img.save(path, format="BMP")


def main():
    res = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "resources")
    icons_dir = os.path.join(res, "icons")

    def command_strip(size, count):
        return strip([cell_picture(COMMAND_CELLS[n], size) for n in range(count)], size)

    # Command cells: toolbar strips (202/226), toolbox and menu icons (228/227), toolbar
    # command icons (229/230). The normal strips hold 56 cells, the large ones 55.
    normal, large = command_strip(16, 56), command_strip(32, 55)
    save_bmp(normal, os.path.join(res, "toolbox16.bmp"))
    save_bmp(large, os.path.join(res, "toolbox32.bmp"))
    save_bmp(normal.crop((0, 0, 16 * 55, 16)), os.path.join(icons_dir, "strip228.bmp"))
    save_bmp(large, os.path.join(icons_dir, "strip227.bmp"))
    save_bmp(normal, os.path.join(icons_dir, "strip229.bmp"))
    save_bmp(large, os.path.join(icons_dir, "strip230.bmp"))

    for rid, size in ((155, 16), (225, 32)):
        cells = [cell_picture(c, size) for c in ACTION_KIND_CELLS]
        cells += [cell_picture(c, size, not_done=True) for c in ACTION_KIND_CELLS]
        save_bmp(strip(cells, size), os.path.join(icons_dir, "strip%d.bmp" % rid))
    for rid, size in ((200, 16), (224, 32)):
        save_bmp(strip([cell_picture(c, size) for c in FAVOURITE_CELLS], size),
                 os.path.join(icons_dir, "strip%d.bmp" % rid))
    for rid, (w, h) in ((211, (48, 16)), (222, (96, 32))):
        img = Image.new("RGBA", (w * len(BAND_CELLS), h), (0, 0, 0, 0))
        for n, (name, label) in enumerate(BAND_CELLS):
            img.alpha_composite(band_cell(name, label, w, h), (n * w, 0))
        save_bmp(flatten(img), os.path.join(icons_dir, "strip%d.bmp" % rid))
    for rid, spec in BUTTON_CELLS.items():
        save_bmp(flatten(cell_picture(spec, 16)), os.path.join(icons_dir, "strip%d.bmp" % rid))

    # Header sort marks (15 x 10: ascending, descending) and the row check states (8 x 8).
    marks = Image.new("RGBA", (30, 10), (0, 0, 0, 0))
    marks.alpha_composite(icon("actions/go-up", 10), (2, 0))
    marks.alpha_composite(icon("actions/go-down", 10), (17, 0))
    save_bmp(flatten(marks), os.path.join(icons_dir, "strip152.bmp"))
    checks = Image.new("RGBA", (16, 8), (0, 0, 0, 0))
    checks.alpha_composite(icon("emblems/emblem-favorite", 8), (8, 0))
    save_bmp(flatten(checks), os.path.join(icons_dir, "strip153.bmp"))

    # The tool menu button of band 0 (12 x 16, 24 x 32).
    for name, (w, h) in (("menu_button16.bmp", (12, 16)), ("menu_button32.bmp", (24, 32))):
        img = Image.new("RGBA", (w, h), (0, 0, 0, 0))
        img.alpha_composite(icon("categories/preferences-system", w), (0, (h - w) // 2))
        save_bmp(flatten(img), os.path.join(res, name))

    # Program icon: a camera over a picture, 16, 32 and 48 pixels with alpha.
    pictures = []
    for size in (16, 32, 48):
        img = icon(IMAGE, size).copy()
        small = size * 5 // 8
        img.alpha_composite(icon("devices/camera-photo", small), (size - small, size - small))
        pictures.append(img)
    pictures[2].save(os.path.join(res, "brannomere.ico"), format="ICO", sizes=[(16, 16), (32, 32), (48, 48)],
                     append_images=pictures[:2], bitmap_format="bmp")

    # The picture shown for files that cannot be read: 640 x 480, the "missing image" icon.
    unknown = Image.new("RGB", (640, 480), (0x55, 0x57, 0x53))
    mark = icon("status/image-missing", 32).resize((192, 192), Image.LANCZOS)
    unknown.paste(mark, ((640 - 192) // 2, (480 - 192) // 2), mark)
    unknown.save(os.path.join(res, "unknown.png"), format="PNG", optimize=True)


if __name__ == "__main__":
    main()
