// The browser edition's figures in headless Chromium: the page's size, the time to
// a ready page, opening and committing a large save (the library's own work, as the
// page measures it, and the whole way from choosing the file to the shown save or
// the offered download), the library's memory at its peak, and over three commits in
// a row of one save: the library's memory, the tab's (its renderer processes, the
// page and the library's worker, as the system counts them), and the longest time
// the page's thread was blocked.
//   node bench/web.mjs PAGE_FOLDER SAVE [ROUNDS]     (see bench/web.sh)
import { execFileSync } from 'node:child_process';
import { readFileSync, statSync } from 'node:fs';
import { createRequire } from 'node:module';
import { join, resolve } from 'node:path';
import { gzipSync } from 'node:zlib';
import { servePage } from '../web/tests/serve.mjs';

const require = createRequire(resolve('web/package.json'));
const { chromium } = require('playwright-core');
const [pageFolder, save] = process.argv.slice(2, 4).map((p) => resolve(p));
const rounds = Number(process.argv[4] ?? 5);
const median = (xs) => [...xs].sort((a, b) => a - b)[Math.floor((xs.length - 1) / 2)];
const range = (xs) => `${Math.min(...xs).toFixed(0)}-${Math.max(...xs).toFixed(0)}`;

const script = readFileSync(join(pageFolder, 'quellhart.js'));
const wasmBase64 = /base64,([A-Za-z0-9+/=]+)/.exec(script.toString())[1];
const wasm = Buffer.from(wasmBase64, 'base64');
console.log(`| quellhart.js | ${(script.length / 1024).toFixed(0)} KiB, ${(gzipSync(script).length / 1024).toFixed(0)} KiB gzipped |`);
console.log(`| its WebAssembly | ${(wasm.length / 1024).toFixed(0)} KiB, ${(gzipSync(wasm).length / 1024).toFixed(0)} KiB gzipped |`);

// The renderer processes' memory in MiB, each page counted once (proportional set
// sizes: shared pages split among the processes that share them). The browser keeps
// one spare renderer besides the tab's; it counts here too, a few MiB.
function renderersMiB() {
  const renderers = execFileSync('ps', ['-eo', 'pid=,args='], { encoding: 'utf8' }).split('\n')
    .filter((line) => line.includes('chromium') && line.includes('--type=renderer'))
    .map((line) => line.trim().split(' ')[0]);
  let kib = 0;
  for (const pid of renderers) {
    try {
      kib += Number(/^Pss:\s+(\d+)/m.exec(readFileSync(`/proc/${pid}/smaps_rollup`, 'utf8'))[1]);
    } catch { /* a process gone meanwhile */ }
  }
  return kib / 1024;
}

const server = await servePage(pageFolder);
const { url } = server;

const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: ['--no-sandbox'] });
const figures = { ready: [], open: [], openAll: [], commit: [], commitAll: [], memory: [] };
for (let round = 0; round < rounds; ++round) {
  const page = await browser.newPage({ acceptDownloads: true });
  let started = Date.now();
  await page.goto(url);
  await page.waitForSelector('body[data-ready="true"]');
  figures.ready.push(Date.now() - started);

  started = Date.now();
  await page.getByLabel('OpenFile').setInputFiles(save);
  await page.waitForFunction(() => performance.getEntriesByName('open save').length > 0);
  figures.openAll.push(Date.now() - started);
  await page.getByRole('group', { name: 'Player Data' }).getByLabel('Name', { exact: true }).fill('Benchmarked');
  await page.getByRole('button', { name: 'CommitChanges' }).click();
  const downloading = page.waitForEvent('download');
  started = Date.now();
  await page.getByRole('dialog', { name: 'Please Confirm' }).getByRole('button', { name: 'Yes' }).click();
  await (await downloading).path();
  figures.commitAll.push(Date.now() - started);
  const measured = await page.evaluate(async () => ({
    open: performance.getEntriesByName('open save')[0].duration,
    commit: performance.getEntriesByName('commit')[0].duration,
    memory: await window.quellhart.memoryBytes(),
  }));
  figures.open.push(measured.open);
  figures.commit.push(measured.commit);
  figures.memory.push(measured.memory / 1048576);
  await page.close();
}

// Three commits in a row, each answered as a player would (the backup question from
// the second on): the library's memory and the tab's after each, and the page's
// longest task meanwhile.
const inARow = [];
const tab = [];
let longestTask = 0;
{
  const page = await browser.newPage({ acceptDownloads: true });
  await page.addInitScript(() => {
    window.longestTask = 0;
    new PerformanceObserver((list) => {
      for (const task of list.getEntries()) window.longestTask = Math.max(window.longestTask, task.duration);
    }).observe({ type: 'longtask' });
  });
  await page.goto(url);
  await page.waitForSelector('body[data-ready="true"]');
  await page.evaluate(() => { window.longestTask = 0; });  // the page's own start aside
  await page.getByLabel('OpenFile').setInputFiles(save);
  await page.waitForFunction(() => performance.getEntriesByName('open save').length > 0);
  tab.push(renderersMiB());
  const answer = async (caption, button, saying = '') => {
    const box = page.getByRole('dialog', { name: caption }).filter({ hasText: saying });
    await box.waitFor();
    await box.getByRole('button', { name: button, exact: true }).click();
  };
  for (const [i, name] of ['First', 'Second', 'Third'].entries()) {
    await page.getByRole('group', { name: 'Player Data' }).getByLabel('Name', { exact: true }).fill(name);
    const downloading = page.waitForEvent('download');
    await page.getByRole('button', { name: 'CommitChanges' }).click();
    await answer('Please Confirm', 'Yes');
    if (i > 0) await answer('Please Confirm', 'Yes', 'Backup exists');  // the last commit's
    // Offered, not saved: three large downloads at once outgrow the browser's room for
    // them, which is not the library's.
    await (await downloading).cancel();
    await answer('Done', 'OK');
    inARow.push(await page.evaluate(() => window.quellhart.memoryBytes()) / 1048576);
    tab.push(renderersMiB());
  }
  longestTask = await page.evaluate(() => window.longestTask);
  await page.close();
}
await browser.close();
server.close();

const mib = (statSync(save).size / 1048576).toFixed(0);
const row = (what, xs, unit) => console.log(`| ${what} | ${median(xs).toFixed(0)} ${unit} (${range(xs)}) |`);
row('page ready (served, from navigation)', figures.ready, 'ms');
row(`open a ${mib} MiB save: the library`, figures.open, 'ms');
row(`open a ${mib} MiB save: choosing to shown`, figures.openAll, 'ms');
row(`commit it: the library`, figures.commit, 'ms');
row(`commit it: "Yes" to the download saved`, figures.commitAll, 'ms');
row('the library\'s memory at its peak', figures.memory, 'MiB');
const times = (xs) => `${xs.map((m) => m.toFixed(0)).join(', ')} MiB ` +
  `(${xs.map((m) => (m / Number(mib)).toFixed(2)).join(', ')}x the save)`;
console.log(`| the library's memory after 1, 2, 3 commits in a row | ${times(inARow)} |`);
console.log(`| the tab's memory after the open and 1, 2, 3 commits | ${times(tab)} |`);
console.log(`| the page's thread blocked at most, over the open and the commits | ${longestTask.toFixed(0)} ms |`);
