"""music.py -- turn a tune file (tunes/*.txt) into a looping 16-bit mono WAV.

A tune file names its tempo, bars and chords, and lists voices:

    lead  WAVE VOLUME         then bars of notes: NOTE:BEATS or r:BEATS, bars split by |
    bass  VOLUME PATTERN      one bar of chord degrees and beats, repeated on every bar's chord
    arp   VOLUME STEP ORDER   chord tones broken in the given order, one every STEP beats
    drum  NAME VOLUME STEPS   one step string per bar (x hit, . rest), repeated

Everything is rendered into one loop-long buffer: a note that rings past the end carries on at
the start, the echo and the filter run round the loop until they settle, so the last sample
leads into the first without a click. Standard library only; the output is deterministic.
"""
import math
import os
import struct
import wave

HERE = os.path.dirname(os.path.abspath(__file__))
RATE = 22050
NAMES = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}


def midi(note):
    """'C5', 'Bb4', 'G#3' -> MIDI number (C4 = 60)."""
    n = NAMES[note[0]]
    rest = note[1:]
    while rest and rest[0] in "#b":
        n += 1 if rest[0] == "#" else -1
        rest = rest[1:]
    return n + 12 * (int(rest) + 1)


def freq(m):
    return 440.0 * 2 ** ((m - 69) / 12)


def chord_tones(name):
    """'F', 'Dm', 'G7', 'Bbm' -> semitone offsets of root, third, fifth, octave (+ seventh)."""
    root = NAMES[name[0]]
    rest = name[1:]
    if rest[:1] in ("#", "b"):
        root += 1 if rest[0] == "#" else -1
        rest = rest[1:]
    minor = rest.startswith("m")
    tones = {1: 0, 3: 3 if minor else 4, 5: 7, 8: 12}
    if rest.endswith("7"):
        tones[7] = 10
    return root % 12, tones


# ---- oscillators ----------------------------------------------------------------------------------

def poly_blep(t, dt):
    if t < dt:
        t /= dt
        return t + t - t * t - 1.0
    if t > 1.0 - dt:
        t = (t - 1.0) / dt
        return t * t + t + t + 1.0
    return 0.0


def osc(wave_name, phase, dt):
    if wave_name.startswith("pulse"):
        duty = int(wave_name[5:] or 50) / 100.0
        v = 1.0 if phase < duty else -1.0
        v += poly_blep(phase, dt)
        v -= poly_blep((phase - duty) % 1.0, dt)
        return v
    if wave_name == "tri":
        return 4.0 * abs(phase - 0.5) - 1.0
    if wave_name == "sine":
        return math.sin(2 * math.pi * phase)
    raise ValueError(wave_name)


class Loop:
    def __init__(self, seconds):
        self.n = int(round(seconds * RATE))
        self.buf = [0.0] * self.n

    def note(self, start, length, f, wave_name, vol, attack=0.006, decay=0.12, sustain=0.65,
             release=0.08, vibrato=0.0):
        """Add one note; its tail wraps round to the start of the loop."""
        a, d, r = attack * RATE, decay * RATE, release * RATE
        held = max(1, int(length * RATE))
        total = held + int(r)
        phase = 0.0
        s0 = int(start * RATE)
        buf, n = self.buf, self.n
        level = 0.0
        for i in range(total):
            if i < held:
                if i < a:
                    level = i / a
                elif i < a + d:
                    level = 1.0 - (1.0 - sustain) * (i - a) / d
                else:
                    level = sustain
                env = level
            else:
                env = level * (1.0 - (i - held) / r)
            fi = f
            if vibrato and i > 0.15 * RATE:
                fi = f * (1.0 + vibrato * math.sin(2 * math.pi * 5.5 * i / RATE))
            dt = fi / RATE
            buf[(s0 + i) % n] += vol * env * osc(wave_name, phase, dt)
            phase += dt
            if phase >= 1.0:
                phase -= 1.0

    def drum(self, start, name, vol, seed):
        s0 = int(start * RATE)
        buf, n = self.buf, self.n
        x = seed & 0xFFFFFFFF
        if name == "kick":
            total, phase = int(0.16 * RATE), 0.0
            for i in range(total):
                t = i / RATE
                f = 50.0 + 90.0 * math.exp(-t * 30.0)
                phase += f / RATE
                env = math.exp(-t * 22.0) * min(1.0, i / 30.0)
                buf[(s0 + i) % n] += vol * env * math.sin(2 * math.pi * phase)
        else:
            length, decay, tone = {"snare": (0.14, 28.0, 0.45), "hat": (0.04, 120.0, 0.0),
                                   "shaker": (0.06, 70.0, 0.0)}[name]
            total, prev, phase = int(length * RATE), 0.0, 0.0
            for i in range(total):
                t = i / RATE
                x = (1103515245 * x + 12345) & 0x7FFFFFFF
                noise = x / 0x3FFFFFFF - 1.0
                hp = noise - prev   # a crude high pass keeps hats and shakers bright
                prev = noise
                v = hp * 0.6 if name != "snare" else noise
                if tone:
                    phase += 185.0 / RATE
                    v = (1 - tone) * v + tone * math.sin(2 * math.pi * phase)
                env = math.exp(-t * decay) * min(1.0, i / 20.0)
                buf[(s0 + i) % n] += vol * env * v

    def add(self, other, gain=1.0):
        for i, v in enumerate(other.buf):
            self.buf[i] += gain * v

    def echo(self, delay, feedback, wet):
        """A feedback echo run round the loop until it settles."""
        d = int(delay * RATE)
        src = list(self.buf)
        out = [0.0] * self.n
        for _ in range(4):
            for i in range(self.n):
                out[i] = src[i] + feedback * out[i - d]
        self.buf = [s + wet * (o - s) for s, o in zip(src, out)]

    def lowpass(self, cutoff):
        k = 1.0 - math.exp(-2 * math.pi * cutoff / RATE)
        y = 0.0
        src = self.buf
        out = [0.0] * self.n
        for _ in range(2):
            for i in range(self.n):
                y += k * (src[i] - y)
                out[i] = y
        self.buf = out

    def write(self, path, peak=0.8):
        mean = sum(self.buf) / self.n
        top = max(abs(v - mean) for v in self.buf) or 1.0
        g = peak * 32767 / top
        data = b"".join(struct.pack("<h", int(round((v - mean) * g))) for v in self.buf)
        with wave.open(path, "wb") as w:
            w.setnchannels(1)
            w.setsampwidth(2)
            w.setframerate(RATE)
            w.writeframes(data)


