// After one visit the site works without the server: the service worker keeps every file.
// And the site can be installed: a manifest with the program's icon.

import assert from 'node:assert/strict';
import { test } from 'node:test';

import { core, expected, launch, readPage, serve } from './support.mjs';

test('after one visit the page loads and plays with the server stopped', async () => {
  const server = await serve();
  const browser = await launch();
  try {
    const context = await browser.newContext({ viewport: { width: 900, height: 680 } });
    const page = await context.newPage();
    await page.goto(`${server.url}?seed=21`);
    await page.waitForSelector('html[data-ready="true"]');
    await page.evaluate(() => navigator.serviceWorker.ready);
    await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
    await server.close();

    await page.reload();
    await page.waitForSelector('html[data-ready="true"]');
    const Trainer = await core();
    const sitting = new Trainer.PageSitting(21);
    const design = JSON.parse(sitting.design());
    await page.click('#HScroll1 .arrow.left');
    sitting.arrow('HScroll1', -1);
    await page.click('#Command6');
    const state = JSON.parse(sitting.click('Command6'));
    assert.deepEqual(await readPage(page, design), expected(state));
    assert.ok(await page.isVisible('#Label16'), 'the customer answered');
    const pictures = await page.evaluate(() => [...document.images].every((i) => i.complete && i.naturalWidth > 0));
    assert.ok(pictures, 'the chart pictures came from the cache');
    sitting.delete();
    await context.close();
  } finally {
    await browser.close();
    await server.close();
  }
});

test('the manifest names the program and its icon', async () => {
  const server = await serve();
  try {
    const manifest = await (await fetch(`${server.url}manifest.webmanifest`)).json();
    assert.equal(manifest.display, 'standalone');
    assert.equal(manifest.start_url, './');
    const icon = manifest.icons.find((i) => i.sizes === '256x256');
    const png = Buffer.from(await (await fetch(new URL(icon.src, server.url))).arrayBuffer());
    assert.deepEqual([png.readUInt32BE(16), png.readUInt32BE(20)], [256, 256]);
  } finally {
    await server.close();
  }
});
