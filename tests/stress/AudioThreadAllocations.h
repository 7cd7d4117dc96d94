#pragma once

// Counts heap allocations made by a thread while it is marked as being inside
// the plug-in's audio call. The test program replaces the global operator
// new/delete to do the counting.

// Marks the calling thread as inside (or outside) the audio call.
void SetInsideAudioCall(bool inside);

// Allocations made while a thread was marked, since the program started.
long AudioThreadAllocations();
