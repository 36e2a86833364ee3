// The web page of `lintaro-cli serve` in Debian's headless Chromium: uploads
// through the file chooser and by a drop, the figures and grids against
// `lintaro-cli report --format json`, the record view, the report downloads
// against `lintaro-cli report`, cancel, delete, the token, texts of a
// submission shown as text, axe-core in every state (light and dark), the
// keyboard alone, a phone's and a 4K screen's width, a long grid, and the
// first load.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { readFileSync, writeFileSync, rmSync, existsSync } from 'node:fs';
import { join } from 'node:path';
import {
  requireTools, tempDir, startService, runCli, cliJsonReport, launchBrowser, axeViolations,
  editedSubmission, splitSubmission, sourceDir, gen, chooseFiles, holdChecksRunning,
  startAndTakeId,
} from './support.mjs';

requireTools();
const mistakes = join(sourceDir, 'samples', 'mistakes.txt');
const clean = join(sourceDir, 'samples', 'clean.txt');
const LONG_RECORDS = Number(process.env.LINTARO_WEB_RECORDS || 200000);
let work;
let service;
let browser;
let context;
let cspProblems = [];

before(async () => {
  work = tempDir('test');
  service = await startService(join(work, 'data'));
  browser = await launchBrowser();
  context = await browser.newContext({ acceptDownloads: true, viewport: { width: 1280, height: 800 } });
});

after(async () => {
  if (browser) await browser.close();
  if (service) await service.stop();
  if (work) rmSync(work, { recursive: true, force: true });
});

async function openPage(url = service.url, ctx = context) {
  const page = await ctx.newPage();
  page.on('console', (m) => {
    if (/Content.Security.Policy|Refused to/i.test(m.text())) cspProblems.push(m.text());
  });
  page.on('pageerror', (e) => cspProblems.push(`page error: ${e.message}`));
  await page.goto(url);
  await page.waitForSelector('body[data-ready="yes"]');
  return page;
}

// In the light colours and in the dark ones the system's dark mode gives.
async function expectNoViolations(page, state) {
  for (const colorScheme of ['dark', 'light']) {
    await page.emulateMedia({ colorScheme });
    assert.deepEqual(await axeViolations(page), [], `axe-core in state "${state}", ${colorScheme}`);
  }
}

// Drops the files on the drop zone as a browser hands a dropped file over.
async function dropFiles(page, files) {
  const payload = files.map((f) => ({ name: f.split('/').pop(), data: readFileSync(f).toString('base64') }));
  await page.evaluate((list) => {
    const dt = new DataTransfer();
    for (const f of list) {
      const bytes = Uint8Array.from(atob(f.data), (c) => c.charCodeAt(0));
      dt.items.add(new File([bytes], f.name, { type: 'text/plain' }));
    }
    const zone = document.getElementById('drop');
    for (const type of ['dragenter', 'dragover', 'drop']) {
      zone.dispatchEvent(new DragEvent(type, { dataTransfer: dt, bubbles: true, cancelable: true }));
    }
  }, payload);
}

async function startAndWait(page, outcome) {
  await page.click('#start');
  await page.waitForSelector('body[data-state="done"][data-outcome]', { timeout: 60000 });
  const shown = await page.getAttribute('body', 'data-outcome');
  if (outcome) assert.equal(shown, outcome);
  return page.evaluate(() => location.hash.slice('#check='.length));
}

const figure = async (page, id) => Number((await page.textContent(id)).replace(/,/g, ''));

