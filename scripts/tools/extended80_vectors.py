#!/usr/bin/env python3
"""Writes tests/data/tools/extended80_vectors.csv: the 80-bit extended bytes
of the report-texts file, worked out with integer arithmetic only.

Every number is an exact fraction (fractions.Fraction of its decimal text,
or m * 2^k for the 80-bit patterns); the nearest double is found by scaling
to 53 bits and rounding half to even by hand, and the 80-bit pattern by
normalising the integer significand to 64 bits. Python's own float is not
used to compute anything; at the end it is only asked, as a cross-check,
whether it reads each decimal text to the same double.

Columns:
  kind      both: the double encodes to the bytes and the bytes decode to it
            decode: the bytes decode to the double (or are refused)
  text      what the row is, for the reader
  bytes     the ten bytes in file order (least significant first), hex
  double    the double as a C hexadecimal float without "0x"
            ("-1.4p+1", "0p+0"), or "refused"

    python3 scripts/tools/extended80_vectors.py > tests/data/tools/extended80_vectors.csv
"""

import sys
from fractions import Fraction

BIAS80 = 16383
INTEGER_BIT = 1 << 63


def round_half_even(fr):
    """The integer nearest to a non-negative fraction, ties to even."""
    q, r = divmod(fr.numerator, fr.denominator)
    twice = 2 * r
    if twice > fr.denominator or (twice == fr.denominator and q % 2 == 1):
        q += 1
    return q


def floor_log2(fr):
    """e with 2^e <= fr < 2^(e+1), for fr > 0."""
    e = fr.numerator.bit_length() - fr.denominator.bit_length()
    while Fraction(2) ** e > fr:
        e -= 1
    while Fraction(2) ** (e + 1) <= fr:
        e += 1
    return e


def nearest_double(fr):
    """(q, k) with the double q * 2^k nearest to fr >= 0, or None when it
    overflows (rounds to 2^1024 or beyond)."""
    if fr == 0:
        return (0, 0)
    e = floor_log2(fr)
    if e >= -1022:
        q = round_half_even(fr * Fraction(2) ** (52 - e))
        if q == 1 << 53:
            q >>= 1
            e += 1
        if e > 1023:
            return None
        return (q, e - 52)
    # Denormal range: multiples of 2^-1074.
    return (round_half_even(fr * Fraction(2) ** 1074), -1074)


def hex_double(negative, q, k):
    """A C hexadecimal float (without 0x) of (-1)^negative * q * 2^k."""
    sign = "-" if negative else ""
    if q == 0:
        return sign + "0p+0"
    top = q.bit_length() - 1
    exp = k + top
    frac = q - (1 << top)
    # The fraction bits after the leading 1, padded to whole hex digits.
    nbits = top
    pad = (-nbits) % 4
    frac <<= pad
    digits = (nbits + pad) // 4
    text = "1"
    if digits > 0:
        text += "." + format(frac, "0{}x".format(digits)).rstrip("0")
        if text.endswith("."):
            text = text[:-1]
    return "{}{}p{:+d}".format(sign, text, exp)


def extended_bytes(negative, mantissa, exponent):
    word = (1 << 15 if negative else 0) | exponent
    raw = mantissa.to_bytes(8, "little") + word.to_bytes(2, "little")
    return " ".join(format(b, "02X") for b in raw)


def extended_of_double(negative, q, k):
    """The 80-bit fields of the double q * 2^k (exact: 53 bits fit in 64)."""
    if q == 0:
        return (negative, 0, 0)
    top = q.bit_length() - 1
    return (negative, q << (63 - top), k + top + BIAS80)


def decode_fields(negative, mantissa, exponent):
    """What a reader makes of an 80-bit pattern: a hex double or "refused"."""
    if exponent == 0x7FFF:
        return "refused"  # infinity, NaN, pseudo-infinity
    if exponent == 0:
        # Zero or an extended denormal, far below the smallest double.
        return hex_double(negative, 0, 0)
    if mantissa & INTEGER_BIT == 0:
        return "refused"  # unnormal
    exact = Fraction(mantissa) * Fraction(2) ** (exponent - BIAS80 - 63)
    nd = nearest_double(exact)
    if nd is None:
        return "refused"
    return hex_double(negative, *nd)


def both_row(text):
    negative = text.startswith("-")
    fr = Fraction(text.lstrip("-"))
    nd = nearest_double(fr)
    assert nd is not None, text
    q, k = nd
    # Cross-check with Python's reading of the same text (not used above).
    py = abs(float(text))
    assert Fraction(py) == Fraction(q) * Fraction(2) ** k, text
    fields = extended_of_double(negative, q, k)
    assert decode_fields(*fields) == hex_double(negative, q, k), text
    return ("both", text, extended_bytes(*fields), hex_double(negative, q, k))


