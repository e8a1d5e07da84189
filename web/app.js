// The browser edition's page: the save library (quellhart.js, WebAssembly) does all
// the reading, editing and writing; this file only moves texts and bytes between it
// and the page's controls, and asks the window's questions.
'use strict';

(async function main() {
  const library = await openQuellhartLibrary();
  const $ = (id) => document.getElementById(id);
  const texts = await library.texts();

  // How many of the user's actions are still running (waiting for an answer, a file or
  // the library): scripts and tests wait until none is.
  let running = 0;
  const action = (handler) => async (...args) => {
    running += 1;
    try { return await handler(...args); } finally { running -= 1; }
  };

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
  const initial = Number(remembered()) || await library.codePageForLanguage(language);
  codePage.value = String(await library.useCodePage(initial) ? initial : 1252);
  await library.useCodePage(Number(codePage.value));
  let shownCodePage = codePage.value;
  codePage.addEventListener('change', action(async () => {
    // The save's texts are read again in the new code page: typed ones go.
    if (!await editsMayGo()) {
      codePage.value = shownCodePage;
      return;
    }
    shownCodePage = codePage.value;
    edited = false;
    await library.useCodePage(Number(codePage.value));
    remember(codePage.value);
    if (page) await showSave({ warn: false });  // the save's texts read again in the code page chosen
  }));

  // Opening a save, committing and putting a version back each hold the page from the
  // first step to the outcome: meanwhile OpenFile, Open folder, the folder's list,
  // CommitChanges, drops and the keys do nothing and look disabled, so that a second
  // commit cannot start beside the first (it would take its state and report its
  // success as a failure) nor a save open under it.
  let exclusive = false;
  // What takes the keyboard once the page is free again: a control held meanwhile
  // cannot take it (the browser leaves a disabled control's focus on the page's body).
  let focusWhenFree = null;
  const focusSoon = (control) => {
    if (exclusive) focusWhenFree = control;
    else control.focus();
  };
  // The two pages too: what is typed while a commit runs would be shown as taken and
  // then lost with the reload after it.
  const kHeldControls = ['open-file', 'open-folder', 'folder-saves', 'commit', 'player', 'globals'];
  const alone = (handler) => action(async (...args) => {
    if (exclusive) return undefined;
    exclusive = true;
    const before = kHeldControls.map((id) => $(id).disabled);
    for (const id of kHeldControls) $(id).disabled = true;
    try {
      return await handler(...args);
    } finally {
      exclusive = false;
      kHeldControls.forEach((id, i) => { $(id).disabled = before[i]; });
      // As the outcome left the save.
      for (const id of ['commit', 'player', 'globals']) $(id).disabled = page === null;
      focusWhenFree?.focus();
      focusWhenFree = null;
    }
  });

  // --- questions and reports: the window's message boxes as dialogs ---------------
  const dialog = $('message');
  // Shows the modal `box` until it is answered: `wire` gets the function its buttons
  // answer with and returns what takes the keyboard; Escape answers `onEscape`. (Not
  // the dialog's close event, which comes later: a question asked meanwhile, after a
  // quick key, would take the earlier answer.)
  function untilAnswered(box, onEscape, wire) {
    return new Promise((resolve) => {
      const answer = (value) => {
        box.removeEventListener('cancel', cancelled);
        box.close();
        resolve(value);
      };
      const cancelled = (event) => {
        event.preventDefault();
        answer(onEscape);
      };
      const focused = wire(answer);
      box.addEventListener('cancel', cancelled);
      box.showModal();
      focused.focus();
    });
  }
  // Each question is answered by its own buttons, or by Escape as the window's Escape
  // answers: No, or OK.
  function ask(caption, message, buttons) {
    $('message-caption').textContent = caption;
    $('message-text').textContent = message;
    const row = $('message-buttons');
    row.replaceChildren();
    return untilAnswered(dialog, buttons[buttons.length - 1], (answer) => {
      for (const label of buttons) {
        const button = document.createElement('button');
        button.type = 'button';
        button.textContent = label;
        button.addEventListener('click', () => answer(label));
        row.append(button);
      }
      return row.firstChild;
    });
  }
  const report = (caption, message) => ask(caption, message, ['OK']);
  const confirm = async (message) =>
    (await ask(texts.confirmCaption, message, ['Yes', 'No'])) === 'Yes';

  // Edits typed or confirmed since the save was loaded, not yet written: another save,
  // the code page, closing or reloading the tab (a phone's pull to refresh) ask first.
  let edited = false;
  const editsMayGo = async () => !edited || confirm(texts.confirmDropEdits);
  window.addEventListener('beforeunload', (event) => {
    if (!edited) return;
    event.preventDefault();
    event.returnValue = '';
  });

  // --- the pages: drawn from what the library says the window shows ----------------
  const playerFields = ['player-name', 'player-race', 'player-class', 'player-head',
    'player-hair'].map($);
  for (const field of playerFields) {
    field.maxLength = texts.textLimit;
    field.addEventListener('input', () => { edited = true; });
  }
  let page = null;  // the library's view of the two pages; null without a save
  let fileName = '';
  const readPage = async () => { page = await library.page(); };

  // Sets each field of the group by its label, the caption the window's page has.
  function fillByCaption(group, fields) {
    for (const label of $(group).querySelectorAll('label')) {
      const field = label.control;
      if (field && field.tagName !== 'SELECT') field.value = fields[label.textContent] ?? '';
    }
  }
  const fillSuggestions = (list, entries) => list.replaceChildren(...entries.map((entry) => {
    const option = document.createElement('option');
    option.value = entry;
    return option;
  }));

  // What the user typed in Player Data stays until the next save is loaded, as in
  // the window; the variables' page is drawn again after each choice and change.
  function showPlayer() {
    fillByCaption('player', page ? page.player.fields : {});
    fillSuggestions($('races'), page ? page.player.races.entries : []);
    fillSuggestions($('classes'), page ? page.player.classes.entries : []);
  }

  function showGlobals() {
    const list = $('glob-list');
    const entries = page ? page.globals.list.entries : [];
    list.replaceChildren(...entries.map((name, i) => new Option(name, String(i))));
    list.selectedIndex = page ? page.globals.list.selected : -1;
    list.disabled = entries.length === 0;
    $('confirm-change').disabled = entries.length === 0;
    fillByCaption('globals', page ? page.globals.fields : {});
  }

  // The pages of the save now loaded, or emptied without one; the chargen warning
  // when the save's class is one it does not define.
  async function showSave({ warn = true } = {}) {
    await readPage();
    const hasSave = page !== null;
    $('player').disabled = !hasSave;
    $('globals').disabled = !hasSave;
    $('commit').disabled = !hasSave;
    $('active-file').value = hasSave ? fileName : '';
    showPlayer();
    showGlobals();
    if (hasSave && warn && page.chargenWarning) return report(texts.warningCaption, texts.chargenWarning);
  }

  // --- actions --------------------------------------------------------------------
  // Where the loaded save came from: a file chosen alone (committed as a download),
  // or a file of a folder the browser lets the page write to (committed in place).
  // Only opening one of its saves makes a folder the save's: a folder listed
  // (`listedFolder`) while another save is open changes nothing of where that one goes.
  let folder = null;
  let listedFolder = null;
  let loaded = null;  // {bytes, lastModified} as read, for the folder's commit

  // A save this large takes a moment to read: the wait box says so meanwhile.
  const kLargeSave = 16 << 20;

  // Opens the save `name` from its bytes, or from the file itself (a File), which the
  // library then reads.
  async function openBytes(name, bytes) {
    const started = performance.now();
    fileName = name;
    // Versions are kept only where the page writes into the save's folder.
    await library.keepVersions(folder ? texts.historyKeep : 0);
    const open = () => library.open(name, bytes);
    try {
      await ((bytes.size ?? bytes.length) >= kLargeSave ? whileWaiting(open, texts.readingSave) : open());
    } catch (error) {
      edited = false;
      return showLoadFailure(error);
    }
    edited = false;  // what is shown is the save as loaded
    changedOnDisk = false;
    historyName = await library.historyName();
    $('status').textContent = '';
    $('disk-status').textContent = '';
    performance.measure('open save', { start: started });
    await showSave();
    // Nothing the keyboard is on changes: a screen reader is told the save is there.
    announce(`${texts.loaded} ${name}. ${$('glob-count').labels[0].textContent} ${$('glob-count').value}`);
  }
  // Said by a screen reader, as the window's announcements are (the same words again
  // are said again).
  function announce(words) {
    $('announce').textContent = '';
    setTimeout(() => { $('announce').textContent = words; }, 50);
  }

  // A file chosen with "OpenFile" or dropped on the page: committed as a download.
  async function openChosenFile(file) {
    if (!await editsMayGo()) return;
    folder = null;
    $('folder-choice').hidden = true;
    // The file itself goes to the library, which reads it where it runs.
    await readOrSay(file.name, () => openBytes(file.name, file));
  }

  // Reads a file with `read`; where the browser cannot (the file gone or changed since
  // it was chosen, its permission withdrawn), the window's error with the browser's
  // reason, and the page left without a save, as after any open that fails: nothing
  // of the save before stays to be committed. Undefined then.
  async function readOrSay(name, read) {
    try {
      return await read();
    } catch (error) {
      await library.close();
      fileName = '';
      edited = false;
      await showSave();
      await report(texts.errorCaption, `${texts.unableToOpen}\n${name}: ${error.message}`);
      return undefined;
    }
  }

  $('open-file').addEventListener('change', alone((event) => {
    const file = event.target.files[0];
    event.target.value = '';  // the same file may be chosen again
    if (file) return openChosenFile(file);
  }));

  // A save dropped anywhere on the page opens as if chosen, as on the window; not
  // while a question is open or a commit runs.
  const busy = () => exclusive || dialog.open || $('help').open || $('versions').open ||
    $('wait').textContent !== '';
  document.addEventListener('dragover', (event) => {
    if (!event.dataTransfer.types.includes('Files')) return;
    event.preventDefault();
    event.dataTransfer.dropEffect = busy() ? 'none' : 'copy';
  });
  const openDropped = alone(openChosenFile);
  document.addEventListener('drop', (event) => {
    event.preventDefault();
    const file = event.dataTransfer.files[0];
    if (file && !busy()) openDropped(file);
  });

  // --- a folder to commit in ------------------------------------------------------
  async function readFolderFile(name) {
    const file = await folderFile(name);
    return file && { bytes: new Uint8Array(await file.arrayBuffer()), lastModified: file.lastModified };
  }
  // The folder's file `name` as the browser gives it, its bytes not read yet; or null.
  async function folderFile(name) {
    try {
      return await (await folder.getFileHandle(name)).getFile();
    } catch (error) {
      // No file of that name, or a folder: nothing to read.
      if (error.name === 'NotFoundError' || error.name === 'TypeMismatchError') return null;
      throw error;
    }
  }

  // Replaces the folder's file `name` with `bytes`. The browser writes them to a file
  // of its own and puts it in the name's place only when they are all written, so
  // the name holds the old file or the new one, never a part.
  async function writeFolderFile(name, bytes, into = folder) {
    const handle = await into.getFileHandle(name, { create: true });
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

  async function openFromFolder(name, from = folder) {
    folder = from;
    const save = await readOrSay(name, () => readFolderFile(name));
    if (save === undefined) return;
    if (!save) return report(texts.errorCaption, `${name} is no longer in the folder.`);
    loaded = save;
    await openBytes(name, save.bytes);
    await takeBackupFromFolder();  // so that a commit asks before replacing it
    performance.mark('folder save opened');  // with its backup: ready to commit
  }

  // --- the save's earlier versions, in the folder "NAME.history" beside it --------
  // The library decides what is kept, under which name, and what goes (as on the
  // desktop, so that a save edited in both shares one history); the page then does
  // the same to the folder's files.
  let historyName = '';  // of the save open, set as it opens
  async function historyFolder(create) {
    try {
      return await folder.getDirectoryHandle(historyName, { create });
    } catch (error) {
      if (!create && (error.name === 'NotFoundError' || error.name === 'TypeMismatchError')) return null;
      throw error;
    }
  }
  // Puts the folder's versions beside the save in the library: with their bytes (the
  // backup's too), to list them; or their names and times alone, which a commit needs
  // to name and trim.
  async function putVersions(withContents) {
    const backupName = await library.backupName();
    const backup = withContents && backupName && await folderFile(backupName);
    if (backup) await library.putFile(backupName, new Uint8Array(await backup.arrayBuffer()), backup.lastModified);
    const history = await historyFolder(false);
    if (!history) return;
    for await (const [name, entry] of history.entries()) {
      if (entry.kind !== 'file') continue;
      const file = await entry.getFile();
      await library.putFile(`${historyName}/${name}`,
        withContents ? new Uint8Array(await file.arrayBuffer()) : new Uint8Array(0), file.lastModified);
    }
  }
  // Writes into the folder each version the library has made since `before`: the
  // backup it moved among them, from the folder's backup file.
  async function writeNewVersions(before) {
    const prefix = `${historyName}/`;
    const backupName = await library.backupName();
    let history = null;
    for (const [name, file] of Object.entries(await library.files())) {
      if (!name.startsWith(prefix) || before[name] === file) continue;
      history ??= await historyFolder(true);
      const bytes = file === before[backupName] ? folderBackup : await library.fileNamed(name);
      await writeFolderFile(name.slice(prefix.length), bytes, history);
    }
  }
  // Removes from the folder what the library has let go of since `before`: versions
  // beyond the number kept, a version put back as the save.
  async function removeGoneFiles(before) {
    const now = await library.files();
    const prefix = `${historyName}/`;
    for (const name of Object.keys(before)) {
      if (name in now) continue;
      if (name.startsWith(prefix)) await (await historyFolder(false))?.removeEntry(name.slice(prefix.length));
      else await folder.removeEntry(name);
    }
  }

  async function openFolder(handle) {
    listedFolder = handle;
    const saves = [];
    for await (const [name, entry] of handle.entries())
      // Only what the page can open: a save's name holds ".ess" as it is (the
      // backup's and the work file's names are made from it).
      if (entry.kind === 'file' && /\.ess$/i.test(name) && name.includes('.ess')) saves.push(name);
    saves.sort();
    const list = $('folder-saves');
    list.replaceChildren(new Option('', ''), ...saves.map((name) => new Option(name, name)));
    $('folder-choice').hidden = false;
    $('status').textContent = `${saves.length} saves in the folder ${handle.name}.`;
    focusSoon(list);
  }
  $('folder-saves').addEventListener('change', alone(async (event) => {
    if (!event.target.value) return;
    if (await editsMayGo()) return openFromFolder(event.target.value, listedFolder);
    event.target.value = fileName;
  }));
  if ('showDirectoryPicker' in window) {
    $('open-folder').hidden = false;
    $('folder-note').hidden = false;
    $('open-folder').addEventListener('click', alone(async () => {
      try {
        await openFolder(await window.showDirectoryPicker({ id: 'saves', mode: 'readwrite' }));
      } catch (error) {
        if (error.name !== 'AbortError') return report(texts.errorCaption, error.message);
      }
    }));
  } else {
    // Versions and Reload work only in a folder, which this browser cannot open.
    $('help-versions').hidden = true;
    $('help-reload').hidden = true;
  }

  // A variable chosen with the mouse or the arrow keys: its name and value are said,
  // as the list's own events do not say them to every screen reader.
  // A value typed while the chosen variable's page was still on its way from the
  // library stays as typed: it was typed for the variable chosen.
  let valueTyping = 0;
  $('glob-value').addEventListener('input', () => { valueTyping += 1; });
  $('glob-list').addEventListener('change', action(async () => {
    const typingBefore = valueTyping;
    await library.chooseGlob($('glob-list').selectedIndex);
    await readPage();
    const typed = valueTyping !== typingBefore ? $('glob-value').value : null;
    showGlobals();
    if (typed !== null) $('glob-value').value = typed;
    const list = $('glob-list');
    const caption = $('glob-value').labels[0].textContent.replace(/:$/, '');
    announce(`${list.options[list.selectedIndex]?.text ?? ''}. ${caption}: ${$('glob-value').value}`);
  }));
  // Enter in the value presses Confirm Change, the page's default button in the window.
  $('glob-value').addEventListener('keydown', (event) => {
    if (event.key !== 'Enter' || $('confirm-change').disabled) return;
    event.preventDefault();
    $('confirm-change').click();
  });

  $('confirm-change').addEventListener('click', action(async () => {
    if (await library.confirmChange($('glob-value').value)) edited = true;
    await readPage();
    showGlobals();
    // The keyboard on the value as stored, so that the next value can be typed.
    $('glob-value').focus();
    $('glob-value').select();
    $('status').textContent = `${page.globals.fields.Name} is now ${$('glob-value').value}` +
      ' (written with CommitChanges).';
  }));

  // A commit takes the library's steps (the window's own, ui/model/CommitSteps): the
  // texts checked first, then its two questions, the commit under the wait box,
  // "Done" or the error, and the save loaded again (with the chargen warning, if due).
  // Gives the library the player's texts as the fields hold them; the first field it
  // cannot store, or -1.
  async function giveTexts() {
    for (const [i, field] of playerFields.entries()) {
      try {
        await library.setPlayerText(i, field.value);
      } catch (error) {
        if (!(error instanceof LibraryError)) throw error;
        return i;
      }
    }
    return -1;
  }

  $('commit').addEventListener('click', alone(async () => {
    const unstorable = await giveTexts();
    let status = '';
    let step = await library.commitBegin(unstorable);
    let firstAnswer = true;
    while (step.kind !== 'end') {
      if (step.kind === 'show') {
        const label = await ask(step.caption, [step.text, step.details].filter(Boolean).join('\n'),
          step.buttons.map(([button]) => button));
        // Whether to ask about the backup is decided after the first answer: by the
        // folder as it is then, not as it was when the save was opened (the window,
        // another tab or the player may have made one since).
        if (folder && firstAnswer) await takeBackupFromFolder();
        firstAnswer = false;
        step = await library.commitNext(step.buttons.find(([button]) => button === label)[1]);
      } else if (step.kind === 'commit') {
        // The game saved since the load: the edits go onto its newer save, if the
        // user says so, and the commit goes on against that save.
        if (folder && (changedOnDisk || !sameAsLoaded(await folderFile(fileName))) &&
            !await carryEditsToNewer()) break;
        const outcome = await (folder ? commitInFolder() : commitAsDownload());
        status = outcome.status ?? '';
        // The game saved again meanwhile: refused, and the edits stay for its newer save.
        if (outcome.saveChanged && edited) {
          outcome.saveChanged = false;
          changedOnDisk = true;
          sayDiskStatus(texts.changedSinceEdits);
        }
        step = await library.commitOutcome(outcome);
      } else {
        await (folder ? openFromFolder(fileName) : showReloaded());
        step = await library.commitNext(0);
      }
    }
    if (unstorable >= 0) playerFields[unstorable].focus();
    if (status) $('status').textContent = status;
  }));

  // --- the game saving while the page shows a save of a folder --------------------
  // Every 2 s while the tab is seen, the folder's file is looked at (its size and time,
  // no byte read). With nothing typed or confirmed, a save the game wrote is loaded
  // again, the page, the variable chosen and the keyboard kept; with edits, that is
  // only said, and the next commit asks whether to apply them to it. A file chosen
  // alone is the browser's copy, which cannot be watched.
  const kLookEveryMs = 2000;
  let changedOnDisk = false;  // the folder's save is newer than the one shown, which holds edits
  const sameAsLoaded = (file) => Boolean(file && loaded && file.lastModified === loaded.lastModified &&
    file.size === loaded.bytes.length);
  function sayDiskStatus(words) {
    $('disk-status').textContent = words;
    if (words) announce(words);
  }

  // The folder's save loaded afresh in the library beside the one shown: {save, edited,
  // question}, or {save, error} where it does not load now (the game still writing it).
  async function loadNewer() {
    const save = await readFolderFile(fileName);
    if (!save) return { error: new LibraryError({ text: texts.unableToOpen, cause: `${fileName} is no longer in the folder.` }) };
    await library.putFile(fileName, save.bytes, save.lastModified);
    try {
      return { save, ...await library.newer() };
    } catch (error) {
      if (!(error instanceof LibraryError)) throw error;
      return { save, error };
    }
  }
  // Shows the newer save loaded with loadNewer, the edits carried over to it.
  async function takeNewer(save) {
    await library.takeNewer();
    loaded = save;
    changedOnDisk = false;
    await readPage();
    const typed = playerFields.map((field) => field.value);
    showPlayer();
    showGlobals();
    // Texts typed stay as typed (the library has them carried over).
    if (edited) playerFields.forEach((field, i) => { field.value = typed[i]; });
  }
  // Asks whether the edits go onto the folder's newer save, listing what the game
  // changed too, and carries them over; false for No, or a save that does not load.
  async function carryEditsToNewer() {
    await giveTexts();
    const newer = await loadNewer();
    if (newer.error) {
      await report(texts.errorCaption, newer.error.message);
      return false;
    }
    if (!await confirm(newer.question)) return false;
    await takeNewer(newer.save);
    sayDiskStatus('');
    return true;
  }

  const followTheFolderSave = action(async () => {
    exclusive = true;  // nothing starts beside it; nothing is disabled, the keyboard stays
    try {
      const file = await folderFile(fileName).catch(() => null);
      if (!file || sameAsLoaded(file)) return;
      if (edited) {
        if (!changedOnDisk) sayDiskStatus(texts.changedSinceEdits);
        changedOnDisk = true;
        return;
      }
      const newer = await loadNewer();
      if (newer.error || edited) return;  // looked at again in a moment
      await takeNewer(newer.save);
      await takeBackupFromFolder();
      sayDiskStatus(texts.reloadedFromDisk);
    } finally {
      exclusive = false;
    }
  });
  setInterval(() => {
    if (!running && !busy() && !document.hidden && folder && page && loaded) followTheFolderSave();
  }, kLookEveryMs);

  // The folder's backup of the save, as it is now, in the library's memory (or none):
  // its name and time alone, which is all a commit needs to ask about it and to name
  // it among the versions. Its bytes stay in the folder (folderBackup), from where
  // they are copied into the history, so that the library holds at most the save and
  // its new copy.
  let folderBackup = null;
  async function takeBackupFromFolder() {
    const backupName = await library.backupName();
    if (!backupName) return;
    folderBackup = await folderFile(backupName);
    if (folderBackup) await library.putFile(backupName, new Uint8Array(0), folderBackup.lastModified);
    else await library.forgetFile(backupName);
  }

  // The save loaded again in the library, or its error when it no longer loads.
  async function showReloaded() {
    edited = false;  // what is shown is the save as loaded again
    try {
      await library.reload();
    } catch (error) {
      return showLoadFailure(error);
    }
    return showSave();
  }

  // As the window after a failed open: the error, and no list, count or field left
  // of the save before.
  async function showLoadFailure(error) {
    if (!(error instanceof LibraryError)) throw error;
    // Nothing said of the save before stays either.
    $('status').textContent = '';
    $('disk-status').textContent = '';
    await showSave();
    return report(texts.errorCaption, error.message);
  }

  // What the page is doing, on screen and said by a screen reader (the wait box's
  // texts while the library commits): the browser paints it before the library takes
  // the page's thread.
  async function phase(words) {
    $('wait').textContent = words;
    await new Promise((painted) => requestAnimationFrame(() => setTimeout(painted, 0)));
  }
  async function whileWaiting(work, words = texts.wait.join('. ')) {
    await phase(words);
    try { return await work(); } finally { $('wait').textContent = ''; }
  }

  // Commits in the library's memory: {ok: true}, or the library's error as a commit's
  // outcome.
  async function commitInMemory() {
    const started = performance.now();
    try {
      await whileWaiting(() => library.commit());
      return { ok: true };
    } catch (error) {
      if (!(error instanceof LibraryError)) throw error;
      return { ok: false, text: error.text, cause: error.cause };
    } finally {
      performance.measure('commit', { start: started });
    }
  }

  // A commit's outcome: {ok, note to follow "Done", status line} or {ok: false, text,
  // cause}.
  async function commitAsDownload() {
    // The backup held since the last commit (the file opened before it) goes before
    // this commit writes, so that the library holds at most the save and its new copy.
    await library.forgetFile(await library.backupName());
    const committed = await commitInMemory();
    if (!committed.ok) return committed;
    download(await library.fileBlob(0), fileName);
    // No ".bak" is made here: the window's words first, then where the versions are.
    const where = `The new ${fileName} was offered as a download. The file you ` +
      'opened is unchanged: keep it as the backup.';
    $('status').textContent = where;
    return { ok: true, note: `${where}\n\n${texts.versionsOnlyInFolder}`, status: where };
  }

  // The save's folder: the old save is written as the ".bak" first, complete, and
  // only then is the save replaced, so that at every moment one of the two names
  // holds the old save and the save's name a whole save. A second tab of this page
  // waits for none (a Web Lock per save name); a save changed on disk since it was
  // read (the game saved meanwhile) is left as it is.
  async function commitInFolder() {
    const name = fileName;
    const backupName = await library.backupName();
    const unchanged = async () => {
      const now = await readFolderFile(name);
      return now && now.lastModified === loaded.lastModified && sameBytes(now.bytes, loaded.bytes);
    };
    const failed = (message, error) => ({ ok: false, text: message, cause: error?.message ?? '' });
    return navigator.locks.request(`quellhart-save:${name}`, { ifAvailable: true }, async (lock) => {
      if (!lock) return failed(texts.beingWritten);
      try { return await phases(); } finally { $('wait').textContent = ''; }
    });
    async function phases() {
      await phase(texts.checkingSave);
      if (!await unchanged()) return { ...failed(texts.changedOnDisk), saveChanged: true };
      await putVersions(false);
      const before = await library.files();
      const committed = await commitInMemory();
      if (!committed.ok) return committed;
      const newSave = await library.file(0);
      // The backup the commit replaces goes among the versions first; where the folder
      // cannot take it, the commit goes on as it always did, and says so.
      let note = '';
      await phase(texts.writingVersions);
      try {
        await writeNewVersions(before);
      } catch (error) {
        note = `${texts.versionNotKept}\n${error.message}`;
      }
      await phase(texts.writingBackup);
      try {
        await writeFolderFile(backupName, loaded.bytes);
      } catch (error) {
        return failed(texts.backupNotWritten, error);
      }
      await phase(texts.checkingSave);
      if (!await unchanged()) return { ...failed(texts.changedOnDisk), saveChanged: true };
      await phase(texts.writingSave);
      try {
        await writeFolderFile(name, newSave);
      } catch (error) {
        return failed(texts.saveNotWritten, error);
      }
      await phase(texts.checkingNewSave);
      const written = await readFolderFile(name);
      if (!sameBytes(written?.bytes, newSave)) return failed(texts.notVerified);
      // The oldest versions beyond the number kept go once the commit is done.
      await removeGoneFiles(before).catch(() => {});
      return { ok: true, note,
        status: `${name} was written in its folder; the save before it is ${backupName}.` };
    }
  }

  // Offers `bytes` (or a Blob) as a download named `name`.
  function download(bytes, name) {
    const url = URL.createObjectURL(bytes instanceof Blob ? bytes
      : new Blob([bytes], { type: 'application/octet-stream' }));
    const link = document.createElement('a');
    link.href = url;
    link.download = name;
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(url), 60000);
  }

  // --- Help, About and "Restore backup...", and the window's keys ------------------
  const help = $('help');
  $('help-caption').textContent = texts.helpCaption;
  $('help-keys').replaceChildren(...texts.keys.map((line) => {
    const item = document.createElement('li');
    item.textContent = line;
    return item;
  }));
  $('help-about').textContent = texts.helpAbout;
  $('help-restore').textContent = texts.helpRestore;
  $('help-versions').textContent = texts.helpVersions;
  $('help-reload').textContent = texts.helpReload;
  $('help-button').addEventListener('click', () => help.showModal());
  $('help-close').addEventListener('click', () => help.close());
  $('help-about').addEventListener('click', action(() =>
    report(texts.aboutCaption, texts.about.join('\n'))));

  // Swaps the save and its backup, as the window does. After a download, the backup
  // (the file that was opened) is offered for download under the save's name, and the
  // page holds the two as swapped. In a folder, the library first swaps the two among
  // its files (the backup must load as a save, as on the desktop); the save is then
  // copied to the name the desktop's restore parks it under, so that each is whole
  // under some name whenever a write fails or the tab closes, and the desktop's Open
  // finds the parked save and keeps it.
  $('help-restore').addEventListener('click', alone(async () => {
    if (!page) return report(texts.warningCaption, texts.noSaveToRestore);
    const backupName = await library.backupName();
    const backup = folder ? await readFolderFile(backupName) : { bytes: await library.file(1) };
    if (!backup?.bytes) return report(texts.warningCaption, texts.noBackup);
    if (!await confirm(texts.confirmRestore)) return;
    if (!folder) {
      const save = await library.file(0);
      download(backup.bytes, fileName);
      const where = `The backup was offered as a download named ${fileName}.`;
      await report(texts.doneCaption, `${texts.restored}\n\n${where}`);
      await openBytes(fileName, backup.bytes);
      await library.putFile(backupName, save);
      $('status').textContent = where;
      return;
    }
    return navigator.locks.request(`quellhart-save:${fileName}`, { ifAvailable: true }, async (lock) => {
      if (!lock) return report(texts.errorCaption, texts.beingWritten);
      // A save parked by a restore that stopped half-way (a tab closed) is never
      // written over: the desktop's Open puts it back.
      const parked = await library.swapName();
      if (await folderFile(parked)) {
        return report(texts.errorCaption, `${parked} was left by a restore that stopped half-way ` +
          'and may hold a save: open the save in the desktop editor, which puts it back, or ' +
          'move it away. The save and its backup are unchanged.');
      }
      const save = await readFolderFile(fileName);
      if (save) await library.putFile(fileName, save.bytes, save.lastModified);
      else await library.forgetFile(fileName);
      await library.putFile(backupName, backup.bytes, backup.lastModified);
      try {
        await library.restoreBackup();
      } catch (error) {
        if (!(error instanceof LibraryError)) throw error;
        await report(texts.errorCaption, error.message);
        return openFromFolder(fileName);
      }
      let step = 'parked';
      try {
        await writeFolderFile(parked, save.bytes);
        step = 'save';
        await writeFolderFile(fileName, await library.fileNamed(fileName));
        step = 'backup';
        await writeFolderFile(backupName, await library.fileNamed(backupName));
        await folder.removeEntry(parked);
      } catch (error) {
        if (step === 'save') await folder.removeEntry(parked).catch(() => {});
        const where = step === 'backup'
          ? `${fileName} is now the backup's copy; the save before it is ${parked}.`
          : 'The save and its backup are unchanged.';
        await report(texts.errorCaption, `${error.message}\n${where}`);
        return openFromFolder(fileName);
      }
      await report(texts.doneCaption, texts.restored);
      return openFromFolder(fileName);
    });
  }));

  // "Reload": the folder's save loaded again at once, the edits carried over to it
  // after the question, nothing written.
  $('help-reload').addEventListener('click', alone(async () => {
    if (!page) return report(texts.warningCaption, texts.noSaveToReload);
    if (!folder) return report(texts.warningCaption, texts.reloadOnlyInFolder);
    if (edited) return carryEditsToNewer();
    const newer = await loadNewer();
    if (newer.error) return report(texts.errorCaption, newer.error.message);
    await takeNewer(newer.save);
    await takeBackupFromFolder();
    sayDiskStatus(texts.reloadedFromDisk);
  }));

  // The versions window: the list, what changed after the chosen one, Restore and
  // Close (Escape too); resolves to the chosen entry's index, or -1.
  $('versions-caption').textContent = texts.versions.caption;
  $('version-list-caption').textContent = texts.versions.list;
  $('version-changes-caption').textContent = texts.versions.changes;
  $('version-restore').textContent = texts.versions.restore;
  $('versions-close').textContent = texts.versions.close;
  function chooseVersion(list) {
    const box = $('versions');
    const listBox = $('version-list');
    const options = list.entries.map((entry, i) => {
      const option = document.createElement('div');
      option.setAttribute('role', 'option');
      option.id = `version-${i}`;
      option.textContent = entry.entry;
      option.addEventListener('click', () => choose(i));
      return option;
    });
    listBox.replaceChildren(...options);
    listBox.tabIndex = options.length ? 0 : -1;
    listBox.setAttribute('aria-disabled', String(options.length === 0));
    let chosen = -1;
    function choose(index) {
      chosen = Math.max(0, Math.min(index, options.length - 1));
      options.forEach((option, i) => option.setAttribute('aria-selected', String(i === chosen)));
      listBox.setAttribute('aria-activedescendant', options[chosen].id);
      options[chosen].scrollIntoView({ block: 'nearest' });
      $('version-changes').textContent = list.entries[chosen].changes;
      $('version-restore').disabled = false;
    }
    $('version-changes').textContent = list.problem || texts.noVersions;
    $('version-restore').disabled = true;
    listBox.removeAttribute('aria-activedescendant');
    if (options.length) choose(options.length - 1);  // the newest, as the window does
    // The keys of a list: the arrows step, Home and End go to either end, the page
    // keys a list's height.
    const kSteps = { ArrowUp: -1, ArrowDown: 1, PageUp: -5, PageDown: 5, Home: -Infinity,
      End: Infinity };
    listBox.onkeydown = (event) => {
      if (!(event.key in kSteps) || !options.length) return;
      event.preventDefault();
      choose(chosen + kSteps[event.key]);
    };
    return untilAnswered(box, -1, (answer) => {
      $('version-restore').onclick = () => answer(chosen);
      $('versions-close').onclick = () => answer(-1);
      return options.length ? listBox : $('versions-close');
    });
  }

  // Lists the versions in the folder and puts the one chosen back, as the window
  // does: the library restores it among the files it holds, and the page then writes
  // the same into the folder, the save it replaces among the versions first.
  $('help-versions').addEventListener('click', alone(async () => {
    if (!page) return report(texts.warningCaption, texts.noSaveForVersions);
    if (!folder) return report(texts.warningCaption, texts.versionsOnlyInFolder);
    await putVersions(true);
    const chosen = await chooseVersion(await library.versions());
    if (chosen < 0 || !await confirm(texts.confirmRestoreVersion)) {
      await library.forgetVersions();
      await takeBackupFromFolder();  // its name and time again, not its bytes
      return;
    }
    return navigator.locks.request(`quellhart-save:${fileName}`, { ifAvailable: true }, async (lock) => {
      if (!lock) return report(texts.errorCaption, texts.beingWritten);
      const save = await readFolderFile(fileName);
      if (!sameBytes(save?.bytes, loaded.bytes)) {
        await report(texts.errorCaption, texts.changedOnDisk);
        return openFromFolder(fileName);
      }
      const before = await library.files();
      try {
        await library.restoreVersion(chosen);
      } catch (error) {
        if (!(error instanceof LibraryError)) throw error;
        await report(texts.errorCaption, error.message);
        return openFromFolder(fileName);
      }
      let step = 'version';
      try {
        await writeNewVersions(before);
        step = 'save';
        await writeFolderFile(fileName, await library.fileNamed(fileName));
        step = 'done';
        await removeGoneFiles(before);
      } catch (error) {
        // A version that could not be written changed nothing; once the save is
        // replaced, the save before it is among the versions, and the version
        // restored may keep its old name as well.
        if (step !== 'done') {
          await report(texts.errorCaption, `${texts.restoreVersionFailed}\n${error.message}`);
          return openFromFolder(fileName);
        }
      }
      await report(texts.doneCaption, texts.versionRestored);
      return openFromFolder(fileName);
    });
  }));

  // Ctrl+O, Ctrl+S and F1 press the buttons, as in the window; nothing while a box
  // is open or the button is disabled.
  document.addEventListener('keydown', (event) => {
    const ctrl = event.ctrlKey || event.metaKey;
    const button = ctrl && event.key.toLowerCase() === 'o' ? $('open-file')
      : ctrl && event.key.toLowerCase() === 's' ? $('commit')
        : event.key === 'F1' && !ctrl ? $('help-button') : null;
    if (!button) return;
    event.preventDefault();
    if (!busy() && !button.disabled) button.click();
  });

  // BEGIN TEST HOOKS (left out of the page unless it is built for the tests)
  // For scripts, tests and benchmarks: a folder handle from elsewhere (the origin's
  // private file system, say) opened as if the user had chosen it.
  // The size of the library's memory, which only grows: its peak.
  window.quellhart = {
    openFolder: action(openFolder),
    memoryBytes: () => library.memoryBytes(),
    running: () => running,
    // Whether the library runs in a worker of its own (served) or in the page.
    inWorker: () => library.inWorker,
    // The save as the last commit left it (what was offered as a download).
    saveBytes: () => library.file(0),
  };
  // END TEST HOOKS
  // Served (not opened from the file system, where neither works): the page is kept
  // for use without a network and can be installed.
  if (location.protocol.startsWith('http')) {
    const manifest = document.createElement('link');
    manifest.rel = 'manifest';
    manifest.href = 'manifest.webmanifest';
    document.head.append(manifest);
    navigator.serviceWorker?.register('sw.js').catch(() => {});
  }
  // Until now a file chosen would have found no one to open it.
  $('open-file').disabled = false;
  document.body.dataset.ready = 'true';
})();