// The figures, the records with errors and each one's findings as the page
// shows them, walked with the arrow keys, against the JSON report.
async function expectResultsOf(page, report) {
  assert.equal(await figure(page, '#fig-tested'), report.records_tested);
  assert.equal(await figure(page, '#fig-with-errors'), report.records_with_errors);
  assert.equal(await figure(page, '#fig-errors'), report.errors_found);
  const byRecord = new Map();
  for (const e of report.errors) {
    if (!byRecord.has(e.record_number)) byRecord.set(e.record_number, []);
    byRecord.get(e.record_number).push(e);
  }
  await page.focus('#errors-grid .grid');
  await page.keyboard.press('Home');
  const seen = [];
  for (const [number, errors] of byRecord) {
    const row = page.locator('#errors-grid .row[aria-selected="true"]');
    await page.waitForFunction((n) => {
      const r = document.querySelector('#errors-grid .row[aria-selected="true"]:not(.loading)');
      return r && document.getElementById('findings-title').textContent === `Errors of record ${n}`
        && r.firstChild.textContent.replace(/\D/g, '') === String(n);
    }, number.toLocaleString('en-US'));
    const cells = await row.locator('[role="gridcell"]').allTextContents();
    const reference = errors[0].ssn ?? errors[0].ein ?? '';
    assert.deepEqual(cells.map((c) => c.replace(/^▸ /, '')),
      [number.toLocaleString('en-US'), errors[0].record_id, reference, String(errors.length)]);
    await page.waitForFunction((count) => document.querySelectorAll('#findings-grid .row').length === count,
      errors.length);
    const findings = await page.$$eval('#findings-grid .row', (rows) => rows.map((r) =>
      [...r.children].map((c) => c.textContent)));
    assert.deepEqual(findings.map((f) => [f[0].replace(/^▸ /, ''), ...f.slice(1)]), errors.map((e) => [
      e.field, e.positions ? (e.positions.start === e.positions.end ? `${e.positions.start}`
        : `${e.positions.start}–${e.positions.end}`) : '', e.user_entry, e.message]));
    seen.push(number);
    await page.keyboard.press('ArrowDown');
  }
  assert.equal(seen.length, report.records_with_errors);
}

// The bytes of a load, and when every control worked, from the start of
// the navigation (the page marks the moment).
async function measureLoad(page) {
  await page.goto(service.url);
  await page.waitForSelector('body[data-ready="yes"]');
  await page.waitForLoadState('networkidle');
  return page.evaluate(() => ({
    interactive: Math.round(performance.getEntriesByName('interactive')[0].startTime),
    bytes: [...performance.getEntriesByType('navigation'), ...performance.getEntriesByType('resource')]
      .reduce((sum, e) => sum + e.transferSize, 0),
  }));
}

test('first load: small, quick, and accessible when empty', async () => {
  const page = await context.newPage();
  // The first load of a browser just started includes starting its page process.
  const cold = await measureLoad(page);
  const load = await measureLoad(page);
  console.log(`first load: ${load.bytes} bytes, interactive after ${load.interactive} ms `
    + `(${cold.interactive} ms in a browser just started)`);
  assert.ok(load.bytes < 100 * 1024, `first load of ${load.bytes} bytes`);
  assert.ok(load.interactive < 1000, `interactive after ${load.interactive} ms`);
  assert.equal(await page.getAttribute('body', 'data-state'), 'empty');
  await expectNoViolations(page, 'empty');
  await page.close();
});

