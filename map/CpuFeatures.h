// What the processor offers beyond the baseline the program is built for,
// asked once, for the fast paths that choose their vector kernels by it.
// Elsewhere than on x86 both answers are false. Throws nothing.
#pragma once

bool HasSsse3();
bool HasAvx2();
