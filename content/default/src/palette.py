"""palette.py -- the one palette of the default world.

Every colour is exact in the game's 5-6-5 pixels (red and blue multiples of 8, green of 4), so
what the mock-ups show is what the game shows. Text drawn by the game itself uses the colours
the game chooses; the pictures around it are made to sit well with them.
"""

PALETTE = {
    # outlines and darks
    "ink":      (24, 16, 32),     # outline of everything: a warm near-black
    "black":    (0, 0, 0),        # panel insides (the game paints black text cells there)
    "night":    (32, 32, 64),
    "deep":     (40, 56, 112),
    # water and sky
    "blue":     (64, 100, 176),
    "sky":      (112, 160, 232),
    "skylt":    (168, 204, 248),
    "lav":      (200, 200, 248),  # the playfield colour the game fills with
    "white":    (248, 252, 240),
    # wood and earth
    "cream":    (240, 232, 192),
    "sand":     (224, 196, 136),
    "woodlt":   (200, 140, 80),
    "wood":     (152, 96, 48),
    "wooddk":   (104, 60, 32),
    "bark":     (64, 40, 24),
    # greens (the game's status colours are greens too)
    "mossdk":   (24, 72, 48),
    "moss":     (40, 112, 56),
    "leaf":     (72, 156, 64),
    "leaflt":   (128, 204, 88),
    "lime":     (200, 236, 120),
    "teal":     (32, 128, 128),
    "tealdk":   (24, 80, 88),
    # warm accents
    "reddk":    (128, 32, 40),
    "red":      (216, 60, 48),
    "orange":   (240, 136, 48),
    "gold":     (248, 200, 72),
    "yellow":   (248, 236, 128),
    "pink":     (240, 148, 160),
    # greys
    "greydk":   (72, 72, 88),
    "grey":     (128, 128, 152),
    "greylt":   (192, 192, 208),
    # stone, caves and glow (the world's screens)
    "rockdk":   (56, 48, 72),
    "rock":     (96, 88, 112),
    "rocklt":   (144, 136, 160),
    "cave":     (40, 32, 48),
    "mud":      (120, 84, 56),
    "violet":   (136, 88, 200),
    "violetlt": (192, 160, 240),
    "cyan":     (96, 200, 216),
}

P = PALETTE


def check():
    for name, (r, g, b) in PALETTE.items():
        assert r % 8 == 0 and b % 8 == 0 and g % 4 == 0, name


check()