test('mistakes.txt through the file chooser: figures, grids, record view, reports', async () => {
  const page = await openPage();
  await chooseFiles(page, [mistakes]);
  // A slow upload, to see the uploading state.
  const cdp = await context.newCDPSession(page);
  await cdp.send('Network.enable');
  await cdp.send('Network.emulateNetworkConditions',
    { offline: false, latency: 0, downloadThroughput: -1, uploadThroughput: 8 * 1024 });
  await page.click('#start');
  await page.waitForSelector('body[data-state="uploading"] #progress:not([hidden])');
  assert.match(await page.textContent('#progress-label'), /Uploading/);
  await expectNoViolations(page, 'uploading');
  await page.waitForSelector('body[data-state="done"][data-outcome="findings"]', { timeout: 30000 });
  await cdp.send('Network.emulateNetworkConditions',
    { offline: false, latency: 0, downloadThroughput: -1, uploadThroughput: -1 });
  await expectNoViolations(page, 'done with findings');
  const id = await page.evaluate(() => location.hash.slice('#check='.length));
  await expectResultsOf(page, cliJsonReport([mistakes]));

  // The record view: record 3 has a field in error, marked by more than colour.
  await page.fill('#goto', '3');
  await page.press('#goto', 'Enter');
  await page.waitForSelector('#record-fields[data-record="3"]');
  const api = await (await page.request.get(`${service.url}api/v1/checks/${id}/records/3`)).json();
  const rows = await page.$$eval('#record-fields tbody tr', (trs) => trs.map((tr) => ({
    marked: tr.classList.contains('marked'),
    name: tr.children[1].textContent,
    mark: tr.children[3].textContent,
    value: tr.children[4].textContent,
    blanks: [...tr.children[4].querySelectorAll('.blank')].map((b) => b.getBoundingClientRect().width),
  })));
  assert.equal(rows.length, api.fields.length);
  api.fields.forEach((f, i) => {
    assert.equal(rows[i].name, f.name);
    assert.equal(rows[i].value, f.value, `value of field ${i} shown exactly`);
    assert.equal(rows[i].marked, f.marked);
    assert.equal(rows[i].mark, f.marked ? '✗ In error' : '');
    if (/ /.test(f.value)) assert.ok(rows[i].blanks.length > 0 && rows[i].blanks.every((w) => w > 0));
  });
  assert.ok(api.fields.some((f) => f.marked));
  assert.match(await page.textContent('#record-title'), /^Record 3 \(RCW\), 1 field in error$/);
  await expectNoViolations(page, 'record view');

  // Each report, byte for byte what `lintaro-cli report` gives for the same results.
  const folder = join(service.data, id);
  const employers = await page.$$eval('#report-employer option', (os) => os.map((o) => o.value));
  assert.deepEqual(employers, ['', '310000001', '310000002']);
  for (const [format, employer] of [['text', ''], ['html', ''], ['json', ''], ['csv', ''], ['json', '310000002'], ['text', '310000001']]) {
    await page.selectOption('#report-format', format);
    await page.selectOption('#report-employer', employer);
    const [download] = await Promise.all([page.waitForEvent('download'), page.click('#download')]);
    const got = readFileSync(await download.path());
    const args = ['report', '--home', folder, '--format', format];
    if (employer) args.push('--employer', employer);
    assert.ok(got.equals(runCli(args)), `${format} report ${employer}`);
    assert.match(download.suggestedFilename(), /^mistakes-errors\.(txt|html|json|csv)$/);
  }
  await page.close();
});

test('the record chosen last is the one shown, however late the answers to earlier choices', async () => {
  const page = await openPage();
  await chooseFiles(page, [mistakes]);
  await startAndWait(page, 'findings');
  // The answers about record 1 (from the errors grid) are held until after
  // record 5 (from Go to record) is shown.
  let release;
  const held = new Promise((resolve) => { release = resolve; });
  await page.route(/\/records\/1(\/findings)?$/, async (route) => {
    await held;
    route.continue();
  });
  await page.click('#errors-grid [role="row"][aria-rowindex="2"]');
  await page.fill('#goto', '5');
  await page.press('#goto', 'Enter');
  await page.waitForSelector('#record-fields[data-record="5"]');
  release();
  await page.waitForTimeout(500);
  assert.equal(await page.getAttribute('#record-fields', 'data-record'), '5');
  assert.match(await page.textContent('#record-title'), /^Record 5 /);
  await page.close();
});

test('a submission in two files, reordered in the chooser and dropped', async () => {
  const [first, second] = splitSubmission(mistakes, work, 7);
  const report = cliJsonReport([first, second]);
  const page = await openPage();
  await chooseFiles(page, [second, first]);
  await page.click('button[aria-label="Move part-1.txt up"]');
  assert.deepEqual(await page.$$eval('#file-list .name', (n) => n.map((e) => e.textContent)),
    ['part-1.txt', 'part-2.txt']);
  await startAndWait(page, 'findings');
  assert.equal(await page.textContent('#result-files'), 'Files: part-1.txt, part-2.txt');
  await expectResultsOf(page, report);
  await page.close();

  const dropped = await openPage();
  await dropFiles(dropped, [first, second]);
  assert.deepEqual(await dropped.$$eval('#file-list .name', (n) => n.map((e) => e.textContent)),
    ['part-1.txt', 'part-2.txt']);
  await startAndWait(dropped, 'findings');
  await expectResultsOf(dropped, report);
  await dropped.close();
});

