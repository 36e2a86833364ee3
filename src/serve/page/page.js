// The page of lintaro-cli serve: upload a submission, follow its check, read
// its results (figures, grids, the record view), download its reports, and
// keep track of the checks the service holds. Everything that comes from a
// submission goes into the page as text (textContent), never as HTML.

const $ = (id) => document.getElementById(id);
const TOKEN_KEY = 'lintaro-token';
const PAGE_ROWS = 100;            // rows asked for at once by a grid
const ROW_PX = 32;                // height of a grid row; the CSS's --row
const MAX_SCROLL_PX = 8000000;    // tallest scrolled area browsers all handle
const RECONNECT_MS = 60000;       // how long a check followed is asked for while the service is away
// Whole numbers with their thousands grouped, as en-US writes them. Not
// Intl.NumberFormat: making one costs a browser just started 30 to 80 ms
// before the page can be used.
const numbers = { format: (n) => String(Math.trunc(Number(n))).replace(/\B(?=(\d{3})+(?!\d))/g, ',') };

// status: the service's answer, when it gave one (404 for a check it no
// longer holds).
class ApiError extends Error {
  constructor(message, status = 0) {
    super(message);
    this.status = status;
  }
}
class Cancelled extends Error {}
// No answer at all: the service is down, restarting, or out of reach.
class Unreachable extends ApiError {}

// ---------------------------------------------------------------- the token

const session = { token: sessionStorage.getItem(TOKEN_KEY) || '', asking: null };

// Asks for the token once, however many requests were refused meanwhile.
function askToken(again) {
  if (session.asking) return session.asking;
  const dialog = $('token-dialog');
  $('token-why').textContent = again
    ? 'The token was not accepted. Ask the service\'s administrator for the token.'
    : 'Ask the service\'s administrator for the token.';
  $('token-input').value = '';
  session.asking = new Promise((resolve) => {
    const done = (value) => {
      dialog.removeEventListener('close', onClose);
      session.asking = null;
      resolve(value);
    };
    const onClose = () => {
      const value = dialog.returnValue === 'ok' ? $('token-input').value.trim() : '';
      if (value) {
        session.token = value;
        sessionStorage.setItem(TOKEN_KEY, value);
      }
      done(value);
    };
    dialog.returnValue = '';
    dialog.addEventListener('close', onClose);
    dialog.showModal();
    $('token-input').focus();
  });
  return session.asking;
}

function authHeaders() {
  return session.token ? { Authorization: `Bearer ${session.token}` } : {};
}

async function errorOf(res) {
  try {
    const body = await res.json();
    if (body && body.error && body.error.message) return new ApiError(sentence(body.error.message), res.status);
  } catch (e) { /* not JSON */ }
  return new ApiError(`The service answered ${res.status}.`, res.status);
}

function sentence(text) {
  const s = text.charAt(0).toUpperCase() + text.slice(1);
  return /[.!?]$/.test(s) ? s : `${s}.`;
}

// A request to the API; asks for the token when the service wants one.
async function api(path, options = {}) {
  let refused = false;
  for (;;) {
    let res;
    try {
      res = await fetch(path, { ...options, headers: { ...authHeaders(), ...(options.headers || {}) } });
    } catch (e) {
      throw new Unreachable('The service cannot be reached. Is lintaro-cli serve still running?');
    }
    if (res.status !== 401) {
      if (!res.ok) throw await errorOf(res);
      return res;
    }
    const given = await askToken(refused || Boolean(session.token));
    if (!given) throw new ApiError('This service needs its token: nothing can be shown without it.');
    refused = true;
  }
}

const apiJson = async (path, options) => (await api(path, options)).json();

// ---------------------------------------------------------------- messages

function showMessage(text) {
  $('message-text').textContent = text;
  $('message').hidden = false;
  document.body.dataset.message = 'shown';
}

function hideMessage() {
  $('message').hidden = true;
  delete document.body.dataset.message;
}

function announce(text) { $('live').textContent = text; }

function setState(state) { document.body.dataset.state = state; }

// ---------------------------------------------------------------- values

// A value as it is, its blanks shaded so that they can be seen and counted.
function valueNodes(value) {
  const frag = document.createDocumentFragment();
  for (const part of String(value).split(/( +)/)) {
    if (!part) continue;
    if (part[0] === ' ') {
      const span = document.createElement('span');
      span.className = 'blank';
      span.textContent = part;
      frag.append(span);
    } else {
      frag.append(document.createTextNode(part));
    }
  }
  return frag;
}

function positionsText(p) {
  if (!p) return '';
  return p.start === p.end ? String(p.start) : `${p.start}–${p.end}`;
}

function cell(tag, text, className) {
  const el = document.createElement(tag);
  if (className) el.className = className;
  if (text instanceof Node) el.append(text); else el.textContent = text;
  return el;
}

// ---------------------------------------------------------------- grids

