"""adventure.py -- Zelvo and the Silent Spring: the default world's screens, events, artifacts and
texts.

Lily Pond is sinking and its brook has gone quiet. Old Heron sends Zelvo east to the Spring in
the hills. On the way: a lantern from Heron's hut, a jay's feather from the top of the Old Oak to
wake the badger who sleeps in the pass, a red mushroom for hungry Old Mole, who digs a way down
to the caves under the river and turns up the mill's key; the dark hollow, the well, the mill
and its crank, and at last the sluice gate that holds the Spring back.

Screen n sits in grid column (n - 1) // 10, row (n - 1) % 10. The map (critical path in caps):

    col:  0        1        2        3         4        5        6        7        8        9
    r0    POND 1   MEADOW   OAK 21   BRAMBLES  BADGER   GLADE    RIVER 61 bank 71  MILL 81  FALLS 91
    r1    pond 2   warren   roots 22                             MOLE 62  lake 72  WELL 82  SPRING 92
    r2    deep 3                                                 TUNNEL   GLOW 73  DARK 83  attic 93
    r3    HUT 4                                                                             loft 94
    r4                                                                                      MILL 95

Edges join neighbours where the ground meets; doors (Action) and bubbles join the rest.
"""
import props
import scenery
from worldkit import PH, W, World

w = World()
FLOOR = 160          # the usual ground row outdoors; Zelvo stands at y 140 on it

# ---- sprites used on many screens -----------------------------------------------------------

SIGN = w.sprite("signpost", "scenery", props.signpost())
SIGN_LEFT = w.sprite("signpost-left", "scenery", props.signpost("left"))
BOARD = w.sprite("noticeboard", "scenery", props.signpost("board"))
REEDS = w.sprite("reeds", "front", props.reeds(), anim=1, motion="random")
GRASS = w.sprite("tall-grass", "foreground", props.tall_grass(34, 16, 1))
GRASS2 = w.sprite("tall-grass-2", "foreground", props.tall_grass(26, 13, 4))
FERN = w.sprite("fern", "foreground", props.fern())
FLOWERS = [w.sprite("flower-%s" % n, "scenery", props.flower(col), anim=2, motion="random")
           for n, col in (("pink", scenery.P["pink"]), ("yellow", scenery.P["yellow"]),
                          ("white", scenery.P["white"]), ("violet", scenery.P["violetlt"]))]
THORNS = w.sprite("thorns", "hazard", props.thorns(30, 12, 3))
THORNS_W = w.sprite("thorns-wide", "hazard", props.thorns(44, 12, 8))
BUSH = w.sprite("berry-bush", "scenery", props.berry_bush())
LOG = w.sprite("log", "solid", props.log(40))
STUMP = w.sprite("stump", "solid", props.stump())
BOULDER = w.sprite("boulder", "solid", props.boulder())
CRATE = w.sprite("crate", "solid", props.crate())
SACKS = w.sprite("sacks", "solid", props.sacks())
ROOTS = w.sprite("roots", "scenery", props.roots_ladder(70))
LADDER = w.sprite("ladder", "scenery", props.ladder(60))
GLOW = w.sprite("glowworm", "scenery", props.glowworm(), anim=2, motion="random")
DRIP = w.sprite("drip", "hazard", props.drip(), anim=5)
BEE = w.sprite("bee", "hazard", props.bee(), anim=10)
BAT = w.sprite("bat", "hazard", props.bat(), anim=6, motion="patrol", rate=34)
BIRD = w.sprite("bird", "hazard", props.bird(), anim=5, motion="patrol", rate=40)
BEETLE = w.sprite("beetle", "hazard", props.beetle(), anim=6, motion="random")
EEL = w.sprite("eel", "hazard", props.eel(), anim=4, motion="patrol", rate=30)
BUTTERFLY = w.sprite("butterfly", "front", props.butterfly(), anim=6, motion="patrol", rate=20)
FISH = w.sprite("fish", "scenery", props.fish(), anim=3, motion="patrol", rate=16)
MUSHROOMS = [w.sprite("toadstool-%s" % c, "scenery", props.mushroom_deco(c)) for c in "roy"]
GEAR = w.sprite("gear", "scenery", props.gear(), anim=4)
GEAR_BIG = w.sprite("gear-big", "scenery", props.gear(20, 14), anim=3)
DOOR = w.sprite("door", "scenery", props.door())


def ledge(style, width, kind="solid"):
    return w.sprite("ledge-%s-%d" % (style, width), kind, scenery.ledge(style, width, width))


# ---- the five artifacts -----------------------------------------------------------------------

def artifact_sprite(name, picture):
    return w.sprite(name, "front", picture, sid=900 + len([s for s in w.sprites if s >= 900]))


LANTERN = w.artifact(900, "Heron's lantern", artifact_sprite("lantern", props.lantern()), 4, 0, 0)
FEATHER = w.artifact(901, "Jay's feather", artifact_sprite("feather", props.feather()), 21, 0, 0)
MUSHROOM = w.artifact(902, "Red mushroom", artifact_sprite("mushroom", props.mushroom()), 51, 0, 0)
KEY = w.artifact(903, "Mill key", artifact_sprite("key", props.key()), 62, 0, 0, state="hidden")
CRANK = w.artifact(904, "Sluice crank", artifact_sprite("crank", props.crank()), 93, 0, 0)