test('what a submission holds is shown as text, never as HTML', async () => {
  const file = editedSubmission(mistakes, join(work, 'tags.txt'), [
    { record: 3, position: 40, text: '<script>&' },
    { record: 2, position: 44, text: '<b>A&amp;B</b><img src=x>' },
  ]);
  const page = await openPage();
  let dialogs = 0;
  page.on('dialog', (d) => { dialogs += 1; d.dismiss(); });
  await chooseFiles(page, [file]);
  await startAndWait(page);
  await page.fill('#goto', '3');
  await page.press('#goto', 'Enter');
  await page.waitForSelector('#record-fields[data-record="3"]');
  const values = await page.$$eval('#record-fields td.value', (tds) => tds.map((td) => td.textContent));
  assert.ok(values.some((v) => v.toLowerCase().includes('<script>&')), values.join('|'));
  const employers = await page.$$eval('#report-employer option', (os) => os.map((o) => o.textContent));
  assert.ok(employers.some((t) => t.toLowerCase().includes('<b>a&amp;b</b><img src=x>')), employers.join('|'));
  assert.equal(await page.locator('main script, main img, main b').count(), 0);
  assert.equal(dialogs, 0);
  await page.close();
});

// Eleven all-zero correct amounts in one employee record (pairs that no
// Social Security rule reads): ten findings, and the run's alert beside the outcome.
test('the alert of a check, and a file left unread, are shown with its outcome', async () => {
  const pairs = [[244, 255], [266, 277], [398, 409], [420, 431], [442, 453], [464, 475],
    [486, 497], [508, 519], [530, 541], [552, 563], [596, 607]];
  const file = editedSubmission(clean, join(work, 'zeros.txt'), pairs.flatMap(([orig, correct]) => [
    { record: 3, position: orig, text: '00000000100' },
    { record: 3, position: correct, text: '00000000000' },
  ]));
  const page = await openPage();
  await chooseFiles(page, [file]);
  await startAndWait(page, 'findings');
  assert.match(await page.textContent('#outcome'),
    /again\. 11 instance\(s\) found where the corrected money field\(s\) is\/are zero\./);
  await page.close();

  // A file after the final record is not read: no clean verdict on it.
  const unread = await openPage();
  await chooseFiles(unread, [clean, mistakes]);
  const id = await startAndWait(unread, 'clean');
  assert.equal(await unread.textContent('#outcome'), 'No errors were found in the submission. ' +
    'File mistakes.txt was not read: the submission ended with its final record in clean.txt.');
  assert.equal(await unread.getAttribute('#outcome', 'class'), 'outcome bad');
  assert.match(await unread.textContent(`#recent-rows tr[data-id="${id}"]`),
    /submission\. File mistakes\.txt was not read: /);
  await unread.close();
});

// A service killed during a check leaves its results without the check's
// ending; the next one holds the check as not finished. The page shows the
// records it reached, their errors and their report, never a verdict.
test('a check the service did not finish: what it found so far, labelled unfinished', async () => {
  const many = join(work, 'many-mistakes.txt');
  execFileSync(gen, ['--records', '1500', '--mistakes', many]);
  const data = join(work, 'restarted');
  let held = await startService(data);
  const ids = [];
  for (const file of [mistakes, many, clean]) {
    const res = await fetch(`${held.url}api/v1/checks?name=x.txt&max_errors=25000`, {
      method: 'POST', headers: { 'Content-Type': 'application/octet-stream' }, body: readFileSync(file) });
    const { id } = await res.json();
    while (!/done|failed/.test((await (await fetch(`${held.url}api/v1/checks/${id}`)).json()).state)) {
      await new Promise((r) => setTimeout(r, 100));
    }
    ids.push(id);
  }
  await held.stop();
  for (const id of ids) rmSync(join(data, id, 'check.json'));
  rmSync(join(data, ids[2], 'ERRLOG2C.MDB')); // killed before it wrote any result
  held = await startService(data);
  try {
    for (const [i, id] of ids.entries()) {
      const folder = join(data, id);
      const page = await openPage(`${held.url}#check=${id}`);
      await page.waitForSelector('body[data-state="done"][data-outcome="incomplete"]');
      assert.match(await page.textContent('#outcome'), /^Testing did not finish: the results cover only the records tested\./);
      if (i === 2) {
        await page.waitForTimeout(500);
        assert.equal(await page.isHidden('#message'), true, await page.textContent('#message-text'));
        assert.equal(await figure(page, '#fig-tested'), 0);
        assert.equal(await page.isDisabled('#download'), true);
        await page.close();
        continue;
      }
      const report = JSON.parse(runCli(['report', '--home', folder, '--format', 'json']).toString());
      if (i === 0) {
        await expectResultsOf(page, report);
        await expectNoViolations(page, 'done, not finished');
      } else {
        assert.deepEqual([await figure(page, '#fig-tested'), await figure(page, '#fig-with-errors'),
          await figure(page, '#fig-errors')], [report.records_tested, report.records_with_errors, report.errors_found]);
        assert.ok(report.records_with_errors > 1000);
      }
      const [download] = await Promise.all([page.waitForEvent('download'), page.click('#download')]);
      assert.ok(readFileSync(await download.path()).equals(runCli(['report', '--home', folder, '--format', 'text'])));
      await page.close();
    }
  } finally {
    await held.stop();
  }
});

