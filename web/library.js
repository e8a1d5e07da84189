// The save library (quellhart.js, WebAssembly) as the page calls it: one method per
// call of its C interface, taking and returning the page's own values (texts, numbers,
// bytes, parsed JSON). The library's memory is lent and given back here, so the page
// never holds a pointer; and a call that can fail returns its result or throws its own
// LibraryError, with the library's text and cause for that call.
//
// Served, the library runs in a thread of its own (library-worker.js), so that the page
// answers while a large save opens or commits; opened from the file system, where a
// browser starts no worker, it runs in the page. Either way every method returns a
// promise.
'use strict';

// A failure the library reports: `text` is the window's message, `cause` what lies
// beneath it (the system's reason, or where each version of the save is).
class LibraryError extends Error {
  constructor({ text, cause = '' }) {
    super([text, cause].filter(Boolean).join('\n'));
    this.name = 'LibraryError';
    this.text = text;
    this.cause = cause;
  }
}

// The library in this thread, its methods answering at once.
async function openLocalLibrary() {
  const lib = await QuellhartModule();

  const text = (pointer) => lib.UTF8ToString(pointer);
  const json = (pointer) => JSON.parse(text(pointer));
  const withString = (value, use) => {
    const size = lib.lengthBytesUTF8(value) + 1;
    const pointer = lib._malloc(size);
    lib.stringToUTF8(value, pointer, size);
    try { return use(pointer); } finally { lib._free(pointer); }
  };
  const withBytes = (bytes, use) => {
    const pointer = lib._malloc(Math.max(bytes.length, 1));
    lib.HEAPU8.set(bytes, pointer);
    try { return use(pointer); } finally { lib._free(pointer); }
  };
  // Bytes the library lends until its next call, copied out (by `copy`, from the
  // library's memory between two offsets): `call` gets where the library puts their
  // length and returns where they are (null: none).
  const lentBytes = (call, copy = (from, to) => lib.HEAPU8.slice(from, to)) => {
    const sizeAt = lib._malloc(4);
    try {
      const pointer = call(sizeAt);
      return pointer ? copy(pointer, pointer + lib.HEAPU32[sizeAt >> 2]) : null;
    } finally { lib._free(sizeAt); }
  };
  // A call that returns nothing when it went through, else its own error.
  const orThrow = (outcome) => {
    const said = text(outcome);
    if (said) throw new LibraryError(JSON.parse(said));
  };

  return {
    // The window's texts and limits the page shows.
    texts: () => json(lib._qh_texts()),
    codePageForLanguage: (language) =>
      withString(language, (pointer) => lib._qh_code_page_for_language(pointer)),
    // Whether `number` is a code page the library knows; it reads and writes the save's
    // texts in it from now on.
    useCodePage: (number) => lib._qh_use_code_page(number) !== 0,
    keepVersions: (keep) => lib._qh_keep_versions(keep),

    // Opens `bytes` as the save named `name` (no folder). The bytes are copied once,
    // into room the library makes first (making room may move its memory). A file
    // (a Blob) is read straight into that room a part at a time, so that no whole copy
    // of it is made on the way, nor in the page's thread when the library has one of
    // its own.
    async open(name, bytes) {
      const size = bytes instanceof Blob ? bytes.size : bytes.length;
      const buffer = lib._qh_save_buffer(size);  // before HEAPU8 is read
      if (bytes instanceof Blob) {
        const kPart = 16 << 20;
        for (let at = 0; at < size; at += kPart) {
          const part = await bytes.slice(at, Math.min(at + kPart, size)).arrayBuffer();
          lib.HEAPU8.set(new Uint8Array(part), buffer + at);
        }
      } else {
        lib.HEAPU8.set(bytes, buffer);
      }
      orThrow(withString(name, (pointer) => lib._qh_open(pointer)));
    },
    // No save any more (after a file that could not be read).
    close: () => { lib._qh_save_buffer(0); },
    // Puts a file beside the save, last written at `lastModified` (0: now).
    putFile: (name, bytes, lastModified = 0) => withString(name, (pointer) =>
      withBytes(bytes, (data) => lib._qh_put_file(pointer, data, bytes.length, lastModified))),
    forgetFile: (name) => withString(name, (pointer) => lib._qh_put_file(pointer, 0, 0, 0)),
    // The save, its backup and its versions as the library holds them: {name: file}.
    files: () => json(lib._qh_files()),
    // The save (0) or its backup (1) as it is now, or null.
    file: (which) => lentBytes((sizeAt) => lib._qh_file(which, sizeAt)),
    // The same as a file to offer as a download: made where the library runs, straight
    // from its memory, so that the page's thread neither copies it nor holds its bytes.
    fileBlob: (which) => lentBytes((sizeAt) => lib._qh_file(which, sizeAt),
      (from, to) => new Blob([lib.HEAPU8.subarray(from, to)], { type: 'application/octet-stream' })),
    fileNamed: (name) =>
      withString(name, (pointer) => lentBytes((sizeAt) => lib._qh_file_named(pointer, sizeAt))),
    backupName: () => text(lib._qh_backup_name()),
    historyName: () => text(lib._qh_history_name()),
    versions: () => json(lib._qh_versions()),
    forgetVersions: () => lib._qh_forget_versions(),
    restoreVersion: (index) => orThrow(lib._qh_restore_version(index)),
    restoreBackup: () => orThrow(lib._qh_restore_backup()),
    swapName: () => text(lib._qh_swap_name()),

    // The two pages as the window shows them, or null without a save.
    page: () => json(lib._qh_page()),
    chooseGlob: (index) => lib._qh_choose_glob(index),
    // Confirm Change with the typed text; false where no variable is chosen.
    confirmChange: (typed) =>
      withString(typed, (pointer) => lib._qh_confirm_change(pointer)) !== 0,
    setPlayerText: (field, value) =>
      orThrow(withString(value, (pointer) => lib._qh_set_player_text(field, pointer))),

    // The commit's steps, as the window takes them.
    commitBegin: (unstorableField) => json(lib._qh_commit_begin(unstorableField)),
    commitNext: (answer) => json(lib._qh_commit_next(answer)),
    commitOutcome: ({ ok, note = '', text: failure = '', cause = '', saveChanged = false }) =>
      withString(note, (notePointer) => withString(failure, (textPointer) =>
        withString(cause, (causePointer) => json(lib._qh_commit_outcome(ok ? 1 : 0, notePointer,
          textPointer, causePointer, saveChanged ? 1 : 0))))),
    commit: () => orThrow(lib._qh_commit()),
    reload: () => orThrow(lib._qh_reload()),
    // The save under its name loaded afresh (put there with putFile), beside the one
    // shown: {edited, question}; throws where it does not load.
    newer() {
      const said = text(lib._qh_newer());
      const outcome = JSON.parse(said);
      if (outcome.text !== undefined) throw new LibraryError(outcome);
      return outcome;
    },
    // The newer save shown in place of the one before, the edits carried over.
    takeNewer: () => lib._qh_take_newer(),

    // The size of the library's memory, which only grows: its peak.
    memoryBytes: () => lib.HEAPU8.length,
  };
}

