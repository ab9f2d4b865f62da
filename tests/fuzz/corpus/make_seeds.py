#!/usr/bin/env python3
"""Writes the fuzz targets' seed corpora into the folder given (default: beside this script):
the files the readers meet in use, copied from the tree or written as the programs write them."""
import os, pathlib, struct, sys

here = pathlib.Path(__file__).resolve().parent
root = here.parents[2]
out = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else here

def put(target, name, data):
    folder = out / target
    folder.mkdir(parents=True, exist_ok=True)
    (folder / name).write_bytes(data if isinstance(data, bytes) else data.encode('cp932'))

# ZORTV.INI: the starter file, one saved by a run, and one with the odd values users leave.
put('zortv_ini', 'starter.ini', (root / 'viewer/res/ZORTV.INI').read_bytes())
put('zortv_ini', 'saved.ini', '[ZORTV]\r\nWindow=120, 80, 320, 240, 1\r\nCurrentPreset=3\r\n'
    'CurrentCableTVChannel=21\r\nSource=1\r\nVoice=3\r\nUseCableTV=1\r\nBrightness=-6\r\n'
    'Contrast=62\r\nColor=99\r\nHue=12\r\nChannel1=1,ＮＨＫ総合\r\nChannel4=4,日本テレビ\r\nChannel12=80,C30\r\n')
put('zortv_ini', 'odd.ini', '[ZORTV]\r\nWindow=-5,0x10,,  ,\r\nCurrentPreset=-17\r\nChannel1=99,far\r\n'
    'Channel2=  7 ,  \r\nChannel3=0,zero\r\nCurrentCableTVChannel=4000000000\r\nSource=9\r\n')

# VANVP.INI as the tuner library writes it, and with negative and cut values.
put('vanvp', 'written.ini', '[SAA7110]\r\nBrightness=154\r\nContrast=57\r\nSaturation=63\r\nHue=0\r\n'
    '[NTSC - 640X480]\r\nX Offset=0\r\nY Offset=0\r\n[SAA7110]\r\nVideo_Source=0\r\n')
put('vanvp', 'edited.ini', '[NTSC - 640X480]\r\nX Offset=4\r\nY Offset=-2\r\n[SAA7110]\r\n'
    'Brightness=100\r\nContrast=50\r\nSaturation=40\r\nHue=-32\r\nVideo_Source=1\r\n')
put('vanvp', 'odd.ini', '[saa7110]\r\nBrightness=99999999999\r\nHue=--3\r\nVideo_Source=15.5\r\n')

# TVCTRL.INF: the first byte of each seed is the time since the DOS box started (x 400 ms).
def record(state, still=0):
    b = bytearray(187)
    b[0:4] = b'TV\x02' + bytes([state])
    b[4:12] = bytes([0, 0, 3, 20, 0, 56, 83, 0])
    for i in range(12):
        e = 12 + 14 * i
        b[e] = (1 + 2 * i) if i % 4 else 255
        name = ('CH%d' % (i + 1)).encode()
        b[e + 1:e + 1 + len(name)] = name
    b[180] = 0; b[181] = 1; b[182] = still
    b[183:187] = struct.pack('<I', 0x300)
    return bytes(b)
put('handoff', 'returned', bytes([100]) + record(0))
put('handoff', 'running', bytes([10]) + record(1))
put('handoff', 'switched_off', bytes([10]) + record(2, 1))
put('handoff', 'short', bytes([10]) + record(0)[:60])

# SpKit.inf: bits, machine id and the "Installed" text come first (12 bytes).
head = bytes([0x88, 0x34, 0x12]) + b'0\0\0\0\0\0\0\0\0'
put('spkit', 'kit.inf', head + b'[information]\r\ninfname=kit_installer.exe kit\r\nregkey=kit\r\n'
    b'machine=0\r\nreboot=1\r\n[machineid]\r\n05,1234 ; QX-7700\r\n0ABC\r\n'
    b'[searchfile]\r\n; the module of the first release\r\nA,\\KIVO\\QX.VXD,0,\r\nO,\\WINDOWS\\win.ini,5;x\r\n')
put('spkit', 'any.inf', bytes([0xA9, 5, 0]) + b'2\0\0\0\0\0\0\0\0' + b'[information]\r\ninfname=setup.exe\r\n'
    b'regkey=\r\nmachine=2\r\n[machineid]\r\n')

# Skin bitmaps: the resources' packed DIBs (the file without its 14-byte header).
for bmp in sorted((root / 'viewer/res/bitmaps').glob('*.bmp'))[:8]:
    put('skin_dib', bmp.stem, bmp.read_bytes()[14:])

# Remote-control names: the first byte is the window state (bits).
for i, name in enumerate([b'TV_CH_UP', b'SYS_TV_POWER', b'VCMD_TV_RED', b'VEXT,CH3', b'VEXT,CH-99999999999',
                          b'VCMD_TV_9SCREEN', b'VEXT,ABC', b'\x82\xa0\x82', b'A' * 300]):
    put('command_names', 'name%d' % i, bytes([0x1C if i % 2 else 0x58]) + name)

# The board's video files: the sample clip and one cut short, after six bytes of capture choices.
clip = (root / 'platform/board/data/sample.y4m').read_bytes()
head = clip[:clip.index(b'FRAME')]
frame = 160 * 120 * 3 // 2 + 6
put('y4m', 'sample2', bytes([0, 79, 59, 3, 0, 128]) + clip[:len(head) + 2 * frame])
put('y4m', 'truncated', bytes([1, 40, 30, 9, 20, 100]) + clip[:len(head) + frame + 1000])

# Still pictures: whole BMP files, 8- and 24-bit.
for bmp in sorted((root / 'viewer/res/bitmaps').glob('*.bmp'))[:4]:
    put('bmp', bmp.stem, bmp.read_bytes())
w, h = 5, 3
row = (w * 3 + 3) & ~3
pixels = bytes(row * h)
put('bmp', 'rgb24', b'BM' + (54 + len(pixels)).to_bytes(4, 'little') + bytes(4) + (54).to_bytes(4, 'little')
    + (40).to_bytes(4, 'little') + w.to_bytes(4, 'little') + h.to_bytes(4, 'little')
    + (1).to_bytes(2, 'little') + (24).to_bytes(2, 'little') + bytes(4)
    + len(pixels).to_bytes(4, 'little') + bytes(16) + pixels)