// Results deleted behind the service after a clean check leave no verdict
// to show: neither the clean colours nor figures that read as a clean check's.
test('a check whose results were deleted since: no verdict and no figures', async () => {
  const page = await openPage();
  await chooseFiles(page, [clean]);
  const id = await startAndWait(page, 'clean');
  rmSync(join(work, 'data', id, 'ERRLOG2C.MDB'));
  const again = await openPage(`${service.url}#check=${id}`);
  await again.waitForSelector('body[data-state="done"][data-outcome="unreadable"]');
  assert.match(await again.textContent('#outcome'), /^The results of this check cannot be read: check the submission again\./);
  assert.equal(await again.getAttribute('#outcome', 'class'), 'outcome bad');
  assert.deepEqual(await Promise.all(['#fig-tested', '#fig-with-errors', '#fig-errors'].map((f) => again.textContent(f))),
    ['–', '–', '–']);
  assert.equal(await again.isDisabled('#download'), true);
  await again.close();
  await page.close();
});

test('a clean submission, an error message, and deleting a check', async () => {
  const page = await openPage();
  await chooseFiles(page, [clean]);
  const id = await startAndWait(page, 'clean');
  assert.match(await page.textContent('#outcome'), /No errors were found/);
  await expectNoViolations(page, 'done clean');

  await chooseFiles(page, [mistakes]);
  await page.fill('#max-errors', '0');
  await page.click('#start');
  await page.waitForSelector('#message:not([hidden])');
  assert.match(await page.textContent('#message-text'), /error limit must be a whole number from 1 to 25,000/);
  await expectNoViolations(page, 'error message');
  await page.keyboard.press('Escape');
  assert.equal(await page.isHidden('#message'), true);
  // A problem met at the foot of the page is told where the user is.
  await page.route(/\/api\/v1\/checks$/, (route) => route.abort());
  await page.click('#recent-refresh');
  await page.waitForSelector('#message:not([hidden])');
  assert.ok(await page.evaluate(() => window.scrollY > 300), 'the page was scrolled down');
  assert.ok(await page.$eval('#message', (m) => m.getBoundingClientRect().top >= 0
    && m.getBoundingClientRect().bottom <= window.innerHeight), 'the message is in view');
  await page.unroute(/\/api\/v1\/checks$/);
  await page.click('#message-close');

  page.once('dialog', (d) => d.accept());
  await page.click(`#recent-rows tr[data-id="${id}"] button:text("Delete")`);
  await page.waitForSelector(`#recent-rows tr[data-id="${id}"]`, { state: 'detached' });
  assert.equal((await page.request.get(`${service.url}api/v1/checks/${id}`)).status(), 404);
  assert.equal(existsSync(join(service.data, id)), false);
  assert.equal(await page.isHidden('#result'), true);
  await page.close();
});

