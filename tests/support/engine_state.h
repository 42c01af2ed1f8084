// The engine's and the scene's globals as at program start, before every
// test case: ctest runs each case in a process of its own, and a test binary
// run whole runs them one after another in one process.
#pragma once

// Empties the model store, the texture staging table and the device table,
// resets every switch, parameter, pool and device global, the scene's
// counters, seed and water, and has file errors name their files. It calls
// no OpenGL: a context a case left behind is the case's own to delete.
void ResetEngineState();