def lay(artifact, x, ground):
    """An artifact lying with its bottom row on the given ground row."""
    artifact.x, artifact.y = x, ground - artifact.sprite.h


# ---- event helpers -------------------------------------------------------------------------------

def talk(s, rect, *texts, armed=True, then=(), note=""):
    """Action inside rect shows the texts, one box after another."""
    x, y, rw, rh = rect
    e = w.event("action", (rw, rh), armed=armed, note=note or "talk on screen %d" % s.number)
    e.do(*[w.say(t) for t in texts], *then)
    s.on(e, x, y)
    return e


def once(s, rect, *texts, then=(), note=""):
    """Touching rect shows the texts the first time only."""
    x, y, rw, rh = rect
    e = w.event("touch", (rw, rh), note=note or "a text shown once on screen %d" % s.number)
    e.do(*[w.say(t) for t in texts], *then, w.disarm(e))
    s.on(e, x, y)
    return e


def use(s, rect, artifact, *actions, note=""):
    x, y, rw, rh = rect
    e = w.event("useArtifact", (rw, rh), param=artifact, note=note or "use %s" % artifact.name)
    e.do(*actions)
    s.on(e, x, y)
    return e


ARTIFACTS = (LANTERN, FEATHER, MUSHROOM, KEY, CRANK)


def not_here(s, rect, right, text, closer=None):
    """Where an artifact is needed, the others are not dropped at Zelvo's feet: a word says why. With
    closer, the right one used near its place but not on it says so too (placed after the event that
    takes it, which leaves the screen, so only one of them speaks)."""
    x, y, rw, rh = rect
    for a in ARTIFACTS:
        if a is right and not closer:
            continue
        e = w.event("useArtifact", (rw, rh), param=a, note="%s is not what is needed here" % a.name
                    if a is not right else "%s used too far from its place" % a.name)
        e.do(w.say(closer if a is right else text))
        s.on(e, x, y)


def found(s, artifact, text):
    """Touching an artifact that lies there names it, once, and says how to take it."""
    sp = artifact.sprite
    return once(s, (artifact.x, artifact.y, sp.w - 1, sp.h - 1), text, note="%s found" % artifact.name)


def door(s, rect, to, x, y, *before, armed=True, note=""):
    rx, ry, rw, rh = rect
    e = w.event("action", (rw, rh), armed=armed, note=note or "door from %d to %d" % (s.number, to))
    e.do(*before, w.go(to, x, y))
    s.on(e, rx, ry)
    return e


def carried_by_touch(s, rect, to, x, y, note):
    rx, ry, rw, rh = rect
    e = w.event("touch", (rw, rh), note=note)
    e.do(w.go(to, x, y))
    s.on(e, rx, ry)
    return e


def pit(s, x0, x1):
    """A chasm with no screen below: falling into it costs a life."""
    e = w.event("touch", (x1 - x0, 16), note="a deadly drop on screen %d" % s.number)
    e.do(w.KILL)
    s.on(e, x0, 172)
    return e


TREASURES = {"shell": (props.shell(), 3), "pearl": (props.pearl(), 0), "acorn": (props.acorn(), 0)}
treasure_count = [0]


def treasure(s, x, ground, points=10, kind="shell"):
    """A treasure to run into: it vanishes for the rest of the game and adds to the score."""
    frames, anim = TREASURES[kind]
    treasure_count[0] += 1
    sp = w.sprite("%s-%d" % (kind, treasure_count[0]), "front", frames, anim=anim,
                  motion="random" if anim else "still", file=kind)
    y = ground - sp.h
    s.put(sp, x, y)
    e = w.event("touch", (sp.w - 2, sp.h - 2), note="%s worth %d" % (kind, points))
    e.do(w.remove(sp), w.score(points), w.disarm(e))
    s.on(e, x + 1, y + 1)
    return sp