for (const how of ['cancelled', 'deleted from the list of checks']) {
  test(`running, then ${how}: the check and its files are deleted`, async () => {
    const page = await openPage();
    // The check's status and events held at a check that runs, so that the page stays there.
    await holdChecksRunning(page, {
      records_tested: 1234, bytes_read: 5000, bytes_total: 16416, files: ['mistakes.txt'],
    });
    await chooseFiles(page, [mistakes]);
    const id = await startAndTakeId(page);
    await page.waitForFunction(() => document.body.dataset.state === 'running'
      && /1,234 records tested/.test(document.getElementById('progress-bar').getAttribute('aria-valuetext')));
    await expectNoViolations(page, 'running');
    // A file chosen now would join no check: refused, and the list stays the check's.
    await chooseFiles(page, [clean]);
    assert.match(await page.textContent('#message-text'), /A check is under way: wait for it to end/);
    assert.deepEqual(await page.$$eval('#file-list .name', (n) => n.map((e) => e.textContent)), ['mistakes.txt']);
    await page.click('#message-close');
    if (how === 'cancelled') {
      await page.click('#cancel');
    } else {
      await page.click('#recent-refresh');
      page.once('dialog', (d) => d.accept());
      await page.click(`#recent-rows tr[data-id="${id}"] button:text("Delete")`);
    }
    // The page stops following it at once, and has nothing to say against it.
    await page.waitForSelector('body[data-state="empty"]');
    assert.match(await page.textContent('#live'), how === 'cancelled' ? /cancelled/ : /was deleted/);
    assert.equal(await page.isHidden('#message'), true);
    assert.equal((await page.request.get(`${service.url}api/v1/checks/${id}`)).status(), 404);
    assert.equal(existsSync(join(service.data, id)), false);
    await page.close();
  });
}

test('the service away for a moment while the page follows a check: followed again, then shown', async () => {
  const page = await openPage();
  let phase = 'running';
  await page.route(/\/api\/v1\/checks\/[^/]+(\/events)?$/, (route) => {
    if (route.request().method() !== 'GET' || phase === 'back') return route.continue();
    if (phase === 'away') return route.abort('connectionrefused');
    const status = { id: route.request().url().split('/')[6], state: 'running', records_tested: 1, files: ['mistakes.txt'] };
    return route.fulfill(route.request().url().endsWith('/events')
      ? { status: 200, contentType: 'text/event-stream', body: `data: ${JSON.stringify(status)}\n\n` }
      : { status: 200, contentType: 'application/json', body: JSON.stringify(status) });
  });
  await chooseFiles(page, [mistakes]);
  await page.click('#start');
  await page.waitForSelector('body[data-state="running"]');
  phase = 'away';
  await page.waitForFunction(() => /cannot be reached: trying again/
    .test(document.getElementById('progress-bar').getAttribute('aria-valuetext')));
  assert.equal(await page.isHidden('#message'), true);
  phase = 'back';
  await page.waitForSelector('body[data-state="done"][data-outcome="findings"]');
  assert.equal(await page.isHidden('#message'), true);
  await page.close();
});

// Told by its events; with a token (which EventSource cannot send) by its
// status, polled: the same words either way.
for (const token of ['', 'any-token']) {
  test(`a check deleted elsewhere while it runs${token ? ', followed with a token' : ''}: `
    + 'the page says so and can start another', async () => {
    const ctx = await browser.newContext();
    await ctx.addInitScript((t) => { if (t) sessionStorage.setItem('lintaro-token', t); }, token);
    const page = await openPage(service.url, ctx);
    if (token) {
      let gone = false;
      await holdChecksRunning(page, { records_tested: 1, files: ['mistakes.txt'] }, () => gone);
      await chooseFiles(page, [mistakes]);
      const id = await startAndTakeId(page);
      await page.waitForSelector('body[data-state="running"]');
      assert.equal((await page.request.delete(`${service.url}api/v1/checks/${id}`)).status(), 204);
      gone = true;
    } else {
      await page.route(/\/api\/v1\/checks\/[^/]+\/events$/, (route) => route.fulfill({
        status: 200,
        contentType: 'text/event-stream',
        body: `data: ${JSON.stringify({ id: route.request().url().split('/')[6], state: 'running', records_tested: 1 })}`
          + '\n\nevent: deleted\ndata: {}\n\n',
      }));
      await chooseFiles(page, [mistakes]);
      await page.click('#start');
    }
    await page.waitForSelector('#message:not([hidden])');
    assert.equal(await page.textContent('#message-text'), 'The check was deleted before it ended.');
    assert.equal(await page.getAttribute('body', 'data-state'), 'empty');
    assert.equal(await page.isEnabled('#start'), true);
    await ctx.close();
  });
}

