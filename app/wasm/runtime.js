// What the page's PageSitting class (made from calls.txt by calls.py, and put after this in the
// glue's --post-js) needs to cross into the window logic. In the glue the module's functions
// and its memory (HEAPU8, current after a growth) are in scope. Strings cross as UTF-8: an
// argument is written into the module's input buffer, a result read from the address
// returned, result_size() bytes long.

/* exported trainerArgument, trainerText, trainerBytes */

const trainerEncoder = new TextEncoder();
const trainerDecoder = new TextDecoder();

// Writes `text` into the module's input buffer: [address, length].
function trainerArgument(text) {
  const bytes = trainerEncoder.encode(text);
  const at = _input_buffer(bytes.length);
  HEAPU8.set(bytes, at);
  return [at, bytes.length];
}

function trainerText(at) {
  return trainerDecoder.decode(HEAPU8.subarray(at, at + _result_size()));
}

// A view of result bytes in the module's memory, valid until the next call into it, or null.
function trainerBytes(at) {
  return at ? HEAPU8.subarray(at, at + _result_size()) : null;
}