// A grid of rows read on demand: only the rows in view are asked for and in
// the page. role="grid", arrow keys, Page Up/Down, Home/End; the active row
// is the grid's aria-activedescendant. flow: all rows given at once, each
// as high as its text (the findings of one record).
class Grid {
  constructor(host, { label, columns, flow = false, onSelect, onActivate }) {
    this.columns = columns;
    this.flow = flow;
    this.onSelect = onSelect;
    this.onActivate = onActivate;
    this.total = 0;
    this.active = -1;
    this.pages = new Map();
    this.loading = new Map();
    this.fetchRows = null;
    this.generation = 0;
    this.id = host.id;
    // The grid itself scrolls, under its header row, so that it is the
    // one element to focus and to scroll by keyboard.
    const el = document.createElement('div');
    el.className = `grid ${flow ? 'flow' : 'virtual'}`;
    el.setAttribute('role', 'grid');
    el.setAttribute('aria-labelledby', label);
    el.tabIndex = 0;
    el.style.setProperty('--cols', columns.map((c) => c.width).join(' '));
    const head = document.createElement('div');
    head.className = 'head';
    head.setAttribute('role', 'row');
    head.setAttribute('aria-rowindex', '1');
    for (const c of columns) {
      const h = cell('div', c.title, c.num ? 'num' : '');
      h.setAttribute('role', 'columnheader');
      head.append(h);
    }
    this.spacer = document.createElement('div');
    this.spacer.className = 'spacer';
    this.spacer.setAttribute('role', 'rowgroup');
    el.append(head, this.spacer);
    host.replaceChildren(el);
    this.el = el;
    this.viewport = el;
    this.head = head;
    this.viewport.addEventListener('scroll', () => this.schedule());
    el.addEventListener('keydown', (e) => this.key(e));
    el.addEventListener('pointerdown', () => el.classList.remove('kbd'));
    this.spacer.addEventListener('click', (e) => this.click(e));
    this.spacer.addEventListener('dblclick', () => this.onActivate && this.onActivate(this.active));
    new ResizeObserver(() => this.schedule()).observe(this.viewport);
  }

  // fetchRows(offset, limit) gives a promise of the rows; rows: all of them (flow).
  load(total, fetchRows, rows) {
    this.generation += 1;
    this.total = total;
    this.fetchRows = fetchRows;
    this.pages = new Map();
    this.loading = new Map();
    if (rows) this.pages.set(0, rows);
    this.active = -1;
    this.el.setAttribute('aria-rowcount', String(total + 1));
    this.el.removeAttribute('aria-activedescendant');
    this.viewport.scrollTop = 0;
    this.render();
  }

  get viewHeight() { return Math.max(ROW_PX, this.viewport.clientHeight - this.head.offsetHeight); }
  get realHeight() { return this.total * ROW_PX; }
  get usedHeight() { return Math.min(this.realHeight, MAX_SCROLL_PX); }

  // Where the rows' top is, in unscaled pixels, for the viewport's scroll.
  virtualTop() {
    const maxScroll = this.usedHeight - this.viewHeight;
    const realMax = this.realHeight - this.viewHeight;
    if (maxScroll <= 0) return 0;
    return Math.min(realMax, this.viewport.scrollTop * (realMax / maxScroll));
  }

  scrollToRow(index) {
    if (this.flow) {
      const row = this.rowElement(index);
      if (row) row.scrollIntoView({ block: 'nearest' });
      return;
    }
    const top = this.virtualTop();
    let target = top;
    if (index * ROW_PX < top) target = index * ROW_PX;
    else if ((index + 1) * ROW_PX > top + this.viewHeight) target = (index + 1) * ROW_PX - this.viewHeight;
    if (target === top) return;
    const maxScroll = this.usedHeight - this.viewHeight;
    const realMax = this.realHeight - this.viewHeight;
    this.viewport.scrollTop = realMax > 0 ? target * (maxScroll / realMax) : 0;
  }

  schedule() {
    if (this.pending) return;
    this.pending = requestAnimationFrame(() => {
      this.pending = 0;
      this.render();
    });
  }

  row(index) {
    const page = this.pages.get(Math.floor(index / PAGE_ROWS));
    return page ? page[index % PAGE_ROWS] : undefined;
  }

  // The row at index once it has been read.
  async rowAt(index) {
    const have = this.row(index);
    if (have) return have;
    await this.fetchPage(Math.floor(index / PAGE_ROWS));
    return this.row(index);
  }

  // Reads a page of rows once; the same promise while it is on its way.
  fetchPage(page) {
    if (this.pages.has(page)) return Promise.resolve();
    if (this.loading.has(page)) return this.loading.get(page);
    if (!this.fetchRows) return Promise.resolve();
    const generation = this.generation;
    const promise = this.fetchRows(page * PAGE_ROWS, PAGE_ROWS).then((rows) => {
      if (generation !== this.generation) return;
      this.pages.set(page, rows);
      this.forget(page);
      this.schedule();
    }, (e) => {
      if (generation === this.generation) showMessage(e.message);
    }).finally(() => {
      if (generation === this.generation) this.loading.delete(page);
    });
    this.loading.set(page, promise);
    return promise;
  }

  // Keeps the pages near the one read, so a long grid holds little.
  forget(near) {
    if (this.pages.size <= 24) return;
    for (const page of this.pages.keys()) {
      if (Math.abs(page - near) > 8) this.pages.delete(page);
    }
  }