test(`a grid of ${LONG_RECORDS} records: only the rows in view, a record reached by reading near it alone`, async () => {
  const long = join(work, 'long.txt');
  execFileSync(gen, ['--records', String(LONG_RECORDS), long]);
  const page = await openPage();
  // The same file checked through the API, then shown by the page.
  const upload = await page.request.post(`${service.url}api/v1/checks?name=long.txt`, {
    headers: { 'Content-Type': 'application/octet-stream' }, data: readFileSync(long) });
  const { id: longId } = await upload.json();
  rmSync(long);
  for (;;) {
    const s = await (await page.request.get(`${service.url}api/v1/checks/${longId}`)).json();
    if (s.state === 'done' || s.state === 'failed') break;
    await new Promise((r) => setTimeout(r, 200));
  }
  await page.goto(`${service.url}#check=${longId}`);
  await page.waitForSelector('#tested-grid .row:not(.loading)');
  const rendered = await page.locator('#tested-grid .row').count();
  assert.ok(rendered < 40, `${rendered} rows in the page`);
  // Large numbers with their thousands grouped.
  assert.equal(await page.textContent('#goto-hint'), `1 to ${LONG_RECORDS.toLocaleString('en-US')}`);
  assert.equal(await page.textContent('#tested-grid-title'),
    `Records tested (${LONG_RECORDS.toLocaleString('en-US')})`);
  // What the page asks the service for: going to a record must read only
  // the rows near it, however long the grid (timings are for benchmarks).
  const asked = [];
  page.on('request', (r) => {
    const url = new URL(r.url());
    if (/\/records$/.test(url.pathname)) asked.push([Number(url.searchParams.get('offset')),
      Number(url.searchParams.get('limit'))]);
  });
  // Going to a record: its row in the grid, then the record view beside it.
  const goTo = async (n) => {
    asked.length = 0;
    await page.fill('#goto', String(n));
    const started = await page.evaluate(() => performance.now());
    await page.press('#goto', 'Enter');
    const row = await page.evaluate(() => performance.now());
    await page.waitForFunction((i) => document.querySelector(`#tested-grid-row-${i - 1}:not(.loading)`), n,
      { polling: 'raf' });
    const shownRow = (await page.evaluate(() => performance.now())) - started;
    await page.waitForFunction((i) => document.getElementById('record-fields').dataset.record === String(i), n,
      { polling: 'raf' });
    const shownFields = (await page.evaluate(() => performance.now())) - started;
    console.log(`go to record ${n} of ${LONG_RECORDS}: its row after ${shownRow.toFixed(0)} ms, `
      + `its fields after ${shownFields.toFixed(0)} ms (${(row - started).toFixed(0)} ms to press Enter)`);
    assert.ok(asked.length > 0 && asked.length <= 4, `${asked.length} reads of rows for record ${n}`);
    for (const [offset, limit] of asked)
      assert.ok(limit <= 200 && Math.abs(offset - n) <= 500, `rows ${offset}+${limit} read for record ${n}`);
  };
  await goTo(LONG_RECORDS);
  await goTo(Math.floor(LONG_RECORDS / 2) + 7);
  await page.focus('#tested-grid .grid');
  await page.keyboard.press('End');
  await page.waitForSelector(`#tested-grid-row-${LONG_RECORDS - 1}:not(.loading)`);
  assert.ok(await page.locator('#tested-grid .row').count() < 40);
  await page.close();
});

