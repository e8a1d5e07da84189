// The scenarios every edition runs (tests/scenarios/editions.json), here on the page,
// in Chromium and in Firefox (Debian's, driven by puppeteer-core: over WebDriver BiDi
// for Firefox): each save dropped on the page, chosen, typed and pressed as a user
// does, the dialogs answered and their texts kept in order, and the committed save
// read back by quellhart-cli and compared byte for byte with what `quellhart-cli set`
// writes for the same texts and values. Then, in Chromium, the page at phone and desktop widths
// in both schemes: no sideways scrolling, every field shows its whole value, axe finds
// nothing; and, with SCREENSHOTS, its pictures at 390 and 1280 px.
//   node web/tests/scenarios.mjs PAGE_FOLDER QUELLHART_CLI MAKE_SAMPLE_SAVES [SCREENSHOTS]
import { execFileSync } from 'node:child_process';
import { copyFileSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import puppeteer from 'puppeteer-core';
import { linesOfText } from './page-checks.mjs';
import { servePage } from './serve.mjs';

const [pageFolder, cli, makeSamples, screenshots] = process.argv.slice(2).map((p) => resolve(p));
const here = new URL('.', import.meta.url).pathname;
const { scenarios } = JSON.parse(readFileSync(join(here, '../../tests/scenarios/editions.json'), 'utf8'));
const axeSource = readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');
// Where Firefox puts the downloads the scenarios' commits offer: a folder of the run's
// own, removed with it.
const downloads = mkdtempSync(join(tmpdir(), 'quellhart-downloads-'));
const kBrowsers = [
  { name: 'Chromium', browser: 'chrome', executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', '--no-first-run'] },
  { name: 'Firefox', browser: 'firefox', executablePath: '/usr/bin/firefox-esr',
    extraPrefsFirefox: { 'browser.download.folderList': 2, 'browser.download.dir': downloads } },
];
const kGroups = { 'Player Data': '#player', 'Global Variables': '#globals' };

const folder = mkdtempSync(join(tmpdir(), 'quellhart-scenarios-'));
execFileSync(makeSamples, [folder]);
let failures = 0;
const check = (ok, what) => {
  if (ok) return;
  failures += 1;
  console.error(`FAILED: ${what}`);
};
const same = (a, b) => JSON.stringify(a) === JSON.stringify(b);

// Answers every dialog the page shows with its first button (Yes, OK) until the
// user's action has ended; returns each as "Caption: first line".
async function answerAll(page) {
  const shown = [];
  for (;;) {
    await page.waitForFunction(() => document.querySelector('dialog[open]') ||
      window.quellhart.running() === 0);
    const open = await page.evaluate(() => {
      const box = document.querySelector('dialog[open]');
      if (!box) return null;
      const text = `${box.querySelector('h2').textContent}: ` +
        box.querySelector('p').textContent.split('\n')[0];
      box.querySelector('.buttons button').click();
      return text;
    });
    if (!open) return shown;
    shown.push(open);
  }
}

// The id of the control a caption names in a page's group.
const controlOf = (page, group, caption) => page.evaluate((group, caption) => {
  for (const label of document.querySelectorAll(`${group} label`))
    if (label.textContent === caption) return `#${label.control.id}`;
  for (const button of document.querySelectorAll(`${group} button`))
    if (button.textContent === caption) return `#${button.id}`;
  return null;
}, group, caption);

async function typeInto(page, control, text) {
  await page.focus(control);
  await page.$eval(control, (field) => field.select());
  if (text) await page.keyboard.type(text);
  else await page.keyboard.press('Backspace');
}

// A save dropped on the page, as from a file manager.
const drop = (page, name) => page.evaluate((name, base64) => {
  const bytes = Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
  const data = new DataTransfer();
  data.items.add(new File([bytes], name));
  document.body.dispatchEvent(new DragEvent('drop', { dataTransfer: data, bubbles: true,
    cancelable: true }));
}, name, readFileSync(join(folder, name)).toString('base64'));

// Served, the library answers from its worker: the page draws what it was told once
// no action of the user's is still running.
const settled = (page) => page.waitForFunction(() => window.quellhart.running() === 0);

async function runStep(page, step, dialogs, what) {
  if (step.open) {
    await drop(page, step.open);
  } else if (step.commit) {
    await page.click('#commit');
  } else {
    const group = kGroups[step.page];
    if (step.choose) {
      const index = await page.$$eval('#glob-list option', (options, name) =>
        options.findIndex((option) => option.textContent === name), step.choose);
      check(index >= 0, `${what}: ${step.choose} is listed`);
      await page.select('#glob-list', String(index));
      await settled(page);
    }
    for (const [caption, text] of Object.entries(step.type ?? {}))
      await typeInto(page, await controlOf(page, group, caption), text);
    if (step.press) await page.click(await controlOf(page, group, step.press));
    if (step.enter) {
      await page.focus(await controlOf(page, group, step.enter));
      await page.keyboard.press('Enter');
    }
    await settled(page);
    for (const [caption, expected] of Object.entries(step.expect ?? {})) {
      const shown = await page.$eval(await controlOf(page, group, caption),
        (field) => field.value.replace(/ +$/, ''));
      check(shown === expected, `${what}: ${step.page} "${caption}" shows "${shown}", not "${expected}"`);
    }
    for (const [caption, expected] of Object.entries(step.entries ?? {})) {
      const entries = await page.$eval(await controlOf(page, group, caption), (field) =>
        [...(field.list ?? field).querySelectorAll('option')].map((o) => (field.list ? o.value : o.textContent)));
      check(same(entries, expected), `${what}: ${step.page} "${caption}" lists ${JSON.stringify(entries)}`);
    }
  }
  dialogs.push(...await answerAll(page));
}

// The committed save's texts and values, as quellhart-cli reads them; and its bytes,
// which must be those `quellhart-cli set` writes for the same texts and values.
function checkSaved(bytes, opened, saved, what, codePage = 1252) {
  const path = join(folder, 'committed.ess');
  writeFileSync(path, Buffer.from(bytes));
  const inCodePage = ['--code-page', String(codePage)];
  const shown = JSON.parse(execFileSync(cli, ['show', path, '--json', ...inCodePage], { encoding: 'utf8' }));
  const texts = { Name: 'name', Race: 'race', Class: 'class', 'Head Model': 'head', 'Hair Model': 'hair' };
  const before = JSON.parse(execFileSync(cli, ['show', join(folder, opened), '--json', ...inCodePage],
    { encoding: 'utf8' }));
  const args = [];  // the texts changed, for quellhart-cli set
  for (const [caption, key] of Object.entries(texts)) {
    if (!(caption in saved)) continue;
    check(shown.player[key] === saved[caption],
      `${what}: saved ${caption} "${shown.player[key]}", not "${saved[caption]}"`);
    if (before.player[key] !== saved[caption]) args.push(`--${key}`, saved[caption]);
  }
  for (const [name, value] of Object.entries(saved.globals ?? {})) {
    const glob = shown.globals.find((g) => g.name === name);
    check(glob && glob.value.toFixed(6) === value, `${what}: saved ${name} ${glob?.value}, not ${value}`);
    args.push('--global', `${name}=${value}`);
  }
  const copy = join(folder, 'by-cli.ess');
  copyFileSync(join(folder, opened), copy);
  // With nothing changed, `set` writes nothing, and the window's commit writes the
  // save as it was.
  if (args.length) execFileSync(cli, ['set', copy, '--yes', ...inCodePage, ...args]);
  check(readFileSync(copy).equals(Buffer.from(bytes)), `${what}: the save differs from the CLI's`);
  rmSync(copy);
  rmSync(copy.replace(/\.ess$/, '.bak'), { force: true });
}

async function runScenarios(browser, url, name) {
  const page = await browser.newPage();
  page.on('pageerror', (error) => check(false, `${name}: page error: ${error.message}`));
  await page.goto(url);
  await page.waitForSelector('body[data-ready="true"]');
  // What works only in a folder is offered only where a folder can be opened.
  const [shown, picker] = await page.evaluate(() => [['open-folder', 'help-versions', 'help-reload']
    .map((id) => !document.getElementById(id).hidden), 'showDirectoryPicker' in window]);
  check(shown.every((one) => one === picker) && (name === 'Chromium') === picker,
    `${name}: "Open folder...", Help's "Versions..." and "Reload" shown: ${shown}, a folder picker: ${picker}`);
  for (const scenario of scenarios) {
    const what = `${name}: ${scenario.name}`;
    await page.goto(url);
    await page.waitForSelector('body[data-ready="true"]');
    // What the wait box says, as a screen reader hears its live region change.
    await page.evaluate(() => {
      window.waitTexts = [];
      const box = document.getElementById('wait');
      new MutationObserver(() => window.waitTexts.push(box.textContent))
        .observe(box, { childList: true, characterData: true, subtree: true });
    });
    // The code page the row's player chose, and afterwards the one before (the page
    // remembers a choice for its next visit).
    const codePageBefore = await page.$eval('#code-page', (list) => list.value);
    if (scenario.codePage) await page.select('#code-page', String(scenario.codePage));
    const dialogs = [];
    for (const step of scenario.steps) await runStep(page, step, dialogs, what);
    check(same(dialogs, scenario.dialogs), `${what}: dialogs ${JSON.stringify(dialogs)}`);
    const commits = scenario.steps.filter((step) => step.commit).length;
    const waits = await page.evaluate(() => window.waitTexts.filter(Boolean));
    check(same(waits, Array(commits).fill('Now generating the new file. Please Wait')),
      `${what}: the wait box said ${JSON.stringify(waits)}`);
    const opened = scenario.steps.filter((step) => step.open).at(-1).open;
    if (scenario.saved) checkSaved(await page.evaluate(async () => [...await window.quellhart.saveBytes()]),
      opened, scenario.saved, what, scenario.codePage);
    if (scenario.codePage) await page.select('#code-page', codePageBefore);
  }
  await page.close();
}

// The page at each width and scheme: with nothing open, with a save, with a question.
async function checkLayouts(browser, url) {
  const page = await browser.newPage();
  await page.goto(url);
  await page.waitForSelector('body[data-ready="true"]');
  await page.addScriptTag({ content: axeSource });
  const axe = async (what) => {
    const found = await page.evaluate(async () => (await axe.run()).violations
      .map((v) => `${v.id} (${v.nodes.length})`));
    check(found.length === 0, `axe, ${what}: ${found.join(', ')}`);
  };
  for (const scheme of ['light', 'dark']) {
    await page.emulateMediaFeatures([{ name: 'prefers-color-scheme', value: scheme }]);
    for (const width of [320, 390, 640, 1280]) {
      const what = `${width} px, ${scheme}`;
      await page.setViewport({ width, height: 900 });
      if (width === 390 || width === 1280) await axe(`${what}, empty`);
      await drop(page, 'normal.ess');
      await answerAll(page);
      await page.select('#glob-list', '2');  // Month: "16.000000" fits where "3.000000" does
      await typeInto(page, '#glob-value', '16');
      await page.click('#confirm-change');
      const overflow = await page.evaluate(() => document.documentElement.scrollWidth - innerWidth);
      check(overflow <= 0, `${what}: the page scrolls sideways by ${overflow} px`);
      const cut = await page.$$eval('input:not([type=file])', (fields) => fields
        .filter((field) => field.scrollWidth > field.clientWidth).map((field) => field.id));
      check(cut.length === 0, `${what}: fields that do not show their whole value: ${cut}`);
      if (width <= 390) {  // touch targets of 44 px or more
        const small = await page.$$eval('input:not([type=file]), select, button, .button',
          (controls) => controls.filter((c) => c.checkVisibility() &&
            c.getBoundingClientRect().height < 44).map((c) => c.id || c.textContent));
        check(small.length === 0, `${what}: controls under 44 px: ${small}`);
      }
      // The file's name on a line of its own rather than broken inside a word.
      const lines = await page.$eval('#active-file', linesOfText);
      check(lines <= 1, `${what}: the file's name is broken over ${lines} lines`);
      // Help and each of its buttons inside the screen.
      await page.keyboard.press('F1');
      await page.waitForSelector('#help[open]');
      const outside = await page.$$eval('#help, #help button', (boxes, screen) => boxes
        .filter((box) => box.getBoundingClientRect().left < 0 ||
          box.getBoundingClientRect().right > screen)
        .map((box) => `${box.id || box.textContent} at ${box.getBoundingClientRect().left}`), width);
      check(outside.length === 0, `${what}: Help stands outside the screen: ${outside}`);
      await page.keyboard.press('Escape');
      if (width === 390 || width === 1280) {
        await axe(`${what}, a save open`);
        if (screenshots && scheme === 'light')
          await page.screenshot({ path: join(screenshots, `web-${width}.png`), fullPage: true });
        await page.click('#commit');
        await page.waitForSelector('#message[open]');
        await axe(`${what}, a question open`);
        await answerAll(page);
        await page.keyboard.press('F1');
        await page.waitForSelector('#help[open]');
        await axe(`${what}, Help open`);
        await page.keyboard.press('Escape');
      }
    }
  }
  await page.close();
}

const server = await servePage(pageFolder);
try {
  for (const { name, ...options } of kBrowsers) {
    const browser = await puppeteer.launch({ headless: true, ...options });
    try {
      if (!process.env.QH_LAYOUT_ONLY) await runScenarios(browser, server.url, name);
      if (name === 'Chromium') await checkLayouts(browser, server.url);
    } finally {
      await browser.close();
    }
  }
} finally {
  server.close();
  rmSync(folder, { recursive: true, force: true });
  rmSync(downloads, { recursive: true, force: true });
}
console.log(failures ? `${failures} checks failed`
  : `the page: ${scenarios.length} scenarios as the window runs them, each commit byte for byte as quellhart-cli set writes it, in Chromium and Firefox; no sideways scrolling and no cut field from 320 to 1280 px, axe finds nothing, light and dark`);
process.exit(failures ? 1 : 0);