  render() {
    if (this.flow) return this.renderFlow();
    this.spacer.style.height = `${this.usedHeight}px`;
    const top = this.virtualTop();
    const first = Math.max(0, Math.floor(top / ROW_PX) - 2);
    const last = Math.min(this.total - 1, Math.ceil((top + this.viewHeight) / ROW_PX) + 2);
    const rows = [];
    for (let i = first; i <= last; i += 1) {
      const data = this.row(i);
      if (data === undefined) this.fetchPage(Math.floor(i / PAGE_ROWS));
      const el = this.rowNode(i, data);
      el.style.top = `${this.viewport.scrollTop + i * ROW_PX - top}px`;
      rows.push(el);
    }
    this.spacer.replaceChildren(...rows);
    if (this.total === 0) this.spacer.append(this.emptyNode());
    this.markActive();
  }

  renderFlow() {
    const rows = this.pages.get(0) || [];
    const nodes = rows.map((data, i) => this.rowNode(i, data));
    this.spacer.replaceChildren(...nodes);
    if (this.total === 0) this.spacer.append(this.emptyNode());
    this.markActive();
  }

  emptyNode() {
    const empty = cell('div', this.emptyText || 'Nothing to show.', 'empty');
    empty.setAttribute('role', 'row');
    const inner = cell('div', empty.textContent);
    inner.setAttribute('role', 'gridcell');
    inner.setAttribute('aria-colspan', String(this.columns.length));
    empty.replaceChildren(inner);
    return empty;
  }

  rowNode(i, data) {
    const el = document.createElement('div');
    el.className = data ? 'row' : 'row loading';
    el.id = `${this.id}-row-${i}`;
    el.dataset.index = String(i);
    el.setAttribute('role', 'row');
    el.setAttribute('aria-rowindex', String(i + 2));
    el.setAttribute('aria-selected', i === this.active ? 'true' : 'false');
    for (const c of this.columns) {
      const text = data ? c.value(data) : (c === this.columns[0] ? '…' : '');
      const td = cell('div', text, [c.num ? 'num' : '', c.cls || ''].join(' ').trim());
      td.setAttribute('role', 'gridcell');
      el.append(td);
    }
    return el;
  }

  rowElement(index) { return document.getElementById(`${this.id}-row-${index}`); }

  markActive() {
    const row = this.active >= 0 ? this.rowElement(this.active) : null;
    if (row) {
      row.classList.add('active');
      this.el.setAttribute('aria-activedescendant', row.id);
    } else {
      this.el.removeAttribute('aria-activedescendant');
    }
  }

  // Makes index the active and selected row; tells onSelect (atOnce: the
  // row was asked for by number, not reached by moving).
  select(index, { focus = false, atOnce = false } = {}) {
    if (this.total === 0) return;
    const i = Math.max(0, Math.min(this.total - 1, index));
    this.active = i;
    this.scrollToRow(i);
    this.render();
    if (focus) this.el.focus();
    if (this.onSelect) this.onSelect(i, { atOnce });
  }

  key(e) {
    if (e.altKey || e.metaKey) return;
    const perView = Math.max(1, Math.floor(this.viewHeight / ROW_PX) - 1);
    const moves = {
      ArrowDown: 1, ArrowUp: -1, PageDown: perView, PageUp: -perView,
      Home: -Infinity, End: Infinity,
    };
    if (e.key === 'Enter' || e.key === ' ') {
      if (this.onActivate && this.active >= 0) this.onActivate(this.active);
      e.preventDefault();
      return;
    }
    if (!(e.key in moves)) return;
    e.preventDefault();
    this.el.classList.add('kbd');
    const move = moves[e.key];
    const from = this.active < 0 ? (move > 0 ? -1 : 0) : this.active;
    let to = from + move;
    if (move === -Infinity) to = 0;
    if (move === Infinity) to = this.total - 1;
    this.select(to);
  }

  click(e) {
    const row = e.target.closest('[data-index]');
    if (!row) return;
    this.select(Number(row.dataset.index));
    this.el.focus({ preventScroll: true });
  }
}

// ---------------------------------------------------------------- files

const upload = { files: [], xhr: null, id: null, watching: null, busy: false };

function formatBytes(n) {
  if (n < 1024) return `${n} bytes`;
  if (n < 1024 * 1024) return `${(n / 1024).toFixed(1)} KB`;
  return `${(n / 1024 / 1024).toFixed(1)} MB`;
}

function fileButton(text, label, action, disabled) {
  const b = cell('button', text, 'small');
  b.type = 'button';
  b.setAttribute('aria-label', label);
  b.disabled = disabled;
  b.addEventListener('click', action);
  return b;
}

const uploadBusy = () => Boolean(upload.busy || upload.xhr || upload.watching);

