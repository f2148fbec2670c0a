// Linked into the browser tests' build of the window logic only, after the page's PageSitting
// class with the tests' calls (calls.txt): the module reachable from a page, so that a test
// can ask it which seeds the page started sittings with.
globalThis.trainerUnderTest = Module;
