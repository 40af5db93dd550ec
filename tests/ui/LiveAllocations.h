// Counts the test program's live allocations, for the tests that check that
// something done over and over leaves nothing behind.
#pragma once

// Allocations made with operator new and not yet deleted, on every thread.
long LiveAllocations();