function renderFiles() {
  const list = $('file-list');
  const busy = uploadBusy();
  const items = upload.files.map((file, i) => {
    const li = document.createElement('li');
    const row = cell('div', '', 'file');
    row.append(cell('span', file.name, 'name'), cell('span', formatBytes(file.size), 'size'));
    const move = (to) => () => {
      const [f] = upload.files.splice(i, 1);
      upload.files.splice(to, 0, f);
      renderFiles();
      const buttons = $('file-list').children[to]?.querySelectorAll('button');
      if (buttons) buttons[to < i ? 0 : 1]?.focus();
    };
    row.append(
      fileButton('↑ Up', `Move ${file.name} up`, move(i - 1), busy || i === 0),
      fileButton('↓ Down', `Move ${file.name} down`, move(i + 1), busy || i === upload.files.length - 1),
      fileButton('Remove', `Remove ${file.name}`, () => {
        upload.files.splice(i, 1);
        renderFiles();
        $('choose').focus();
      }, busy));
    li.append(row);
    return li;
  });
  list.replaceChildren(...items);
  $('start').disabled = busy || upload.files.length === 0;
}

function addFiles(fileList) {
  // The files listed are those of the check under way until it ends: a file
  // added to them now would be in no check, and gone when the list empties.
  if (uploadBusy()) {
    showMessage('A check is under way: wait for it to end, or cancel it, before choosing the next files.');
    return;
  }
  for (const f of fileList) upload.files.push(f);
  renderFiles();
  hideMessage();
  if (upload.files.length) {
    announce(`${upload.files.length} file${upload.files.length > 1 ? 's' : ''} chosen.`);
  }
}

function setupDrop() {
  const drop = $('drop');
  const over = (e) => {
    e.preventDefault();
    drop.classList.add('over');
  };
  drop.addEventListener('dragenter', over);
  drop.addEventListener('dragover', over);
  drop.addEventListener('dragleave', () => drop.classList.remove('over'));
  drop.addEventListener('drop', (e) => {
    e.preventDefault();
    drop.classList.remove('over');
    if (e.dataTransfer && e.dataTransfer.files.length) addFiles(e.dataTransfer.files);
  });
  // A file dropped beside the zone must not replace the page.
  window.addEventListener('dragover', (e) => e.preventDefault());
  window.addEventListener('drop', (e) => e.preventDefault());
  $('choose').addEventListener('click', () => $('file-input').click());
  $('file-input').addEventListener('change', (e) => {
    addFiles(e.target.files);
    e.target.value = '';
  });
}

// ---------------------------------------------------------------- the check

function showProgress(label, value, max, text) {
  $('progress').hidden = false;
  $('progress-label').textContent = label;
  const bar = $('progress-bar');
  if (max > 0) {
    bar.max = max;
    bar.value = value;
  } else {
    bar.removeAttribute('value');
  }
  bar.setAttribute('aria-valuetext', text);
  const now = Date.now();
  // Told at once when the step changes, then at most every 1.5 s.
  if (!upload.spoken || now - upload.spoken > 1500 || upload.step !== label) {
    upload.step = label;
    upload.spoken = now;
    announce(text);
  }
}

function send(files, maxErrors) {
  return new Promise((resolve, reject) => {
    const xhr = new XMLHttpRequest();
    upload.xhr = xhr;
    xhr.open('POST', `/api/v1/checks?max_errors=${encodeURIComponent(maxErrors)}`);
    if (session.token) xhr.setRequestHeader('Authorization', `Bearer ${session.token}`);
    xhr.upload.addEventListener('progress', (e) => {
      if (!e.lengthComputable) return;
      const pct = Math.floor((e.loaded / e.total) * 100);
      showProgress('Uploading', e.loaded, e.total,
        `Uploading: ${pct}% (${formatBytes(e.loaded)} of ${formatBytes(e.total)})`);
    });
    xhr.addEventListener('load', () => resolve(xhr));
    xhr.addEventListener('error', () => reject(new ApiError('The upload failed: the service cannot be reached.')));
    xhr.addEventListener('abort', () => reject(new Cancelled()));
    const form = new FormData();
    for (const f of files) form.append('file', f, f.name);
    xhr.send(form);
  });
}

// Uploads the files (again after the token was asked for); the new check's id.
async function sendWithToken(files, maxErrors) {
  let refused = false;
  for (;;) {
    const xhr = await send(files, maxErrors);
    upload.xhr = null;
    let body = null;
    try { body = JSON.parse(xhr.responseText); } catch (e) { /* not JSON */ }
    if (xhr.status === 202 && body && body.id) return body.id;
    if (xhr.status !== 401) {
      const why = body && body.error ? sentence(body.error.message) : `The service answered ${xhr.status}.`;
      throw new ApiError(why);
    }
    const given = await askToken(refused || Boolean(session.token));
    if (!given) throw new ApiError('This service needs its token: nothing can be checked without it.');
    refused = true;
  }
}

function maxErrorsValue() {
  const input = $('max-errors');
  const text = input.value.trim();
  const n = Number(text);
  if (!/^\d+$/.test(text) || n < 1 || n > 25000) {
    input.setAttribute('aria-invalid', 'true');
    showMessage('The error limit must be a whole number from 1 to 25,000.');
    input.focus();
    return null;
  }
  input.removeAttribute('aria-invalid');
  return n;
}

async function startCheck() {
  const maxErrors = maxErrorsValue();
  if (maxErrors === null || !upload.files.length) return;
  hideMessage();
  setState('uploading');
  upload.busy = true;
  upload.spoken = 0;
  renderFiles();
  $('start').disabled = true;
  $('cancel').focus();
  try {
    upload.id = await sendWithToken(upload.files, maxErrors);
    setState('running');
    showProgress('Checking', 0, 0, 'Uploaded; the check starts.');
    watch(upload.id);
  } catch (e) {
    upload.xhr = null;
    endProgress();
    if (e instanceof Cancelled) announce('The upload was cancelled.');
    else showMessage(e.message);
  }
}

