// The page's Session: the window logic's session (app/web/session.h) over the plain functions
// of bindings.cpp, as Module.Session. Linked into the glue (--post-js), where the module's
// functions (_session_new, ...) and its memory (HEAPU8, current after a growth) are in scope.
// Strings cross as UTF-8: an argument is written into the module's input buffer, a result
// read from the address returned, result_size() bytes long.

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

class Session {
  // Seed 0 takes a fresh code from the clock; `caseText`, when not empty, a code to play.
  constructor(seed, caseText = '') {
    const [at, size] = trainerArgument(caseText);
    this.at = _session_new(seed, at, size);
  }

  delete() {
    _session_delete(this.at);
    this.at = 0;
  }

  design() {
    return trainerText(_session_design(this.at));
  }

  state() {
    return trainerText(_session_state(this.at));
  }

  click(name) {
    return trainerText(_session_click(this.at, ...trainerArgument(name)));
  }

  select(name) {
    return trainerText(_session_select(this.at, ...trainerArgument(name)));
  }

  arrow(name, direction) {
    return trainerText(_session_arrow(this.at, ...trainerArgument(name), direction));
  }

  track(name, direction) {
    return trainerText(_session_track(this.at, ...trainerArgument(name), direction));
  }

  release(name, value) {
    return trainerText(_session_release(this.at, ...trainerArgument(name), value));
  }

  focusAfter(name) {
    return trainerText(_session_focus_after(this.at, ...trainerArgument(name)));
  }

  static panelTexts() {
    return trainerText(_session_panel_texts());
  }

  panel() {
    return trainerText(_session_panel(this.at));
  }

  announcement() {
    return trainerText(_session_announcement(this.at));
  }

  plot() {
    return trainerText(_session_plot(this.at));
  }

  startCode(text, confirmed) {
    return trainerText(_session_start_code(this.at, ...trainerArgument(text), confirmed ? 1 : 0));
  }

  chooseCase(index) {
    _session_choose_case(this.at, index);
  }

  unsaved() {
    return _session_unsaved(this.at) !== 0;
  }

  markSaved() {
    _session_mark_saved(this.at);
  }

  // The record as CSV bytes (UTF-8 with its byte-order mark): a view to copy at once.
  csvBytes() {
    return trainerBytes(_session_csv(this.at));
  }

  csvFileName() {
    return trainerText(_session_csv_file_name(this.at));
  }

  customerView() {
    return trainerText(_session_customer_view(this.at));
  }

  // The RGBA bytes of picture `index` of the last customerView(): a view to copy at once, or null.
  pictureBytes(index) {
    return trainerBytes(_session_picture(this.at, index));
  }
}

Module['Session'] = Session;
