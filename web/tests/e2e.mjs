// The browser edition as a user meets it, in headless Chromium: each save of the
// table is opened through "OpenFile", edited through the labelled controls and
// committed; the downloaded save must be byte for byte what `quellhart-cli set`
// writes for the same edits, and a save the window refuses must bring the window's
// "Error" with the command-line tool's text. The window's keys, Help, About and
// "Restore backup..." (after a download and in a folder) are used as a user does. The
// page is also checked with axe-core, served over HTTP as well as opened from the file
// system, and photographed.
//   node web/tests/e2e.mjs PAGE_FOLDER QUELLHART_CLI MAKE_SAMPLE_SAVES [SCREENSHOT]
import { execFileSync, spawnSync } from 'node:child_process';
import { copyFileSync, mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { createRequire } from 'node:module';
import { pathToFileURL } from 'node:url';
import { chromium } from 'playwright-core';
import { linesOfText } from './page-checks.mjs';
import { servePage } from './serve.mjs';

const [pageFolder, cli, makeSamples, screenshot] = process.argv.slice(2).map((p) => resolve(p));
const require = createRequire(import.meta.url);
const axeSource = readFileSync(require.resolve('axe-core/axe.min.js'), 'utf8');

// The saves and what is done to each; `globals` maps a name to the text typed into
// "Value (float)".
const kCases = [
  { save: 'normal.ess', name: 'Wanderer', race: 'Wood Elf', head: 'b_n_wood elf_m_head_03',
    globals: { Day: '2.5', GameHour: '-1e3' } },
  { save: 'globals-1000.ess', hair: 'b_n_nord_m_hair_05', globals: { var999: '7', var0: '0.1' } },
  { save: 'windows-1252.ess', name: 'Ærwyn Ÿsolde', class: 'Battlemage' },
  { save: 'chargen-class.ess', class: 'NEWCLASSID_CHARGEN', globals: { Day: '12.75' } },
  // Right after a commit, whose words on the status line go with its save.
  { save: 'not-a-save.ess' },
  { save: 'normal.ess', name: 'Fenris ω', refusedEdit: true },
  { save: 'broken-global.ess' },
  { save: 'no-globals.ess' },
  { save: 'no-player.ess' },
  { save: 'player-cut-short.ess' },
  { save: 'player-malformed.ess' },
];
// A Russian player's save, opened where the browser's language is Russian: read and
// written in Windows-1251.
const kRussianCase = { save: 'russian.ess', codePage: '1251', shownName: 'Иван Грозный', name: 'Пётр' };

const folder = mkdtempSync(join(tmpdir(), 'quellhart-web-'));
execFileSync(makeSamples, [folder, '--large']);
copyFileSync(join(folder, 'normal.ess'), join(folder, 'russian.ess'));
execFileSync(cli, ['set', join(folder, 'russian.ess'), '--name', 'Иван Грозный', '--race', 'Данмер',
  '--code-page', '1251', '--yes']);
rmSync(join(folder, 'russian.bak'));
let failures = 0;
function check(ok, what) {
  if (!ok) {
    failures += 1;
    console.error(`FAILED: ${what}`);
  }
}

// What the command-line tool makes of the same edits: the new save's bytes, or the
// error text of a save it refuses.
function cliResult(c) {
  const copy = join(folder, `cli-${c.save}`);
  copyFileSync(join(folder, c.save), copy);
  const edits = [];
  for (const key of ['name', 'race', 'class', 'head', 'hair'])
    if (c[key] !== undefined) edits.push(`--${key}`, c[key]);
  for (const [name, value] of Object.entries(c.globals ?? {})) edits.push('--global', `${name}=${value}`);
  // Without an edit, `set` refuses before it reads the save: `show` says why a save
  // does not load.
  const args = [edits.length ? 'set' : 'show', copy, ...(edits.length ? ['--yes'] : []),
    '--code-page', c.codePage ?? '1252', ...edits];
  const run = spawnSync(cli, args, { encoding: 'utf8' });
  const bytes = readFileSync(copy);
  rmSync(copy);
  return { ok: run.status === 0, bytes, error: run.stderr.split('\n')[0] };
}

async function answer(page, caption, button) {
  const box = page.getByRole('dialog', { name: caption });
  await box.waitFor();
  const message = await box.locator('p').textContent();
  await box.getByRole('button', { name: button, exact: true }).click();
  return message;
}

// The origin's private file system stands in for a folder the user chose: the page
// cannot tell them apart, and a test cannot answer the browser's folder picker.
const folderFile = (page, name, bytes) => page.evaluate(async ([name, bytes]) => {
  const root = await navigator.storage.getDirectory();
  if (bytes === undefined) {
    try {
      const file = await (await root.getFileHandle(name)).getFile();
      return [...new Uint8Array(await file.arrayBuffer())];
    } catch {
      return null;
    }
  }
  const writable = await (await root.getFileHandle(name, { create: true })).createWritable();
  await writable.write(new Uint8Array(bytes));
  await writable.close();
  return null;
}, [name, bytes && [...bytes]]);

// The files of a folder in the origin's private file system, in name order.
const historyFiles = (page, name) => page.evaluate(async (name) => {
  const root = await navigator.storage.getDirectory();
  let history;
  try { history = await root.getDirectoryHandle(name); } catch { return []; }
  const files = [];
  for await (const [file, entry] of history.entries())
    // Versions only: the note that the original was put back ("original-was-restored") is none.
    if (entry.kind === 'file' && file.endsWith('.ess'))
      files.push([file, [...new Uint8Array(await (await entry.getFile()).arrayBuffer())]]);
  return files.sort().map(([, bytes]) => bytes);
}, name).then((files) => files.map((bytes) => Buffer.from(bytes)));

// OpenFile with the sample save `name`; edits a step before left unwritten are let go
// (the page asks first, as it must).
async function chooseFile(page, name) {
  await page.getByLabel('OpenFile').setInputFiles(join(folder, name));
  await page.waitForFunction(() => window.quellhart.running() === 0 ||
    document.querySelector('dialog[open]'));
  const asked = await page.evaluate(() => document.querySelector('dialog[open] p')?.textContent ?? '');
  if (asked.startsWith('Changes not yet written')) await answer(page, 'Please Confirm', 'Yes');
}

// Commits into the folder: the first makes the backup, the second asks before
// replacing it; a save the game rewrote since it was read, and one that another tab
// is committing, are refused and left as they are.
async function runFolderCases(page) {
  const original = readFileSync(join(folder, 'normal.ess'));
  const gameSave = readFileSync(join(folder, 'windows-1252.ess'));
  await folderFile(page, 'normal.ess', original);
  await folderFile(page, 'CAPS.ESS', original);  // no save the page can open: not offered
  // "Open folder...", the origin's private folder chosen: the keyboard is then on its
  // list of saves.
  await page.evaluate(() => { window.showDirectoryPicker = async () => navigator.storage.getDirectory(); });
  await page.getByRole('button', { name: 'Open folder...' }).click();
  await page.getByLabel('Save in folder').waitFor();
  await page.waitForFunction(() => window.quellhart.running() === 0);
  const focused = await page.evaluate(() => document.activeElement?.id);
  check(focused === 'folder-saves', `folder: after "Open folder..." the keyboard is on ${focused}`);
  const offered = await page.getByLabel('Save in folder').locator('option').allTextContents();
  check(offered.includes('normal.ess') && !offered.includes('CAPS.ESS'),
    `folder: only saves the page can open are offered: ${offered}`);
  // Chooses the save and waits until the page has read it and its backup: what is
  // typed before would be replaced by the save's own texts.
  const choose = async () => {
    const opened = () => performance.getEntriesByName('folder save opened').length;
    const before = await page.evaluate(opened);
    await page.getByLabel('Save in folder').selectOption('normal.ess');
    await page.waitForFunction((n) => performance.getEntriesByName('folder save opened').length > n,
      before);
  };
  const commit = async (name, answers) => {
    await page.getByRole('group', { name: 'Player Data' }).getByLabel('Name', { exact: true }).fill(name);
    await page.getByRole('button', { name: 'CommitChanges' }).click();
    for (const [caption, button] of answers) await answer(page, caption, button);
    // Until the save is loaded again, or the next dialog is up.
    await page.waitForFunction(() => document.querySelector('dialog[open]') ||
      window.quellhart.running() === 0);
  };
  const bytesOf = async (name) => Buffer.from(await folderFile(page, name) ?? []);

  await choose();
  // A backup made after the save was opened (by the window, say) is asked about at
  // commit time, and No leaves every file as it was.
  const madeMeanwhile = Buffer.from('a backup made meanwhile');
  await folderFile(page, 'normal.bak', madeMeanwhile);
  await commit('Unasked?', [['Please Confirm', 'Yes']]);
  const question = await answer(page, 'Please Confirm', 'No');
  check(question.startsWith('Backup exists for this savegame.'), `folder: a new backup is asked about: ${question}`);
  await page.waitForFunction(() => window.quellhart.running() === 0);
  check(original.equals(await bytesOf('normal.ess')) && madeMeanwhile.equals(await bytesOf('normal.bak')),
    'folder: No to the backup question leaves the save and the backup');
  await page.evaluate(async () => (await navigator.storage.getDirectory()).removeEntry('normal.bak'));
  // From the first step to the outcome, OpenFile and CommitChanges are held (disabled),
  // so that nothing starts beside the commit.
  // Each step is named in the status line meanwhile.
  await page.evaluate(() => {
    window.heldStates = [];
    const held = () => window.heldStates.push(['commit', 'open-file', 'folder-saves', 'player', 'globals']
      .map((id) => document.getElementById(id).disabled));
    new MutationObserver(held).observe(document.getElementById('commit'),
      { attributes: true, attributeFilter: ['disabled'] });
    window.phases = [];
    const wait = document.getElementById('wait');
    new MutationObserver(() => wait.textContent && window.phases.push(wait.textContent))
      .observe(wait, { childList: true, characterData: true, subtree: true });
  });
  await commit('Wanderer', [['Please Confirm', 'Yes'], ['Done', 'OK']]);
  const heldStates = await page.evaluate(() => window.heldStates);
  check(heldStates.some((states) => states.every(Boolean)) &&
    await page.getByRole('button', { name: 'CommitChanges' }).isEnabled(),
    `folder: a commit holds OpenFile, the folder's list, CommitChanges and both pages until its outcome: ${JSON.stringify(heldStates)}`);
  const phases = await page.evaluate(() => window.phases);
  const inOrder = ['Checking that the save', 'Now generating the new file', 'Keeping the backup',
    'Writing the backup', 'Checking that the save', 'Writing the save', 'Checking the new save'];
  check(JSON.stringify(phases.map((said) => inOrder.find((start) => said.startsWith(start)))) ===
    JSON.stringify(inOrder), `folder: the commit's steps are named in order: ${JSON.stringify(phases)}`);
  const first = cliResult({ save: 'normal.ess', name: 'Wanderer' }).bytes;
  check(first.equals(await bytesOf('normal.ess')), 'folder: the save is the CLI\'s');
  check(original.equals(await bytesOf('normal.bak')), 'folder: the backup is the old save');
  const written = await page.locator('#status').textContent();
  check(written === 'normal.ess was written in its folder; the save before it is normal.bak.',
    `folder: the status line says where each save is: ${written}`);

  // "Restore backup..." swaps the two, and again swaps them back.
  for (const [save, backup] of [[original, first], [first, original]]) {
    await page.getByRole('button', { name: 'Help' }).click();
    await page.getByRole('button', { name: 'Restore backup...' }).click();
    await answer(page, 'Please Confirm', 'Yes');
    await answer(page, 'Done', 'OK');
    await page.getByRole('button', { name: 'Close' }).click();
    check(save.equals(await bytesOf('normal.ess')) && backup.equals(await bytesOf('normal.bak')),
      'folder: restore swaps the save and its backup');
    check(await folderFile(page, 'normal.swap') === null, 'folder: restore leaves no third file');
  }
  // A backup that does not load as a save is not put back, as on the desktop.
  await folderFile(page, 'normal.bak', madeMeanwhile);
  await page.getByRole('button', { name: 'Help' }).click();
  await page.getByRole('button', { name: 'Restore backup...' }).click();
  await answer(page, 'Please Confirm', 'Yes');
  const refused = await answer(page, 'Error', 'OK');
  await page.getByRole('button', { name: 'Close' }).click();
  check(refused.startsWith('normal.bak: ') && first.equals(await bytesOf('normal.ess')) &&
    madeMeanwhile.equals(await bytesOf('normal.bak')) && await folderFile(page, 'normal.swap') === null,
  `folder: a backup that is no save is not restored: ${refused}`);
  await folderFile(page, 'normal.bak', original);
  // A save parked by a restore a closed tab stopped is never written over.
  await folderFile(page, 'normal.swap', madeMeanwhile);
  await page.getByRole('button', { name: 'Help' }).click();
  await page.getByRole('button', { name: 'Restore backup...' }).click();
  await answer(page, 'Please Confirm', 'Yes');
  const parkedRefusal = await answer(page, 'Error', 'OK');
  await page.getByRole('button', { name: 'Close' }).click();
  check(parkedRefusal.startsWith('normal.swap was left by a restore') &&
    madeMeanwhile.equals(await bytesOf('normal.swap')) && first.equals(await bytesOf('normal.ess')),
  `folder: a parked save is not written over: ${parkedRefusal}`);
  await page.evaluate(async () => (await navigator.storage.getDirectory()).removeEntry('normal.swap'));

  await commit('Wanderer', [['Please Confirm', 'Yes'], ['Please Confirm', 'Yes'], ['Done', 'OK']]);
  check(first.equals(await bytesOf('normal.bak')), 'folder: the second commit backs up the first');
  // The backup it replaced is kept among the versions, in the folder beside the save
  // (the same layout as on the desktop).
  const secondSave = await bytesOf('normal.ess');
  let versions = await historyFiles(page, 'normal.history');
  check(versions.length === 1 && original.equals(versions[0]),
    `folder: the replaced backup is the one version kept (${versions.length})`);

  // "Versions..." lists the original and the backup, and puts the original back: the
  // save it replaces becomes a version.
  await page.getByRole('button', { name: 'Help' }).click();
  await page.getByRole('button', { name: 'Versions...' }).click();
  await page.getByRole('dialog', { name: 'Versions' }).waitFor();  // once the versions are read
  const list = page.getByRole('listbox', { name: 'Earlier versions, oldest first:' });
  const entries = await list.getByRole('option').allTextContents();
  check(entries.length === 2 && entries[0].includes('(the original)') && entries[1].includes('(the backup)'),
    `folder: the versions listed: ${JSON.stringify(entries)}`);
  // Each entry whole, on a phone as on a desktop: wrapped, never cut; and the save's
  // name beside the folder's controls on one line.
  for (const width of [320, 1280]) {
    await page.setViewportSize({ width, height: 720 });
    const cut = await list.evaluate((box) => [...box.children].filter((option) =>
      option.scrollWidth > option.clientWidth || option.getBoundingClientRect().right >
        box.getBoundingClientRect().right || box.getBoundingClientRect().right > innerWidth)
      .map((option) => option.textContent));
    check(cut.length === 0, `folder: versions cut at ${width} px: ${JSON.stringify(cut)}`);
    const lines = await page.locator('#active-file').evaluate(linesOfText);
    check(lines === 1, `folder: at ${width} px the save's name is broken over ${lines} lines`);
  }
  await page.setViewportSize({ width: 1100, height: 900 });
  // The newest chosen first: the second commit changed nothing of it.
  let changes = await page.locator('#version-changes').textContent();
  check(changes === 'Nothing changed.', `folder: what changed after the backup: ${changes}`);
  await page.keyboard.press('Home');  // the keyboard is on the list as it opens
  changes = await page.locator('#version-changes').textContent();
  check(/^name: ".*" -> "Wanderer"$/.test(changes), `folder: what changed after the original: ${changes}`);
  await page.getByRole('button', { name: 'Restore', exact: true }).click();
  await answer(page, 'Please Confirm', 'Yes');
  await answer(page, 'Done', 'OK');
  await page.waitForFunction(() => window.quellhart.running() === 0);
  await page.getByRole('button', { name: 'Close' }).click();
  check(original.equals(await bytesOf('normal.ess')), 'folder: the version chosen is the save');
  check(first.equals(await bytesOf('normal.bak')), 'folder: the backup is untouched by a version\'s restore');
  versions = await historyFiles(page, 'normal.history');
  check(versions.length === 1 && secondSave.equals(versions[0]),
    `folder: the save it replaced is the version now (${versions.length})`);

  // Nothing typed, the game saves: the page loads its save by itself, the variable
  // chosen kept, and says so.
  await choose();
  const nameField = page.getByRole('group', { name: 'Player Data' }).getByLabel('Name', { exact: true });
  await page.locator('#glob-list').selectOption({ index: 1 });
  const chosenBefore = await page.locator('#glob-list').inputValue();
  await folderFile(page, 'normal.ess', first);  // the game saves
  await page.waitForFunction((said) => document.getElementById('disk-status').textContent === said,
    'The save changed on disk and was loaded again.', { timeout: 8000 });
  check(await nameField.inputValue() === 'Wanderer', 'folder: the page follows the game\'s save');
  check(await page.locator('#glob-list').inputValue() === chosenBefore,
    'folder: the variable chosen stays chosen when the game\'s save is loaded');

  // A name typed, the game saves: the question to apply it comes after the usual ones;
  // No writes nothing and keeps the name, Yes writes it onto the game's save.
  await choose();
  await nameField.fill('Late');
  await folderFile(page, 'normal.ess', gameSave);  // the game saves meanwhile
  await page.waitForFunction((said) => document.getElementById('disk-status').textContent === said,
    'The save changed on disk since your edits began. They are kept.', { timeout: 8000 });
  await commit('Late', [['Please Confirm', 'Yes'], ['Please Confirm', 'Yes']]);
  const changed = await answer(page, 'Please Confirm', 'No');
  check(changed.startsWith('The save was changed on disk after it was opened.\n\nApply your changes'),
    `folder: a rewritten save is asked about: ${changed}`);
  check(gameSave.equals(await bytesOf('normal.ess')), 'folder: the game\'s save is kept');
  check(first.equals(await bytesOf('normal.bak')), 'folder: the backup is kept');
  check(await nameField.inputValue() === 'Late', 'folder: No keeps the typed name');
  await commit('Late', [['Please Confirm', 'Yes'], ['Please Confirm', 'Yes'], ['Please Confirm', 'Yes'],
    ['Done', 'OK']]);
  check(cliResult({ save: 'windows-1252.ess', name: 'Late' }).bytes.equals(await bytesOf('normal.ess')),
    'folder: the typed name goes onto the game\'s save');
  check(gameSave.equals(await bytesOf('normal.bak')), 'folder: the game\'s save is the backup');
  const lateSave = await bytesOf('normal.ess');

  await page.evaluate(() => new Promise((held) => {
    navigator.locks.request('quellhart-save:normal.ess', () => {
      held();
      return new Promise((release) => { window.releaseSave = release; });
    });
  }));
  await commit('Other', [['Please Confirm', 'Yes'], ['Please Confirm', 'Yes']]);
  const busy = await answer(page, 'Error', 'OK');
  check(busy === 'The save is being written by another program.', `folder: a save being committed is refused: ${busy}`);
  check(lateSave.equals(await bytesOf('normal.ess')), 'folder: the save is untouched while locked');
  const typedName = await page.getByRole('group', { name: 'Player Data' })
    .getByLabel('Name', { exact: true }).inputValue();
  check(typedName === 'Other', `folder: a refused commit keeps the typed name: ${typedName}`);
  await page.evaluate(() => window.releaseSave());
  // The cause gone, CommitChanges writes the edit that was kept.
  await page.getByRole('button', { name: 'CommitChanges' }).click();
  for (const [caption, button] of [['Please Confirm', 'Yes'], ['Please Confirm', 'Yes'], ['Done', 'OK']])
    await answer(page, caption, button);
  await page.waitForFunction(() => window.quellhart.running() === 0);
  const kept = await bytesOf('normal.ess');
  check(kept.includes(Buffer.from('Other\0')), 'folder: the kept edit is committed once the lock is gone');

  // A backup that cannot be written (a folder has its name): the save stays as it was.
  await page.evaluate(async () => {
    const root = await navigator.storage.getDirectory();
    await root.removeEntry('normal.bak');
    await root.getDirectoryHandle('normal.bak', { create: true });
  });
  await choose();
  await commit('Unbacked', [['Please Confirm', 'Yes']]);
  const unbacked = await answer(page, 'Error', 'OK');
  check(unbacked.startsWith('Error renaming .ess file to .bak\n'), `folder: no backup, no commit: ${unbacked}`);
  check(kept.equals(await bytesOf('normal.ess')), 'folder: the save is untouched without a backup');

  // A save chosen alone after the folder's, of the same name, and the folder listed
  // again with nothing chosen: its commit is a download, the folder's save untouched.
  await chooseFile(page, 'normal.ess');
  await page.evaluate(async () => window.quellhart.openFolder(await navigator.storage.getDirectory()));
  const downloading = page.waitForEvent('download');
  await commit('Elsewhere', [['Please Confirm', 'Yes'], ['Done', 'OK']]);
  const download = await downloading;
  check(download.suggestedFilename() === 'normal.ess' && kept.equals(await bytesOf('normal.ess')) &&
    readFileSync(await download.path()).includes(Buffer.from('Elsewhere\0')),
  'folder: a save chosen alone is committed as a download, whatever folder is listed');
}

// The window's keys, Help with About and "Restore backup...": after a download, the
// backup is the file that was opened, offered again under the save's name.
// A save of 16 MiB opens under the wait box, its texts in the live region.
async function runLargeOpen(page) {
  await page.evaluate(() => {
    window.waitTexts = [];
    const box = document.getElementById('wait');
    new MutationObserver(() => window.waitTexts.push(box.textContent))
      .observe(box, { childList: true, characterData: true, subtree: true });
  });
  await chooseFile(page, 'large.ess');
  await page.waitForFunction(() => window.quellhart.running() === 0);
  const said = await page.evaluate(() => window.waitTexts.filter(Boolean));
  // Its own words, not the commit's.
  check(JSON.stringify(said) === '["Reading the save..."]', `a large save's open: ${said}`);
  check(await page.locator('#active-file').textContent() === 'large.ess', 'the large save is open');
}

// As in the window: a loaded save, and a variable chosen by keys, are said to a screen
// reader; the read-only fields are no tab stops; no two fields share a name.
async function runWhatIsSaid(page) {
  await chooseFile(page, 'normal.ess');
  await page.waitForFunction(() => window.quellhart.running() === 0);
  const said = () => page.waitForFunction((before) => {
    const now = document.getElementById('announce').textContent;
    return now !== '' && now !== before && now;
  }, '').then((handle) => handle.jsonValue());
  const count = await page.locator('#glob-count').textContent();
  const loaded = await said();
  check(loaded === `Loaded normal.ess. Number of variables found: ${count}`, `a load is said: ${loaded}`);
  await page.getByLabel('SelectVar').focus();
  await page.keyboard.press('ArrowDown');
  await page.waitForFunction(() => window.quellhart.running() === 0);
  const expected = `${await page.locator('#glob-list option:checked').textContent()}. Value (float): ` +
    `${await page.locator('#glob-value').inputValue()}`;
  // (What was said before, a load's words said late among them, may come first.)
  const chosen = await page.waitForFunction((words) =>
    document.getElementById('announce').textContent === words, expected, { timeout: 5000 })
    .then(() => expected, () => page.locator('#announce').textContent());
  check(chosen === expected, `a variable chosen by keys is said: ${chosen} (${expected})`);
  await page.getByRole('group', { name: 'Player Data' }).getByLabel('Name', { exact: true }).focus();
  const stops = [];
  for (let i = 0; i < 20; ++i) {
    await page.keyboard.press('Tab');
    stops.push(await page.evaluate(() => document.activeElement.readOnly === true));
  }
  check(!stops.includes(true), 'Tab passes over the read-only fields');
  check(await page.getByRole('textbox', { name: 'Name', exact: true }).count() === 1,
    'one field is named "Name" (the variable\'s is "GLOB Data Name")');
}

// A file the browser cannot read (gone since it was chosen): the window's error with
// the browser's reason, and the page without a save, nothing of the one before left to
// commit.
async function runUnreadableFile(page) {
  await chooseFile(page, 'normal.ess');
  await page.waitForFunction(() => window.quellhart.running() === 0);
  await page.evaluate(() => {
    window.readable = Blob.prototype.arrayBuffer;
    Blob.prototype.arrayBuffer = () =>
      Promise.reject(new DOMException('The file could not be read.', 'NotReadableError'));
  });
  await chooseFile(page, 'normal.ess');
  const said = await answer(page, 'Error', 'OK');
  await page.evaluate(() => { Blob.prototype.arrayBuffer = window.readable; });
  check(said === 'Unable to open .ess file. Read\nnormal.ess: The file could not be read.',
    `an unreadable file is named with the browser's reason: ${said}`);
  await page.waitForFunction(() => window.quellhart.running() === 0);
  check(await page.getByRole('button', { name: 'CommitChanges' }).isDisabled(),
    'an unreadable file leaves nothing to commit');
  check(await page.locator('#active-file').textContent() === '', 'an unreadable file leaves no save named');
}

// Edits not yet written: another save, the code page and closing the tab ask first;
// No keeps them, Yes lets them go. Without edits nothing asks.
async function runUnsavedEdits(page) {
  await chooseFile(page, 'normal.ess');
  await page.waitForFunction(() => window.quellhart.running() === 0);
  const name = page.getByRole('group', { name: 'Player Data' }).getByLabel('Name', { exact: true });
  const leaving = () => page.evaluate(() => {
    const event = new Event('beforeunload', { cancelable: true });
    window.dispatchEvent(event);
    return event.defaultPrevented;
  });
  check(!await leaving(), 'nothing asks before the tab closes without edits');
  await name.fill('Unwritten');
  check(await leaving(), 'closing the tab with a typed edit asks first');
  await page.getByLabel('OpenFile').setInputFiles(join(folder, 'windows-1252.ess'));
  const question = await answer(page, 'Please Confirm', 'No');
  check(question.startsWith('Changes not yet written will be lost.'), `another save asks first: ${question}`);
  await page.waitForFunction(() => window.quellhart.running() === 0);
  check(await name.inputValue() === 'Unwritten' &&
    await page.locator('#active-file').textContent() === 'normal.ess', 'No keeps the edit and the save');
  const codePage = page.getByLabel('Code page');
  const before = await codePage.inputValue();
  await codePage.selectOption('1251');
  await answer(page, 'Please Confirm', 'No');
  await page.waitForFunction(() => window.quellhart.running() === 0);
  check(await codePage.inputValue() === before && await name.inputValue() === 'Unwritten',
    'No to the code page keeps it and the edit');
  await page.getByLabel('OpenFile').setInputFiles(join(folder, 'windows-1252.ess'));
  await answer(page, 'Please Confirm', 'Yes');
  await page.waitForFunction(() => window.quellhart.running() === 0);
  check(await page.locator('#active-file').textContent() === 'windows-1252.ess' && !await leaving(),
    'Yes opens the other save, with nothing left to ask about');
}

async function runKeysAndHelp(page) {
  const original = readFileSync(join(folder, 'normal.ess'));
  await chooseFile(page, 'normal.ess');
  await page.waitForFunction(() => window.quellhart.running() === 0);  // the save is read
  const help = page.getByRole('dialog', { name: 'Quellhart Savegame Editor Help' });
  const restore = async () => {
    await page.keyboard.press('F1');
    await help.getByRole('button', { name: 'Restore backup...' }).click();
  };
  await page.keyboard.press('F1');
  // The keys press nothing behind a box that is open.
  await page.keyboard.press('Control+s');
  check(!await page.locator('#message').isVisible(), 'Ctrl+S with Help open asks nothing');
  await help.getByRole('button', { name: 'About...' }).click();
  const about = await answer(page, 'About Quellhart Savegame Editor', 'OK');
  check(about.startsWith('Quellhart SaveGame Editor 2.1'), `About says "${about}"`);
  await help.getByRole('button', { name: 'Close' }).click();
  await restore();
  const none = await answer(page, 'Warning', 'OK');
  check(none === 'There is no backup of this save to restore.', `restore before a commit: ${none}`);
  await page.keyboard.press('Escape');
  check(!await help.isVisible(), 'Escape closes Help');

  // Escape answers the question No: nothing is committed.
  await page.keyboard.press('Control+s');
  await page.getByRole('dialog', { name: 'Please Confirm' }).waitFor();
  // A save dropped while a question is open is not opened.
  await page.evaluate(() => {
    const data = new DataTransfer();
    data.items.add(new File(['not a save'], 'dropped.ess'));
    document.body.dispatchEvent(new DragEvent('drop', { dataTransfer: data, bubbles: true }));
  });
  await page.keyboard.press('Escape');
  await page.waitForFunction(() => window.quellhart.running() === 0);
  check(await page.locator('#status').textContent() === '', 'Escape at "Please Confirm" commits nothing');
  check(await page.locator('#active-file').textContent() === 'normal.ess',
    'a save dropped behind a question is not opened');

  await page.keyboard.press('Control+s');
  const committing = page.waitForEvent('download');
  await answer(page, 'Please Confirm', 'Yes');
  const committed = readFileSync(await (await committing).path());
  await answer(page, 'Done', 'OK');
  await restore();
  const restoring = page.waitForEvent('download');
  await answer(page, 'Please Confirm', 'Yes');
  const restored = await restoring;
  check(restored.suggestedFilename() === 'normal.ess' &&
    original.equals(readFileSync(await restored.path())), 'restore offers the file opened as the save');
  await answer(page, 'Done', 'OK');
  await help.getByRole('button', { name: 'Close' }).click();
  // Restored again: the save committed before is the backup now.
  await restore();
  const again = page.waitForEvent('download');
  await answer(page, 'Please Confirm', 'Yes');
  check(committed.equals(readFileSync(await (await again).path())), 'the backup after a restore is the save before it');
  await answer(page, 'Done', 'OK');
  await help.getByRole('button', { name: 'Close' }).click();

  // The keys press nothing while the page still loads the save restored.
  await page.waitForFunction(() => window.quellhart.running() === 0);
  const choosing = page.waitForEvent('filechooser', { timeout: 5000 });
  await page.keyboard.press('Control+o');
  check(await choosing.then(() => true, () => false), 'Ctrl+O opens the file chooser');
}

async function runCase(page, c) {
  const what = `${c.save} ${JSON.stringify(c)}`;
  await chooseFile(page, c.save);
  const expected = cliResult(c);
  if (!expected.ok && !c.refusedEdit) {
    const message = await answer(page, 'Error', 'OK');
    check(message === expected.error, `${what}: "Error" says "${message}", the CLI "${expected.error}"`);
    check(await page.getByRole('button', { name: 'CommitChanges' }).isDisabled(), `${what}: commit disabled`);
    // Nothing of the save before is left on the page.
    const count = await page.locator('#glob-count').textContent();
    const listed = await page.locator('#glob-list option').count();
    const status = await page.locator('#status').textContent();
    check(count === '' && listed === 0 && status === '', `${what}: after a failed open the count ` +
      `reads "${count}", the list holds ${listed}, the status line says "${status}"`);
    return;
  }
  const player = page.getByRole('group', { name: 'Player Data' });
  if (c.shownName) {
    const shown = await player.getByLabel('Name', { exact: true }).inputValue();
    check(shown === c.shownName, `${what}: the name reads "${shown}"`);
  }
  for (const [key, label] of [['name', 'Name'], ['race', 'Race'], ['class', 'Class'],
    ['head', 'Head Model'], ['hair', 'Hair Model']])
    if (c[key] !== undefined) await player.getByLabel(label, { exact: true }).fill(c[key]);
  const globals = page.getByRole('group', { name: 'Global Variables' });
  for (const [i, [name, value]] of Object.entries(c.globals ?? {}).entries()) {
    await globals.getByLabel('SelectVar').selectOption({ label: name });
    const field = globals.getByLabel('Value (float)');
    await field.fill(value);
    const confirm = globals.getByRole('button', { name: 'Confirm Change' });
    check(await confirm.isEnabled(), `${what}: Confirm Change enabled`);
    // The first value confirmed with the button, the others with Enter in the field.
    if (i === 0) await confirm.click();
    else await field.press('Enter');
    // (Served, the library answers from its worker: the page draws what it stored then.)
    await page.waitForFunction(() => window.quellhart.running() === 0);
    // The stored bytes shown are the new value's.
    const shown = await field.inputValue();
    const bytes = [...new Uint8Array(new Float32Array([Number(shown)]).buffer)];
    const raw = bytes.map((b) => b.toString(16).toUpperCase().padStart(2, '0')).join(' ');
    const rawShown = (await globals.getByLabel('Value (Raw)').inputValue()).trim();
    check(rawShown === raw, `${what}: ${name} confirmed as ${shown} shows the bytes "${rawShown}"`);
  }
  const commit = page.getByRole('button', { name: 'CommitChanges' });
  check(await commit.isEnabled(), `${what}: CommitChanges enabled`);
  await commit.click();
  if (c.refusedEdit) {
    // Checked before the questions, as the window does.
    const message = await answer(page, 'Error', 'OK');
    check(message.startsWith('Name:'), `${what}: the refused text is named: "${message}"`);
    return;
  }
  const downloading = page.waitForEvent('download');
  await answer(page, 'Please Confirm', 'Yes');
  const download = await downloading;
  const done = await answer(page, 'Done', 'OK');
  check(download.suggestedFilename() === c.save, `${what}: downloaded as ${download.suggestedFilename()}`);
  const where = `The new ${c.save} was offered as a download. The file you opened is unchanged: ` +
    'keep it as the backup.';
  const status = await page.locator('#status').textContent();
  check(status === where, `${what}: the status line: ${status}`);
  // The window's text, then where the two versions are: no ".bak" was made.
  check(done.startsWith('File Recostruction Done.\n') &&
    done.endsWith(`\n\n${where}\n\nEarlier versions are kept only when the save is opened ` +
      'from a folder (Open folder...).'),
    `${what}: "Done" says where the saves are, and that versions are kept only in a folder: ${done}`);
  const bytes = readFileSync(await download.path());
  check(Buffer.compare(bytes, expected.bytes) === 0,
    `${what}: the download (${bytes.length} bytes) equals the CLI's save (${expected.bytes.length})`);
}

const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: ['--no-sandbox'] });
try {
  const page = await browser.newPage({ acceptDownloads: true, viewport: { width: 1100, height: 900 } });
  page.on('pageerror', (error) => check(false, `page error: ${error.message}`));
  const started = Date.now();
  await page.goto(pathToFileURL(join(pageFolder, 'index.html')).href);
  await page.waitForSelector('body[data-ready="true"]');
  console.log(`page ready from the file system in ${Date.now() - started} ms`);
  for (const c of kCases) await runCase(page, c);
  await runKeysAndHelp(page);
  await runWhatIsSaid(page);
  await runLargeOpen(page);
  await runUnreadableFile(page);
  await runUnsavedEdits(page);

  // Accessibility with a save loaded, and a dialog open.
  await chooseFile(page, 'normal.ess');
  await page.addScriptTag({ content: axeSource });
  const clean = await page.evaluate(async () => (await axe.run()).violations);
  check(clean.length === 0, `axe: ${JSON.stringify(clean.map((v) => [v.id, v.nodes.length]))}`);
  if (screenshot) await page.screenshot({ path: screenshot, fullPage: true });
  await page.getByRole('button', { name: 'CommitChanges' }).click();
  await page.getByRole('dialog', { name: 'Please Confirm' }).waitFor();
  const asking = await page.evaluate(async () => (await axe.run()).violations);
  check(asking.length === 0, `axe with a question open: ${JSON.stringify(asking.map((v) => v.id))}`);
  await answer(page, 'Please Confirm', 'No');

  // Where the browser's language is Russian, the page reads and writes Windows-1251,
  // and a code page chosen on the page is the one it starts with next time.
  const russian = await browser.newPage({ acceptDownloads: true, locale: 'ru-RU' });
  await russian.goto(pathToFileURL(join(pageFolder, 'index.html')).href);
  await russian.waitForSelector('body[data-ready="true"]');
  const chosen = () => russian.getByLabel('Code page').inputValue();
  check(await chosen() === '1251', `ru-RU: the code page is ${await chosen()}`);
  await runCase(russian, kRussianCase);
  await russian.getByLabel('Code page').selectOption('1250');
  await russian.reload();
  await russian.waitForSelector('body[data-ready="true"]');
  check(await chosen() === '1250', `the chosen code page is remembered: ${await chosen()}`);
  await russian.close();

  // Served by a plain web server, the page works the same.
  const changedOnServer = new Map();
  const server = await servePage(pageFolder, changedOnServer);
  const served = await browser.newPage({ acceptDownloads: true });
  await served.goto(server.url);
  await served.waitForSelector('body[data-ready="true"]');
  check(await served.evaluate(() => window.quellhart.inWorker()),
    'served: the library runs in a worker of its own, the page free meanwhile');
  check(!await page.evaluate(() => window.quellhart.inWorker()),
    'from the file system: the library runs in the page');
  await runCase(served, kCases[0]);
  // A value typed before the chosen variable's page comes back from the worker stays
  // as typed (the page draws the variable's other fields).
  await served.waitForFunction(() => window.quellhart.running() === 0);
  const typedMeanwhile = await served.evaluate(async () => {
    const list = document.getElementById('glob-list');
    const field = document.getElementById('glob-value');
    list.selectedIndex = (list.selectedIndex + 1) % list.options.length;
    list.dispatchEvent(new Event('change'));
    field.value = '42';
    field.dispatchEvent(new Event('input'));
    while (window.quellhart.running() > 0) await new Promise((settled) => setTimeout(settled, 10));
    return field.value;
  });
  check(typedMeanwhile === '42', `served: a value typed while a variable is chosen stays: ${typedMeanwhile}`);
  await runFolderCases(served);
  // Once visited, a page changed on the server is the one loaded next, whole.
  await served.waitForFunction(() => navigator.serviceWorker.controller !== null);
  const appSource = readFileSync(join(pageFolder, 'app.js'), 'utf8');
  changedOnServer.set('app.js', `${appSource}\nwindow.servedAgain = 'app';\n`);
  changedOnServer.set('index.html', readFileSync(join(pageFolder, 'index.html'), 'utf8')
    .replace('</body>', '<script>window.servedAgainPage = true;</script></body>'));
  await served.reload();
  await served.waitForSelector('body[data-ready="true"]');
  check(await served.evaluate(() => window.servedAgain === 'app' && window.servedAgainPage),
    'served: a page changed on the server is loaded whole at the next visit');
  changedOnServer.clear();
  // Once visited, it loads without a network.
  await served.context().setOffline(true);
  await served.reload();
  const offline = await served.waitForSelector('body[data-ready="true"]', { timeout: 10000 })
    .then(() => true, () => false);
  check(offline, 'served: the page loads again without a network');
  check(await served.evaluate(() => document.querySelector('link[rel="manifest"]') !== null),
    'served: the page names its web app manifest');
  await served.context().setOffline(false);
  server.close();
} finally {
  await browser.close();
  rmSync(folder, { recursive: true, force: true });
}
console.log(failures ? `${failures} checks failed` : `the page: ${kCases.length} saves opened, edited and committed as the CLI does, a Russian save in Windows-1251 where the browser speaks Russian, commits in a folder with their backups, restores and refusals; the keys, Help and About; axe finds nothing`);
process.exit(failures ? 1 : 0);