# ---- tune files ---------------------------------------------------------------------------------------

def parse(path):
    tune = {"voices": []}
    for raw in open(path, encoding="utf-8"):
        line = raw.strip() if not raw.lstrip().startswith("#") else ""   # whole-line comments only
        if not line:
            continue
        word, _, rest = line.partition(" ")
        if word in ("tempo", "beats", "bars"):
            tune[word] = float(rest) if word == "tempo" else int(rest)
        elif word == "chords":
            tune["chords"] = [bar.split() for bar in rest.split("|")]
        elif word in ("lead", "bass", "arp", "drum"):
            tune["voices"].append([word] + rest.split() + [[]])
        elif word == "+":   # more bars for the last voice
            tune["voices"][-1][-1].append(rest)
        else:
            raise ValueError("%s: cannot read %r" % (path, line))
    return tune


def bar_chords(tune, bar):
    """The chords of a bar, each with its start and length in beats."""
    names = tune["chords"][bar]
    each = tune["beats"] / len(names)
    return [(name, i * each, each) for i, name in enumerate(names)]


def render(key, path):
    """Render the tune for 'title' (tunes/main.txt) or 'game' (tunes/ingame.txt) into path."""
    tune = parse(os.path.join(HERE, "tunes", {"title": "main.txt", "game": "ingame.txt"}[key]))
    beat = 60.0 / tune["tempo"]
    bars, beats = tune["bars"], tune["beats"]
    assert len(tune["chords"]) == bars, "%s: %d bars of chords" % (key, len(tune["chords"]))
    mix = Loop(bars * beats * beat)
    for voice in tune["voices"]:
        kind, args, lines = voice[0], voice[1:-1], voice[-1]
        part = Loop(bars * beats * beat)
        if kind == "lead":
            wave_name, vol = args[0], float(args[1])
            notes = [bar for bar in " ".join(lines).split("|") if bar.strip()]
            assert len(notes) == bars, "%s lead: %d bars" % (key, len(notes))
            t = 0.0
            for b, bar in enumerate(notes):
                used = 0.0
                for tok in bar.split():
                    name, _, dur = tok.partition(":")
                    d = float(dur)
                    if name != "r":
                        part.note(t * beat, d * beat * 0.92, freq(midi(name)), wave_name, vol,
                                  vibrato=0.004 if d >= 1 else 0.0)
                    t += d
                    used += d
                assert abs(used - beats) < 1e-6, "%s lead bar %d has %g beats" % (key, b + 1, used)
            part.echo(beat * 0.75, 0.3, 0.35)
        elif kind == "bass":
            vol, pattern = float(args[0]), [tok.partition(":") for tok in args[1:]]
            for b in range(bars):
                for name, start, length in bar_chords(tune, b):
                    root, tones = chord_tones(name)
                    t = 0.0
                    for deg, _, dur in pattern:
                        d = float(dur)
                        if t >= length:
                            break
                        m = 36 + root + tones[int(deg)]
                        part.note((b * beats + start + t) * beat, min(d, length - t) * beat * 0.85,
                                  freq(m), "tri", vol, decay=0.2, sustain=0.8)
                        t += d
        elif kind == "arp":
            vol, step, order = float(args[0]), float(args[1]), [int(x) for x in args[2].split(",")]
            k = 0
            for b in range(bars):
                for name, start, length in bar_chords(tune, b):
                    root, tones = chord_tones(name)
                    t = 0.0
                    while t < length - 1e-9:
                        deg = order[k % len(order)]
                        m = 60 + root + tones.get(deg, tones[1])
                        if m > 76:
                            m -= 12
                        part.note((b * beats + start + t) * beat, step * beat * 0.7, freq(m), "pulse50",
                                  vol, decay=0.08, sustain=0.4, release=0.05)
                        t += step
                        k += 1
        elif kind == "drum":
            name, vol, steps = args[0], float(args[1]), args[2]
            per = beats / len(steps)
            seed = 1
            for b in range(bars):
                for i, ch in enumerate(steps):
                    if ch == "x":
                        seed += 7919
                        part.drum((b * beats + i * per) * beat, name, vol, seed)
        mix.add(part)
    mix.lowpass(5500.0)
    mix.write(path)
    seconds = mix.n / RATE
    print("%s: %.1f s, %d samples at %d Hz" % (os.path.basename(path), seconds, mix.n, RATE))