def flowers(s, ground, xs):
    """Flowers sway: on a layer above the scenery they stand in front of, which their frames then
    leave whole."""
    for i, x in enumerate(xs):
        s.put(FLOWERS[(x // 7 + i) % len(FLOWERS)], x, ground - 12, layer=3)


# =====================================================================================================
# Lily Pond and Heron's hut
# =====================================================================================================

s = w.screen(1, "Lily Pond", "pond")
s.ground(0, 116, FLOOR).ground(176, W + 1, FLOOR)
s.down_open = True                       # falling into the pond leads below it
HUT = w.sprite("hut", "scenery", props.hut())
HERON = w.sprite("heron", "scenery", props.heron())
s.put(HUT, 2, FLOOR - HUT.h)
s.put(HERON, 84, FLOOR - HERON.h)
flowers(s, FLOOR, (70, 100, 196))
s.put(REEDS, 104, FLOOR - REEDS.h + 4)
s.put(REEDS, 176, FLOOR - REEDS.h + 4)
s.pond = True
PAD = ledge("pad", 20)
s.put(PAD, 136, 162)
POND = w.sprite("pond-water", "front", props.water_front(62, 26, 1), anim=2)
s.put(POND, 115, 165)
LOW_WATER = w.sprite("low-water", "foreground", props.low_water())
s.put(LOW_WATER, 115, 165, layer=21)     # over the water, under the frame of the view
s.put(GRASS, 0, FLOOR - 12)
s.put(SIGN, 184, FLOOR - SIGN.h)
once(s, (0, 126, 70, 34),
     "Heron: Zelvo! Wake up, little one! Lily Pond sinks lower every day, and the brook has gone quiet.",
     "Something is wrong far east in the hills, up at the old @fFFE0Spring. @fFFFFWill you go and see?",
     "Take my @fFFE0lantern @fFFFFfrom the hut. @f7F4FAction @fFFFFtalks, reads signs, opens doors and picks "
     "things up.",
     note="Heron's greeting")
talk(s, (74, 120, 40, 40),
     "Heron: The brook comes down from the Spring, past the old mill. Follow the path east.",
     "Found something useful? Stand where it's needed, press @f7F4FAction @fFFFFand choose it. Anywhere else "
     "you just put it down.",
     "Hop over the pond on my lily pad. Or dive in, if you like: what turtle minds a swim?",
     then=(w.NOTHING,), note="Heron")
door(s, (26, 136, 14, 24), 4, 30, 140, note="into Heron's hut")
talk(s, (184, 130, 26, 30), "East: the Meadow and the Old Oak. Mind the brambles!")
HOME = (50, 140)                         # where Zelvo comes home at the end
ending = w.event("touch", (20, 30), armed=False, note="home again: the ending")
ending.do(w.say("Lily Pond is filling up! The brook sings its way down from the hills again."),
          w.say("Heron: You did it, Zelvo! Listen to that water. I knew a turtle would not give up."),
          w.say("Mole, Otter and the mill mouse sent word: come and visit. Badger says he's asleep."),
          w.say("Heron: Now rest, little one. The pond is full, and it's all yours to swim in."),
          w.score(100), w.disarm(ending), w.FINISH)
s.on(ending, HOME[0] - 4, HOME[1] - 10)

s = w.screen(4, "Heron's Hut", "hut")
s.ground(0, W + 1, FLOOR)
TABLE = w.sprite("table", "scenery", props.table())
s.put(DOOR, 14, FLOOR - DOOR.h)
door(s, (14, 130, 20, 30), 1, 26, 140, note="out of Heron's hut")
SHELF = w.sprite("bookshelf", "scenery", props.bookshelf())
s.put(SHELF, 70, FLOOR - SHELF.h)
talk(s, (70, 120, SHELF.w, 40),
     "A book: 'Moles of the River Bank'. Moles, it says, would do anything for a @fF800red mushroom.")
s.put(TABLE, 130, FLOOR - TABLE.h)
lay(LANTERN, 136, FLOOR - TABLE.h)
found(s, LANTERN, "Heron's @fFFE0lantern! @fFFFFPress @f7F4FAction @fFFFFhere to put it in your bag.")

# =====================================================================================================
# Under the pond (secret)
# =====================================================================================================

s = w.screen(2, "Under the Pond", "water")
s.ground(0, 60, 172).ground(92, 200, 172).ground(200, W + 1, 0)
s.down_open = True
s.closed_right = True
WEED = w.sprite("weed", "scenery", props.weed(), anim=1,
                motion="random")
for x in (10, 44, 108, 170):
    s.put(WEED, x, 172 - WEED.h, layer=3)
s.put(FISH, 206 - FISH.w, 70)
treasure(s, 30, 172)
treasure(s, 140, 172)
BUBBLES = w.sprite("bubbles", "scenery", props.bubbles(),
                   anim=6)
s.put(BUBBLES, 180, 40, layer=4)
once(s, (110, 100, 60, 72), "Splash! Zelvo sinks to the bottom of the pond. Turtles don't mind water.")
carried_by_touch(s, (180, 100, 14, 72), 1, 186, 140, "bubbles up to the pond's bank")

s = w.screen(3, "Pond Depths", "water", seed=33)
s.ground(0, W + 1, 176)
STONES = w.sprite("stones", "scenery", props.rocks())
for x in (0, 130):
    s.put(STONES, x, 176 - STONES.h)
for i, x in enumerate((20, 30, 120, 150, 196)):
    s.put(WEED, x, 176 - WEED.h, layer=3 + i % 2)   # in front of the stones and of each other
BOAT = w.sprite("boat", "scenery", props.boat())
s.put(BOAT, 50, 176 - BOAT.h + 4)
treasure(s, 76, 176 - 14, 100, "pearl")
s.put(EEL, 206 - EEL.w, 118)
s.put(BUBBLES, 180, 60)
carried_by_touch(s, (180, 110, 14, 66), 1, 186, 140, "bubbles up from the depths")

# =====================================================================================================
# The meadow, the warren and the Old Oak
# =====================================================================================================

s = w.screen(11, "Meadow", "meadow")
s.ground(0, 120, FLOOR).ground(120, 160, FLOOR, 152).ground(160, 196, 152)
s.ground(196, 206, 152, FLOOR).ground(206, W + 1, FLOOR)
s.put(SIGN, 2, FLOOR - SIGN.h)
talk(s, (2, 130, 26, 30), "Meadow Path. The burrow: the Rabbit Warren. East: the Old Oak.")
once(s, (0, 120, 8, 40), "A signpost! Stand by it and press @f7F4FAction @fFFFFto read it.",
     note="signposts can be read")
BURROW = w.sprite("burrow", "scenery", props.burrow())
s.put(BURROW, 40, FLOOR - BURROW.h)
door(s, (44, 140, 24, 20), 12, 36, 40, note="down the burrow to the warren")
s.put(THORNS, 96, FLOOR - 11)
STONE = ledge("stone", 32)
s.put(STONE, 174, 126)
treasure(s, 184, 126)
treasure(s, 150, 154)
flowers(s, FLOOR, (56, 66, 84))
flowers(s, 152, (194,))
s.put(BUTTERFLY, 206 - BUTTERFLY.w, 60)
s.put(GRASS2, 58, FLOOR - 9)

s = w.screen(12, "Rabbit Warren", "burrow")
s.ground(0, 8, 0).ground(8, W + 1, 170)
s.ceiling(0, 24, 30, 26).ceiling(56, W + 1, 24, 34)
s.closed_left = True
RABBIT = w.sprite("rabbit", "scenery", props.rabbit())
CARROTS = w.sprite("carrots", "scenery", props.carrots())
s.put(ROOTS, 32, 170 - ROOTS.h)
door(s, (32, 120, 18, 50), 11, 46, 140, note="up the roots to the meadow")
ROOTS_HINT = once(s, (20, 90, 40, 30), "Roots reach down from above. Stand by them and press @f7F4FAction @fFFFFto climb.",
                  note="roots are a way up (shown once, in the warren or the mole's burrow)")
s.put(RABBIT, 120, 170 - RABBIT.h)
talk(s, (112, 140, 30, 30),
     "Rabbit: Oh! A turtle in my warren! These tunnels run on under the Old Oak. Have a carrot!")
s.put(CARROTS, 150, 170 - CARROTS.h)
talk(s, (150, 150, CARROTS.w, 20), "Crunch! Zelvo feels strong again.", then=(w.energy(50),))
EARTH = ledge("earth", 40)
s.put(EARTH, 20, 138)
treasure(s, 30, 138)

s = w.screen(22, "Oak Roots", "burrow", seed=222)
s.ground(0, W + 1, 170)
s.ceiling(0, W + 1, 26, 40)
s.put(EARTH, 90, 140)
s.put(EARTH, 140, 112)
treasure(s, 152, 112)
s.put(ROOTS, 184, 170 - ROOTS.h)
door(s, (184, 120, 18, 50), 21, 30, 140, note="up the roots to the oak")
WORM = w.sprite("worm", "hazard", props.worm(), anim=4, motion="random")
s.put(WORM, 62, 170 - WORM.h)

s = w.screen(21, "Old Oak", "wood")
s.ground(0, W + 1, FLOOR)
OAK = w.sprite("oak", "scenery", props.oak())
s.put(OAK, 70, FLOOR - OAK.h)
BRANCH = ledge("branch", 44)
BRANCH_S = ledge("branch", 36)
for (x, y) in ((24, 130), (116, 102), (34, 74), (116, 44)):
    s.put(BRANCH if x < 100 else BRANCH_S, x, y)
NEST = w.sprite("nest", "scenery", props.nest())
s.put(NEST, 128, 44 - NEST.h + 4)
lay(FEATHER, 138, 44)
found(s, FEATHER, "The jay's @fFFE0feather! @fFFFFPress @f7F4FAction @fFFFFhere to put it in your bag.")
SQUIRREL = w.sprite("squirrel", "scenery", props.squirrel())
s.put(SQUIRREL, 50, 130 - SQUIRREL.h)
talk(s, (40, 100, 40, 30),
     "Squirrel: The jay's @fFFE0feather? @fFFFFIt's up in her nest, right at the top. Mind the bees!")
HIVE = w.sprite("hive", "scenery", props.hive())
s.put(HIVE, 38, 84)                      # hanging from the third branch
# The bees guard the hive, not the way up: they hang above the top of the jump from the ground
# and behind the jump from the low branch's far end; a jump straight up under the hive meets them.
s.put(BEE, 22, 86)
s.put(BEE, 30, 92)
s.put(BUSH, 166, FLOOR - BUSH.h)
talk(s, (166, 130, BUSH.w, 30), "Sweet berries! Zelvo feels fresh again.", then=(w.energy(50),))
s.put(FERN, 0, FLOOR - FERN.h + 8)

# =====================================================================================================
# The wood: brambles, the badger, the glade
# =====================================================================================================

s = w.screen(31, "Bramble Path", "wood", seed=31)
s.ground(0, 40, FLOOR).ground(40, 74, 170).ground(74, 124, FLOOR).ground(124, 168, 172).ground(168, W + 1, FLOOR)
s.put(THORNS, 42, 158)
s.put(THORNS_W, 124, 160)
s.put(LOG, 84, FLOOR - 14)
s.put(BRANCH_S, 132, 118)
treasure(s, 144, 118, 10)
s.put(BEE, 158, 82)
s.put(FERN, 176, FLOOR - FERN.h + 8)
s.put(GRASS2, 0, FLOOR - 9)

s = w.screen(41, "The Sleeping Badger", "wood", seed=41)
s.ground(0, W + 1, FLOOR)
CRAG = w.sprite("crag", "solid", props.rock_arch(76, 118))
BADGER = w.sprite("badger", "solid", props.badger())
ZZZ = w.sprite("zzz", "scenery", props.zzz(), anim=2)
s.put(CRAG, 92, FLOOR - CRAG.h)
PILLARS = w.sprite("arch-pillars", "scenery", props.arch_pillars(CRAG.w, 30))
s.put(PILLARS, 92, FLOOR - 30)
s.put(BADGER, 100, FLOOR - BADGER.h)
s.put(ZZZ, 84, FLOOR - 26 - 16)
once(s, (40, 120, 30, 40), "A huge badger is fast asleep under the old arch. No way round, no way over!")
snore = talk(s, (96, 130, 10, 30), "Badger: Zzz... five more minutes... zzz...",
             "Its nose twitches in its sleep. A good tickle would wake it up!")
tickle = use(s, (60, 130, 10, 30), FEATHER, note="tickle the badger")
tickle.do(w.spend(FEATHER),
          w.say("Zelvo tickles the badger's nose with the feather... AAA-CHOO!"),
          w.say("Badger: Hrmph! Who... a turtle? Fine, fine. I'll sleep in my den where it's quiet."),
          w.remove(BADGER), w.remove(ZZZ), w.score(100), w.disarm(snore), w.disarm(tickle),
          w.go(41, 62, 140))
not_here(s, (0, 110, 92, 50), FEATHER, "The badger snores on. Something soft to tickle its nose, maybe?",
         closer="Zelvo can't reach the badger's nose from here. A little closer!")
s.put(GRASS, 176, FLOOR - 12)

s = w.screen(51, "Mushroom Glade", "glade")
s.ground(0, W + 1, FLOOR)
OWL = w.sprite("owl", "scenery", props.owl())
# The owl's branch leaves room to jump onto it from the ground after walking in.
for (x, y, b) in ((28, 130, BRANCH_S), (78, 102, BRANCH_S), (136, 74, BRANCH)):
    s.put(b, x, y)
lay(MUSHROOM, 162, 74)
found(s, MUSHROOM, "A @fF800red mushroom! @fFFFFPress @f7F4FAction @fFFFFhere to put it in your bag.")
s.put(OWL, 36, 130 - OWL.h)
talk(s, (28, 100, 36, 30),
     "Owl: Hoo! The storm washed the river bridge away. They say Old Mole's tunnels run under the river.")
for i, x in enumerate((90, 104, 118, 132, 146)):
    s.put(MUSHROOMS[i % 3], x, FLOOR - 9)
s.put(BEETLE, 112, FLOOR - BEETLE.h)
treasure(s, 92, 102, 10)

# =====================================================================================================
# The river, the mole and the caves
# =====================================================================================================

s = w.screen(61, "River Bank", "river")
s.ground(0, 56, FLOOR).ground(56, 64, FLOOR, 156).ground(88, 96, 156, FLOOR).ground(96, 120, FLOOR)
s.ground(120, W + 1, 176)
s.down_open = True                       # the mole's hole
s.closed_right = True                    # the river sweeps Zelvo back
MOUND = w.sprite("molehill", "front", props.molehill())
s.put(MOUND, 46, FLOOR - MOUND.h + 3)
s.put(SIGN, 28, FLOOR - SIGN.h)
talk(s, (28, 130, 26, 30), "Old Mole's house. Visitors: please drop in.")
PLANK = ledge("plank", 40)
s.put(PLANK, 112, 156)
s.put(BOARD, 96, FLOOR - BOARD.h - 2)
talk(s, (96, 130, 26, 30), "BRIDGE CLOSED. Washed away by the storm.")
RIVER = w.sprite("river", "front", props.water_front(90, 36, 3, clear=0.6), anim=3)
s.put(RIVER, 120, 154)
river = w.event("touch", (84, 22), note="the river sweeps Zelvo back")
river.do(w.say("Brr! The river runs far too fast here. Zelvo would be swept away!"), w.go(61, 96, 139))
s.on(river, 126, 166)

s = w.screen(62, "Mole's Burrow", "burrow", seed=62)
s.ground(0, 100, 170).ground(136, 200, 170).ground(200, W + 1, 0)
s.ceiling(0, 56, 30).ceiling(96, 200, 28, 36)
s.down_open = True                       # the mole's shaft, under the plug
s.closed_right = True
PLUG = w.sprite("plug", "solid", props.dirt_plug(36, 12))
s.put(PLUG, 100, 170)
s.put(ROOTS, 62, 170 - ROOTS.h)
door(s, (62, 120, 18, 50), 61, 30, 140, note="up the roots to the river bank")
s.on(ROOTS_HINT, 62, 100)                # where Zelvo lands from the mole's hole, if not seen in the warren
MOLE = w.sprite("mole", "scenery", props.mole())
s.put(MOLE, 170, 170 - MOLE.h)
hungry = talk(s, (168, 140, 24, 30),
              "Mole: Hmm? A visitor! Oof, I'm far too hungry to dig today.",
              "Nothing in the world tastes as good as a @fF800red mushroom...", note="hungry mole")
thanks = talk(s, (168, 140, 24, 30),
              "Mole: My new tunnel goes down to the old caves. They run under the river, all the way east.",
              armed=False, note="thankful mole")
feed = use(s, (140, 140, 8, 30), MUSHROOM, note="give the mole the mushroom")
feed.do(w.spend(MUSHROOM),
        w.say("Mole: A red mushroom! Oh, thank you! Now I can dig. Stand back!"),
        w.remove(PLUG), w.place(KEY),
        w.say("Mole: Look, an old @fFFE0key @fFFFFcame up with the dirt! I've no door. Take it: press @f7F4FAction."),
        w.score(100), w.disarm(hungry), w.arm(thanks), w.disarm(feed), w.go(62, 140, 150))
not_here(s, (110, 120, 100, 50), MUSHROOM, "Mole: Thank you, but I can't eat that. A red mushroom, now...",
         closer="Mole: Over here, little one! My old eyes can't see that far.")
treasure(s, 20, 170)

s = w.screen(63, "Root Tunnel", "burrow", seed=63)
s.ground(0, W + 1, 165)
s.ceiling(0, 96, 30, 40).ceiling(140, W + 1, 34, 28)
s.put(ROOTS, 110, 165 - ROOTS.h)
door(s, (110, 115, 18, 50), 62, 80, 150, note="up the roots to the mole")
s.put(DRIP, 160, 36)
s.put(DRIP, 186, 30)
for (x, y) in ((20, 60), (40, 50), (60, 70), (150, 80), (170, 60)):
    s.put(GLOW, x, y)
s.put(EARTH, 20, 134)
treasure(s, 32, 134)

s = w.screen(73, "Glow-worm Cave", "glow")
s.ground(0, 70, 165).ground(110, 150, 165).ground(150, W + 1, 150)
s.ceiling(0, W + 1, 36, 24)
pit(s, 70, 110)
s.put(BAT, 206 - BAT.w, 112)
for (x, y) in ((12, 60), (30, 44), (80, 70), (96, 52), (120, 40), (160, 66), (188, 48), (60, 90)):
    s.put(GLOW, x, y)
ROCK = ledge("rock", 34)
s.put(ROCK, 160, 118)
treasure(s, 170, 118, 10)

s = w.screen(83, "Dark Hollow", "cave", seed=83)
s.ground(0, 56, 150).ground(92, 150, 150).ground(178, 202, 150).ground(202, W + 1, 0)
s.closed_right = True
s.ceiling(0, 92, 26)
s.up_open = True
pit(s, 56, 92)
pit(s, 150, 178)
for (x, y) in ((150, 124), (100, 96), (150, 64), (100, 32)):
    s.put(ROCK, x, y)
DARK = w.sprite("darkness", "foreground", props.darkness())
s.put(DARK, 0, 0)
pushback = w.event("touch", (4, 189), note="too dark to go on")
pushback.do(w.say("It's pitch dark! Zelvo can't see a thing. Without a light it's too dangerous."),
            w.go(83, 8, 130))
s.on(pushback, 40, 0)
light = use(s, (0, 110, 30, 40), LANTERN, note="light the lantern")
light.do(w.remove(DARK), w.say("The lantern flares up. A hollow full of chasms! Good thing Zelvo didn't run in."),
         w.score(100), w.disarm(pushback), w.disarm(light), w.go(83, 12, 130))

not_here(s, (0, 100, 40, 50), LANTERN, "That won't help. Zelvo needs a light to see by.")

s = w.screen(82, "Well Shaft", "well", seed=82)
s.ground(0, 56, 170).ground(56, 200, 178).ground(200, W + 1, 0)
s.ceiling(0, 36, 26).ceiling(140, 200, 24, 34)
s.up_open = True
s.closed_right = True
for (x, y) in ((150, 150), (100, 122), (150, 92), (96, 62), (40, 30)):
    s.put(ROCK, x, y)
WATER = w.sprite("well-water", "front", props.water_front(144, 8, 5), anim=2)
s.put(WATER, 56, 172)
CRACK = w.sprite("crack", "scenery", props.crack())
s.put(CRACK, 168, 170)
door(s, (170, 150, 24, 28), 83, 108, 12, note="down the crack to the dark hollow")

s = w.screen(72, "Underground Lake", "crystal")
s.ground(0, 10, 0).ground(10, 60, 170).ground(60, 170, 180).ground(170, W + 1, 170)
s.ceiling(0, W + 1, 30, 40)
s.closed_left = True
LAKE = w.sprite("lake-water", "front", props.water_front(110, 22, 7), anim=2)
s.put(LAKE, 60, 166)
s.put(EEL, 206 - EEL.w, 176)
s.put(ROCK, 80, 146)
s.put(ROCK, 126, 146)
treasure(s, 30, 170, 50, "acorn")

# =====================================================================================================
# The mill yard, the far bank and the mill
# =====================================================================================================

s = w.screen(81, "Mill Yard", "meadow", seed=81)
s.ground(0, 20, FLOOR).ground(20, 70, 178).ground(70, W + 1, FLOOR)
WELL_IN = w.sprite("well-inside", "scenery", props.well_inside())
s.put(WELL_IN, 20, FLOOR)
WELL = w.sprite("well", "front", props.well_ring())
s.put(WELL, 24, FLOOR - 12)
ROPE = w.sprite("rope", "scenery", props.rope(34))
s.put(ROPE, 42, 144, layer=3)
door(s, (34, 150, 20, 28), 82, 60, 158, note="down the well's rope")
MILL = w.sprite("mill", "scenery", props.mill())
MILL_TOP = FLOOR - MILL.h
s.put(MILL, 96, MILL_TOP)
s.put(DOOR, 142, 120 + MILL_TOP, layer=3)
# The yard is reached only through the caves the mole opens, so Zelvo has met the mill's key by now.
LOCKED = once(s, (126, 120, 10, 40), "The mill door is locked. Would Mole's old key fit? Press @f7F4FAction @fFFFFby the door.",
              note="the locked mill door")
enter = door(s, (140, 120, 24, 40), 95, 30, 140, armed=False, note="into the mill")
unlock = use(s, (140, 120, 24, 40), KEY, note="unlock the mill")
unlock.do(w.spend(KEY), w.say("The old key turns with a creak. The mill door swings open!"), w.score(100),
          w.arm(enter), w.disarm(unlock), w.disarm(LOCKED), w.go(95, 30, 140))
not_here(s, (140, 120, 24, 40), KEY, "That won't open a lock. The mill door wants its key.")
once(s, (20, 150, 50, 36), "Zelvo climbs out of the old well into the mill yard. Fresh air!")
flowers(s, FLOOR, (76, 88, 190))

s = w.screen(71, "Far Bank", "river", seed=71)
s.ground(0, 86, 176).ground(86, W + 1, FLOOR)
s.closed_left = True
s.put(RIVER, 0, 154)
back = w.event("touch", (76, 22), note="the river sweeps Zelvo back")
back.do(w.say("Brr! The river runs far too fast here. Zelvo would be swept away!"), w.go(71, 96, 140))
s.on(back, 0, 166)
OTTER = w.sprite("otter", "scenery", props.otter())
s.put(OTTER, 110, FLOOR - OTTER.h)
talk(s, (104, 130, 30, 30), "Otter: Hello there! I'd lend you my raft, but the river ate it. Have some berries!",
     then=(w.energy(50),))
s.put(BUSH, 176, FLOOR - BUSH.h)
s.put(BOULDER, 140, FLOOR - BOULDER.h)
treasure(s, 148, FLOOR - BOULDER.h, 50, "acorn")

s = w.screen(95, "Mill, Ground Floor", "mill")
s.ground(0, W + 1, FLOOR)
s.ceiling(0, 52, 14).ceiling(88, 120, 14)
s.up_open = True
s.put(DOOR, 14, FLOOR - DOOR.h)
door(s, (14, 130, 20, 30), 81, 142, 140, note="out of the mill")
s.put(GEAR_BIG, 40, 40)
s.put(GEAR, 76, 62, layer=3)
MOUSE = w.sprite("mouse", "scenery", props.mouse())
s.put(MOUSE, 60, FLOOR - MOUSE.h)
talk(s, (50, 140, 30, 20),
     "Mouse: The miller left when the brook dried up. His @fFFE0crank @fFFFFfor the sluice? Up in the attic!")
s.put(CRATE, 96, FLOOR - CRATE.h)
SHELF_P = ledge("plank", 40)
SHELF_N = ledge("plank", 32)
for (x, y) in ((126, 112), (178, 88), (124, 62), (178, 32)):
    s.put(SHELF_P if x < 170 else SHELF_N, x, y)
s.put(SACKS, 170, FLOOR - SACKS.h)

s = w.screen(94, "Mill, Loft", "mill", seed=57)
s.ground(0, 56, 178).ground(84, W + 1, 178)
s.ceiling(0, 96, 10).ceiling(136, 166, 10).ceiling(204, W + 1, 10)
s.down_open = s.up_open = True
for (x, y) in ((100, 148), (150, 120), (100, 92), (150, 62), (96, 32)):
    s.put(SHELF_P, x, y)
HATCH = w.sprite("hatch", "solid", props.hatch(40))
s.put(HATCH, 96, 2)
LEVER_DOWN = w.sprite("lever-down", "scenery", props.lever(False))
LEVER_UP = w.sprite("lever-up", "scenery", props.lever(True))
s.put(LEVER_DOWN, 170, 62 - LEVER_DOWN.h)
s.put(LEVER_UP, 170, 62 - LEVER_UP.h, layer=3)
pull = w.event("action", (30, 24), note="the lever")
pull.do(w.remove(LEVER_UP), w.remove(HATCH), w.say("Clunk! Zelvo pulls the lever, and a hatch opens in the roof."),
        w.score(50), w.disarm(pull))
s.on(pull, 160, 38)

s = w.screen(93, "Mill, Attic", "mill", seed=56)
s.ground(0, 8, 0).ground(8, 170, 178).ground(200, W + 1, 178)
s.closed_left = True
s.down_open = True
lay(CRANK, 34, 120)
found(s, CRANK, "The miller's @fFFE0crank! @fFFFFPress @f7F4FAction @fFFFFhere to put it in your bag.")
s.put(SHELF_P, 20, 120)
s.put(SHELF_P, 66, 148)
s.put(BAT, 206 - BAT.w, 96)
s.put(CRATE, 0, 178 - CRATE.h)

# =====================================================================================================
# The falls and the Spring
# =====================================================================================================

s = w.screen(91, "Waterfall Steps", "hills")
s.ground(0, 60, FLOOR).ground(60, 92, 134).ground(92, 124, 106).ground(124, 172, 78).ground(200, W + 1, 78)
s.down_open = True                       # the crevice to the Spring
# Short thorns against the first step: one jump from where Zelvo comes in clears them and lands
# on the step; a longer jump lands further up it.
THORNS_S = w.sprite("thorns-short", "hazard", props.thorns(20, 12, 5))
s.put(THORNS_S, 40, FLOOR - 12)
s.put(BIRD, 206 - BIRD.w, 50)
once(s, (0, 120, 40, 40), "The brook's bed climbs the hill here, dry as dust. The Spring must be up there.")
talk(s, (150, 48, 30, 30), "A crack in the rock, and far below it, the sound of trickling water...")
treasure(s, 136, 78, 10)

s = w.screen(92, "The Spring", "grotto")
s.ground(0, 10, 0).ground(10, W + 1, 170)
s.ceiling(0, 166, 30, 20).ceiling(204, W + 1, 20)
s.closed_left = True
GUSH = w.sprite("gush", "scenery", props.gush(), anim=8)
GATE = w.sprite("sluice-gate", "scenery", props.sluice_gate())
s.put(GUSH, 44, 170 - GUSH.h)
s.put(GATE, 40, 170 - GATE.h, layer=3)
s.put(ROOTS, 150, 170 - ROOTS.h)
door(s, (150, 120, 18, 50), 91, 150, 58, note="up the roots to the falls")
once(s, (168, 130, 42, 40), "The Spring at last! But its sluice gate is shut fast, and the crank is gone.")
open_gate = use(s, (84, 140, 10, 30), CRANK, note="open the sluice gate")
open_gate.do(w.spend(CRANK), w.say("Zelvo fits the crank in the gate and turns, and turns, and turns..."),
             w.remove(GATE), w.score(500),
             w.say("WHOOSH! The Spring bursts free, and the brook runs again, all the way to Lily Pond!"),
             w.say("Zelvo rides the rushing brook home, past the mill, the wood and the meadow..."),
             w.remove(LOW_WATER), w.arm(ending), w.go(1, *HOME))
not_here(s, (60, 120, 80, 50), CRANK, "The sluice gate won't budge. It needs the crank that turns it.",
         closer="Zelvo must stand right by the gate to fit the crank.")


# =====================================================================================================
# The ground, ceilings and backgrounds of every screen
# =====================================================================================================

def finish():
    """Give every screen its ground and ceiling sprites and its two background pictures."""
    from worldkit import near_mask
    for n, s in sorted(w.screens.items()):
        style = scenery.GROUND[s.theme]
        if any(c is not None for c in s.ceil):
            s.objects.insert(0, (w.sprite("ceiling-%02d" % n, "solid", scenery.ceiling_sprite(s.ceil, style, s.seed)),
                                 0, 0, 0))
        if any(t is not None for t in s.floor):
            pic, top = scenery.ground_sprite(s.floor, style, s.seed)
            s.objects.insert(0, (w.sprite("ground-%02d" % n, "solid", pic), 0, top, 0))
    for n, s in sorted(w.screens.items()):
        far = scenery.hole_backdrop(scenery.FAR[s.theme](s), s.floor, scenery.GROUND[s.theme], s.pond)
        w.sprite("screen-%02d-far" % n, "background", far.clear_bottom_right(), sid=n + 2000)
        w.sprite("screen-%02d-near" % n, "background", near_mask(w, s, scenery.NEAR[s.theme](s)), sid=n + 1000)
    return w
