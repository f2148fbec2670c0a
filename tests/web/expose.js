// Linked into the browser tests' build of the window logic only, after session_api.js: the
// tests' hooks (the hidden correction, the number formatters, the seeds asked for), and the
// module reachable from a page, so that a test can ask it which seeds the page started
// sessions with.
Module['Session'].prototype.hiddenCase = function hiddenCase() {
  return trainerText(_session_hidden_case(this.at));
};
Module['latestHiddenCase'] = () => trainerText(_latest_hidden_case());
Module['seeds'] = () => trainerText(_seeds());
Module['format00'] = (x) => trainerText(_format_00(x));
Module['shortestDecimal'] = (x) => trainerText(_shortest_decimal(x));
globalThis.trainerUnderTest = Module;
