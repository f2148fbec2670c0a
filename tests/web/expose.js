// Linked into the browser tests' build of the window logic only: makes the module reachable
// from a page, so that a test can ask it which seeds the page started sessions with.
globalThis.trainerUnderTest = Module;