def decode_row(text, negative, mantissa, exponent):
    return ("decode", text, extended_bytes(negative, mantissa, exponent),
            decode_fields(negative, mantissa, exponent))


def main():
    rows = []
    for text in ["1", "-2.5", "0", "-0", "0.1", "-0.1", "0.5", "2", "10", "100",
                 "65536", "123456.789", "-123456.789", "3.141592653589793",
                 "0.3333333333333333", "1e300", "-1e300", "1e-300",
                 "1.7976931348623157e308", "2.2250738585072014e-308",
                 "2.225073858507201e-308", "5e-324", "-5e-324", "1e-310",
                 "4.9406564584124654e-322", "2.5", "0.05", "1e-5"]:
        rows.append(both_row(text))

    one = BIAS80
    half_ulp = 1 << 10  # of 1.0 in a 64-bit mantissa: 2^-53
    rows += [
        decode_row("1 + 2^-53: a tie to even (1)", False, INTEGER_BIT + half_ulp, one),
        decode_row("1 + 3*2^-53: a tie to even (up)", False, INTEGER_BIT + 3 * half_ulp, one),
        decode_row("1 + 2^-53 + 2^-63: above the tie", False, INTEGER_BIT + half_ulp + 1, one),
        decode_row("1 + 2^-53 - 2^-63: below the tie", False, INTEGER_BIT + half_ulp - 1, one),
        decode_row("2 - 2^-63: rounds up to 2", False, (1 << 64) - 1, one),
        decode_row("-(2 - 2^-63)", True, (1 << 64) - 1, one),
        decode_row("largest double", False, ((1 << 53) - 1) << 11, one + 1023),
        decode_row("largest double + half an ulp: overflows", False,
                   (((1 << 53) - 1) << 11) + half_ulp, one + 1023),
        decode_row("largest double + less than half an ulp", False,
                   (((1 << 53) - 1) << 11) + half_ulp - 1, one + 1023),
        decode_row("2^1024: overflows", False, INTEGER_BIT, one + 1024),
        decode_row("-2^1024: overflows", True, INTEGER_BIT, one + 1024),
        decode_row("2^16383: overflows", False, INTEGER_BIT, 0x7FFE),
        decode_row("2^-1022: smallest normal double", False, INTEGER_BIT, one - 1022),
        decode_row("2^-1074: smallest denormal", False, INTEGER_BIT, one - 1074),
        decode_row("2^-1075: a tie between 0 and 2^-1074 to 0", False, INTEGER_BIT,
                   one - 1075),
        decode_row("-2^-1075: to -0", True, INTEGER_BIT, one - 1075),
        decode_row("3*2^-1076: above the tie to 2^-1074", False, 3 << 62, one - 1075),
        decode_row("2^-1075 + 2^-1138: just above the tie", False, INTEGER_BIT + 1,
                   one - 1075),
        decode_row("1.5*2^-1074: a tie to even (2^-1073)", False, 3 << 62, one - 1074),
        decode_row("(2^52 - 1/2)*2^-1074: rounds up to the smallest normal", False,
                   ((1 << 53) - 1) << 11, one - 1023),
        decode_row("2^-1100: to 0", False, INTEGER_BIT, one - 1100),
        decode_row("smallest normal extended: to 0", False, INTEGER_BIT, 1),
        decode_row("extended denormal: to 0", False, 1, 0),
        decode_row("negative extended denormal: to -0", True, 1, 0),
        decode_row("positive infinity", False, INTEGER_BIT, 0x7FFF),
        decode_row("negative infinity", True, INTEGER_BIT, 0x7FFF),
        decode_row("quiet NaN", False, INTEGER_BIT | (1 << 62), 0x7FFF),
        decode_row("signalling NaN", False, INTEGER_BIT | 1, 0x7FFF),
        decode_row("pseudo-infinity", False, 0, 0x7FFF),
        decode_row("unnormal 1.0 without integer bit", False, 1 << 62, one),
        decode_row("pseudo-zero", False, 0, one),
    ]

    out = sys.stdout
    out.write("# Written by scripts/tools/extended80_vectors.py; do not edit.\n")
    out.write("kind,text,bytes,double\n")
    for kind, text, raw, dbl in rows:
        assert "," not in text
        out.write("{},{},{},{}\n".format(kind, text, raw, dbl))


if __name__ == "__main__":
    main()