function endProgress() {
  $('progress').hidden = true;
  upload.busy = false;
  upload.watching = null;
  upload.xhr = null;
  if (!$('result').hidden) setState('done'); else setState('empty');
  renderFiles();
}

function onStatus(status) {
  if (status.id !== upload.id) return;
  if (status.state === 'queued') {
    const place = status.queue_position ? ` (number ${status.queue_position} in the queue)` : '';
    showProgress('Waiting', 0, 0, `Waiting for the service${place}.`);
  } else if (status.state === 'running') {
    const tested = numbers.format(status.records_tested);
    showProgress('Checking', status.bytes_read, status.bytes_total,
      `Checking: ${tested} records tested.`);
  } else {
    stopWatching();
    const id = upload.id;
    upload.id = null;
    upload.files = [];
    endProgress();
    openCheck(id, { announceIt: true });
    refreshRecent();
  }
}

function stopWatching() {
  if (upload.watching) upload.watching.stop();
  upload.watching = null;
}

// Follows the check: its events, or (with a token, which EventSource
// cannot send) its status every 300 ms.
function watch(id) {
  stopWatching();
  let stopped = false;
  let timer = 0;
  let source = null;
  let lost = 0; // when the service stopped answering
  const poll = async () => {
    if (stopped) return;
    try {
      onStatus(await apiJson(`/api/v1/checks/${id}`));
      lost = 0;
    } catch (e) {
      if (stopped) return;
      // A service restarting answers again within the minute: the check is
      // asked for until then (it may have ended meanwhile, or not finished).
      if (e instanceof Unreachable && Date.now() - (lost ||= Date.now()) < RECONNECT_MS) {
        showProgress('Checking', 0, 0, 'The service cannot be reached: trying again.');
        timer = setTimeout(poll, 1000);
        return;
      }
      stopWatching();
      if (e.status === 404) return deleted();
      endProgress();
      showMessage(e.message);
      return;
    }
    if (!stopped) timer = setTimeout(poll, 300);
  };
  // Deleted elsewhere (another tab, another desk): told by its events, or
  // by its status when polled.
  const deleted = () => {
    stopWatching();
    upload.id = null;
    endProgress();
    showMessage('The check was deleted before it ended.');
  };
  upload.watching = {
    stop() {
      stopped = true;
      clearTimeout(timer);
      if (source) source.close();
    },
  };
  if (session.token) return poll();
  source = new EventSource(`/api/v1/checks/${id}/events`);
  source.addEventListener('message', (e) => onStatus(JSON.parse(e.data)));
  source.addEventListener('deleted', deleted);
  source.addEventListener('error', () => {
    if (stopped) return;
    source.close();
    source = null;
    poll();
  });
  return undefined;
}

async function cancelCheck() {
  if (upload.xhr) {
    upload.xhr.abort();
    return;
  }
  const { id } = upload;
  if (!id) return;
  stopWatching();
  upload.id = null;
  try {
    await api(`/api/v1/checks/${id}`, { method: 'DELETE' });
  } catch (e) {
    // Never "deleted" when the service kept its files.
    endProgress();
    showMessage(e.message);
    refreshRecent();
    return;
  }
  endProgress();
  announce('The check was cancelled and its files deleted.');
  $('start').focus();
  refreshRecent();
}

// ---------------------------------------------------------------- results

const OUTCOMES = {
  clean: 'No errors were found in the submission.',
  findings: 'Errors were found: correct them and check the submission again.',
  error_limit: 'Testing stopped at the error limit: there may be more errors after these.',
  critical_stop: 'Testing stopped at a critical error.',
  aborted: 'Testing was interrupted: the results cover only the records tested.',
  no_valid_data: 'No valid data was found in the submission.',
  failed: 'The submission could not be tested.',
  incomplete: 'Testing did not finish: the results cover only the records tested.',
  unreadable: 'The results of this check cannot be read: check the submission again.',
};

const shown = { id: null, check: null, tested: 0 };
let grids = null;

function outcomeText(check) {
  const summary = check.summary || {};
  const outcome = summary.outcome || check.outcome || check.state;
  let text = OUTCOMES[outcome] || `The check ended: ${outcome}.`;
  if (summary.critical_stop) {
    text += ` Record ${numbers.format(summary.critical_stop.record_number)}: ${summary.critical_stop.message}`;
  }
  if (check.problem) text += ` ${sentence(check.problem)}`;
  for (const message of check.messages || []) text += ` ${sentence(message)}`;
  // A file left unread after the final record is no clean verdict on it.
  const unread = (summary.files || []).some((f) => f.read === false);
  return { text, clean: outcome === 'clean' && !unread };
}

