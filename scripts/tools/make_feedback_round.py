#!/usr/bin/env python3
"""Builds the fast feedback round of tests/data/tools from the pentosan
validation data (tests/data/validation/PENT_*.PAR, ASTM E691-05 Table 8):
three files with one common TESTID, and the variants that the tests read.

    python3 scripts/tools/make_feedback_round.py
"""
import pathlib
import re

root = pathlib.Path(__file__).resolve().parents[2]
src = root / "tests" / "data" / "validation"
out = root / "tests" / "data" / "tools"
TESTID = "E691 pentosan round 1"


def read(name):
    return (src / name).read_text()


def retitle(text, substance, testid=TESTID):
    text = re.sub(r'TESTID = "[^"]*"', f'TESTID = "{testid}"', text)
    return re.sub(r'SUBSTANCE = "[^"]*"', f'SUBSTANCE = "{substance}"', text)


def write(name, text):
    (out / name).write_text(text)


abc = retitle(read("PENT_ABC.PAR"), "Pentosans A-C")
def_ = retitle(read("PENT_DEF.PAR"), "Pentosans D-F")
ghi = retitle(read("PENT_GHI.PAR"), "Pentosans G-I")
write("ROUND_1.PAR", abc)
write("ROUND_2.PAR", def_)
write("ROUND_3.PAR", ghi)

# The same test id in another letter case.
write("ROUND_3_CASE.PAR", ghi.replace(TESTID, TESTID.upper()))

# Another number of laboratories: L07 left out.
lines = [l for l in def_.splitlines() if " L07 " not in l]
write("DIFFER_NLABS.PAR", "\n".join(lines).replace("NLABS = 7", "NLABS = 6") + "\n")

# Another test id.
write("DIFFER_TESTID.PAR", def_.replace(TESTID, "E691 pentosan round 2"))

# The laboratory lines of every level in another order (reversed, then the
# first two swapped), registration numbers kept with their laboratory.
def permute(text):
    result, block = [], None
    for line in text.splitlines():
        if line.strip() == "LEVELDATA":
            result.append(line)
            block = []
        elif block is not None and line.strip() == "END":
            block.reverse()
            block[0], block[1] = block[1], block[0]
            result.extend(block)
            result.append(line)
            block = None
        elif block is not None:
            block.append(line)
        else:
            result.append(line)
    return "\n".join(result) + "\n"


write("ROUND_2_PERMUTED.PAR", permute(def_))

# L08 in place of L07: the code L07 is missing from this file.
write("MISSING_CODE.PAR", def_.replace(" L07 ", " L08 "))

# Laboratory L03 excluded by the file ('U' before its registration number)
# and a result of L05 below the limit in level A.
u = abc.replace("  03 L03 0.51 0.51 0.51", "  U03 L03 0.51 0.51 0.51")
u = u.replace("  05 L05 0.49 0.49 0.49", "  05 L05 <0.49 0.49 0.49")
write("ROUND_1_U_LT.PAR", u)

# A TRANSFORM line (natural logarithm).
write("ROUND_2_LN.PAR", def_.replace("END\nLEVELHEADER", '  TRANSFORM = "ln"\nEND\nLEVELHEADER', 1))

# A split-level round: replicates 1 and 2 of each level as the samples a and
# b; sample b was spiked with 0.20 (reported results = value + 0.20), and
# the same file with TRANSFORM = "ln".
def split(text, transform=None):
    result, level = [], None
    for line in text.splitlines():
        s = line.strip()
        if s == "UNIFORM":
            result.append("  SPLITLEVEL")
        elif s.startswith("NREPLICATES"):
            result.append("  NREPLICATES = 2")
        elif s.startswith("LEVELID"):
            level = re.search(r'"([^"]*)"', s).group(1)
            result.append(f'  LEVELID = "{level}a", "{level}b"')
            result.append("  SPIKING = 0.20")
            result.append(f'  SPIKED = "{level}b"')
        elif re.match(r"^\d\d \w+ ", s) or re.match(r"^U\d\d ", s):
            parts = s.split()
            b = float(parts[3]) + 0.20
            result.append(f"  {parts[0]} {parts[1]} {parts[2]} {b:.3f} M{parts[1][-1]}")
        elif s == "END" and transform and not any(x.strip() == "LEVELHEADER" for x in result):
            result.append(f'  TRANSFORM = "{transform}"')
            result.append(line)
        else:
            result.append(line)
    return "\n".join(result) + "\n"


write("SPLIT_1.PAR", retitle(split(read("PENT_ABC.PAR")), "Pentosans A-C split", "E691 split round"))
write("SPLIT_1_LN.PAR",
      retitle(split(read("PENT_ABC.PAR"), "ln"), "Pentosans A-C split ln", "E691 split round"))
write("SPLIT_2.PAR", retitle(split(read("PENT_DEF.PAR")), "Pentosans D-F split", "E691 split round"))