test('by keyboard alone: choose, start, walk the grids, go to a record, download', async () => {
  const page = await openPage();
  const tabTo = async (selector, limit = 60) => {
    for (let i = 0; i < limit; i += 1) {
      await page.keyboard.press('Tab');
      if (await page.evaluate((s) => document.activeElement === document.querySelector(s), selector)) return;
    }
    assert.fail(`Tab never reached ${selector}`);
  };
  // Asked for before the key is pressed: the browser's chooser is caught only once asked for.
  const chosen = page.waitForEvent('filechooser');
  await tabTo('#choose');
  await page.keyboard.press('Enter');
  const chooser = await chosen;
  await chooser.setFiles([mistakes]);
  await tabTo('#start');
  await page.keyboard.press('Enter');
  await page.waitForSelector('body[data-state="done"][data-outcome="findings"]');
  const outline = await page.evaluate(() => getComputedStyle(document.activeElement).outlineStyle);
  await tabTo('#errors-grid .grid');
  assert.notEqual(await page.evaluate(() => getComputedStyle(document.activeElement).outlineStyle), 'none');
  assert.ok(outline !== undefined);
  await page.keyboard.press('ArrowDown');
  await page.waitForFunction(() => document.getElementById('findings-title').textContent === 'Errors of record 2');
  await tabTo('#goto');
  await page.keyboard.type('5');
  await page.keyboard.press('Enter');
  await page.waitForSelector('#record-fields[data-record="5"]');
  await page.keyboard.press('ArrowDown');
  await page.waitForSelector('#record-fields[data-record="6"]');
  await tabTo('#report-format');
  await page.keyboard.press('ArrowDown');
  assert.equal(await page.inputValue('#report-format'), 'html');
  await tabTo('#download');
  const [download] = await Promise.all([page.waitForEvent('download'), page.keyboard.press('Enter')]);
  assert.equal(download.suggestedFilename(), 'mistakes-errors.html');
  await page.close();
});

test('a phone and a 4K screen: no sideways scroll of the page, nor on a phone of a table in it', async () => {
  const page = await openPage();
  await chooseFiles(page, [mistakes]);
  const id = await startAndWait(page, 'findings');
  for (const [width, height] of [[390, 844], [3840, 2160], [1280, 800]]) {
    await page.setViewportSize({ width, height });
    await page.goto(`${service.url}#check=${id}`);
    await page.waitForSelector('#record-fields[data-record]');
    const [scroll, client] = await page.evaluate(() =>
      [document.documentElement.scrollWidth, document.documentElement.clientWidth]);
    assert.ok(scroll <= client, `${width}x${height}: the page is ${scroll} px wide in ${client}`);
    if (width > 640) continue;  // wider, a long value of the record view scrolls in its box
    await page.waitForSelector('#findings-grid .row[role="row"] .found');
    const wide = await page.evaluate(() => [...document.querySelectorAll('.grid, .fields-wrap, .table-wrap')]
      .filter((el) => el.scrollWidth > el.clientWidth + 1)
      .map((el) => `${el.parentElement.id || el.id}: ${el.scrollWidth} px in ${el.clientWidth}`));
    assert.deepEqual(wide, [], `${width}x${height}: scrolls sideways`);
  }
  await page.close();
});

test('a service with a token: asked once, kept for the tab only, a wrong one refused', async () => {
  const tokenFile = join(work, 'token');
  writeFileSync(tokenFile, 'the-right-token\n', { mode: 0o600 });
  const guarded = await startService(join(work, 'guarded'), ['--token-file', tokenFile]);
  const ctx = await browser.newContext();
  try {
    const page = await ctx.newPage();
    await page.goto(guarded.url);
    await page.waitForSelector('#token-dialog[open]');
    await expectNoViolations(page, 'token asked');
    await page.fill('#token-input', 'a-wrong-token');
    await page.press('#token-input', 'Enter');
    await page.waitForFunction(() => document.getElementById('token-dialog').open
      && /not accepted/.test(document.getElementById('token-why').textContent));
    await page.keyboard.press('Escape');
    await page.waitForSelector('#message:not([hidden])');
    assert.match(await page.textContent('#message-text'), /needs its token/);
    await expectNoViolations(page, 'error message (token)');

    await page.reload();
    await page.waitForSelector('#token-dialog[open]');
    await page.fill('#token-input', 'the-right-token');
    await page.press('#token-input', 'Enter');
    await page.waitForSelector('body[data-ready="yes"]');
    await chooseFiles(page, [mistakes]);
    await startAndWait(page, 'findings');
    await expectResultsOf(page, cliJsonReport([mistakes]));
    assert.equal(await page.evaluate(() => sessionStorage.getItem('lintaro-token')), 'the-right-token');
    assert.equal(await page.evaluate(() => localStorage.length), 0);
    assert.equal(await page.locator('#token-dialog[open]').count(), 0);
    await page.close();
  } finally {
    await ctx.close();
    await guarded.stop();
  }
});

test('the page ran only its own code (Content-Security-Policy kept)', () => {
  assert.deepEqual(cspProblems, []);
});
