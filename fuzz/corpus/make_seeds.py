#!/usr/bin/env python3
"""Writes the fuzz targets' seed inputs into the folders beside this script.

Each seed spells out, in the byte layout the target's reader takes, one case
worth starting from: every dispatcher opcode, event lists past two entries,
program and bank chunks, settings that once made the output run away.
"""
import os
import struct

here = os.path.dirname(os.path.abspath(__file__))
u32 = lambda v: struct.pack('<I', v & 0xFFFFFFFF)
f32 = lambda v: struct.pack('<f', v)
nan, inf = float('nan'), float('inf')


def write(target, name, data):
    os.makedirs(os.path.join(here, target), exist_ok=True)
    with open(os.path.join(here, target, name), 'wb') as f:
        f.write(data)


def call(opcode, index=0, value=0, opt=0.0, extra=b''):
    # opcode in -5..80; index and value chosen in -2..40 (selector byte 1).
    return u32(opcode + 5) + b'\x01' + u32(index + 2) + b'\x01' + u32(value + 2) + f32(opt) + extra


# Dispatcher: each opcode once with plain arguments, then sequences.
for op in range(-5, 81):
    if op == 1:
        continue
    write('dispatcher', f'op{op + 5:02d}', call(op, 3, 1, 44100.0, b'\x01' * 8))
write('dispatcher', 'editor', call(14) + call(19) + call(59, 32, 0, nan) + call(60, 0, 38, 1e30) +
      call(19) + call(61, 0, 2) + call(15) + call(1))
write('dispatcher', 'close_early', call(1))

# Events: count (0..24), then per event kind, bytes, then the count selector and block.
def midi(status, d1, d2, delta, kind=0x07):
    return (bytes([kind]) + u32(delta + 8) + b'\x00' + u32(0) + u32(0) + bytes([status, d1, d2, 0]) +
            b'\x00\x00')

def events(*lists):
    out = b'\x00'  # program 0
    for lst, frames in lists:
        out += u32(len(lst)) + b''.join(lst) + b'\x00' + u32(frames) + b'\x01'
    return out

write('events', 'three_notes', events(([midi(0x90, 60, 100, 0), midi(0x90, 64, 90, 5),
                                         midi(0x90, 67, 80, 9)], 512)))
write('events', 'chords_and_offs', events(([midi(0x90, k, 100, k) for k in range(48, 60)], 700),
                                          ([midi(0x80, k, 0, 0) for k in range(48, 60)], 700)))
write('events', 'bend_controllers', events(([midi(0xE0, 0, 127, 0), midi(0xB0, 1, 127, 3),
                                             midi(0xB0, 107, 0, 9), midi(0xB0, 126, 0, 100),
                                             midi(0xF0, 1, 2, 0, kind=0x00)], 1024)))

# Chunks: how (bit 0 preset, bits 1-2 exact size), bytes, program, second selector...
record = b''.join(f32(0.5) for _ in range(38)) + b'seed\x00'.ljust(24, b'\x00')
write('chunks', 'program', b'\x03' + record + u32(1) + b'\x00\x3c\x7f' + u32(0))
bad = b''.join(f32(v) for v in [nan, inf, -inf, 3e38, -3e38, 1e-45] * 7)[:152] + b'x' * 24
write('chunks', 'program_not_numbers', b'\x03' + bad + u32(1) + b'\x00\x3c\x7f' + u32(0))
write('chunks', 'bank', b'\x02' + record * 32 + u32(5) + b'\x01\x30\x64' + u32(3))
write('chunks', 'odd_size', b'\x00' + u32(177) + record + b'\x01' + u32(0))

# Render: op byte (mod 9) then its arguments.
def param(index, value):
    return b'\x00' + u32(index + 2) + b'\x01' + f32(value)

def notes(keys, velocity=100, delta=0):
    return b'\x04' + u32(len(keys) - 1) + bytes(keys) + bytes([velocity]) + u32(delta + 2)

def render(frames, level_kind=0x20):
    return b'\x07' + bytes([level_kind]) + u32(frames)

def program(p):
    return b'\x05' + u32(p)

phrase = b''.join(notes([k, k + 7], 90 + i, i * 50) + render(2048) for i, k in
                  enumerate([48, 52, 55, 60, 43, 57, 64, 67]))
write('render', 'body_on_output', program(4) + param(19, 1.0) + phrase)
write('render', 'strings_without_saturation', program(7) + param(5, 0.0) + param(15, 0.0) + phrase)
for index in (31, 32, 34, 35):
    write('render', f'not_a_number_{index}', param(index, nan) + phrase)
write('render', 'infinite_volume', param(35, inf) + param(34, -inf) + phrase)
write('render', 'input_not_a_number', notes([60, 64]) + render(256) +
      b'\x07\x3e' + f32(nan) + u32(64) + render(1024))
write('render', 'sample_rates', b'\x02\x00' + u32(8000) + phrase[:40] + b'\x02\x01' + f32(0.0) +
      phrase[:40] + b'\x03' + u32(64) + f32(1e9) + phrase[:40])
write('render', 'high_keys_quality_normal', notes([96, 100, 110, 127], 72) + render(512))
