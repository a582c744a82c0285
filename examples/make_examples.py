#!/usr/bin/env python3
"""Writes the example QA and factory calibration files.

The payload bytes follow fixed formulas, so the files are the same on every
run: `python3 examples/make_examples.py` rewrites them in place.
"""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
NOTICE = ("<!-- Example display calibration data for rimbolt.\n"
          "     Payloads are made up; they only look like real ones. -->")


def payload(seed, size):
    return bytes((seed * 31 + i * 7 + (i >> 3)) & 0xFF for i in range(size))


def feature(ftype, size, seed, disable=False):
    data = payload(seed, size).hex().upper()
    flag = "true" if disable else "false"
    return (f'            <Feature FeatureType="{ftype}" Disable="{flag}" '
            f'DataSize="{size}">{data}</Feature>')


def mode(mid, disp, default, name, gamut, dyn, quality, features, intent=0):
    head = (f'        <Mode ModeID="{mid}" DisplayID="{disp}" '
            f'IsDefaultMode="{1 if default else 0}" IsAppMode="0" '
            f'Name="{name}" NumOfFeatures="{len(features)}" WhitePoint="6500" '
            f'EValue="0" BValue="0" RValue="0" DynamicRange="{dyn}" '
            f'ColorGamut="{gamut}" PictureQuality="{quality}" '
            f'RenderIntent="{intent}" IsMerge="0">')
    return "\n".join([head] + features + ["        </Mode>"])


def document(modes, default_mode, luts=""):
    body = "\n".join(modes)
    return (f'<?xml version="1.0" ?>\n{NOTICE}\n<Calib_Data>\n'
            f'    <Disp_Modes NumModes="{len(modes)}" '
            f'DefaultMode="{default_mode}">\n{body}\n    </Disp_Modes>\n'
            f'{luts}</Calib_Data>\n')


def pcc_lut(num_packets):
    data = payload(99, num_packets * 16).hex().upper()
    return ('    <Luts NumLuts="1">\n'
            f'        <Lut Type="0" NumPackets="{num_packets}">{data}</Lut>\n'
            '    </Luts>\n')


QA_MODES = [
    mode(0, 0, True, "qa_srgb_sdr_main", "srgb", "sdr", "standard",
         [feature(0, 32, 1), feature(3, 256, 2), feature(7, 4, 3)]),
    mode(1, 0, False, "qa_p3_hdr_main", "display_p3", "hdr", "vivid",
         [feature(1, 2048, 4)], intent=1),
    mode(2, 1, False, "qa_native_sdr_cover", "native", "sdr", "standard",
         [feature(2, 4096, 5, disable=True)]),
    mode(3, 1, False, "qa_dcip3_sdr_cover", "dcip3", "sdr", "netflix",
         [feature(8, 16, 6)]),
]

FACTORY_MODES = [
    mode(10, 1, False, "factory_native_sdr_cover", "native", "sdr",
         "standard", [feature(2, 512, 11), feature(5, 64, 12),
                      feature(9, 1024, 13)]),
    mode(11, 0, True, "factory_srgb_sdr_main", "srgb", "sdr", "standard",
         [feature(0, 32, 14), feature(4, 1024, 15), feature(12, 8, 16)]),
    mode(12, 0, False, "factory_p3_hdr_main", "display_p3", "hdr", "vivid",
         [feature(1, 2048, 17), feature(6, 3072, 18)], intent=1),
    mode(13, 1, False, "factory_srgb_sdr_cover", "srgb", "sdr", "sharp",
         [feature(0, 32, 19)]),
]


def main():
    with open(os.path.join(HERE, "qa_modes.xml"), "w") as out:
        out.write(document(QA_MODES, 0, pcc_lut(256)))
    with open(os.path.join(HERE, "factory_modes.xml"), "w") as out:
        out.write(document(FACTORY_MODES, 11))


if __name__ == "__main__":
    main()
