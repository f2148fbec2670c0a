// Where the page keeps its sittings: the browser's localStorage, one entry per sitting under a
// key of its own, so that two tabs never write into each other's. What a sitting is kept as (its
// journal) and what becomes of the sittings found at start are the window logic's; this module
// only reads and writes the storage.
//
// localStorage rather than IndexedDB: it writes synchronously, so each journal line is in the
// browser's hands before the next input is handled, and a tab closed at any moment loses at
// most the input being handled; an IndexedDB transaction still open when the tab goes is lost.
// A journal of 50 cases is about 100 KB, well inside the few megabytes a site gets.
//
// A journal is kept in chunks of at most CHUNK characters, each under a key of its own; a new
// line rewrites only the last chunk, so that keeping a step costs the same at the 500th step of
// the 50th case as at the first.
//
// A tab holds a Web Lock named after the sitting it keeps (and the one it offers), so another
// tab neither offers nor resumes it. Where Web Locks are missing (pages not served over HTTPS),
// each tab writes the time into a key of its sitting every few seconds instead, and a sitting
// whose time is recent counts as kept by another tab.

const PREFIX = 'refraction-trainer:';
const SITTING = `${PREFIX}sitting:`; // + id + ':' + the chunk's number
const ASIDE = `${PREFIX}unreadable:`; // + id + '-' + when: a sitting that could not be continued
const ALIVE = `${PREFIX}alive:`; // + id: the last sign of life of the tab keeping it (no Web Locks)
const LOCK = `${PREFIX}lock:`; // + id
const CHUNK = 4096;
const BEAT_MS = 3000;
const ALIVE_MS = 10000;

// The page's storage; null where the browser refuses it (storage disabled: the property throws).
function localStore() {
  try {
    return window.localStorage;
  } catch {
    return null;
  }
}

function chunkKey(id, n) {
  return `${SITTING}${id}:${String(n).padStart(4, '0')}`;
}

// A journal cut into chunks at line ends, each at most CHUNK characters (or one longer line).
function chunksOf(text) {
  const chunks = [];
  let at = 0;
  while (at < text.length) {
    let end = Math.min(text.length, at + CHUNK);
    if (end < text.length) {
      const lineEnd = text.lastIndexOf('\n', end - 1);
      end = lineEnd >= at ? lineEnd + 1 : text.indexOf('\n', end) + 1 || text.length;
    }
    chunks.push(text.slice(at, end));
    at = end;
  }
  return chunks;
}

// Holds the Web Lock `name` until the function it resolves to is called; resolves to null when
// `ifAvailable` and another tab holds it.
function hold(name, ifAvailable) {
  return new Promise((resolve) => {
    navigator.locks
      .request(name, { ifAvailable }, (lock) => {
        if (!lock) {
          resolve(null);
          return null;
        }
        return new Promise((release) => {
          resolve(release);
        });
      })
      .catch(() => resolve(null));
  });
}

export class SittingStore {
  // `Trainer`: the window logic; `changed()`: called when the offer, the messages or whether
  // the sitting is kept have changed.
  constructor(Trainer, changed) {
    this.Trainer = Trainer;
    this.changed = changed;
    this.storage = localStore();
    this.locks = typeof navigator.locks?.request === 'function';
    this.sitting = null;
    this.id = null;
    this.chunks = 0; // how many chunks the sitting's journal has
    this.last = ''; // the text of its last chunk
    this.keeping = false;
    this.release = null; // gives up the lock of the sitting kept
    this.offered = null; // { id, release }: the sitting offered, until resumed or withdrawn
    this.touched = false; // the window had an input since the start: no offer any more
    this.messages = [];
    this.failedOnce = false;
    this.beat = null;
    this.texts = JSON.parse(Trainer.PageSitting.panelTexts());
  }

  // Keeps `sitting` from now on, under a new key, and looks at the sittings kept before (offering
  // the last one when `offer` and it has unsaved work). The sitting is kept at once; what was
  // kept before is looked at once the tabs keeping sittings are known.
  begin(sitting, offer) {
    this.sitting = sitting;
    this.touched = false;
    // Newest first when the keys are sorted: the start's time leads.
    this.id = `${Date.now().toString(36).padStart(9, '0')}-${Math.random().toString(36).slice(2, 8)}`;
    this.keeping = !!this.storage;
    if (!this.storage) {
      this.failed();
      return Promise.resolve();
    }
    sitting.keep(true);
    this.release = this.holdOwn(this.id);
    this.rewrite();
    return this.lookOver(offer);
  }