// The library for the page: in a worker where one can start, else in the page.
async function openQuellhartLibrary() {
  const inThePage = async () => {
    const local = await openLocalLibrary();
    const library = { inWorker: false };
    for (const [method, call] of Object.entries(local)) library[method] = async (...args) => call(...args);
    return library;
  };
  if (!location.protocol.startsWith('http') || typeof Worker === 'undefined') return inThePage();
  const worker = new Worker('library-worker.js');
  const waiting = new Map();  // call number: its promise's {resolve, reject}
  let calls = 0;
  worker.onmessage = ({ data: { id, result, error, unexpected } }) => {
    const { resolve, reject } = waiting.get(id);
    waiting.delete(id);
    if (unexpected) reject(new Error(unexpected));
    else if (error) reject(new LibraryError(error));
    else resolve(result);
  };
  const call = (method, ...args) => new Promise((resolve, reject) => {
    calls += 1;
    waiting.set(calls, { resolve, reject });
    worker.postMessage({ id: calls, method, args });
  });
  // A worker that cannot start (a browser's policy, a file missing) leaves the library
  // in the page.
  worker.onerror = (event) => {
    for (const { reject } of waiting.values()) reject(new Error(event.message || 'no worker'));
    waiting.clear();
  };
  let methods;
  try {
    methods = await call('methods');
  } catch {
    worker.terminate();
    return inThePage();
  }
  const library = { inWorker: true };
  for (const method of methods) library[method] = (...args) => call(method, ...args);
  return library;
}
