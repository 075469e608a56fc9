"""The key, completion, miss, result and fanfare sounds."""

from .base import run, skin_file, sox, tmp


def make_sounds():
    s = skin_file
    # a soft wooden tick for every correct key
    sox(s("type.wav"), "synth", "0.035", "pluck", "1760", "fade", "t", "0", "0.035", "0.03", "gain", "-8")
    # two rising bell tones when a line is finished
    sox(tmp("c1.wav"), "synth", "0.16", "sine", "1318.5", "fade", "t", "0.003", "0.16", "0.12", "gain", "-9")
    sox(tmp("c2.wav"), "synth", "0.28", "sine", "1975.5", "fade", "t", "0.003", "0.28", "0.24", "gain", "-9")
    run("sox", "-R", "-D", tmp("c1.wav"), tmp("c2.wav"), s("complete.wav"))
    # a short low buzz for a wrong key
    sox(s("miss.wav"), "synth", "0.14", "square", "110", "gain", "-6", "lowpass", "900", "fade", "t", "0.005", "0.14", "0.08", "gain", "-n", "-9")
    # the result chime: an arpeggio that rings on
    notes = [523.25, 659.25, 783.99, 1046.5]
    parts = []
    for i, f in enumerate(notes):
        sox(tmp("r%d.wav" % i), "synth", "0.7", "sine", str(f), "fade", "t", "0.005", "0.7", "0.62",
            "gain", "-12", "pad", str(0.12 * i))
        parts.append(tmp("r%d.wav" % i))
    run("sox", "-R", "-D", "-m", *parts, s("result.wav"), "gain", "-n", "-5")
    # the best rank's fanfare: brighter, with a chord at the end
    fan = []
    for i, f in enumerate([783.99, 1046.5, 1318.5, 1568.0]):
        sox(tmp("f%d.wav" % i), "synth", "0.22", "triangle", str(f), "fade", "t", "0.005", "0.22", "0.1",
            "gain", "-14", "pad", str(0.11 * i))
        fan.append(tmp("f%d.wav" % i))
    for i, f in enumerate([1046.5, 1318.5, 1568.0, 2093.0]):
        sox(tmp("fc%d.wav" % i), "synth", "0.8", "triangle", str(f), "fade", "t", "0.01", "0.8", "0.66",
            "gain", "-17", "pad", "0.46")
        fan.append(tmp("fc%d.wav" % i))
    run("sox", "-R", "-D", "-m", *fan, s("fanfare.wav"), "gain", "-n", "-5")