function recordColumns() {
  return [
    { title: 'Record', num: true, width: 'minmax(4.5rem, 1fr)', value: (r) => numbers.format(r.record_number) },
    { title: 'Type', width: 'minmax(3.5rem, 0.8fr)', value: (r) => r.record_id },
    { title: 'SSN or EIN', width: 'minmax(6.5rem, 1.6fr)', cls: 'mono', value: (r) => r.reference ?? '' },
    { title: 'Errors', num: true, width: 'minmax(3.5rem, 0.8fr)', value: (r) => numbers.format(r.errors) },
  ];
}

function setupGrids() {
  const columns = recordColumns();
  const errors = new Grid($('errors-grid'), {
    label: 'errors-grid-title',
    columns,
    onSelect: (i) => chooseErrorRow(i),
    onActivate: () => $('record-fields').focus(),
  });
  const findings = new Grid($('findings-grid'), {
    label: 'findings-title',
    flow: true,
    columns: [
      { title: 'Field', width: 'minmax(8rem, 2fr)', value: (f) => f.field },
      { title: 'Positions', width: 'minmax(6.5rem, 1fr)', value: (f) => positionsText(f.positions) },
      { title: 'Found', width: 'minmax(6rem, 1.5fr)', cls: 'mono found', value: (f) => valueNodes(f.user_entry) },
      { title: 'Description', width: 'minmax(10rem, 4fr)', value: (f) => f.message },
    ],
  });
  const tested = new Grid($('tested-grid'), {
    label: 'tested-grid-title',
    columns,
    onSelect: (i, { atOnce }) => showRecordSoon(i + 1, atOnce ? 0 : undefined),
    onActivate: () => $('record-fields').focus(),
  });
  errors.emptyText = 'No record has errors.';
  findings.emptyText = 'Choose a record with errors to see its errors.';
  tested.emptyText = 'No record was tested.';
  grids = { errors, findings, tested };
}

function recordsSource(id, withErrors) {
  return (offset, limit) => apiJson(
    `/api/v1/checks/${id}/records?with_errors=${withErrors ? 1 : 0}&offset=${offset}&limit=${limit}`,
  ).then((page) => page.records);
}

// Bumped at each choice of a record in either grid: the answers for an
// older choice come too late and are dropped, so the last choice is shown.
let choice = 0;
let selectTimer = 0;
function chooseErrorRow(index) {
  clearTimeout(selectTimer);
  const mine = ++choice;
  selectTimer = setTimeout(async () => {
    const id = shown.id;
    const row = await grids.errors.rowAt(index);
    if (!row || id !== shown.id) return;
    try {
      const found = await apiJson(`/api/v1/checks/${id}/records/${row.record_number}/findings`);
      if (id !== shown.id || grids.errors.active !== index || mine !== choice) return;
      $('findings-title').textContent = `Errors of record ${numbers.format(row.record_number)}`;
      grids.findings.load(found.findings.length, null, found.findings);
      grids.tested.active = row.record_number - 1;
      grids.tested.scrollToRow(row.record_number - 1);
      grids.tested.render();
      showRecord(row.record_number, mine);
    } catch (e) {
      showMessage(e.message);
    }
  }, 80);
}

// A row reached by the arrow keys is shown once they rest a moment; a
// record asked for by number (wait: 0) at once.
let recordTimer = 0;
function showRecordSoon(number, wait = 60) {
  clearTimeout(recordTimer);
  const mine = ++choice;
  if (wait === 0) showRecord(number, mine);
  else recordTimer = setTimeout(() => showRecord(number, mine), wait);
}

async function showRecord(number, mine = ++choice) {
  const id = shown.id;
  let record;
  try {
    record = await apiJson(`/api/v1/checks/${id}/records/${number}`);
  } catch (e) {
    if (mine === choice) showMessage(e.message);
    return;
  }
  if (id !== shown.id || mine !== choice) return;
  renderRecord(record);
}

function renderRecord(record) {
  const marked = record.fields.filter((f) => f.marked).length;
  const title = `Record ${numbers.format(record.record_number)} (${record.record_id})` +
    (marked ? `, ${marked} field${marked > 1 ? 's' : ''} in error` : '');
  $('record-title').textContent = title;
  const table = document.createElement('table');
  table.className = 'fields';
  table.append(cell('caption', title, 'visually-hidden'));
  const head = document.createElement('thead');
  const hr = document.createElement('tr');
  for (const h of ['#', 'Field', 'Positions', 'In error', 'Value']) {
    const th = cell('th', h);
    th.scope = 'col';
    hr.append(th);
  }
  head.append(hr);
  const body = document.createElement('tbody');
  for (const f of record.fields) {
    const tr = document.createElement('tr');
    if (f.marked) tr.className = 'marked';
    tr.append(cell('td', String(f.field), 'num'), cell('td', f.name, 'name'),
      cell('td', positionsText(f.positions)), cell('td', f.marked ? '✗ In error' : '', 'mark'),
      cell('td', valueNodes(f.value), 'value'));
    body.append(tr);
  }
  table.append(head, body);
  $('record-fields').replaceChildren(table);
  $('record-fields').dataset.record = String(record.record_number);
}

