"""The 28 classic folder bitmaps as pixel art: 16 by 16, silver background.

Each picture is a list of 16 strings of 16 characters; every character is a
colour of PALETTE. Overlays use a blank for "leave the pixel as it is".
"""

SILVER = (192, 192, 192)

PALETTE = {
    ".": SILVER,
    "k": (32, 32, 32),       # outline
    "g": (128, 128, 128),    # drop shadow
    "w": (255, 255, 255),
    "l": (236, 184, 112),    # cabinet, light
    "b": (196, 128, 56),     # cabinet
    "N": (0, 64, 160),       # network cable
    "Y": (255, 216, 0),      # star, sun
    "O": (255, 140, 0),      # new-documents star
    "D": (0, 96, 0),         # check mark, dark
    "G": (0, 168, 0),        # check mark, picture hills
    "R": (216, 24, 24),      # warning, no entry, PDF
    "B": (40, 88, 216),      # question mark, arrow, word processor
    "c": (140, 200, 255),    # sky
    "s": (240, 196, 152),    # skin
    "P": (0, 128, 112),      # shirt
    "t": (160, 160, 164),    # page text lines
}

# Folder colours: highlight, main, shade.
FOLDER_COLOURS = {
    "plain": ((255, 255, 200), (248, 216, 96), (196, 152, 32)),
    "blue": ((176, 204, 255), (56, 104, 224), (24, 56, 160)),
    "green": ((192, 240, 192), (64, 176, 64), (24, 112, 24)),
    "red": ((255, 192, 184), (220, 52, 44), (148, 20, 16)),
    "magenta": ((248, 192, 248), (196, 56, 192), (120, 20, 120)),
    "gray": ((236, 236, 236), (148, 148, 154), (92, 92, 96)),
}

FOLDER = [
    "................",
    "................",
    ".kkkkk..........",
    "kHHHHHk.........",
    "kHMMMMHkkkkkkkk.",
    "kHHHHHHHHHHHHHkg",
    "kHMMMMMMMMMMMMkg",
    "kHMMMMMMMMMMMMkg",
    "kHMMMMMMMMMMMMkg",
    "kHMMMMMMMMMMMMkg",
    "kHMMMMMMMMMMMMkg",
    "kHMMMMMMMMMMMMkg",
    "kHMMMMMMMMMMMMkg",
    "kSSSSSSSSSSSSSkg",
    "kkkkkkkkkkkkkkkg",
    ".ggggggggggggggg",
]

CABINET = [
    "................",
    "..kkkkkkkkkkkk..",
    "..kllllllllllkg.",
    "..klbbbbbbbbbkg.",
    "..klbbkkkkbbbkg.",
    "..klbbkwwkbbbkg.",
    "..klbbbbbbbbbkg.",
    "..kkkkkkkkkkkkg.",
    "..kllllllllllkg.",
    "..klbbbbbbbbbkg.",
    "..klbbkkkkbbbkg.",
    "..klbbkwwkbbbkg.",
    "..klbbbbbbbbbkg.",
    "..kkkkkkkkkkkkg.",
    "...gggggggggggg.",
    "................",
]

# The cabinet raised by one row, standing on its network cable.
NETWORK_CABINET = CABINET[1:14] + [
    ".......kNk......",
    "NNNNNNNNNNNNNNNN",
    "................",
]

DEFAULT_STAR = (0, 10, [
    "  kk  ",
    "kkYYkk",
    "kYYYYk",
    " kYYk ",
    "kYkkYk",
    "kk  kk",
])

NEW_STAR = (0, 9, [
    "   k   ",
    "  kOk  ",
    "kkOOOkk",
    " kOOOk ",
    " kOkOk ",
    "kOk kOk",
    "kk   kk",
])

CHECK = (6, 6, [
    "         D",
    "        DG",
    "       DGD",
    "D     DGD ",
    "GD   DGD  ",
    "DGD DGD   ",
    " DGDGD    ",
    "  DGD     ",
    "   D      ",
])

EXCLAMATION = (7, 6, [
    "  kkkkkk  ",
    " kRRwwRRk ",
    "kRRRwwRRRk",
    "kRRRwwRRRk",
    "kRRRwwRRRk",
    "kRRRRRRRRk",
    "kRRRwwRRRk",
    " kRRRRRRk ",
    "  kkkkkk  ",
])

NO_ENTRY = (7, 6, [
    "  kkkkkk  ",
    " kRRRRRRk ",
    "kRRRRRRRRk",
    "kRwwwwwwRk",
    "kRwwwwwwRk",
    "kRRRRRRRRk",
    " kRRRRRRk ",
    "  kkkkkk  ",
])

QUESTION = (7, 6, [
    "  kkkkkk  ",
    " kBwwwwBk ",
    "kBwBBBBwBk",
    "kBBBBBBwBk",
    "kBBBBwwBBk",
    "kBBBBwBBBk",
    "kBBBBBBBBk",
    " kBBBwBBk ",
    "  kkkkkk  ",
])

CLOCK = (7, 6, [
    "  kkkkkk  ",
    " kwwwwwwk ",
    "kwwwwkwwwk",
    "kwwwwkwwwk",
    "kwwwwkkkwk",
    "kwwwwwwwwk",
    "kwwwwwwwwk",
    " kwwwwwwk ",
    "  kkkkkk  ",
])

