// The browser edition's page: the save library (quellhart.js, WebAssembly) does all
// the reading, editing and writing; this file only moves texts and bytes between it
// and the page's controls, and asks the window's questions.
'use strict';

(async function main() {
  const lib = await QuellhartModule();
  const $ = (id) => document.getElementById(id);

  // --- the library's C interface -----------------------------------------------
  const text = (pointer) => lib.UTF8ToString(pointer);
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
  const fileBytes = (which) => {
    const sizeAt = lib._malloc(4);
    try {
      const pointer = lib._qh_file(which, sizeAt);
      const size = lib.HEAPU32[sizeAt >> 2];
      return pointer ? lib.HEAPU8.slice(pointer, pointer + size) : null;
    } finally { lib._free(sizeAt); }
  };
  // The error's text, and beneath it its cause where there is one.
  const errorText = () => [lib._qh_error(), lib._qh_error_cause()].map(text).filter(Boolean)
    .join('\n');
  const texts = JSON.parse(text(lib._qh_texts()));

  // --- the code page of the save's texts: the one Windows gives the browser's
  // language, or the one the user chose here last time -----------------------------
  const kCodePages = [[874, 'Thai'], [1250, 'Central European'], [1251, 'Cyrillic'],
    [1252, 'Western'], [1253, 'Greek'], [1254, 'Turkish'], [1255, 'Hebrew'],
    [1256, 'Arabic'], [1257, 'Baltic'], [1258, 'Vietnamese']];
  const kCodePageKey = 'quellhart.codePage';
  const remembered = () => { try { return localStorage.getItem(kCodePageKey); } catch { return null; } };
  const remember = (n) => { try { localStorage.setItem(kCodePageKey, String(n)); } catch { /* private mode */ } };
  const codePage = $('code-page');
  for (const [number, name] of kCodePages) codePage.add(new Option(`${number} ${name}`, String(number)));
  const language = (navigator.languages && navigator.languages[0]) || navigator.language || '';
  const initial = Number(remembered()) ||
    withString(language, (pointer) => lib._qh_code_page_for_language(pointer));
  codePage.value = String(lib._qh_use_code_page(initial) ? initial : 1252);
  lib._qh_use_code_page(Number(codePage.value));
  codePage.addEventListener('change', () => {
    lib._qh_use_code_page(Number(codePage.value));
    remember(codePage.value);
    if (state) showSave();  // the save's texts read again in the code page chosen
  });

  // --- questions and reports: the window's message boxes as dialogs ---------------
  const dialog = $('message');
  function ask(caption, message, buttons) {
    $('message-caption').textContent = caption;
    $('message-text').textContent = message;
    const row = $('message-buttons');
    row.replaceChildren();
    return new Promise((resolve) => {
      for (const label of buttons) {
        const button = document.createElement('button');
        button.type = 'button';
        button.textContent = label;
        button.addEventListener('click', () => { dialog.close(label); });
        row.append(button);
      }
      // Escape answers as the window's Escape does: No, or OK.
      dialog.addEventListener('close', () => {
        resolve(dialog.returnValue || buttons[buttons.length - 1]);
      }, { once: true });
      dialog.returnValue = '';
      dialog.showModal();
      row.firstChild.focus();
    });
  }
  const report = (caption, message) => ask(caption, message, ['OK']);
  const confirm = async (message) =>
    (await ask(texts.confirmCaption, message, ['Yes', 'No'])) === 'Yes';

  // --- the Player Data fields -----------------------------------------------------
  const playerFields = ['player-name', 'player-race', 'player-class', 'player-head',
    'player-hair'].map($);
  const fillList = (list, items) => list.replaceChildren(...items.map((item) => {
    const option = document.createElement('option');
    option.value = item;
    return option;
  }));
  fillList($('races'), texts.races);
  for (const field of playerFields) field.maxLength = texts.textLimit;

  // --- the loaded save ------------------------------------------------------------
  let state = null;  // `quellhart-cli show --json` of the save
  let fileName = '';
  const hex = (offset) => '0x' + offset.toString(16).toUpperCase();

  function showPlayer() {
    const p = state.player;
    $('player-address').value = hex(p.offset);
    [p.name, p.race, p.class, p.head, p.hair].forEach((value, i) => {
      playerFields[i].value = value;
    });
    const classes = [...texts.classes];
    if (state.chargenClass) classes.push('NEWCLASSID_CHARGEN');
    fillList($('classes'), classes);
    if (p.class.startsWith('NEWCLASSID_CHARGEN') && !classes.includes(p.class))
      return report(texts.warningCaption, texts.chargenWarning);
  }

  function showGlobals() {
    const list = $('glob-list');
    const order = state.globals.map((g, i) => i)
      .sort((a, b) => state.globals[a].name.localeCompare(state.globals[b].name, 'en',
        { sensitivity: 'base' }) || a - b);
    list.replaceChildren(...order.map((i) => new Option(state.globals[i].name, String(i))));
    $('glob-count').value = String(state.globals.length);
    list.disabled = order.length === 0;
    $('confirm-change').disabled = order.length === 0;
    showSelectedGlob();
  }

  function showSelectedGlob() {
    const index = Number($('glob-list').value);
    const g = state.globals[index];
    const values = g ? [hex(g.offset), g.header, String(g.nameLen), g.name, String(g.fnamLen),
      g.fnam, String(g.valueLen), g.valueBytes, text(lib._qh_value_text(index))]
      : ['', '', '', '', '', '', '', '', ''];
    ['glob-address', 'glob-unk1', 'glob-name-len', 'glob-name', 'glob-fnam-len', 'glob-fnam',
      'glob-value-len', 'glob-value-raw', 'glob-value'].forEach((id, i) => {
      $(id).value = values[i];
    });
  }

  function showSave() {
    state = JSON.parse(text(lib._qh_state()));
    const hasSave = state !== null;
    $('player').disabled = !hasSave;
    $('globals').disabled = !hasSave;
    $('commit').disabled = !hasSave;
    $('active-file').value = hasSave ? fileName : '';
    if (!hasSave) {
      // As the window after a failed open: no list, no count, no field left over.
      for (const field of document.querySelectorAll('#player input, #globals input'))
        field.value = '';
      $('glob-list').replaceChildren();
      $('glob-count').value = '';
      return;
    }
    showGlobals();
    return showPlayer();
  }

  // --- actions --------------------------------------------------------------------
  // Where the loaded save came from: a file chosen alone (committed as a download),
  // or a file of a folder the browser lets the page write to (committed in place).
  let folder = null;
  let loaded = null;  // {bytes, lastModified} as read, for the folder's commit

  function openBytes(name, bytes) {
    const started = performance.now();
    fileName = name;
    // (The buffer first: making room may move the library's memory, and with it
    // every view of it.)
    const buffer = lib._qh_save_buffer(bytes.length);
    lib.HEAPU8.set(bytes, buffer);
    const opened = withString(name, (pointer) => lib._qh_open(pointer));
    if (!opened) {
      const message = errorText();
      showSave();
      return report(texts.errorCaption, message);
    }
    $('status').textContent = '';
    const warning = showSave();
    performance.measure('open save', { start: started });
    return warning;
  }

  $('open-file').addEventListener('change', async (event) => {
    const file = event.target.files[0];
    event.target.value = '';  // the same file may be chosen again
    if (!file) return;
    folder = null;
    $('folder-choice').hidden = true;
    return openBytes(file.name, new Uint8Array(await file.arrayBuffer()));
  });

  // --- a folder to commit in ------------------------------------------------------
  async function readFolderFile(name) {
    try {
      const file = await (await folder.getFileHandle(name)).getFile();
      return { bytes: new Uint8Array(await file.arrayBuffer()), lastModified: file.lastModified };
    } catch (error) {
      // No file of that name, or a folder: nothing to read.
      if (error.name === 'NotFoundError' || error.name === 'TypeMismatchError') return null;
      throw error;
    }
  }

  // Replaces the folder's file `name` with `bytes`. The browser writes them to a file
  // of its own and puts it in the name's place only when they are all written, so
  // the name holds the old file or the new one, never a part.
  async function writeFolderFile(name, bytes) {
    const handle = await folder.getFileHandle(name, { create: true });
    const writable = await handle.createWritable({ keepExistingData: false });
    try {
      await writable.write(bytes);
      await writable.close();
    } catch (error) {
      await writable.abort().catch(() => {});
      throw error;
    }
  }

  const sameBytes = (a, b) => a && b && a.length === b.length && a.every((x, i) => x === b[i]);

  async function openFromFolder(name) {
    const save = await readFolderFile(name);
    if (!save) return report(texts.errorCaption, `${name} is no longer in the folder.`);
    loaded = save;
    await openBytes(name, save.bytes);
    // The backup beside it, so that a commit asks before replacing it.
    const backupName = text(lib._qh_backup_name());
    const backup = backupName && await readFolderFile(backupName);
    if (backup) withString(backupName, (pointer) =>
      withBytes(backup.bytes, (data) => lib._qh_put_file(pointer, data, backup.bytes.length)));
    performance.mark('folder save opened');  // with its backup: ready to commit
  }

  async function openFolder(handle) {
    folder = handle;
    const saves = [];
    for await (const [name, entry] of folder.entries())
      if (entry.kind === 'file' && /\.ess$/i.test(name)) saves.push(name);
    saves.sort();
    const list = $('folder-saves');
    list.replaceChildren(new Option('', ''), ...saves.map((name) => new Option(name, name)));
    $('folder-choice').hidden = false;
    $('status').textContent = `${saves.length} saves in the folder ${folder.name}.`;
    list.focus();
  }
  $('folder-saves').addEventListener('change', (event) => {
    if (event.target.value) return openFromFolder(event.target.value);
  });
  if ('showDirectoryPicker' in window) {
    $('open-folder').hidden = false;
    $('folder-note').hidden = false;
    $('open-folder').addEventListener('click', async () => {
      try {
        await openFolder(await window.showDirectoryPicker({ id: 'saves', mode: 'readwrite' }));
      } catch (error) {
        if (error.name !== 'AbortError') return report(texts.errorCaption, error.message);
      }
    });
  }

  $('glob-list').addEventListener('change', showSelectedGlob);
  // Enter in the value presses Confirm Change, the page's default button in the window.
  $('glob-value').addEventListener('keydown', (event) => {
    if (event.key !== 'Enter' || $('confirm-change').disabled) return;
    event.preventDefault();
    $('confirm-change').click();
  });

  $('confirm-change').addEventListener('click', () => {
    const index = Number($('glob-list').value);
    const typed = $('glob-value').value;
    withString(typed, (pointer) => lib._qh_set_value(index, pointer));
    state = JSON.parse(text(lib._qh_state()));  // the stored bytes too, as now held
    showSelectedGlob();
    $('status').textContent = `${state.globals[index].name} is now ${$('glob-value').value}` +
      ' (written with CommitChanges).';
  });

  $('commit').addEventListener('click', async () => {
    if (!await confirm(texts.confirmWrite)) return;
    if (lib._qh_has_backup() && !await confirm(texts.confirmReplaceBackup)) return;
    for (const [i, field] of playerFields.entries()) {
      if (!withString(field.value, (pointer) => lib._qh_set_player_text(i, pointer))) {
        field.focus();
        return report(texts.errorCaption, `${field.labels[0].textContent}: ${errorText()}`);
      }
    }
    return folder ? commitInFolder() : commitAsDownload();
  });

  // Commits in memory; false, with the error reported, when the library refuses.
  async function commitInMemory() {
    const started = performance.now();
    const committed = lib._qh_commit();
    performance.measure('commit', { start: started });
    if (committed) return true;
    const message = errorText();
    showSave();
    await report(texts.errorCaption, message);
    return false;
  }

  async function commitAsDownload() {
    if (!await commitInMemory()) return;
    download(fileBytes(0), fileName);
    showSave();
    // No ".bak" is made here: the window's words first, then where the versions are.
    const where = `The new ${fileName} was offered as a download. The file you ` +
      'opened is unchanged: keep it as the backup.';
    $('status').textContent = where;
    return report(texts.doneCaption, `${texts.done}\n\n${where}`);
  }

  // The save's folder: the old save is written as the ".bak" first, complete, and
  // only then is the save replaced, so that at every moment one of the two names
  // holds the old save and the save's name a whole save. A second tab of this page
  // waits for none (a Web Lock per save name); a save changed on disk since it was
  // read (the game saved meanwhile) is left as it is.
  async function commitInFolder() {
    const name = fileName;
    const backupName = text(lib._qh_backup_name());
    const unchanged = async () => {
      const now = await readFolderFile(name);
      return now && now.lastModified === loaded.lastModified && sameBytes(now.bytes, loaded.bytes);
    };
    const fail = async (message, error) => {
      await openFromFolder(name);
      return report(texts.errorCaption, error ? `${message}\n${error.message}` : message);
    };
    return navigator.locks.request(`quellhart-save:${name}`, { ifAvailable: true }, async (lock) => {
      if (!lock) return report(texts.errorCaption, texts.beingWritten);
      if (!await unchanged()) return fail(texts.changedOnDisk);
      if (!await commitInMemory()) return;
      const newSave = fileBytes(0);
      try {
        await writeFolderFile(backupName, loaded.bytes);
      } catch (error) {
        return fail(texts.backupNotWritten, error);
      }
      if (!await unchanged()) return fail(texts.changedOnDisk);
      try {
        await writeFolderFile(name, newSave);
      } catch (error) {
        return fail(texts.saveNotWritten, error);
      }
      const written = await readFolderFile(name);
      if (!sameBytes(written?.bytes, newSave)) return fail(texts.notVerified);
      await openFromFolder(name);
      $('status').textContent = `${name} was written in its folder; the save before it is ` +
        `${backupName}.`;
      return report(texts.doneCaption, texts.done);
    });
  }

  function download(bytes, name) {
    const url = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
    const link = document.createElement('a');
    link.href = url;
    link.download = name;
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(url), 60000);
  }

  // For scripts, tests and benchmarks: a folder handle from elsewhere (the origin's
  // private file system, say) opened as if the user had chosen it.
  // The size of the library's memory, which only grows: its peak.
  window.quellhart = { openFolder, memoryBytes: () => lib.HEAPU8.length };
  document.body.dataset.ready = 'true';
})();