  // The lines the window logic wrote since the last call, kept.
  flush() {
    if (!this.keeping || !this.sitting) return;
    const lines = this.sitting.keptLines();
    if (!lines) return;
    // A new chunk once the last is full: what is rewritten stays small however long the sitting.
    if (this.last.length + lines.length > CHUNK) {
      this.chunks += 1;
      this.last = lines;
    } else {
      this.last += lines;
    }
    this.write(chunkKey(this.id, this.chunks - 1), this.last);
  }

  // The window was given an input: an offer still standing is withdrawn (the old sitting stays).
  touch() {
    this.touched = true;
    if (this.offered) this.withdraw();
  }

  withdraw() {
    if (!this.offered) return;
    this.sitting?.dropOffer();
    this.letGo(this.offered);
    this.offered = null;
    this.changed();
  }

  // Plays the offered sitting into the sitting's window and keeps it on from there, under its
  // own key. When it does not play back, it is set aside and the panel says so; a fresh sitting
  // has the window. Either way the view builds the window anew.
  resume() {
    const from = this.offered;
    if (!from || !this.sitting) return false;
    this.offered = null;
    const ok = this.sitting.resumeOffered();
    if (ok) {
      // The fresh sitting of this start had no input yet: the old one takes its place.
      this.removeSitting(this.id);
      this.letGo({ id: this.id, release: this.release });
      this.id = from.id;
      this.release = from.release;
      if (!this.locks) this.alive(this.id);
    } else {
      this.setAside(from.id, 0);
      this.letGo(from);
    }
    this.rewrite();
    this.changed();
    return ok;
  }

  // Removes every kept sitting but those other tabs keep, this one's too, which is then no
  // longer kept (its record lives as long as the page).
  async deleteAll() {
    const held = await this.heldIds();
    if (this.offered) this.withdraw();
    this.stopKeeping();
    const storage = this.storage;
    if (storage) {
      for (const key of this.keys()) {
        const id = key.startsWith(SITTING) ? key.slice(SITTING.length).split(':')[0] : null;
        if (id && held.has(id)) continue;
        if (key.startsWith(ALIVE) && held.has(key.slice(ALIVE.length))) continue;
        try {
          storage.removeItem(key);
        } catch {
          // Removing fails only where nothing could be written either.
        }
      }
    }
    this.messages = [this.texts.keptDeleted];
    this.changed();
  }

  // The sitting has ended (END): it stays kept, and is no longer this tab's.
  stop() {
    this.flush();
    if (this.offered) this.withdraw();
    this.stopKeeping();
  }

  // What the panel says of the storage; '' when all is well.
  get message() {
    return this.messages.join('\n');
  }

  // --- Inside ---

  stopKeeping() {
    this.sitting?.keep(false);
    if (this.id) this.letGo({ id: this.id, release: this.release });
    this.release = null;
    this.keeping = false;
    this.sitting = null;
  }

  // The sittings kept before, newest first, handed to the window logic, which says what becomes
  // of them.
  async lookOver(offer) {
    const sitting = this.sitting;
    const held = await this.heldIds();
    if (this.sitting !== sitting) return;
    const ids = [...new Set(this.keys().filter((k) => k.startsWith(SITTING)).map((k) => k.slice(SITTING.length).split(':')[0]))]
      .filter((id) => id !== this.id)
      .sort()
      .reverse();
    for (const id of ids) sitting.keptFound(held.has(id), held.has(id) ? '' : this.read(id));
    const review = JSON.parse(sitting.reviewKept(offer && !this.touched));
    for (const [i, problem] of review.aside) this.setAside(ids[i], problem);
    for (const i of review.remove) this.removeSitting(ids[i]);
    if (review.pruned) this.say(review.pruned);
    if (review.offered !== null) {
      const id = ids[review.offered];
      const release = this.locks ? await hold(LOCK + id, true) : null;
      // Taken meanwhile by another tab, or the window had its first input: no offer.
      if ((this.locks && !release) || this.touched || this.sitting !== sitting) {
        sitting.dropOffer();
        release?.();
      } else {
        this.offered = { id, release };
        if (!this.locks) this.alive(id);
      }
    }
    this.changed();
  }