ARROW = (7, 6, [
    "     k    ",
    "     kk   ",
    "kkkkkkBk  ",
    "kBBBBBBBk ",
    "kBBBBBBBBk",
    "kBBBBBBBk ",
    "kkkkkkBk  ",
    "     kk   ",
    "     k    ",
])

FLAG = [
    " k        ",
    " kkkkkkkkk",
    " kFFFFFFFk",
    " kFFFFFFFk",
    " kFFFFFFFk",
    " kFFFFFFFk",
    " kkkkkkkkk",
    " k        ",
    " k        ",
    "kkk       ",
]

BOXES = (7, 6, [
    "  kkkkk   ",
    "  klllk   ",
    "  kbbbk   ",
    "  kbbbk   ",
    "kkkkkkkkkk",
    "klllkklllk",
    "kbbbkkbbbk",
    "kbbbkkbbbk",
    "kkkkkkkkkk",
])

ENVELOPE = (8, 6, [
    "kkkkkkkkkk",
    "kkwwwwwwkk",
    "kwkwwwwkwk",
    "kwwkwwkwwk",
    "kwwwkkwwwk",
    "kwwwwwwwwk",
    "kkkkkkkkkk",
])

PICTURE = (7, 6, [
    "kkkkkkkkkk",
    "kcccccYYck",
    "kcccccYYck",
    "kccGccccck",
    "kcGGGccGck",
    "kGGGGGGGGk",
    "kGGGGGGGGk",
    "kkkkkkkkkk",
])

WORD = (7, 6, [
    "   kkkkkkk",
    "   kwwwwwk",
    "BBBBBBBtwk",
    "BwBBBwBwwk",
    "BwBwBwBtwk",
    "BBwBwBBwwk",
    "BBBBBBBtwk",
    "   kwwwwwk",
    "   kkkkkkk",
])

PDF = (7, 6, [
    "   kkkkkkk",
    "   kwwwwwk",
    "   kwtttwk",
    "RRRRRRRRRk",
    "RwRRwRRwRk",
    "RwRRwRRwRk",
    "RRRRRRRRRk",
    "   kwtttwk",
    "   kkkkkkk",
])

PERSON = (7, 6, [
    "   kkkk   ",
    "  kssssk  ",
    "  kssssk  ",
    "  kssssk  ",
    "   kkkk   ",
    " kkPPPPkk ",
    "kPPPPPPPPk",
    "kPPPPPPPPk",
    "kkkkkkkkkk",
])

FLAG_COLOURS = {
    "ROT": (224, 32, 32),
    "BLAU": (32, 72, 224),
    "GRUEN": (32, 160, 48),
    "ORANGE": (255, 140, 0),
    "LILA": (200, 40, 200),
}


def folder(colour_name):
    highlight, main, shade = FOLDER_COLOURS[colour_name]
    extra = {"H": highlight, "M": main, "S": shade}
    return [[extra.get(ch) or PALETTE[ch] for ch in row] for row in FOLDER]


def paint(rows):
    return [[PALETTE[ch] for ch in row] for row in rows]


def overlay(pixels, placed, extra=None):
    top, left, rows = placed
    for y, row in enumerate(rows):
        for x, ch in enumerate(row):
            if ch != " ":
                pixels[top + y][left + x] = (extra or {}).get(ch) or PALETTE[ch]
    return pixels


def flag(colour):
    return (6, 6, FLAG), {"F": colour}


def classic_pictures():
    """Name -> 16 rows of 16 (r, g, b), in list order."""
    pictures = {
        "BMP_ARCHIV_16": paint(CABINET),
        "BMP_STANDARDARCHIV_16": overlay(paint(CABINET), DEFAULT_STAR),
        "BMP_SERVER_ARCHIV_16": paint(NETWORK_CABINET),
        "BMP_SERVER_ARCHIV_STANDARD_16": overlay(paint(NETWORK_CABINET), DEFAULT_STAR),
        "BMP_NEU_ERFASSTE_DOKUMENTE_16": overlay(folder("plain"), NEW_STAR),
        "BMP_ORDNER_16": folder("plain"),
    }
    for suffix, colour in [("BLAU", "blue"), ("GRUEN", "green"), ("ROT", "red"), ("LILA", "magenta"),
                           ("GRAU", "gray")]:
        pictures["BMP_ORDNERSYMBOL_ORDNER_%s_16" % suffix] = folder(colour)
    symbols = [("HAEKCHEN", CHECK), ("AUSRUFEZEICHEN", EXCLAMATION)]
    for name in ["ROT", "BLAU", "GRUEN", "ORANGE", "LILA"]:
        symbols.append(("FLAGGE_" + name, flag(FLAG_COLOURS[name])))
    symbols += [("PFEIL_BLAU", ARROW), ("VERBOTEN", NO_ENTRY), ("FRAGEZEICHEN", QUESTION), ("UHR", CLOCK),
                ("KAESTCHEN", BOXES), ("EMAIL", ENVELOPE), ("BILD", PICTURE), ("WORD_SYMBOL", WORD),
                ("PDF", PDF), ("PERSON", PERSON)]
    for suffix, symbol in symbols:
        if isinstance(symbol[1], dict):
            placed, extra = symbol
        else:
            placed, extra = symbol, None
        pictures["BMP_ORDNERSYMBOL_ORDNER_%s_16" % suffix] = overlay(folder("plain"), placed, extra)
    for name, pixels in pictures.items():
        assert len(pixels) == 16 and all(len(row) == 16 for row in pixels), name
    return pictures
