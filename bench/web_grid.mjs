// Going to a record in the web page over a long check: a generated
// submission of RECORDS records checked by `lintaro-cli serve`, then, in
// headless Chromium, "Go to record" for the last record and a few others,
// ROUNDS times each in turn. For each go it takes, in the page, the time from
// the Enter key to the record's row in the grid (read and drawn) and to its
// fields beside it; prints the medians and the slowest of each. Each round
// loads the page anew, so that no row is already in the grid.
//
//   node bench/web_grid.mjs            (run by bench/web-grid)
import { execFileSync } from 'node:child_process';
import { createReadStream, rmSync, statSync } from 'node:fs';
import { request } from 'node:http';
import { join } from 'node:path';
import { tempDir, startService, launchBrowser, gen } from '../tests/web/support.mjs';

const records = Number(process.env.RECORDS || 1000000);
const rounds = Number(process.env.ROUNDS || 5);
const targets = [records, 1, Math.floor(records / 2) + 7, records - 999, Math.floor(records / 4) + 123,
  records - 1];

// Sends the file as a check's upload without holding it in memory.
function upload(url, file) {
  return new Promise((resolve, reject) => {
    const req = request(`${url}api/v1/checks?name=long.txt`, {
      method: 'POST',
      headers: { 'Content-Type': 'application/octet-stream', 'Content-Length': statSync(file).size },
    }, (res) => {
      let body = '';
      res.on('data', (c) => { body += c; });
      res.on('end', () => (res.statusCode < 300 ? resolve(JSON.parse(body)) : reject(new Error(body))));
    });
    req.on('error', reject);
    createReadStream(file).pipe(req);
  });
}

const median = (xs) => {
  const s = [...xs].sort((a, b) => a - b);
  return s.length % 2 ? s[(s.length - 1) / 2] : (s[s.length / 2 - 1] + s[s.length / 2]) / 2;
};

async function main() {
  const work = tempDir('bench');
  let service;
  let browser;
  try {
    const file = join(work, 'long.txt');
    execFileSync(gen, ['--records', String(records), file]);
    service = await startService(join(work, 'data'));
    let started = Date.now();
    const { id } = await upload(service.url, file);
    rmSync(file);
    for (;;) {
      const s = await (await fetch(`${service.url}api/v1/checks/${id}`)).json();
      if (s.state === 'done' || s.state === 'failed') break;
      await new Promise((r) => setTimeout(r, 200));
    }
    console.log(`upload and check of ${records} records: ${((Date.now() - started) / 1000).toFixed(1)} s`);

    browser = await launchBrowser();
    const page = await browser.newPage({ viewport: { width: 1280, height: 800 } });
    const times = new Map(targets.map((n) => [n, { row: [], fields: [] }]));
    const opened = [];
    for (let round = 0; round < rounds; round += 1) {
      // Each round in a page loaded anew: no row of the grid read before.
      await page.goto('about:blank');
      started = Date.now();
      await page.goto(`${service.url}#check=${id}`);
      await page.waitForSelector('#record-fields[data-record="1"]');
      opened.push(Date.now() - started);
      for (const n of targets) {
        await page.fill('#goto', String(n));
        // Taken in the page: from the key to the first frame that shows each.
        const shown = page.evaluate((i) => new Promise((resolve) => {
          const input = document.getElementById('goto');
          let start = 0;
          let row = 0;
          input.addEventListener('keydown', () => { start = performance.now(); }, { once: true, capture: true });
          const look = () => {
            if (start) {
              const now = performance.now();
              if (!row && document.querySelector(`#tested-grid-row-${i - 1}:not(.loading)`)) row = now - start;
              if (document.getElementById('record-fields').dataset.record === String(i)) {
                resolve({ row: row || now - start, fields: now - start });
                return;
              }
            }
            requestAnimationFrame(look);
          };
          requestAnimationFrame(look);
        }), n);
        await page.press('#goto', 'Enter');
        const t = await shown;
        times.get(n).row.push(t.row);
        times.get(n).fields.push(t.fields);
      }
    }
    console.log(`page loaded with the check's first record: ${median(opened).toFixed(0)} ms `
      + `(slowest ${Math.max(...opened)})`);
    console.log(`go to record (${rounds} rounds, each in a page loaded anew; medians, slowest in brackets):`);
    const all = { row: [], fields: [] };
    for (const [n, t] of times) {
      all.row.push(...t.row);
      all.fields.push(...t.fields);
      console.log(`  record ${n.toLocaleString('en-US').padStart(9)}: row ${median(t.row).toFixed(0)} ms `
        + `(${Math.max(...t.row).toFixed(0)}), fields ${median(t.fields).toFixed(0)} ms `
        + `(${Math.max(...t.fields).toFixed(0)})`);
    }
    console.log(`  all: row ${median(all.row).toFixed(0)} ms, fields ${median(all.fields).toFixed(0)} ms; `
      + `slowest fields ${Math.max(...all.fields).toFixed(0)} ms`);
  } finally {
    if (browser) await browser.close();
    if (service) await service.stop();
    rmSync(work, { recursive: true, force: true });
  }
}

await main();