  // The ids of the sittings other open tabs keep.
  async heldIds() {
    const ids = new Set();
    if (this.locks) {
      try {
        const { held = [] } = await navigator.locks.query();
        for (const lock of held) if (lock.name?.startsWith(LOCK)) ids.add(lock.name.slice(LOCK.length));
      } catch {
        // No list of locks: every sitting is taken as free.
      }
    } else {
      const now = Date.now();
      for (const key of this.keys())
        if (key.startsWith(ALIVE) && now - Number(this.storage.getItem(key)) < ALIVE_MS) ids.add(key.slice(ALIVE.length));
    }
    ids.delete(this.id);
    if (this.offered) ids.delete(this.offered.id);
    return ids;
  }

  holdOwn(id) {
    if (!this.locks) {
      this.alive(id);
      return null;
    }
    const held = hold(LOCK + id, false);
    return () => held.then((release) => release?.());
  }

  // Without Web Locks: the sign of life of the sittings this tab keeps or offers.
  alive(id) {
    const stamp = () => {
      for (const kept of [this.id, this.offered?.id]) if (kept) this.write(ALIVE + kept, String(Date.now()), true);
    };
    stamp();
    this.beat ??= setInterval(stamp, BEAT_MS);
    if (!this.beatEnds) {
      this.beatEnds = true;
      window.addEventListener('pagehide', () => {
        for (const kept of [this.id, this.offered?.id]) if (kept) this.storage?.removeItem(ALIVE + kept);
      });
    }
    return id;
  }

  letGo(kept) {
    kept.release?.();
    if (!this.locks && kept.id) {
      try {
        this.storage.removeItem(ALIVE + kept.id);
      } catch {
        // Nothing to do: the sign of life goes stale.
      }
    }
  }

  keys() {
    const keys = [];
    try {
      for (let i = 0; i < this.storage.length; ++i) keys.push(this.storage.key(i));
    } catch {
      // Nothing readable: nothing kept.
    }
    return keys.filter((k) => k?.startsWith(PREFIX));
  }

  // The whole journal of sitting `id`, its chunks in order.
  read(id) {
    const head = `${SITTING}${id}:`;
    return this.keys()
      .filter((k) => k.startsWith(head))
      .sort()
      .map((k) => this.storage.getItem(k) ?? '')
      .join('');
  }

  // Writes the sitting's whole journal anew (at the start, after a resume) and goes on
  // appending to it.
  rewrite() {
    if (!this.keeping) return;
    const chunks = chunksOf(this.sitting.journal());
    this.sitting.keptLines(); // all in the journal written now
    this.removeSitting(this.id, chunks.length);
    chunks.forEach((text, n) => this.write(chunkKey(this.id, n), text));
    this.chunks = chunks.length;
    this.last = chunks.at(-1) ?? '';
  }

  // Removes the chunks of sitting `id` from chunk `from` on.
  removeSitting(id, from = 0) {
    const head = `${SITTING}${id}:`;
    for (const key of this.keys())
      if (key.startsWith(head) && Number(key.slice(head.length)) >= from) this.storage.removeItem(key);
  }

  // Keeps sitting `id` under another key (not deleted), where no start takes it for a sitting
  // again, and says so.
  setAside(id, problem) {
    const text = this.read(id);
    const stamp = new Date().toISOString().replace(/[-:.]/g, '').slice(0, 15);
    let keptAs = `${ASIDE}${id}-${stamp}`;
    try {
      this.storage.setItem(keptAs, text);
      this.removeSitting(id);
    } catch {
      keptAs = `${SITTING}${id}`; // no room to copy it: it stays where it is
    }
    this.say(this.Trainer.PageSitting.setAsideMessage(problem, keptAs));
  }

  write(key, text, quiet = false) {
    if (!this.keeping && !quiet) return;
    try {
      this.storage.setItem(key, text);
    } catch {
      if (!quiet) this.failed();
    }
  }

  // The storage cannot be written (full, refused): said once, and the sitting goes on unkept.
  failed() {
    this.sitting?.keep(false);
    this.keeping = false;
    if (this.failedOnce) return;
    this.failedOnce = true;
    this.say(this.texts.storageUnwritable);
  }

  say(text) {
    this.messages.push(text);
    this.changed();
  }
}
