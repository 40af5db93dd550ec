"""Deterministic response bodies that a test program can recompute byte for byte.

The stream is xorshift32 (13, 17, 5): the state starts at the seed (a seed of 0
starts at 0x9E3779B9 instead, since 0 is a fixed point); each step updates the
state and emits its four bytes, least significant first; the body is the first
`size` bytes of that stream.
"""

import array
import sys

ZERO_SEED_STATE = 0x9E3779B9


def generated_body(size, seed):
    state = seed & 0xFFFFFFFF or ZERO_SEED_STATE
    words = array.array("I", bytes(4 * ((size + 3) // 4)))
    for i in range(len(words)):
        state ^= (state << 13) & 0xFFFFFFFF
        state ^= state >> 17
        state ^= (state << 5) & 0xFFFFFFFF
        words[i] = state
    if sys.byteorder != "little":
        words.byteswap()
    return words.tobytes()[:size]