function goToRecord() {
  const text = $('goto').value.trim().replace(/,/g, '');
  const n = Number(text);
  if (!/^\d+$/.test(text) || n < 1 || n > shown.tested) {
    $('goto-hint').textContent = shown.tested
      ? `Enter a record number from 1 to ${numbers.format(shown.tested)}.`
      : 'No record was tested.';
    $('goto').setAttribute('aria-invalid', 'true');
    return;
  }
  $('goto').removeAttribute('aria-invalid');
  $('goto-hint').textContent = '';
  grids.tested.select(n - 1, { focus: true, atOnce: true });
}

async function loadEmployers(id) {
  const select = $('report-employer');
  const whole = cell('option', 'The whole submission');
  whole.value = '';
  select.replaceChildren(whole);
  try {
    const { employers } = await apiJson(`/api/v1/checks/${id}/employers`);
    if (id !== shown.id) return;
    for (const e of employers) {
      const name = e.name ? ` ${e.name}` : '';
      const option = cell('option', `Employer ${e.ein}${name}`);
      option.value = e.ein;
      select.append(option);
    }
  } catch (e) {
    // 409: a check that left no results, which has no employers either.
    if (e.status !== 409) showMessage(e.message);
  }
}

function showFigures(check) {
  const s = check.summary || {};
  // Results that cannot be read count nothing: no figure may pass for a clean check's.
  const figure = (n) => (check.outcome === 'unreadable' ? '–' : numbers.format(n));
  $('fig-tested').textContent = figure(s.records_tested ?? check.records_tested ?? 0);
  $('fig-with-errors').textContent = figure(s.records_with_errors ?? 0);
  $('fig-errors').textContent = figure(s.errors_found ?? 0);
  const outcome = outcomeText(check);
  $('outcome').textContent = outcome.text;
  $('outcome').className = `outcome ${outcome.clean ? 'clean' : 'bad'}`;
  $('result-files').textContent = `Files: ${check.files.map((f) => f.name ?? f).join(', ')}`;
}

// Shows an ended check's results; follows one that still runs.
async function openCheck(id, { announceIt = false } = {}) {
  let check;
  try {
    check = await apiJson(`/api/v1/checks/${id}`);
  } catch (e) {
    showMessage(e.message);
    return;
  }
  if (check.state === 'queued' || check.state === 'running') {
    upload.id = id;
    setState('running');
    watch(id);
    return;
  }
  shown.id = id;
  shown.check = check;
  history.replaceState(null, '', `#check=${id}`);
  $('result').hidden = false;
  setState('done');
  showFigures(check);
  markCurrentRecent();
  await loadResults(id, check);
  document.body.dataset.outcome = (check.summary && check.summary.outcome) || check.outcome || check.state;
  if (announceIt) {
    const errors = $('fig-errors').textContent;
    announce(`The check ended. ${$('outcome').textContent} ${errors} ${errors === '1' ? 'error' : 'errors'} found.`);
    $('result-title').focus();
  }
}

// The errors of a check that did not finish, which has no summary to count
// them: the sum over its records with errors (at most 25,000 of them).
async function errorsOf(id, first) {
  let errors = first.records.reduce((n, r) => n + r.errors, 0);
  for (let offset = first.records.length; offset < first.total; offset += 1000) {
    const page = await apiJson(`/api/v1/checks/${id}/records?with_errors=1&offset=${offset}&limit=1000`);
    errors += page.records.reduce((n, r) => n + r.errors, 0);
  }
  return errors;
}

async function loadResults(id, check) {
  const summary = check.summary;
  const none = { total: 0, records: [] };
  // A check that did not finish has no summary but may hold the results of
  // the records it reached; one that left none is answered 409.
  const read = (query) => apiJson(`/api/v1/checks/${id}/records?${query}limit=${PAGE_ROWS}`)
    .catch((e) => { if (e.status === 409) return none; throw e; });
  let errorsPage;
  let testedPage;
  try {
    [errorsPage, testedPage] = await Promise.all([
      !summary || summary.records_with_errors ? read('with_errors=1&') : none,
      read(''),
    ]);
    if (!summary && testedPage.total) {
      const errors = await errorsOf(id, errorsPage);
      if (id !== shown.id) return;
      $('fig-tested').textContent = numbers.format(testedPage.total);
      $('fig-with-errors').textContent = numbers.format(errorsPage.total);
      $('fig-errors').textContent = numbers.format(errors);
    }
  } catch (e) {
    showMessage(e.message);
    errorsPage = none;
    testedPage = none;
  }
  if (id !== shown.id) return;
  shown.tested = testedPage.total;
  $('tested-grid-title').textContent = `Records tested (${numbers.format(testedPage.total)})`;
  $('errors-grid-title').textContent = `Records with errors (${numbers.format(errorsPage.total)})`;
  $('findings-title').textContent = 'Errors of the selected record';
  $('record-title').textContent = 'No record shown';
  $('record-fields').replaceChildren();
  $('goto').setAttribute('aria-describedby', 'goto-hint');
  $('goto-hint').textContent = testedPage.total ? `1 to ${numbers.format(testedPage.total)}` : '';
  grids.findings.load(0, null, []);
  grids.errors.load(errorsPage.total, recordsSource(id, true), errorsPage.records);
  grids.tested.load(testedPage.total, recordsSource(id, false), testedPage.records);
  $('error-grids').hidden = errorsPage.total === 0;
  $('download').disabled = !summary && !testedPage.total;
  loadEmployers(id);
  if (errorsPage.total) grids.errors.select(0);
  else if (testedPage.total) grids.tested.select(0);
}

async function download() {
  const format = $('report-format').value;
  const employer = $('report-employer').value;
  const query = `format=${format}${employer ? `&employer=${encodeURIComponent(employer)}` : ''}`;
  try {
    const res = await api(`/api/v1/checks/${shown.id}/report?${query}`);
    const disposition = res.headers.get('Content-Disposition') || '';
    const match = /filename="([^"]+)"/.exec(disposition);
    const name = match ? match[1] : `report.${format === 'text' ? 'txt' : format}`;
    const url = URL.createObjectURL(await res.blob());
    const a = document.createElement('a');
    a.href = url;
    a.download = name;
    document.body.append(a);
    a.click();
    a.remove();
    setTimeout(() => URL.revokeObjectURL(url), 30000);
    announce(`The report ${name} was downloaded.`);
  } catch (e) {
    showMessage(e.message);
  }
}

// ---------------------------------------------------------------- recent checks

function when(iso) {
  if (!iso) return '';
  const d = new Date(iso);
  return Number.isNaN(d.getTime()) ? iso : d.toLocaleString();
}

function stateText(c) {
  if (c.state === 'queued') return 'Waiting';
  if (c.state === 'running') return 'Checking';
  if (c.state === 'failed') return 'Did not finish';
  return 'Done';
}

function recentRow(c) {
  const tr = document.createElement('tr');
  tr.dataset.id = c.id;
  const files = c.files.map((f) => f.name ?? f).join(', ');
  let outcome = c.outcome ? (OUTCOMES[c.outcome] || c.outcome) : '';
  for (const message of c.messages || []) outcome += ` ${sentence(message)}`;
  const labelled = (label, text) => {
    const td = cell('td', text);
    td.dataset.label = label;
    return td;
  };
  tr.append(labelled('Files', files), labelled('Started', when(c.created)), labelled('State', stateText(c)),
    labelled('Outcome', outcome));
  const actions = cell('td', '', 'actions');
  const open = fileButton('Open', `Open the check of ${files}`, () => openCheck(c.id), false);
  const del = fileButton('Delete', `Delete the check of ${files}`, () => deleteCheck(c.id, files), false);
  actions.append(open, ' ', del);
  tr.append(actions);
  return tr;
}

async function refreshRecent() {
  let list;
  try {
    list = await apiJson('/api/v1/checks');
  } catch (e) {
    showMessage(e.message);
    return;
  }
  const checks = list.checks.slice().sort((a, b) => String(b.created).localeCompare(String(a.created)));
  $('recent-rows').replaceChildren(...checks.map(recentRow));
  $('recent-table').hidden = checks.length === 0;
  $('recent-empty').hidden = checks.length > 0;
  markCurrentRecent();
}

function markCurrentRecent() {
  for (const tr of $('recent-rows').children) {
    tr.classList.toggle('current', tr.dataset.id === shown.id);
  }
}

async function deleteCheck(id, files) {
  if (!window.confirm(`Delete the check of ${files}, its files and its results?`)) return;
  try {
    await api(`/api/v1/checks/${id}`, { method: 'DELETE' });
  } catch (e) {
    showMessage(e.message);
    return;
  }
  if (upload.id === id) {
    stopWatching();
    upload.id = null;
    endProgress();
  }
  if (shown.id === id) {
    shown.id = null;
    $('result').hidden = true;
    history.replaceState(null, '', '#');
    setState(upload.id ? 'running' : 'empty');
  }
  announce(`The check of ${files} was deleted.`);
  await refreshRecent();
  $('recent-refresh').focus();
}

// ---------------------------------------------------------------- start

// The check named in the address (#check=ID), when it is not the one shown.
function openFromAddress() {
  const match = /^#check=([A-Za-z0-9_-]+)$/.exec(location.hash);
  if (match && match[1] !== shown.id) openCheck(match[1]);
}

function setup() {
  setupDrop();
  setupGrids();
  $('start').addEventListener('click', startCheck);
  $('cancel').addEventListener('click', cancelCheck);
  $('message-close').addEventListener('click', hideMessage);
  $('goto-button').addEventListener('click', goToRecord);
  $('goto').addEventListener('keydown', (e) => {
    if (e.key === 'Enter') goToRecord();
  });
  $('download').addEventListener('click', download);
  $('recent-refresh').addEventListener('click', refreshRecent);
  $('token-cancel').addEventListener('click', () => $('token-dialog').close('cancel'));
  $('result-title').tabIndex = -1;
  $('record-fields').tabIndex = 0;
  $('record-fields').setAttribute('role', 'region');
  $('record-fields').setAttribute('aria-labelledby', 'record-title');
  document.addEventListener('keydown', (e) => {
    if (e.key === 'Escape' && !$('message').hidden && !$('token-dialog').open) hideMessage();
  });
  setState('empty');
  renderFiles();
  performance.mark('interactive');
  window.addEventListener('hashchange', openFromAddress);
  refreshRecent().then(() => {
    openFromAddress();
    document.body.dataset.ready = 'yes';
  });
}

setup();
